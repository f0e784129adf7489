#include "app/LanguageModel.h"

#include "app/settings/LauncherSettings.h"
#include "core/log/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

LanguageModel::LanguageModel(QObject *parent)
    : ListModelBase<LanguageSettings>(parent)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &LanguageModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &LanguageModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &LanguageModel::countChanged);
    LanguageSettings builtIn;
    builtIn.setSelected(true);
    append(builtIn);
}

LanguageModel::~LanguageModel()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

int LanguageModel::loadTranslations(const QString &directory)
{
    const QStringList files = QDir(directory).entryList({QStringLiteral("orva_*.qm")}, QDir::Files, QDir::Name);
    int added = 0;
    for (const QString &file : files) {
        const QString code = file.mid(5, file.size() - 8).replace(QLatin1Char('_'), QLatin1Char('-'));
        const QLocale locale(code);
        if (locale.language() == QLocale::C)
            continue;
        bool known = false;
        for (const LanguageSettings &language : qAsConst(m_items))
            known = known || language.matches(code);
        if (known)
            continue;
        append(LanguageSettings(QLocale::languageToString(locale.language()), QLocale::countryToString(locale.country()),
                                code, QDir(directory).filePath(file)));
        ++added;
    }
    LOG_DBG0(QStringLiteral("[TRANSLATE] Languages available: %1.").arg(rowCount()));
    return added;
}

QString LanguageModel::currentCode() const
{
    return current().code();
}

LanguageSettings LanguageModel::current() const
{
    return at(index(m_currentIndex, 0));
}

bool LanguageModel::selectLanguage(const QString &code)
{
    int row = -1;
    for (int i = 0; i < m_items.size() && row < 0; ++i) {
        if (m_items.at(i).matches(code))
            row = i;
    }
    if (row < 0) {
        LOG_WRN(QStringLiteral("[TRANSLATE] Unknown language %1.").arg(code));
        return false;
    }
    const LanguageSettings &language = m_items.at(row);
    std::unique_ptr<QTranslator> translator;
    if (!language.translationFile().isEmpty()) {
        translator = std::make_unique<QTranslator>();
        if (!translator->load(language.translationFile())) {
            LOG_ERR(QStringLiteral("[TRANSLATE] Cannot load the translation %1.").arg(language.translationFile()));
            return false;
        }
    }
    if (row != m_currentIndex) {
        if (m_translator)
            QCoreApplication::removeTranslator(m_translator.get());
        m_translator = std::move(translator);
        if (m_translator)
            QCoreApplication::installTranslator(m_translator.get());
        markSelected(row);
        LOG_INF(QStringLiteral("[TRANSLATE] Language %1 selected.").arg(language.code()));
    }
    if (!m_settingsPath.isEmpty()) {
        LauncherSettings settings(m_settingsPath);
        if (settings.language() != language.code())
            settings.setValue(LauncherSettings::Key::Language, language.code());
    }
    return true;
}

void LanguageModel::markSelected(int row)
{
    const int previous = m_currentIndex;
    if (previous >= 0 && previous < m_items.size())
        m_items[previous].setSelected(false);
    m_items[row].setSelected(true);
    m_currentIndex = row;
    if (previous >= 0 && previous < m_items.size())
        emit dataChanged(index(previous, 0), index(previous, 0), {SelectedRole});
    emit dataChanged(index(row, 0), index(row, 0), {SelectedRole});
    emit currentLanguageChanged();
}

QVariant LanguageModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LanguageSettings &language = m_items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case LanguageRole: return language.language();
    case CountryRole: return language.country();
    case CodeRole: return language.code();
    case SelectedRole: return language.isSelected();
    case BuiltInRole: return language.isBuiltIn();
    default: return {};
    }
}

QHash<int, QByteArray> LanguageModel::roleNames() const
{
    return {{LanguageRole, "LanguageRole"},
            {CountryRole, "CountryRole"},
            {CodeRole, "CodeRole"},
            {SelectedRole, "SelectedRole"},
            {BuiltInRole, "BuiltInRole"}};
}
