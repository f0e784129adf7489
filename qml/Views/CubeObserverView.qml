import QtQuick 2.15
import Observer 1.0
import Orva.Components 1.0
import Orva.Templates 1.0
import Orva.Style 1.0

// Every observed cube of every observed block in tiles, with live video.
ViewBase {
    id: root

    property ObserverManager manager: null

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

    ObserverGrid {
        id: observerGrid

        anchors.fill: parent
        manager: root.manager
        proxyModel: proxyModel
        itemName: qsTr("cameras")
        positionProperty: "cubeViewPosition"
        tileDelegate: Component {
            Item {
                id: cube

                width: observerGrid.grid.cellWidth
                height: observerGrid.grid.cellHeight

                readonly property int observerId: model.ObserverIdRole
                property var device: model.ObservedDeviceRole
                readonly property bool shown: observerGrid.tileShown(index)
                // The cube whose frames this tile asks for: its own while the tile is seen.
                property int requestedId: -1

                function updateRequests() {
                    var id = shown && root.manager ? observerId : -1
                    if (id === requestedId)
                        return
                    if (requestedId !== -1 && root.manager)
                        root.manager.cubeModel.setAnalyticsVisibleInGUI(requestedId, false)
                    requestedId = id
                    if (id !== -1)
                        root.manager.cubeModel.setAnalyticsVisibleInGUI(id, true)
                }

                onShownChanged: updateRequests()
                onObserverIdChanged: updateRequests()

                CubeObserverDelegate {
                    id: cubeItem

                    objectName: "cubeItem"
                    anchors.fill: parent
                    anchors.margins: Style.observerTileMargin
                    itemId: cube.observerId
                    cubeId: model.CubeIdRole
                    cubeName: model.CubeNameRole
                    device: cube.device
                    blockOnline: model.ObserverOnlineRole
                    cubeEnabled: model.CubeEnabledRole
                    time: model.CubeTimestampRole
                    videoStalled: model.CubeVideoStalledRole
                    sourceInfo: model.SourceInfoRole
                    analyticInfo: model.AnalyticInfoRole
                    isOnvifCamera: model.CubeIsOnvifPTZ
                    nodeConnected: model.SourceConnectedRole
                    hovered: !!root.manager && root.manager.highlightedCubeId === itemId
                    compatible: cube.device ? cube.device.compatible : false

                    onForceUpdateVideoSource: {
                        if (cube.observerId !== -1 && root.manager)
                            root.manager.cubeModel.updateCubeObserverVideoSource(cube.observerId, provider)
                    }
                    onHeaderHoveredChanged: observerGrid.highlight(itemId, hovered)
                    onSwitchToCube: observerGrid.handOver(cube.device, model.CubeIdRole, false)
                    onSwitchToDashboard: observerGrid.handOver(cube.device, model.CubeIdRole, true)
                }

                Connections {
                    target: proxyModel

                    function onSorted() { cubeItem.updateVideoSource() }
                    function onBeginSort() { cubeItem.clearVideoSource() }
                    function onSortingRoleChanged() { cubeItem.clearVideoSource() }
                }

                Component.onCompleted: updateRequests()
                Component.onDestruction: {
                    if (requestedId !== -1 && root.manager)
                        root.manager.cubeModel.setAnalyticsVisibleInGUI(requestedId, false)
                }
            }
        }
    }
}
