import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import QtPositioning 5.12
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Style 1.0

// A cube's row in the map view's side list: title and state, a button that zooms the map to
// the cube and one that hands the cube over to the client. A click on the row opens the cube's
// preview on the map. Only cubes with a position have a row that shows.
CubeDelegateBase {
    id: root

    // The MapCubeView, and the row of its model.
    property var view: null
    property var cube: null
    // Without room (a collapsed side list) only title and state show.
    property bool expanded: true
    readonly property int observerId: cube ? cube.ObserverIdRole : -1
    readonly property bool selected: !!view && observerId === view.selectedId
    readonly property bool hovered: !!view && observerId === view.hoveredId
    readonly property real latitude: cube && cube.CubeCameraPositionLatitude !== undefined ? cube.CubeCameraPositionLatitude : 0
    readonly property real longitude: cube && cube.CubeCameraPositionLongitude !== undefined ? cube.CubeCameraPositionLongitude : 0
    readonly property bool positioned: latitude !== 0 && longitude !== 0
    readonly property bool shown: observerId !== -1 && positioned

    objectName: "sideListRow"
    visible: shown
    height: shown ? Style.mapSideListRowHeight : 0
    cubeId: cube ? cube.CubeIdRole : -1
    cubeName: cube ? cube.CubeNameRole : ""
    device: cube ? cube.ObservedDeviceRole : null
    blockOnline: !!cube && cube.ObserverOnlineRole
    cubeEnabled: !!cube && cube.CubeEnabledRole
    time: cube ? cube.CubeTimestampRole : 0
    sourceInfo: cube ? cube.SourceInfoRole : null
    analyticInfo: cube ? cube.AnalyticInfoRole : null
    isOnvifCamera: !!cube && cube.CubeIsOnvifPTZ
    nodeConnected: !!cube && cube.SourceConnectedRole

    RowLayout {
        anchors.fill: parent
        anchors.bottomMargin: Style.borderWidth
        spacing: 0

        Rectangle {
            Layout.fillHeight: true
            Layout.preferredWidth: Style.mapSideListStripWidth
            color: root.selected ? Style.mapSelectedColor : root.hovered ? Style.mapHoveredColor : Style.panelColor
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: Style.panelColor

            ColumnLayout {
                anchors.fill: parent
                anchors.leftMargin: Style.spacing
                spacing: 0

                TableText {
                    Layout.fillWidth: true
                    text: root.title
                    font: Qt.font({ family: Style.fontFamily, pointSize: Style.observerTitlePointSize, bold: true })
                    color: Style.secondaryTextColor
                }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: Style.spacing

                    Rectangle {
                        Layout.preferredWidth: Style.observerStateIndicatorSize
                        Layout.preferredHeight: Style.observerStateIndicatorSize
                        radius: width / 2
                        color: root.stateColor
                        QQC.ToolTip.visible: stateArea.containsMouse && root.miniDiagnosticsList.length > 0
                        QQC.ToolTip.text: root.miniDiagnosticsList.join("\n")

                        MouseArea {
                            id: stateArea

                            anchors.fill: parent
                            hoverEnabled: true
                            acceptedButtons: Qt.NoButton
                        }
                    }

                    TableText {
                        Layout.fillWidth: true
                        text: root.state
                        font: Qt.font({ family: Style.fontFamily, pointSize: Style.observerTextPointSize, bold: true })
                        color: Style.mutedTextColor
                    }
                }
            }

            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                onContainsMouseChanged: {
                    if (root.view.mapItem)
                        root.view.mapItem.updateHoveredId(containsMouse ? root.observerId : -1)
                }
                onClicked: {
                    if (root.view.mapItem)
                        root.view.mapItem.cubeTabSelected(root.observerId)
                }
            }
        }

        Item {
            Layout.preferredWidth: Style.controlHeight
            Layout.fillHeight: true
            Layout.topMargin: Style.mapSideListButtonMargin
            Layout.bottomMargin: Style.mapSideListButtonMargin
            visible: root.expanded

            RoundButtonWithIcon {
                id: locationButton

                objectName: "locationButton"
                anchors.fill: parent
                iconSource: "qrc:/images/icon_position.svg"
                enabled: root.positioned
                onPressed: root.view.mapItem.zoomToPosition(root.observerId,
                                                            QtPositioning.coordinate(root.latitude, root.longitude))
            }

            // A disabled button takes no hover; this area explains it.
            MouseArea {
                anchors.fill: parent
                visible: !locationButton.enabled
                hoverEnabled: true
                acceptedButtons: Qt.NoButton
                QQC.ToolTip.visible: containsMouse
                QQC.ToolTip.text: qsTr("This cube doesn't have configured location.")
            }
        }

        Item {
            Layout.preferredWidth: Style.spacingXLarge
            visible: root.expanded
        }

        RoundButtonWithIcon {
            objectName: "analyticsButton"
            Layout.preferredWidth: Style.controlHeight
            Layout.fillHeight: true
            Layout.topMargin: Style.mapSideListButtonMargin
            Layout.bottomMargin: Style.mapSideListButtonMargin
            visible: root.expanded
            iconSource: "qrc:/images/icon_map_openanalytics.svg"
            onPressed: root.view.mapItem.handOver(root.observerId, root.device, root.cubeId)
        }

        Item {
            Layout.preferredWidth: Style.mapSideListButtonMargin
            visible: root.expanded
        }
    }

    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: Style.borderWidth
        color: Style.borderColor
    }

    Component.onCompleted: {
        if (view)
            view.sideListRowAdded(observerId)
    }
    Component.onDestruction: {
        if (view)
            view.sideListRowRemoved(observerId)
    }
}
