import QtQuick 2.15
import QtQuick.Layouts 1.15
import QtGraphicalEffects 1.0
import Client 1.0
import Observer 1.0
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
    readonly property alias sideList: mapMenu.listView
    readonly property alias mapMenu: mapMenu

    // A side-list row of the cube exists: the cube is in visibleCubesInView and asks for frames.
    function sideListRowAdded(observerId) {
        if (observerId === -1 || !mapItem)
            return
        if (!_private.listed(visibleCubesInView, observerId)) {
            visibleCubesInView = visibleCubesInView.concat([observerId])
            if (!_private.listed(visibleCubesInMap, observerId))
                mapItem.updateCubeRequesting(observerId, true)
        } else {
            mapItem.updateCubeRequesting(observerId, true)
        }
    }

    // Its row is gone: the cube asks for frames only while its pin is in the visible region.
    function sideListRowRemoved(observerId) {
        if (observerId === -1)
            return
        if (_private.listed(visibleCubesInView, observerId))
            visibleCubesInView = visibleCubesInView.filter(function(id) { return id !== observerId })
        if (mapItem && !_private.listed(visibleCubesInMap, observerId))
            mapItem.updateCubeRequesting(observerId, false)
    }

    // A new key, tile layer or tile server takes a new map: the plugin reads them once.
    function reloadMap() {
        loader.active = false
        loader.active = true
    }

    QtObject {
        id: _private

        function listed(list, observerId) {
            return !!list && list.indexOf(observerId) >= 0
        }
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

        ObserverControllerRow {
            Layout.fillWidth: true
            manager: root.manager
            model: proxyModel
            itemName: qsTr("cameras")
            viewWidth: root.width
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

                    MapSideList {
                        id: mapMenu

                        Layout.fillHeight: true
                        Layout.preferredWidth: expanded ? Style.mapSideListWidth : Style.mapSideListCollapsedWidth
                        view: root
                        model: root.mapItem ? proxyModel : null

                        Behavior on Layout.preferredWidth {
                            NumberAnimation {
                                duration: Style.animationDuration
                            }
                        }
                    }
                }
            }
        }
    }

    MapCubePreview {
        id: popupRoot

        parent: loader
        width: root.width / 3
        height: width * 2 / 3
        view: root
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
