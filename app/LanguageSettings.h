#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// One language of the interface. The default is the built-in language, which needs no
// translation file.
class LanguageSettings
{
public:
    LanguageSettings();
    LanguageSettings(QString language, QString country, QString code, QString translationFile,
                     bool selected = false, QStringList alternativeCodes = {}, bool builtIn = false);

    QString language() const { return m_language; }
    QString country() const { return m_country; }
    QString code() const { return m_code; }
    QString translationFile() const { return m_translationFile; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }
    QStringList alternativeCodes() const { return m_alternativeCodes; }
    bool isBuiltIn() const { return m_builtIn; }

    // True for the code itself and its alternatives, whatever the case and "_" or "-".
    bool matches(const QString &code) const;

    bool operator==(const LanguageSettings &other) const;
    bool operator!=(const LanguageSettings &other) const { return !(*this == other); }

private:
    QString m_language;
    QString m_country;
    QString m_code;
    QString m_translationFile;
    bool m_selected = false;
    QStringList m_alternativeCodes;
    bool m_builtIn = true;
};

Q_DECLARE_METATYPE(LanguageSettings)
