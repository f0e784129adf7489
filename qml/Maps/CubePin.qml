import QtQuick 2.15
import QtPositioning 5.12
import QtLocation 5.12
import Orva.Components 1.0
import Orva.Components.CubeView 1.0
import Orva.Style 1.0

// A cube on the map: a dot in the cube's state colour, larger and ringed while it is selected
// or under the pointer, hidden while the cube stands in a group. A click opens the cube's
// preview, a double click hands the cube over to the client. The pin reports to its view
// whether it lies in the visible region (its cube then asks for frames) and where it is drawn
// (the groups are made from that).
MapQuickItem {
    id: root

    // The MapPluginView the pin stands on, and the pin's row of the view's model.
    property var view: null
    property var cube: null

    readonly property var map: view ? view.map : null
    readonly property var groups: view ? view.mapGroupManager : null
    readonly property int observerId: cube && cube.ObserverIdRole !== undefined ? cube.ObserverIdRole : -1
    readonly property var object: cube ? cube.ObjectRole : undefined
    readonly property var device: cube ? cube.ObservedDeviceRole : undefined
    readonly property int cubeId: cube && cube.CubeIdRole !== undefined ? cube.CubeIdRole : -1
    readonly property bool grouped: !!groups && groups.nodeIndices.indexOf(observerId) >= 0
    readonly property bool selected: !!view && observerId === view.selectedId
    readonly property bool hovered: !!view && observerId === view.hoveredId
    property bool isWithinVisibleRegion: false

    coordinate: cube ? QtPositioning.coordinate(cube.CubeCameraPositionLatitude, cube.CubeCameraPositionLongitude)
                     : QtPositioning.coordinate()
    visible: observerId !== -1 && coordinate.isValid && (!view || !view.autoZoom || observerId === view.focusedId)
    anchorPoint.x: sourceItem.width / 2
    anchorPoint.y: sourceItem.height / 2

    function checkIfIsWithinRegion() {
        isWithinVisibleRegion = visible && !!map && map.visibleRegion.contains(coordinate)
    }

    function updateMapGroups() {
        if (observerId === -1 || !groups)
            return
        groups.updateMapCubePosition(observerId, isWithinVisibleRegion, map.fromCoordinate(coordinate, false))
    }

    function showCubePreview() {
        var p = map.fromCoordinate(coordinate, false)
        if (!p || isNaN(p.x) || isNaN(p.y))
            return
        view.showPreview(observerId, object, p)
    }

    function handleClick() {
        showCubePreview()
    }

    onIsWithinVisibleRegionChanged: {
        if (visible && observerId !== -1)
            view.reportCubeInRegion(observerId, isWithinVisibleRegion)
        updateMapGroups()
    }
    onVisibleChanged: updateMapGroups()

    sourceItem: Rectangle {
        objectName: "cameraPin"
        visible: !root.grouped
        width: root.selected || root.hovered ? Style.mapPinActiveSize : Style.mapPinSize
        height: width
        radius: width / 2
        color: root.selected ? Style.mapSelectedColor : root.hovered ? Style.mapHoveredColor : Style.mapPinColor

        CubeDelegateBase {
            id: positionIndicator

            anchors.fill: parent
            anchors.margins: Style.mapPinMargin
            radius: width / 2
            color: stateColor
            cubeId: root.cubeId
            cubeName: root.cube && root.cube.CubeNameRole !== undefined ? root.cube.CubeNameRole : ""
            device: root.device
            blockOnline: !!root.cube && !!root.cube.ObserverOnlineRole
            cubeEnabled: !!root.cube && !!root.cube.CubeEnabledRole
            time: root.cube && root.cube.CubeTimestampRole !== undefined ? root.cube.CubeTimestampRole : 0
            sourceInfo: root.cube && root.cube.SourceInfoRole !== undefined ? root.cube.SourceInfoRole : null
            analyticInfo: root.cube && root.cube.AnalyticInfoRole !== undefined ? root.cube.AnalyticInfoRole : null
            isOnvifCamera: !!root.cube && !!root.cube.CubeIsOnvifPTZ
            nodeConnected: !!root.cube && !!root.cube.SourceConnectedRole

            onStateColorChanged: {
                if (root.groups)
                    root.groups.updateCubeState(root.observerId, "" + stateColor)
            }
        }

        MouseArea {
            id: pinArea

            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onContainsMouseChanged: root.view.updateHoveredId(containsMouse ? root.observerId : -1)
            onClicked: clickTimer.start()
            onDoubleClicked: {
                clickTimer.stop()
                root.view.handOver(root.observerId, root.device, root.cubeId)
            }
        }

        // A single click waits out the double-click interval, so that a double click never
        // also opens the preview.
        Timer {
            id: clickTimer

            interval: Qt.styleHints.mouseDoubleClickInterval
            onTriggered: root.handleClick()
        }

        MapGroupToolTip {
            visible: pinArea.containsMouse && !!root.view && !root.view.previewOpen
            tooltipSize: root.view ? root.view.rowHeight : Style.rowHeight
            y: -height - Style.spacingSmall
            text: positionIndicator.title
        }
    }

    Connections {
        target: root.map

        function onCenterChanged() {
            root.checkIfIsWithinRegion()
            root.updateMapGroups()
        }
        // Zooming changes the visible region as much as panning does.
        function onZoomLevelChanged() {
            root.checkIfIsWithinRegion()
            root.updateMapGroups()
        }
        function onWidthChanged() { root.checkIfIsWithinRegion() }
        function onHeightChanged() { root.checkIfIsWithinRegion() }
    }

    Connections {
        target: root.view

        function onUpdateGroups() {
            root.checkIfIsWithinRegion()
            root.updateMapGroups()
        }
        function onCubeTabSelected(id) {
            if (id !== root.observerId)
                return
            if (!root.isWithinVisibleRegion || root.grouped)
                root.view.zoomToPosition(id, root.coordinate)
            else
                root.map.center = root.coordinate
            root.showCubePreview()
        }
    }

    Component.onCompleted: {
        // Reported once from the start: a cube that is grey from its first moment never
        // changes colour and would otherwise count as running.
        if (observerId !== -1 && groups)
            groups.updateCubeState(observerId, "" + positionIndicator.stateColor)
        checkIfIsWithinRegion()
    }
    Component.onDestruction: isWithinVisibleRegion = false
}
