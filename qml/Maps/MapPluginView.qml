import QtQuick 2.15
import QtPositioning 5.12
import QtLocation 5.15
import AnalyticsProxy 1.0
import Client 1.0
import Orva.Components 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// The map of the observed cubes: a pin per cube with a position (CubePin), group markers where
// pins come close (GroupPin), and the totals in the corner (MapTotals). A cube requests frames
// while its pin is in the visible region or its row is in the page's side list. The provider
// views give the plugin.
ItemBase {
    id: root

    property var manager: null
    property var model: undefined
    property string preferredMapTypeName: ""
    property var visibleCubesInMap: []
    property int hoveredId: -1
    property int selectedId: -1
    property int focusedId: -1
    property bool autoZoom: false
    property var visibleCubesInView: undefined
    property alias mapPlugin: map.plugin
    // The page's preview popup, placed over a pin by showCubePreview.
    property var previewPopup: null
    readonly property bool previewOpen: !!previewPopup && previewPopup.opened
    readonly property alias map: map
    readonly property alias mapGroupManager: mapGroupManager
    readonly property alias geoTableModel: geoTableModel
    readonly property alias generalGroupPin: generalGroupPin

    signal updateGroups()
    signal cubeTabSelected(var observerId)

    function updateCubeRequesting(observerId, requestEnabled) {
        if (observerId === -1 || !manager || !manager.cubeModel)
            return
        var inMap = _private.listed(visibleCubesInMap, observerId)
        var inView = _private.listed(visibleCubesInView, observerId)
        if (requestEnabled && (inMap || inView))
            manager.cubeModel.setAnalyticsVisibleInGUI(observerId, true, false)
        else if (!requestEnabled && !inMap && !inView)
            manager.cubeModel.setAnalyticsVisibleInGUI(observerId, false, false)
    }

    function zoomToPosition(id, coordinate) {
        _private.viewTaken = true
        map.zoomLevel = map.defaultZoom
        map.center = coordinate
        updateGroups()
        var grouped = mapGroupManager.updateNodeFocus(id)
        if (grouped) {
            // Each pass zooms into the group's region until the cube stands alone.
            for (var pass = 0; pass < 100; ++pass) {
                updateGroups()
                if (!mapGroupManager.updateNodeFocus(id)) {
                    map.center = coordinate
                    return
                }
            }
        }
        focusToPosition(id, coordinate)
    }

    function focusToPosition(id, coordinate) {
        _private.viewTaken = true
        map.zoomLevel = Style.mapFocusZoomLevel
        autoZoom = true
        focusedId = id
        map.center = coordinate
        map.fitViewportToVisibleMapItems()
        focusedId = -1
        autoZoom = false
    }

    function updateHoveredId(id) {
        hoveredId = id
    }

    function updateSelectedId(id) {
        selectedId = id
    }

    function applyPreferredMapType() {
        if (preferredMapTypeName.length === 0)
            return
        var types = map.supportedMapTypes
        for (var i = 0; i < types.length; ++i) {
            if (types[i].name === preferredMapTypeName) {
                map.activeMapType = types[i]
                return
            }
        }
    }

    // Where the preview of a pin at point p opens: above the pin, below it near the top edge,
    // and never past the left or right edge.
    function previewPosition(p, popupWidth, popupHeight) {
        var x = p.x - popupWidth / 2
        var y = p.y - popupHeight - Style.mapPreviewOffset
        if (y < 0)
            y = p.y + Style.mapPreviewOffset
        if (x < 0)
            x = Style.mapPreviewOffset
        else if (x + popupWidth > map.width)
            x = map.width - popupWidth - Style.mapPreviewOffset
        return Qt.point(x, y)
    }

    function showPreview(observerId, object, p) {
        if (!previewPopup)
            return
        updateSelectedId(observerId)
        var at = previewPosition(p, previewPopup.width, previewPopup.height)
        previewPopup.x = at.x
        previewPopup.y = at.y
        previewPopup.previewObject = object
        previewPopup.open()
    }

    // Hands the cube (or with dashboard its dashboard) over to the client application with its
    // frames running; the observers stay logged in.
    function handOver(observerId, device, cubeId, dashboard) {
        if (manager && manager.cubeModel)
            manager.cubeModel.setAnalyticsVisibleInGUI(observerId, true, true)
        ClientHandOver.handOver(manager, device, cubeId, !!dashboard, false)
    }

    // Keeps visibleCubesInMap as the pins report it; a cube that the side list does not show
    // asks for frames exactly while its pin is in the visible region.
    function reportCubeInRegion(observerId, inRegion) {
        var inMap = _private.listed(visibleCubesInMap, observerId)
        if (inRegion && !inMap)
            visibleCubesInMap = visibleCubesInMap.concat([observerId])
        else if (!inRegion && inMap)
            visibleCubesInMap = visibleCubesInMap.filter(function(id) { return id !== observerId })
        if (!_private.listed(visibleCubesInView, observerId))
            updateCubeRequesting(observerId, inRegion)
    }

    function _restoreView() {
        if (!visible || !map.mapReady || !client.mapViewCoordinate.isValid)
            return
        _private.viewTaken = true
        map.center = client.mapViewCoordinate
        map.zoomLevel = client.mapViewZoomLevel
    }

    // The focus region fills the map but for a margin: pins and group markers at its edge lie
    // wholly inside, none under the side list's slide button.
    function _fitFocusRegion() {
        if (map.mapReady)
            map.fitViewportToGeoShape(mapGroupManager.focusRegion, Style.mapFitMargin)
    }

    // All cubes in view, until the operator or a remembered view moved the map.
    function _fitAllCubes() {
        mapGroupManager.updateMapFocus()
        map.defaultZoom = map.zoomLevel
    }

    onPreferredMapTypeNameChanged: applyPreferredMapType()
    onVisibleChanged: _restoreView()

    QtObject {
        id: _private

        property bool viewTaken: false

        function listed(list, observerId) {
            return !!list && list.indexOf(observerId) >= 0
        }
    }

    GeoTableModel {
        id: geoTableModel

        // Cubes arrive after the view opens; the table follows the cube model.
        cubeModel: root.manager ? root.manager.cubeModel : null
        onModelReset: {
            if (!_private.viewTaken)
                root._fitAllCubes()
        }
        onRowsInserted: {
            if (!_private.viewTaken)
                root._fitAllCubes()
        }
    }

    MapGroupManager {
        id: mapGroupManager

        sourceModel: geoTableModel
        onFocusRegionChanged: root._fitFocusRegion()

        Component.onCompleted: {
            if (root.manager && root.manager.cubeModel)
                geoTableModel.loadCoordinates(root.manager.cubeModel.observersIds, root.manager.cubeModel.cubesCoordinates)
            root._fitAllCubes()
        }
    }

    Map {
        id: map

        objectName: "map"
        anchors.fill: parent
        copyrightsVisible: false

        property real defaultZoom: 0

        onCenterChanged: client.mapViewCoordinate = center
        onZoomLevelChanged: client.mapViewZoomLevel = zoomLevel
        onSupportedMapTypesChanged: root.applyPreferredMapType()
        onMapReadyChanged: {
            if (!mapReady)
                return
            if (!_private.viewTaken)
                root._fitAllCubes()
            root._restoreView()
        }

        gesture.onPanStarted: {
            _private.viewTaken = true
            client.setClosedHandCursor()
        }
        gesture.onPanFinished: client.resetCursor()
        gesture.onPinchStarted: _private.viewTaken = true

        Component.onCompleted: root.applyPreferredMapType()

        MapItemView {
            id: cameraLayer

            model: root.model
            delegate: CubePin {
                view: root
                cube: model
            }
        }

        MapItemView {
            id: groupLayer

            model: mapGroupManager.model
            delegate: GroupPin {
                view: root
                group: model
                onActivated: {
                    _private.viewTaken = true
                    mapGroupManager.updateGroupFocus(mapGroupManager.model.index(index, 0))
                    root.updateGroups()
                }
            }
        }
    }

    // The map does not zoom under an open preview.
    MouseArea {
        anchors.fill: map
        visible: root.previewOpen
        preventStealing: true
        propagateComposedEvents: false
        acceptedButtons: Qt.NoButton
        onWheel: wheel.accepted = true
    }

    MapTotals {
        id: generalGroupPin

        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.leftMargin: 3 * root.headingSize
        anchors.bottomMargin: height
        groups: mapGroupManager
        tooltipVisible: !root.previewOpen
        tooltipSize: root.rowHeight
        onClicked: {
            _private.viewTaken = true
            mapGroupManager.updateViewportFocus(root.visibleCubesInMap)
            root.updateGroups()
        }
    }

    Connections {
        target: client

        // A moved or resized window leaves the map drawn where it was: a pan there and back
        // redraws it.
        function onWindowRectChanged() {
            map.pan(1, -1)
            map.pan(-1, 1)
        }
    }
}
