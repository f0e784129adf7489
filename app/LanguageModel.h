#pragma once

#include "app/LanguageSettings.h"
#include "devices/models/ListModelBase.h"

#include <QString>

#include <memory>

class QTranslator;

// The interface languages: the built-in one plus every translation found under the given
// resource folder. Selecting a language installs its translator and stores its code in the
// "LanguageSettings" group of the settings file. GUI thread.
class LanguageModel : public ListModelBase<LanguageSettings>
{
    Q_OBJECT
    Q_PROPERTY(QString currentCode READ currentCode NOTIFY currentLanguageChanged)
    Q_PROPERTY(int currentIndex READ currentIndex NOTIFY currentLanguageChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles { LanguageRole = Qt::UserRole + 1, CountryRole, CodeRole, SelectedRole, BuiltInRole };
    Q_ENUM(Roles)

    explicit LanguageModel(QObject *parent = nullptr);
    ~LanguageModel() override;

    // Adds a language for each "orva_<code>.qm" in the folder; returns how many were added.
    int loadTranslations(const QString &directory = QStringLiteral(":/translations"));

    // Where the chosen code is stored; nothing is stored while empty.
    void setSettingsPath(const QString &path) { m_settingsPath = path; }

    QString currentCode() const;
    int currentIndex() const { return m_currentIndex; }
    int count() const { return rowCount(); }
    LanguageSettings current() const;

    // Returns false, keeping the current language, for an unknown code or an unreadable
    // translation.
    Q_INVOKABLE bool selectLanguage(const QString &code);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void currentLanguageChanged();
    void countChanged();

private:
    void markSelected(int row);

    QString m_settingsPath;
    int m_currentIndex = 0;
    std::unique_ptr<QTranslator> m_translator;
};
