#include "app/LanguageSettings.h"

namespace {

QString normalisedCode(QString code)
{
    return code.trimmed().replace(QLatin1Char('_'), QLatin1Char('-')).toLower();
}

} // namespace

LanguageSettings::LanguageSettings()
    : LanguageSettings(QStringLiteral("English"), QStringLiteral("United States"), QStringLiteral("en-US"), QString(),
                       false, {}, true)
{
}

LanguageSettings::LanguageSettings(QString language, QString country, QString code, QString translationFile,
                                   bool selected, QStringList alternativeCodes, bool builtIn)
    : m_language(std::move(language))
    , m_country(std::move(country))
    , m_code(std::move(code))
    , m_translationFile(std::move(translationFile))
    , m_selected(selected)
    , m_alternativeCodes(std::move(alternativeCodes))
    , m_builtIn(builtIn)
{
}

bool LanguageSettings::matches(const QString &code) const
{
    const QString wanted = normalisedCode(code);
    if (wanted.isEmpty())
        return false;
    if (normalisedCode(m_code) == wanted)
        return true;
    for (const QString &alternative : m_alternativeCodes) {
        if (normalisedCode(alternative) == wanted)
            return true;
    }
    return false;
}

bool LanguageSettings::operator==(const LanguageSettings &other) const
{
    return m_language == other.m_language && m_country == other.m_country && m_code == other.m_code
        && m_translationFile == other.m_translationFile && m_selected == other.m_selected
        && m_alternativeCodes == other.m_alternativeCodes && m_builtIn == other.m_builtIn;
}
