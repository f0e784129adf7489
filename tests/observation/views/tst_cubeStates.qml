import QtQuick 2.15
import QtTest 1.15
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
            tryCompare(cube, "state", data.text, 5000)
            tryVerify(function() { return Qt.colorEqual(cube.stateColor, data.color) }, 2000, "state colour")
            verify(Qt.colorEqual(cube.patternColor, data.pattern), "stripes " + cube.patternColor)
            compare(cube.miniDiagnosticsList, data.diagnostics)
            compare(cube.stateText, data.text)
        }

        function test_blockGoesSilent() {
            var block = peers.addBlock({node: true})
            peers.setCubeState(block, {source_state: "running"}, {processing_state: "Processing"})
            var cube = tile(observe())
            tryCompare(cube, "state", "Running", 5000)
            compare(cube.waitingTextVisible, false)
            peers.setSilent(block, true)
            tryCompare(cube, "state", "Offline", 5000)
            verify(Qt.colorEqual(cube.stateColor, Style.disabledColor))
            compare(cube.miniDiagnosticsList[0], brandConfig.deviceName + " is not connected.")
        }

        function test_incompatibleBlock() {
            peers.addBlock({blockVersion: "1.16.4"})
            var cube = tile(observe())
            tryCompare(cube, "blockOnline", true, 5000)
            compare(cube.compatible, false)
            compare(cube.stateText, "Unknown")
            compare(cube.incompatibleTextVisible, true)
            compare(cube.waitingTextVisible, false)
            compare(cube.veilVisible, false)
        }

        function test_waitingForImageData() {
            peers.addBlock({})
            var cube = tile(observe())
            tryCompare(cube, "compatible", true, 5000)
            compare(cube.time, 0)
            compare(cube.waitingTextVisible, true)
            compare(cube.veilVisible, false)
            compare(cube.incompatibleTextVisible, false)
        }
    }
}
