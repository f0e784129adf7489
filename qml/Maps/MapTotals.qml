import QtQuick 2.15
import Orva.Components.CubeView 1.0
import Orva.Style 1.0

// The totals in the corner of the map: every cube and device the map shows, per state, on a
// light marker. A click fits the map to the cubes in view.
MapGroupIndicator {
    // The map's group manager, which keeps the totals.
    property var groups: null

    objectName: "generalGroupPin"
    streamCount: groups ? groups.streamCount : 0
    runningCount: groups ? groups.runningCount : 0
    failureCount: groups ? groups.failureCount : 0
    disabledCount: groups ? groups.disabledCount : 0
    nodeCount: groups ? groups.nodeCount : 0
    runningNodeCount: groups ? groups.runningNodeCount : 0
    failureNodeCount: groups ? groups.failureNodeCount : 0
    disabledNodeCount: groups ? groups.disabledNodeCount : 0
    backgroundColor: Style.mapTotalsColor
    spacerColor: Style.mapTotalsSpacerColor
    textColor: Style.mapTotalsTextColor
    disabledColor: Style.mapTotalsEmptyColor
    border.width: Style.borderWidth
    border.color: Style.mapTotalsBorderColor
}
