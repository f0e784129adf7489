import QtQuick 2.15
import QtPositioning 5.12
import QtLocation 5.12
import Orva.Components.CubeView 1.0

// A group marker on the map: where the view drew pins that come close, their counts per state.
// A click asks the view to zoom into the group.
MapQuickItem {
    id: root

    // The MapPluginView the marker stands on, and the marker's row of the group model.
    property var view: null
    property var group: null

    readonly property point position: group ? group.PositionRole : Qt.point(0, 0)
    readonly property var nodes: group ? group.NodesRole : undefined

    signal activated()

    objectName: "mapGroupDelegateItem"
    coordinate: view ? view.map.toCoordinate(position, false) : QtPositioning.coordinate()
    visible: !!group && group.VisibleRole && position.x !== 0 && position.y !== 0
             && (!view || !view.autoZoom || (!!nodes && nodes.indexOf(view.focusedId) >= 0))
    anchorPoint.x: groupPin.width / 2
    anchorPoint.y: groupPin.height / 2

    sourceItem: MapGroupIndicator {
        id: groupPin

        streamCount: root.group ? root.group.CountRole : 0
        nodeCount: root.group ? root.group.NodeCountRole : 0
        runningCount: root.group ? root.group.RunningRole : 0
        failureCount: root.group ? root.group.FailureRole : 0
        disabledCount: root.group ? root.group.DisabledRole : 0
        runningNodeCount: root.group ? root.group.RunningNodeRole : 0
        failureNodeCount: root.group ? root.group.FailureNodeRole : 0
        disabledNodeCount: root.group ? root.group.DisabledNodeRole : 0
        tooltipVisible: !!root.view && !root.view.previewOpen
        tooltipSize: root.view ? root.view.rowHeight : tooltipSize
        onClicked: {
            if (root.nodes && root.nodes.length > 0)
                root.activated()
        }
    }
}
