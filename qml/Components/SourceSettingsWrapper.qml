import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Style 1.0
import Orva.Templates 1.0

// A collapsible settings section that tells the shell whether its page holds unsaved or
// invalid changes. Its owner opens it: a click on a closed title only asks (openRequested).
// Without the title line it is drawn as a tile.
ColumnLayout {
    id: root

    spacing: Style.spacing

    property string unavailabilityText: qsTr("This settings is unavailable due to source invalid configuration.")
    property bool keepAlive: false
    property string dataResetText: qsTr("This update will result in removal of all accumulated data - including trajectories in cache. Do you really want to proceed?")
    property int titleHeight: Style.titleHeight
    property bool titleLineVisible: true
    property int horizontalTileMargin: Style.sectionTileHorizontalMargin
    property int verticalTileMargin: Style.sectionTileVerticalMargin
    property Component component: null
    property alias available: title.available
    property alias title: title.text
    property alias expanded: title.expanded
    property alias item: loader.item
    readonly property bool settingsChanged: loader.item && loader.item.settingsChanged !== undefined
                                            ? loader.item.settingsChanged : false
    readonly property bool settingsValid: loader.item && loader.item.settingsValid !== undefined
                                          ? loader.item.settingsValid : true

    signal opened()
    signal loaded()
    signal openRequested()

    function open() {
        opened()
        title.expanded = true
    }

    function close() {
        title.expanded = false
    }

    // Several changes in one pass of the event loop reach the shell once, with the last state.
    function updateSettingsChanges() {
        Qt.callLater(_publishSettingsChanges, {
                         "settings_changed": settingsChanged,
                         "settings_valid": settingsValid,
                         "settings": root
                     })
    }

    function _publishSettingsChanges(resources) {
        if (typeof client !== "undefined" && client)
            client.setPageChangeResources(resources)
    }

    onSettingsChangedChanged: updateSettingsChanges()
    onSettingsValidChanged: updateSettingsChanges()

    Item {
        id: tile

        readonly property int horizontalMargin: root.titleLineVisible ? 0 : root.horizontalTileMargin
        readonly property int verticalMargin: root.titleLineVisible ? 0 : root.verticalTileMargin

        Layout.fillWidth: true
        implicitWidth: content.implicitWidth + 2 * horizontalMargin
        implicitHeight: content.implicitHeight + 2 * verticalMargin

        Rectangle {
            anchors.fill: parent
            visible: !root.titleLineVisible
            color: Style.panelColor
            radius: Style.sectionTileRadius
            border.width: Style.borderWidth
            border.color: Style.separatorColor
        }

        ColumnLayout {
            id: content

            anchors.fill: parent
            anchors.leftMargin: tile.horizontalMargin
            anchors.rightMargin: tile.horizontalMargin
            anchors.topMargin: tile.verticalMargin
            anchors.bottomMargin: tile.verticalMargin
            spacing: Style.spacing

            SourceSettingsTitle {
                id: title

                Layout.fillWidth: true
                Layout.preferredHeight: root.titleHeight
                expanded: false
                lineVisible: root.titleLineVisible
                onClicked: {
                    if (!expanded)
                        root.openRequested()
                }
            }

            Item {
                Layout.fillWidth: true
                implicitHeight: loader.implicitHeight
                Layout.maximumHeight: loader.status === Loader.Ready ? Number.POSITIVE_INFINITY : 0
                visible: root.expanded || !root.keepAlive

                Loader {
                    id: loader

                    width: parent.width
                    height: implicitHeight
                    sourceComponent: (root.visible && root.expanded) || root.keepAlive
                                     ? (root.available ? root.component : unavailableComponent) : null
                    opacity: status === Loader.Ready ? 1 : 0
                    onLoaded: root.loaded()

                    Behavior on opacity {
                        NumberAnimation {
                            duration: Style.animationDuration
                            easing.type: Easing.InOutQuad
                        }
                    }
                }
            }
        }

        MouseArea {
            anchors.fill: parent
            visible: !root.titleLineVisible && !root.expanded
            cursorShape: Qt.PointingHandCursor
            onClicked: title.clicked()
        }
    }

    Item {
        Layout.fillWidth: true
        visible: root.keepAlive && !root.expanded
    }

    Component {
        id: unavailableComponent

        SettingsBase {
            implicitHeight: note.implicitHeight
            settingsValid: true
            settingsChanged: false

            Text {
                id: note

                width: parent.width
                text: root.unavailabilityText
                color: Style.warningColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSize
                wrapMode: Text.Wrap
            }
        }
    }
}
