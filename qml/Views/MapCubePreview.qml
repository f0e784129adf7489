import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Components 1.0
import Orva.Style 1.0

// The live preview of a cube over the map, opened by the map view over the cube's pin (the
// map's own coordinates place it). Its cube asks for frames while it is open. A click on the
// video hands the cube over to the client, a double click its dashboard, as on a grid tile.
QQC.Popup {
    id: root

    // The MapCubeView, and the cube (CubeObserver) the preview shows.
    property var view: null
    property var previewObject: undefined
    // The manager's cube model; gone with the manager.
    readonly property var cubes: view && view.manager ? view.manager.cubeModel : null

    objectName: "previewPopup"
    padding: 0
    background: Item {}

    Loader {
        anchors.fill: parent
        anchors.margins: Style.observerTileMargin
        active: !!root.previewObject
        sourceComponent: previewComponent
    }

    onClosed: {
        if (view && view.mapItem)
            view.mapItem.updateSelectedId(-1)
        previewObject = null
    }

    Component {
        id: previewComponent

        CubeObserverDelegate {
            readonly property var cube: root.previewObject
            readonly property var camera: cube ? cube.currentCamera : null

            itemId: cube ? cube.observerId : -1
            cubeId: cube ? cube.cubeId : -1
            cubeName: cube ? cube.cubeName : ""
            device: cube ? cube.observedDevice : null
            blockOnline: !!cube && cube.observerOnline
            cubeEnabled: !!cube && cube.cubeEnabled
            time: cube ? cube.lastImageTimestamp : 0
            videoStalled: !!camera && camera.videoStalled
            sourceInfo: camera ? camera.sourceInfo : null
            isOnvifCamera: !!camera && camera.isOnvifPTZ
            nodeConnected: !!camera && camera.nodeConnected
            analyticInfo: cube ? cube.analyticInfo : null
            compatible: !!cube && cube.observedDevice.compatible

            onForceUpdateVideoSource: {
                if (root.cubes)
                    root.cubes.updateCubeObserverVideoSource(itemId, provider)
            }
            onSwitchToCube: root.view.mapItem.handOver(itemId, cube.observedDevice, cube.cubeId, false)
            onSwitchToDashboard: root.view.mapItem.handOver(itemId, cube.observedDevice, cube.cubeId, true)

            Component.onCompleted: {
                updateVideoSource()
                if (root.cubes)
                    root.cubes.setAnalyticsVisibleInGUI(itemId, true, true)
            }
            Component.onDestruction: {
                if (root.cubes)
                    root.cubes.setAnalyticsVisibleInGUI(itemId, false)
                clearVideoSource()
            }
        }
    }
}
