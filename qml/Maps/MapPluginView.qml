import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtPositioning 5.12
import QtLocation 5.12
import AnalyticsProxy 1.0
import Client 1.0
import Orva.Components 1.0
import Orva.Components.CubeView 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// The map of the observed cubes: a pin per cube with a position, group markers where pins come
// close, and the totals in the corner. A cube requests frames while its pin is in the visible
// region or its row is in the page's side list. The provider views give the plugin.
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

    // Hands the cube over to the client application; the observers stay logged in.
    function handOver(observerId, device, cubeId) {
        if (manager && manager.cubeModel)
            manager.cubeModel.setAnalyticsVisibleInGUI(observerId, true, true)
        client.loginSourcePage = Client.ObserverPage
        if (device && device.sourceIndex !== undefined)
            favoriteDeviceModel.loginIndex = device.sourceIndex
        client.autoSelectFlag = false
        client.autoSelectId = cubeId
        client.startORVA()
    }

    function cubeTitle(cubeId, cubeName, device) {
        return CubeTitle.text(cubeId, cubeName, device, device ? favoriteDeviceSortFilterModel.typeName(device.type) : "")
    }

    function _restoreView() {
        if (!visible || !map.mapReady || !client.mapViewCoordinate.isValid)
            return
        _private.viewTaken = true
        map.center = client.mapViewCoordinate
        map.zoomLevel = client.mapViewZoomLevel
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
        visibleRegion: mapGroupManager.focusRegion

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
            delegate: MapQuickItem {
                id: cameraMapDelegateItem

                readonly property int observerId: model.ObserverIdRole !== undefined ? model.ObserverIdRole : -1
                readonly property var object: model.ObjectRole
                readonly property var device: model.ObservedDeviceRole
                readonly property int cubeId: model.CubeIdRole !== undefined ? model.CubeIdRole : -1
                readonly property bool grouped: mapGroupManager.nodeIndices.indexOf(observerId) >= 0
                property bool isWithinVisibleRegion: false

                coordinate: QtPositioning.coordinate(model.CubeCameraPositionLatitude, model.CubeCameraPositionLongitude)
                visible: observerId !== -1 && coordinate.isValid && (!root.autoZoom || observerId === root.focusedId)
                anchorPoint.x: sourceItem.width / 2
                anchorPoint.y: sourceItem.height / 2

                function checkIfIsWithinRegion() {
                    isWithinVisibleRegion = visible && map.visibleRegion.contains(coordinate)
                }

                function updateMapGroups() {
                    if (observerId === -1)
                        return
                    mapGroupManager.updateMapCubePosition(observerId, isWithinVisibleRegion,
                                                          map.fromCoordinate(coordinate, false))
                }

                function showCubePreview() {
                    var p = map.fromCoordinate(coordinate, false)
                    if (!p || isNaN(p.x) || isNaN(p.y))
                        return
                    root.showPreview(observerId, object, p)
                }

                function handleClick() {
                    showCubePreview()
                }

                onIsWithinVisibleRegionChanged: {
                    if (visible && observerId !== -1) {
                        var inList = _private.listed(root.visibleCubesInView, observerId)
                        if (isWithinVisibleRegion) {
                            if (!_private.listed(root.visibleCubesInMap, observerId))
                                root.visibleCubesInMap = root.visibleCubesInMap.concat([observerId])
                            if (!inList)
                                root.updateCubeRequesting(observerId, true)
                        } else {
                            if (_private.listed(root.visibleCubesInMap, observerId))
                                root.visibleCubesInMap = root.visibleCubesInMap.filter(function(id) { return id !== observerId })
                            if (!inList)
                                root.updateCubeRequesting(observerId, false)
                        }
                    }
                    updateMapGroups()
                }
                onVisibleChanged: updateMapGroups()

                sourceItem: Rectangle {
                    id: cameraPin

                    readonly property bool selected: cameraMapDelegateItem.observerId === root.selectedId
                    readonly property bool hovered: cameraMapDelegateItem.observerId === root.hoveredId

                    objectName: "cameraPin"
                    visible: !cameraMapDelegateItem.grouped
                    width: selected || hovered ? Style.mapPinActiveSize : Style.mapPinSize
                    height: width
                    radius: width / 2
                    color: selected ? Style.mapSelectedColor : hovered ? Style.mapHoveredColor : Style.mapPinColor

                    CubeDelegateBase {
                        id: positionIndicator

                        anchors.fill: parent
                        anchors.margins: Style.mapPinMargin
                        radius: width / 2
                        color: stateColor
                        blockOnline: !!model.ObserverOnlineRole
                        cubeEnabled: !!model.CubeEnabledRole
                        time: model.CubeTimestampRole !== undefined ? model.CubeTimestampRole : 0
                        sourceInfo: model.SourceInfoRole !== undefined ? model.SourceInfoRole : null
                        analyticInfo: model.AnalyticInfoRole !== undefined ? model.AnalyticInfoRole : null
                        isOnvifCamera: !!model.CubeIsOnvifPTZ
                        nodeConnected: !!model.SourceConnectedRole

                        onStateColorChanged: mapGroupManager.updateCubeState(cameraMapDelegateItem.observerId, "" + stateColor)
                    }

                    MouseArea {
                        id: cameraPinMA

                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onContainsMouseChanged: root.updateHoveredId(containsMouse ? cameraMapDelegateItem.observerId : -1)
                        onClicked: clickTimer.start()
                        onDoubleClicked: {
                            clickTimer.stop()
                            root.handOver(cameraMapDelegateItem.observerId, cameraMapDelegateItem.device,
                                          cameraMapDelegateItem.cubeId)
                        }
                    }

                    // A single click waits out the double-click interval, so that a double
                    // click never also opens the preview.
                    Timer {
                        id: clickTimer

                        interval: Qt.styleHints.mouseDoubleClickInterval
                        onTriggered: cameraMapDelegateItem.handleClick()
                    }

                    MapGroupToolTip {
                        visible: cameraPinMA.containsMouse && !root.previewOpen
                        tooltipSize: root.rowHeight
                        y: -height - Style.spacingSmall
                        text: root.cubeTitle(model.CubeIdRole, model.CubeNameRole, cameraMapDelegateItem.device)
                    }
                }

                Connections {
                    target: map

                    function onCenterChanged() {
                        cameraMapDelegateItem.checkIfIsWithinRegion()
                        cameraMapDelegateItem.updateMapGroups()
                    }
                    // Zooming changes the visible region as much as panning does.
                    function onZoomLevelChanged() {
                        cameraMapDelegateItem.checkIfIsWithinRegion()
                        cameraMapDelegateItem.updateMapGroups()
                    }
                    function onWidthChanged() { cameraMapDelegateItem.checkIfIsWithinRegion() }
                    function onHeightChanged() { cameraMapDelegateItem.checkIfIsWithinRegion() }
                }

                Connections {
                    target: root

                    function onUpdateGroups() {
                        cameraMapDelegateItem.checkIfIsWithinRegion()
                        cameraMapDelegateItem.updateMapGroups()
                    }
                    function onCubeTabSelected(id) {
                        if (id !== cameraMapDelegateItem.observerId)
                            return
                        if (!cameraMapDelegateItem.isWithinVisibleRegion || cameraMapDelegateItem.grouped)
                            root.zoomToPosition(id, cameraMapDelegateItem.coordinate)
                        else
                            map.center = cameraMapDelegateItem.coordinate
                        cameraMapDelegateItem.showCubePreview()
                    }
                }

                Component.onCompleted: {
                    // Reported once from the start: a cube that is grey from its first moment
                    // never changes colour and would otherwise count as running.
                    if (observerId !== -1)
                        mapGroupManager.updateCubeState(observerId, "" + positionIndicator.stateColor)
                    checkIfIsWithinRegion()
                }
                Component.onDestruction: isWithinVisibleRegion = false
            }
        }

        MapItemView {
            id: groupLayer

            model: mapGroupManager.model
            delegate: MapQuickItem {
                id: mapGroupDelegateItem

                readonly property var modelIndex: mapGroupManager.model.index(index, 0)
                readonly property int observerId: model.IdRole
                readonly property point position: model.PositionRole
                readonly property var nodes: model.NodesRole

                objectName: "mapGroupDelegateItem"
                coordinate: map.toCoordinate(position, false)
                visible: model.VisibleRole && position.x !== 0 && position.y !== 0
                         && (!root.autoZoom || (!!nodes && nodes.indexOf(root.focusedId) >= 0))
                anchorPoint.x: groupPin.width / 2
                anchorPoint.y: groupPin.height / 2

                sourceItem: MapGroupIndicator {
                    id: groupPin

                    streamCount: model.CountRole
                    nodeCount: model.NodeCountRole
                    runningCount: model.RunningRole
                    failureCount: model.FailureRole
                    disabledCount: model.DisabledRole
                    runningNodeCount: model.RunningNodeRole
                    failureNodeCount: model.FailureNodeRole
                    disabledNodeCount: model.DisabledNodeRole
                    tooltipVisible: !root.previewOpen
                    tooltipSize: root.rowHeight
                    onClicked: {
                        if (!mapGroupDelegateItem.nodes || mapGroupDelegateItem.nodes.length === 0)
                            return
                        _private.viewTaken = true
                        mapGroupManager.updateGroupFocus(mapGroupDelegateItem.modelIndex)
                        root.updateGroups()
                    }
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

    MapGroupIndicator {
        id: generalGroupPin

        objectName: "generalGroupPin"
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.leftMargin: 3 * root.headingSize
        anchors.bottomMargin: height
        streamCount: mapGroupManager.streamCount
        runningCount: mapGroupManager.runningCount
        failureCount: mapGroupManager.failureCount
        disabledCount: mapGroupManager.disabledCount
        nodeCount: mapGroupManager.nodeCount
        runningNodeCount: mapGroupManager.runningNodeCount
        failureNodeCount: mapGroupManager.failureNodeCount
        disabledNodeCount: mapGroupManager.disabledNodeCount
        backgroundColor: Style.mapTotalsColor
        spacerColor: Style.mapTotalsSpacerColor
        textColor: Style.mapTotalsTextColor
        disabledColor: Style.mapTotalsEmptyColor
        border.width: Style.borderWidth
        border.color: Style.mapTotalsBorderColor
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
