#pragma once

#include "observation/settings/ClientGlobal.h"
#include "observation/settings/SourceSettingsProxyModel.h"

#include <QList>
#include <QObject>
#include <QString>

// The sections of a settings page: their named entries, the search over them, and the page's
// current and last section. GUI thread only.
class SourceSettingsManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(SourceSettingsProxyModel *model READ model CONSTANT)
    Q_PROPERTY(kvr::QMTClient::SourceSettingsType sourceSettingsType READ sourceSettingsType WRITE
                   setSourceSettingsType NOTIFY sourceSettingsTypeChanged)
    Q_PROPERTY(int tabIndex READ tabIndex WRITE setTabIndex NOTIFY tabIndexChanged)
    Q_PROPERTY(kvr::QMTClient::SourceSettingsSection currentSection READ currentSection WRITE setCurrentSection
                   NOTIFY currentSectionChanged)
    Q_PROPERTY(kvr::QMTClient::SourceSettingsSection lastSection READ lastSection WRITE setLastSection NOTIFY
                   lastSectionChanged)
    Q_PROPERTY(kvr::QMTClient::SourceSettingsSection firstFilteredSection READ firstFilteredSection NOTIFY
                   filteredSectionsChanged)
    Q_PROPERTY(QString filteredString READ filteredString WRITE setFilteredString NOTIFY filteredStringChanged)

public:
    explicit SourceSettingsManager(QObject *parent = nullptr);

    SourceSettingsProxyModel *model() { return &m_model; }
    kvr::QMTClient::SourceSettingsType sourceSettingsType() const { return m_sourceSettingsType; }
    void setSourceSettingsType(kvr::QMTClient::SourceSettingsType type);
    int tabIndex() const { return m_tabIndex; }
    void setTabIndex(int index);
    kvr::QMTClient::SourceSettingsSection currentSection() const { return m_currentSection; }
    void setCurrentSection(kvr::QMTClient::SourceSettingsSection section);
    kvr::QMTClient::SourceSettingsSection lastSection() const { return m_lastSection; }
    void setLastSection(kvr::QMTClient::SourceSettingsSection section);
    QString filteredString() const { return m_filteredString; }
    void setFilteredString(const QString &text);

    // Sections with an enabled entry matching filteredString, once per matching entry, in row order.
    QList<kvr::QMTClient::SourceSettingsSection> filteredSections() const { return m_filteredSections; }
    // The section of the first matching entry, UnknownSection when nothing matches.
    kvr::QMTClient::SourceSettingsSection firstFilteredSection() const;

    // Adds nothing for UnknownSection or an empty name; entries are never removed.
    Q_INVOKABLE void addSourceSettings(kvr::QMTClient::SourceSettingsSection sectionType, const QString &settingsName,
                                       bool enabled);
    // True for UnknownSection, an empty text, or an enabled entry of the section whose name
    // contains the text (case ignored).
    Q_INVOKABLE bool sectionNameFilter(kvr::QMTClient::SourceSettingsSection sectionType,
                                       const QString &filteredString) const;
    // -1 unless this is the launcher's settings page or for a section without a tab.
    Q_INVOKABLE int sectionTabIndex(kvr::QMTClient::SourceSettingsSection sectionType) const;

signals:
    void sourceSettingsTypeChanged();
    void tabIndexChanged();
    void currentSectionChanged();
    void lastSectionChanged();
    void filteredSectionsChanged();
    void filteredStringChanged();
    // For the page; the manager itself never emits them.
    void loadLastSection(kvr::QMTClient::SourceSettingsSection section);
    void loadFirstFilteredSection();

private:
    void rebuildFilteredSections();

    SourceSettingsProxyModel m_model;
    QList<kvr::QMTClient::SourceSettingsSection> m_filteredSections;
    kvr::QMTClient::SourceSettingsType m_sourceSettingsType = kvr::QMTClient::UnknownSettingsType;
    int m_tabIndex = 0;
    kvr::QMTClient::SourceSettingsSection m_currentSection = kvr::QMTClient::UnknownSection;
    kvr::QMTClient::SourceSettingsSection m_lastSection = kvr::QMTClient::UnknownSection;
    QString m_filteredString;
};
