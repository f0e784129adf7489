import QtQuick 2.15
import Client 1.0

// A settings section as a tile of a settings dialog. It registers its title with the dialog's
// section manager, which hides it when a search text does not match it or when it belongs to
// another tab; a search shows the matching sections of every tab and opens the first match.
SourceSettingsWrapper {
    id: root

    titleLineVisible: false
    visible: settingsSupport && sectionTabIndex >= 0 && !!manager
             && manager.sectionNameFilter(sectionType, manager.filteredString)
             && (sectionTabIndex === manager.tabIndex || manager.filteredString.length > 0)

    // The dialog's SourceSettingsManager (the model of its tab bar).
    property var manager: null
    property var sectionType: ClientGlobal.UnknownSection
    property bool settingsSupport: true
    readonly property int sectionTabIndex: manager && manager.sourceSettingsType !== ClientGlobal.UnknownSettingsType
                                           ? manager.sectionTabIndex(sectionType) : -1
    property var firstFilteredSection: manager ? manager.firstFilteredSection : ClientGlobal.UnknownSection
    property bool sceneWrapper: false

    onOpened: {
        if (manager && sectionType !== ClientGlobal.UnknownSection)
            manager.currentSection = sectionType
    }

    onSceneWrapperChanged: {
        if (!sceneWrapper)
            keepAlive = false
    }

    onItemChanged: {
        if (sceneWrapper && item)
            keepAlive = true
    }

    onFirstFilteredSectionChanged: {
        if (sectionType !== ClientGlobal.UnknownSection && firstFilteredSection === sectionType && !expanded)
            open()
    }

    Connections {
        target: root.manager
        enabled: !!root.manager

        function onLoadLastSection(section) {
            if (section !== ClientGlobal.UnknownSection && section === root.sectionType && !root.expanded)
                root.open()
        }
    }

    Component.onCompleted: {
        if (manager)
            manager.addSourceSettings(sectionType, title, settingsSupport)
    }
}
