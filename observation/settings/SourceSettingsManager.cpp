#include "observation/settings/SourceSettingsManager.h"

#include "core/property/AssignProperty.h"

#include <QHash>

#include <algorithm>

using namespace kvr::QMTClient;

namespace {

const QHash<int, int> &sectionTabs()
{
    static const QHash<int, int> tabs{
        {UnknownSection, -1},           {LanguageSettingsSection, 0}, {VersionSettingsSection, 0},
        {VersionsSection, 0},           {AutoLogoutSettingsSection, 0}, {HostKeySettingsSection, 0},
        {HelpSection, 0},               {VersionSection, 0},
    };
    return tabs;
}

bool matches(const SourceSettingsProxy &entry, const QString &text)
{
    return entry.enabled && entry.name.contains(text, Qt::CaseInsensitive);
}

} // namespace

SourceSettingsManager::SourceSettingsManager(QObject *parent)
    : QObject(parent)
{
}

void SourceSettingsManager::setSourceSettingsType(SourceSettingsType type)
{
    assignProperty(this, m_sourceSettingsType, type, &SourceSettingsManager::sourceSettingsTypeChanged);
}

void SourceSettingsManager::setTabIndex(int index)
{
    assignProperty(this, m_tabIndex, index, &SourceSettingsManager::tabIndexChanged);
}

void SourceSettingsManager::setCurrentSection(SourceSettingsSection section)
{
    assignProperty(this, m_currentSection, section, &SourceSettingsManager::currentSectionChanged);
}

void SourceSettingsManager::setLastSection(SourceSettingsSection section)
{
    assignProperty(this, m_lastSection, section, &SourceSettingsManager::lastSectionChanged);
}

void SourceSettingsManager::setFilteredString(const QString &text)
{
    if (m_filteredString == text)
        return;
    m_filteredString = text;
    rebuildFilteredSections();
    emit filteredSectionsChanged();
    emit filteredStringChanged();
}

SourceSettingsSection SourceSettingsManager::firstFilteredSection() const
{
    return m_filteredSections.isEmpty() ? UnknownSection : m_filteredSections.first();
}

void SourceSettingsManager::addSourceSettings(SourceSettingsSection sectionType, const QString &settingsName,
                                              bool enabled)
{
    if (sectionType == UnknownSection || settingsName.isEmpty())
        return;
    m_model.append(SourceSettingsProxy{sectionType, settingsName, enabled});
}

bool SourceSettingsManager::sectionNameFilter(SourceSettingsSection sectionType, const QString &filteredString) const
{
    if (sectionType == UnknownSection || filteredString.isEmpty())
        return true;
    const QVector<SourceSettingsProxy> entries = m_model.items();
    return std::any_of(entries.cbegin(), entries.cend(), [&](const SourceSettingsProxy &entry) {
        return entry.section == sectionType && matches(entry, filteredString);
    });
}

int SourceSettingsManager::sectionTabIndex(SourceSettingsSection sectionType) const
{
    if (m_sourceSettingsType != LauncherSettingsType)
        return -1;
    return sectionTabs().value(sectionType, -1);
}

void SourceSettingsManager::rebuildFilteredSections()
{
    m_filteredSections.clear();
    for (const SourceSettingsProxy &entry : m_model.items()) {
        if (matches(entry, m_filteredString))
            m_filteredSections.append(SourceSettingsSection(entry.section));
    }
}
