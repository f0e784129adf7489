import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import QtPositioning 5.12
import QtGraphicalEffects 1.0
import Client 1.0
import Observer 1.0
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Maps 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// The observed cubes on a map, with a side list of the cubes that have a position and a live
// preview of a cube over the map. The map provider follows the map settings: Google Maps with
// a key, the Thunderforest tiles otherwise.
PageBase {
    id: root

    property ObserverManager manager: null
    property var visibleCubesInView: []
    readonly property var visibleCubesInMap: mapItem ? mapItem.visibleCubesInMap : []
    readonly property int hoveredId: mapItem ? mapItem.hoveredId : -1
    readonly property int selectedId: mapItem ? mapItem.selectedId : -1
    property alias mapItem: loader.item
    readonly property alias previewPopup: popupRoot
    readonly property alias proxyModel: proxyModel
    readonly property alias sideList: listView
    readonly property alias mapMenu: mapMenu

    function cubeTitle(cubeId, cubeName, device) {
        return CubeTitle.text(cubeId, cubeName, device, device ? favoriteDeviceSortFilterModel.typeName(device.type) : "")
    }

    // A new key, tile layer or tile server takes a new map: the plugin reads them once.
    function reloadMap() {
        loader.active = false
        loader.active = true
    }

    CubeObserverSortFilterProxyModel {
        id: proxyModel

        sourceModel: root.manager ? root.manager.cubeModel : null
        sortingRole: CubeObserverModel.ObservedAddressRole
        sortingRoles: [CubeObserverModel.ObservedAddressRole, CubeObserverModel.ObservedNameRole,
                       CubeObserverModel.ObservedTypeRole, CubeObserverModel.CubeNameRole]
        roleTranslations: [qsTr("Address"), qsTr("Device name"), qsTr("Device type"), qsTr("Camera name")]
        stringFilterRoles: sortingRoles
        onSourceModelChanged: invalidate()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.leftMargin: root.headingSize
        anchors.rightMargin: root.headingSize
        spacing: Style.spacing

        RowLayout {
            Layout.fillWidth: true
            spacing: Style.spacing

            ListViewController {
                id: viewController

                objectName: "viewController"
                Layout.fillWidth: true
                model: proxyModel
                itemName: qsTr("cameras")
                deleteEnabled: false
                modesComponent: TemplateBase {
                    ViewStylePicker {
                        objectName: "viewStylePicker"
                        manager: root.manager
                        radius: Style.radius
                    }
                }
            }

            DialogSplitButton {
                objectName: "exitButton"
                Layout.preferredWidth: root.width > Style.observerWideViewWidth ? implicitWidth : height
                text: qsTr("Exit")
                bold: true
                iconSource: "qrc:/images/icon_logout.svg"
                iconSize: Style.splitButtonIconSize
                iconOverlayColor: Style.textOnAccentColor
                splitColor: expanded ? Style.accentDarkColor : color
                onClicked: client.requestChangePage(Client.DemoPage)
            }
        }

        Rectangle {
            id: frame

            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: Style.radius
            color: Style.panelColor
            border.width: Style.borderWidth
            border.color: Style.borderColor

            Rectangle {
                id: mask

                anchors.fill: parent
                anchors.margins: Style.borderWidth
                radius: frame.radius
                opacity: 0
            }

            // The map and the list take the frame's rounded corners.
            Item {
                id: area

                anchors.fill: parent
                anchors.margins: Style.borderWidth
                layer.enabled: true
                layer.effect: OpacityMask {
                    maskSource: mask
                }

                RowLayout {
                    anchors.fill: parent
                    spacing: 0

                    Loader {
                        id: loader

                        objectName: "mapLoader"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        sourceComponent: mapsManager.mapType === MapsManager.GoogleMaps && mapsManager.googleApiKeyAvailable
                                         ? googleMapViewComponent : openStreetMapViewComponent
                    }

                    Rectangle {
                        Layout.fillHeight: true
                        Layout.preferredWidth: Style.borderWidth
                        color: Style.borderColor
                    }

                    Item {
                        id: mapMenu

                        property bool expanded: true

                        objectName: "mapMenu"
                        Layout.fillHeight: true
                        Layout.preferredWidth: expanded ? Style.mapSideListWidth : Style.mapSideListCollapsedWidth

                        Behavior on Layout.preferredWidth {
                            NumberAnimation {
                                duration: Style.animationDuration
                            }
                        }

                        ListView {
                            id: listView

                            objectName: "sideList"
                            anchors.fill: parent
                            anchors.leftMargin: Style.slideButtonWidth
                            clip: true
                            model: root.mapItem ? proxyModel : null
                            boundsBehavior: Flickable.StopAtBounds
                            QQC.ScrollBar.vertical: QQC.ScrollBar {
                                width: Style.scrollBarWidth
                                policy: listView.contentHeight > listView.height ? QQC.ScrollBar.AlwaysOn
                                                                                 : QQC.ScrollBar.AlwaysOff
                            }
                            delegate: sideListDelegate
                        }

                        SlideBtn {
                            objectName: "slideButton"
                            anchors.left: parent.left
                            anchors.verticalCenter: parent.verticalCenter
                            width: Style.slideButtonWidth
                            height: Style.slideButtonHeight
                            roundedLeft: true
                            arrowRotation: mapMenu.expanded ? 90 : 270
                            onClicked: mapMenu.expanded = !mapMenu.expanded
                        }
                    }
                }
            }
        }
    }

    QQC.Popup {
        id: popupRoot

        // The map's own coordinates place it over a pin.
        property var previewObject: undefined

        objectName: "previewPopup"
        parent: loader
        padding: 0
        width: root.width / 3
        height: width * 2 / 3
        background: Item {}

        Loader {
            anchors.fill: parent
            anchors.margins: Style.observerTileMargin
            active: !!popupRoot.previewObject
            sourceComponent: cubePopupDelegateComponent
        }

        onClosed: {
            if (root.mapItem)
                root.mapItem.updateSelectedId(-1)
            previewObject = null
        }
    }

    Component {
        id: cubePopupDelegateComponent

        CubeObserverDelegate {
            readonly property var cube: popupRoot.previewObject
            readonly property var camera: cube ? cube.currentCamera : null

            itemId: cube ? cube.observerId : -1
            name: cube ? root.cubeTitle(cube.cubeId, cube.cubeName, cube.observedDevice) : ""
            blockOnline: !!cube && cube.observerOnline
            cubeEnabled: !!cube && cube.cubeEnabled
            time: cube ? cube.lastImageTimestamp : 0
            sourceInfo: camera ? camera.sourceInfo : null
            isOnvifCamera: !!camera && camera.isOnvifPTZ
            nodeConnected: !!camera && camera.nodeConnected
            analyticInfo: cube ? cube.analyticInfo : null
            compatible: !!cube && cube.observedDevice.compatible

            onForceUpdateVideoSource: {
                if (root.manager)
                    root.manager.cubeModel.updateCubeObserverVideoSource(itemId, provider)
            }
            onSwitchToCube: root.mapItem.handOver(itemId, cube.observedDevice, cube.cubeId)
            onSwitchToDashboard: root.mapItem.handOver(itemId, cube.observedDevice, cube.cubeId)

            Component.onCompleted: {
                updateVideoSource()
                if (root.manager)
                    root.manager.cubeModel.setAnalyticsVisibleInGUI(itemId, true, true)
            }
            Component.onDestruction: {
                if (root.manager)
                    root.manager.cubeModel.setAnalyticsVisibleInGUI(itemId, false)
                clearVideoSource()
            }
        }
    }

    Component {
        id: sideListDelegate

        CubeDelegateBase {
            id: delegate

            readonly property int observerId: model.ObserverIdRole
            readonly property var device: model.ObservedDeviceRole
            readonly property bool selected: observerId === root.selectedId
            readonly property bool hovered: observerId === root.hoveredId
            readonly property real latitude: model.CubeCameraPositionLatitude !== undefined ? model.CubeCameraPositionLatitude : 0
            readonly property real longitude: model.CubeCameraPositionLongitude !== undefined ? model.CubeCameraPositionLongitude : 0
            readonly property bool positioned: latitude !== 0 && longitude !== 0
            readonly property bool shown: observerId !== -1 && positioned

            objectName: "sideListRow"
            visible: shown
            width: listView.width - (listView.QQC.ScrollBar.vertical.visible ? Style.spacingMedium : 0)
            height: shown ? Style.mapSideListRowHeight : 0
            blockOnline: model.ObserverOnlineRole
            cubeEnabled: model.CubeEnabledRole
            time: model.CubeTimestampRole
            sourceInfo: model.SourceInfoRole
            analyticInfo: model.AnalyticInfoRole
            isOnvifCamera: model.CubeIsOnvifPTZ
            nodeConnected: model.SourceConnectedRole

            function listed(list) {
                return !!list && list.indexOf(observerId) >= 0
            }

            RowLayout {
                anchors.fill: parent
                anchors.bottomMargin: Style.borderWidth
                spacing: 0

                Rectangle {
                    Layout.fillHeight: true
                    Layout.preferredWidth: Style.mapSideListStripWidth
                    color: delegate.selected ? Style.mapSelectedColor
                                             : delegate.hovered ? Style.mapHoveredColor : Style.panelColor
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
                            text: root.cubeTitle(model.CubeIdRole, model.CubeNameRole, delegate.device)
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
                                color: delegate.stateColor
                                QQC.ToolTip.visible: stateArea.containsMouse && delegate.miniDiagnosticsList.length > 0
                                QQC.ToolTip.text: delegate.miniDiagnosticsList.join("\n")

                                MouseArea {
                                    id: stateArea

                                    anchors.fill: parent
                                    hoverEnabled: true
                                    acceptedButtons: Qt.NoButton
                                }
                            }

                            TableText {
                                Layout.fillWidth: true
                                text: delegate.state
                                font: Qt.font({ family: Style.fontFamily, pointSize: Style.observerTextPointSize, bold: true })
                                color: Style.mutedTextColor
                            }
                        }
                    }

                    MouseArea {
                        anchors.fill: parent
                        hoverEnabled: true
                        onContainsMouseChanged: {
                            if (root.mapItem)
                                root.mapItem.updateHoveredId(containsMouse ? delegate.observerId : -1)
                        }
                        onClicked: {
                            if (root.mapItem)
                                root.mapItem.cubeTabSelected(delegate.observerId)
                        }
                    }
                }

                Item {
                    Layout.preferredWidth: Style.controlHeight
                    Layout.fillHeight: true
                    Layout.topMargin: Style.mapSideListButtonMargin
                    Layout.bottomMargin: Style.mapSideListButtonMargin
                    visible: mapMenu.expanded

                    RoundButtonWithIcon {
                        id: locationButton

                        objectName: "locationButton"
                        anchors.fill: parent
                        iconSource: "qrc:/images/icon_position.svg"
                        enabled: delegate.positioned
                        onPressed: root.mapItem.zoomToPosition(delegate.observerId,
                                                               QtPositioning.coordinate(delegate.latitude, delegate.longitude))
                    }

                    // A disabled button takes no hover; this area explains it.
                    MouseArea {
                        id: locationHint

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
                    visible: mapMenu.expanded
                }

                RoundButtonWithIcon {
                    objectName: "analyticsButton"
                    Layout.preferredWidth: Style.controlHeight
                    Layout.fillHeight: true
                    Layout.topMargin: Style.mapSideListButtonMargin
                    Layout.bottomMargin: Style.mapSideListButtonMargin
                    visible: mapMenu.expanded
                    iconSource: "qrc:/images/icon_map_openanalytics.svg"
                    onPressed: root.mapItem.handOver(delegate.observerId, delegate.device, model.CubeIdRole)
                }

                Item {
                    Layout.preferredWidth: Style.mapSideListButtonMargin
                    visible: mapMenu.expanded
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
                if (observerId === -1 || !root.mapItem)
                    return
                if (!listed(root.visibleCubesInView)) {
                    root.visibleCubesInView = root.visibleCubesInView.concat([observerId])
                    if (!listed(root.visibleCubesInMap))
                        root.mapItem.updateCubeRequesting(observerId, true)
                } else {
                    root.mapItem.updateCubeRequesting(observerId, true)
                }
            }
            Component.onDestruction: {
                if (observerId === -1)
                    return
                if (listed(root.visibleCubesInView))
                    root.visibleCubesInView = root.visibleCubesInView.filter(function(id) { return id !== observerId })
                if (root.mapItem && !listed(root.visibleCubesInMap))
                    root.mapItem.updateCubeRequesting(observerId, false)
            }
        }
    }

    Component {
        id: googleMapViewComponent

        GoogleMapView {
            manager: root.manager
            model: proxyModel
            visibleCubesInView: root.visibleCubesInView
            previewPopup: popupRoot
        }
    }

    Component {
        id: openStreetMapViewComponent

        OpenStreetMapView {
            manager: root.manager
            model: proxyModel
            visibleCubesInView: root.visibleCubesInView
            previewPopup: popupRoot
        }
    }

    Connections {
        target: mapsManager

        function onOpenStreetMapApiKeysChanged() {
            root.reloadMap()
        }
    }

    Connections {
        target: hostMapsManager

        function onHostOpenStreetMapApiKeyTileLayerChanged() {
            root.reloadMap()
        }
        function onOpenStreetMapTileServerChanged() {
            root.reloadMap()
        }
    }
}
