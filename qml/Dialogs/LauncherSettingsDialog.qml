import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Pages 1.0
import Orva.Style 1.0

// The launcher's settings: tile sections with a search over their titles. One section is open
// at a time; the search opens the first that matches.
QQC.Popup {
    id: dialog

    parent: QQC.Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    width: Math.min(Style.settingsDialogWidth, parent ? parent.width - 2 * Style.headingSize : Style.settingsDialogWidth)
    height: parent ? parent.height - 2 * Style.headingSize : Style.windowHeight
    modal: true
    focus: true
    padding: Style.panelPadding
    closePolicy: QQC.Popup.CloseOnEscape

    readonly property var sections: [languageSection, hostKeySection, versionSection]

    function openOnly(section) {
        for (var i = 0; i < sections.length; ++i) {
            if (sections[i] !== section)
                sections[i].close()
        }
        section.open()
    }

    function _report(shown) {
        if (typeof templateDialogManager !== "undefined" && templateDialogManager)
            templateDialogManager.setDialogVisible("launcherSettingsDialog", shown)
    }

    QQC.Overlay.modal: Rectangle {
        color: Style.scrimColor
    }

    background: Rectangle {
        radius: Style.cardRadius
        color: Style.backgroundColor
        border.color: Style.borderColor
    }

    contentItem: ColumnLayout {
        spacing: Style.spacingLarge

        RowLayout {
            Layout.fillWidth: true
            spacing: Style.spacing

            Text {
                Layout.fillWidth: true
                text: qsTr("Settings")
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSizeLarge
                font.bold: true
            }

            QQC.TextField {
                id: searchField

                objectName: "settingsSearchField"
                Layout.preferredWidth: Style.searchFieldWidth
                placeholderText: qsTr("Search settings")
                selectByMouse: true
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSize
                onTextChanged: settingsManager.filteredString = text
            }

            RoundButtonWithIcon {
                iconSource: "qrc:/images/icon_close.svg"
                toolTipText: qsTr("Close")
                onClicked: dialog.close()
            }
        }

        QQC.TabBar {
            id: tabBar

            Layout.fillWidth: true
            // The sections take their manager from here.
            property SourceSettingsManager model: SourceSettingsManager {
                id: settingsManager

                sourceSettingsType: ClientGlobal.LauncherSettingsType
                tabIndex: tabBar.currentIndex
            }

            QQC.TabButton {
                text: qsTr("Launcher")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSize
            }
        }

        QQC.ScrollView {
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentWidth: availableWidth

            ColumnLayout {
                width: parent.width
                spacing: Style.spacing

                SourceSettingsTileWrapper {
                    id: languageSection

                    objectName: "languageSection"
                    Layout.fillWidth: true
                    manager: tabBar.model
                    sectionType: ClientGlobal.LanguageSettingsSection
                    title: qsTr("Language")
                    component: languagePage
                    onOpenRequested: dialog.openOnly(languageSection)
                }

                SourceSettingsTileWrapper {
                    id: hostKeySection

                    objectName: "hostKeySection"
                    Layout.fillWidth: true
                    manager: tabBar.model
                    sectionType: ClientGlobal.HostKeySettingsSection
                    title: qsTr("Map data - API Key")
                    component: hostKeyPage
                    onOpenRequested: dialog.openOnly(hostKeySection)
                }

                SourceSettingsTileWrapper {
                    id: versionSection

                    objectName: "versionSection"
                    Layout.fillWidth: true
                    manager: tabBar.model
                    sectionType: ClientGlobal.VersionSection
                    title: qsTr("Version")
                    component: versionPage
                    onOpenRequested: dialog.openOnly(versionSection)
                }
            }
        }
    }

    Component {
        id: languagePage

        RowLayout {
            spacing: Style.spacing

            Text {
                Layout.preferredWidth: Style.settingsLabelWidth
                text: qsTr("Language") + ":"
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSize
            }

            DropDown {
                model: languageModel
                textRole: "LanguageRole"
                currentIndex: languageModel ? languageModel.currentIndex : -1
                onActivated: languageModel.selectLanguage(languageModel.data(languageModel.index(index, 0),
                                                                             LanguageModel.CodeRole))
            }
        }
    }

    Component {
        id: hostKeyPage

        HostKeySettingsPage {
            // The prefer switches choose between the launcher's and a device's keys; the
            // launcher alone has only its own.
            showGooglePreferSwitch: false
            showOpenStreetMapPreferSwitch: false
        }
    }

    Component {
        id: versionPage

        Text {
            text: qsTr("%1 Launcher, version %2").arg(brandConfig.applicationName).arg(Qt.application.version)
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }
    }

    onOpened: _report(true)
    onClosed: {
        searchField.text = ""
        _report(false)
    }

    Component.onDestruction: _report(false)
}
