import QtQuick 2.15
import QtQuick.Layouts 1.15
import Client 1.0
import Observer 1.0
import Orva.Components 1.0
import Orva.Style 1.0
import Orva.Templates 1.0
import Orva.Views 1.0

// Every favourite block at once: its cubes with live video, the blocks themselves, or the map.
// Creating the page starts the observation of every favourite device.
PageBase {
    id: root

    title: qsTr("Observer")
    Accessible.role: Accessible.Dialog
    rowHeight: Style.observerRowHeight

    readonly property alias observerManager: observerManager
    readonly property alias viewLoader: viewLoader

    ObserverManager {
        id: observerManager

        sourceModel: favoriteDeviceModel
    }

    // Counts the observed favourites: those with an address, a user name and a password.
    DeviceObserverSortFilterProxyModel {
        id: observedDevices

        sourceModel: observerManager.deviceModel
        onSourceModelChanged: invalidate()
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
    }

    ColumnLayout {
        id: mainLayout

        anchors.fill: parent
        anchors.topMargin: Style.spacingXLarge
        anchors.bottomMargin: Style.spacingXLarge

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.alignment: Qt.AlignTop | Qt.AlignLeft

            Loader {
                id: viewLoader

                objectName: "viewLoader"
                anchors.fill: parent
                sourceComponent: {
                    switch (observerManager.observerViewStyle) {
                    case ObserverManager.DeviceView: return deviceObserverView
                    case ObserverManager.MapView: return mapCubeView
                    default: return cubeObserverView
                    }
                }
            }

            NoticeLine {
                objectName: "noObservedDevices"
                anchors.centerIn: parent
                width: Math.min(implicitWidth, parent.width - 2 * root.headingSize)
                visible: observedDevices.count === 0
                text: qsTr("No favorite device has a saved user name and password: add one on the Favorite devices page.")
            }
        }
    }

    Component {
        id: cubeObserverView

        CubeObserverView {
            manager: observerManager
        }
    }

    Component {
        id: deviceObserverView

        DeviceObserverView {
            manager: observerManager
        }
    }

    Component {
        id: mapCubeView

        MapCubeView {
            manager: observerManager
        }
    }

    Connections {
        target: client

        function onEscapeKeyPressed() {
            observerManager.logoutObservers()
            client.requestChangePage(Client.DemoPage)
        }
    }

    Component.onCompleted: forceActiveFocus()
}
