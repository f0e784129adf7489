import QtQuick 2.15
import QtTest 1.15
import Client 1.0
import Observer 1.0
import Orva.Style 1.0
import Orva.Views 1.0

// A cube tile's state text, colours, stripes and diagnostics follow what its block and its
// tracker node report.
Item {
    id: root

    width: 1200
    height: 800

    Component {
        id: managerComponent

        ObserverManager {}
    }

    Component {
        id: viewComponent

        CubeObserverView {
            anchors.fill: parent
        }
    }

    Component {
        id: richText

        Text {
            textFormat: Text.RichText
        }
    }

    TestCase {
        name: "CubeStates"
        when: windowShown

        property var manager: null

        function cleanup() {
            peers.clear()
        }

        // A view over a manager that observes the favourites from now on, with fast polls.
        function observe() {
            manager = createTemporaryObject(managerComponent, root)
            peers.shortenPolls(manager)
            manager.sourceModel = favoriteDeviceModel
            return createTemporaryObject(viewComponent, root, {manager: manager})
        }

        function tile(view) {
            var grid = findChild(view, "grid")
            tryVerify(function() { return grid.count > 0 && grid.itemAtIndex(0) !== null }, 5000)
            return findChild(grid.itemAtIndex(0), "cubeItem")
        }

        function test_state_data() {
            var tracker = brandConfig.trackerName
            var device = brandConfig.deviceName
            return [
                {tag: "running and stabilized", node: true, camera: {source_state: "running", stabilization_state: "On"},
                 analytics: {processing_state: "Processing"},
                 text: "Running, Stabilized", color: Style.runningColor, pattern: "transparent", diagnostics: []},
                {tag: "stabilization unreliable", node: true, camera: {source_state: "running", stabilization_state: "Unstable"},
                 analytics: {processing_state: "Processing"},
                 text: "Running, Stabilization unreliable", color: Style.runningColor, pattern: "transparent", diagnostics: []},
                {tag: "running without stabilization", node: true, camera: {source_state: "running"},
                 analytics: {processing_state: "Processing"},
                 text: "Running", color: Style.runningColor, pattern: "transparent", diagnostics: []},
                {tag: "processing with a stabilization error shows no diagnostics", node: true,
                 camera: {source_state: "running", stabilization_state: "Error"}, analytics: {processing_state: "Processing"},
                 text: "Idle", color: Style.failureColor, pattern: Style.failurePatternColor, diagnostics: []},
                {tag: "idle while the camera moves", node: true, camera: {source_state: "running", ptz_control_state: "Moving"},
                 analytics: {processing_state: "Idle"},
                 text: "Idle", color: Style.failureColor, pattern: Style.failurePatternColor, diagnostics: ["Camera is moving."]},
                {tag: "moving while processing", node: true, camera: {source_state: "running", ptz_control_state: "Moving"},
                 analytics: {processing_state: "Processing"},
                 text: "Idle", color: Style.failureColor, pattern: Style.failurePatternColor, diagnostics: []},
                {tag: "every problem in order", node: true,
                 camera: {source_state: "running", stabilization_state: "Error", ptz_position_state: "Out", ptz_control_state: "Error"},
                 analytics: {processing_state: "Idle", home_position: {pan: 1, tilt: 2, zoom: 3}},
                 text: "Idle", color: Style.failureColor, pattern: Style.failurePatternColor,
                 diagnostics: ["Stabilization error.", "Out of home position.", "Camera is in error movement state."]},
                {tag: "source reconfiguring", node: true, camera: {source_state: "source_state_reconfiguring"},
                 analytics: {processing_state: "Processing"},
                 text: "Offline", color: Style.disabledColor, pattern: Style.disabledPatternColor,
                 diagnostics: ["Source state: source_state_reconfiguring."]},
                {tag: "no tracker node", node: false, camera: {source_state: "running"}, analytics: {processing_state: "Processing"},
                 text: "Offline", color: Style.disabledColor, pattern: Style.disabledPatternColor,
                 diagnostics: [tracker + " is not connected.", "No frame was received yet."]},
                {tag: "analytics disabled", node: false, cubeEnabled: false, camera: {source_state: "running"},
                 analytics: {processing_state: "Processing"},
                 text: "Analytics disabled", color: Style.disabledColor, pattern: Style.disabledPatternColor, diagnostics: []},
            ]
        }

        function test_state(data) {
            var block = peers.addBlock({node: data.node, cubeEnabled: data.cubeEnabled !== false})
            peers.setCubeState(block, data.camera, data.analytics)
            var cube = tile(observe())
            // Every reply has arrived: the camera's, the analytics' and, from a node, a frame.
            var processing = data.analytics.processing_state === "Idle" ? OrvaGlobal.Idle : OrvaGlobal.Processing
            tryVerify(function() {
                return cube.cmClientInfo && cube.cmClientInfo.sourceState === data.camera.source_state
                        && cube.analyticInfo.state.processingState === processing && (!data.node || cube.time > 0)
            }, 5000, "the block's and the node's replies")
            compare(cube.state, data.text)
            verify(Qt.colorEqual(cube.stateColor, data.color), "state colour " + cube.stateColor)
            verify(Qt.colorEqual(cube.patternColor, data.pattern), "stripes " + cube.patternColor)
            compare(cube.miniDiagnosticsList, data.diagnostics)
            compare(cube.stateText, data.text)
        }

        function test_blockGoesSilent() {
            var block = peers.addBlock({node: true})
            peers.setCubeState(block, {source_state: "running"}, {processing_state: "Processing"})
            var cube = tile(observe())
            tryCompare(cube, "state", "Running", 5000)
            tryCompare(cube, "waitingTextVisible", false, 5000)
            peers.setSilent(block, true)
            tryCompare(cube, "state", "Offline", 5000)
            verify(Qt.colorEqual(cube.stateColor, Style.disabledColor))
            compare(cube.miniDiagnosticsList[0], brandConfig.deviceName + " is not connected.")
        }

        // A name with markup from a block is shown as it is: its image is never fetched. The
        // same markup in a rich text of the test's own shows that it would be.
        function test_markupInNamesStaysText() {
            var markup = "<img src=\"" + peers.webAddress("/peer.png") + "\">"
            peers.addBlock({cubeName: markup})
            var cube = tile(observe())
            tryVerify(function() { return cube.name.indexOf(markup) >= 0 }, 5000)
            createTemporaryObject(richText, root, {text: "<img src=\"" + peers.webAddress("/control.png") + "\">"})
            tryVerify(function() { return peers.webRequests("/control.png") > 0 }, 5000, "the control image was asked for")
            compare(peers.webRequests("/peer.png"), 0)
        }

        function test_cubeWithoutCamera() {
            peers.addBlock({cameras: 0})
            var cube = tile(observe())
            tryCompare(cube, "blockOnline", true, 5000)
            compare(cube.sourceInfo, null)
            compare(cube.cmClientInfo, null)
            compare(cube.sourceInfoStatic, null)
            compare(cube.sourceInfoDynamic, null)
            compare(cube.sourceOnline, false)
            compare(cube.state, "")
            verify(Qt.colorEqual(cube.stateColor, Style.disabledColor))
            verify(Qt.colorEqual(cube.patternColor, Style.disabledPatternColor))
            compare(cube.miniDiagnosticsList, [])
        }

        // What lies over the video: a veil while frames come from a source that is not running,
        // a waiting text until the first frame, the incompatibility text alone for an old block.
        function test_videoOverlay_data() {
            return [
                {tag: "waiting for the first frame", block: {}, camera: {source_state: "running"}, frames: false,
                 stateText: "Offline", waiting: true, veil: false, incompatible: false},
                {tag: "frames of a source that is not running", block: {node: true},
                 camera: {source_state: "source_state_idle"}, frames: true,
                 stateText: "Offline", waiting: false, veil: true, incompatible: false},
                {tag: "block too old for live preview", block: {blockVersion: "1.16.4"}, camera: {source_state: "running"},
                 frames: false, stateText: "Unknown", waiting: false, veil: false, incompatible: true},
            ]
        }

        function test_videoOverlay(data) {
            var block = peers.addBlock(data.block)
            peers.setCubeState(block, data.camera, {processing_state: "Processing"})
            var cube = tile(observe())
            tryVerify(function() {
                return cube.blockOnline && cube.cmClientInfo && cube.cmClientInfo.sourceState === data.camera.source_state
                        && (cube.time > 0) === data.frames
            }, 5000, "the block's replies")
            compare(cube.stateText, data.stateText)
            compare(cube.waitingTextVisible, data.waiting)
            compare(cube.veilVisible, data.veil)
            compare(cube.incompatibleTextVisible, data.incompatible)
        }
    }
}
