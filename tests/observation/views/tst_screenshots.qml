import QtQuick 2.15
import QtTest 1.15
import Client 1.0
import Observer 1.0
import Orva.Pages 1.0

// Screenshots of the cube and device tiles with live frames and of the page's empty states,
// for looking at: run with ORVA_SCREENSHOT_DIR set (and QT_SCALE_FACTOR for the "--scale" of
// the launcher).
Item {
    id: root

    width: 1280
    height: 800

    Component {
        id: pageComponent

        ObserverPage {
            anchors.fill: parent
        }
    }

    TestCase {
        name: "Screenshots"
        when: windowShown

        function cleanup() {
            client.requestChangePage(Client.DemoPage)
            peers.clear()
        }

        function test_tiles() {
            if (!peers.screenshotsWanted())
                skip("ORVA_SCREENSHOT_DIR is not set")
            client.requestChangePage(Client.ObserverPage)
            var running = peers.addBlock({node: true, cubeCount: 2, name: "North gate", type: 32})
            peers.setCubeState(running, {source_state: "running", stabilization_state: "On"}, {processing_state: "Processing"})
            var idle = peers.addBlock({node: true, cubeCount: 2, firstCubeId: 5, name: "Bridge with a very long name over the river", type: 1024})
            peers.setCubeState(idle, {source_state: "running", ptz_control_state: "Moving"}, {processing_state: "Idle"})
            peers.addBlock({cubeCount: 1, firstCubeId: 9, name: "Old block", blockVersion: "1.16.4"})
            peers.addBlock({name: "Locked block", password: "wrong"})
            peers.setReply(3, "/users/auth", 401, {error: {code: 401, reason: "auth_error", message: "no"}})
            var page = createTemporaryObject(pageComponent, root)
            var manager = page.observerManager
            var grid = findChild(page.viewLoader.item, "grid")
            tryCompare(grid, "count", 5, 10000)
            tryVerify(function() {
                for (var i = 0; i < grid.count; ++i) {
                    var item = grid.itemAtIndex(i)
                    var tile = item ? findChild(item, "cubeItem") : null
                    if (tile && tile.compatible && tile.time <= 0)
                        return false
                }
                return true
            }, 15000, "frames on every compatible tile")
            wait(500)
            verify(peers.screenshot(page, "cubes"))
            // The diagnostics of an idle cube under the pointer.
            for (var i = 0; i < grid.count; ++i) {
                var tile = findChild(grid.itemAtIndex(i), "cubeItem")
                if (tile.miniDiagnosticsList.length > 0) {
                    // A hover needs a move that crosses the item's edge.
                    var indicator = findChild(tile, "stateIndicator")
                    mouseMove(page, 1, 1)
                    mouseMove(indicator, 1, 1)
                    mouseMove(indicator, indicator.width / 2, indicator.height / 2)
                    break
                }
            }
            wait(500)
            verify(peers.screenshot(page, "diagnostics"))
            mouseMove(page, 1, page.height - 1)
            manager.observerViewStyle = ObserverManager.DeviceView
            tryVerify(function() { return findChild(page.viewLoader.item, "grid").count === 4 })
            wait(2500)
            verify(peers.screenshot(page, "devices"))
            manager.observerViewStyle = ObserverManager.MapView
            wait(200)
            verify(peers.screenshot(page, "map"))
        }
    
        // A camera whose frames stopped decoding: the last picture under the veil.
        function test_stalledVideo() {
            if (!peers.screenshotsWanted())
                skip("ORVA_SCREENSHOT_DIR is not set")
            client.requestChangePage(Client.ObserverPage)
            var block = peers.addBlock({node: true, cubeCount: 1, name: "North gate", type: 32, frameSize: Qt.size(1280, 720)})
            peers.setCubeState(block, {source_state: "running"}, {processing_state: "Processing"})
            var page = createTemporaryObject(pageComponent, root)
            var grid = findChild(page.viewLoader.item, "grid")
            tryCompare(grid, "count", 1, 10000)
            var tile = null
            tryVerify(function() {
                tile = grid.itemAtIndex(0) ? findChild(grid.itemAtIndex(0), "cubeItem") : null
                return tile && tile.time > 0
            }, 15000, "frames on the tile")
            wait(500)
            verify(peers.screenshot(page, "live"))
            peers.sendUndecodableFrames(block)
            tryCompare(tile, "stalledTextVisible", true, 10000)
            verify(tile.veilVisible)
            wait(200)
            verify(peers.screenshot(page, "stalled"))
        }

        // No favourite to observe; then one whose map gets no tiles (nobody listens on port 1).
        function test_emptyStates() {
            if (!peers.screenshotsWanted())
                skip("ORVA_SCREENSHOT_DIR is not set")
            client.requestChangePage(Client.ObserverPage)
            var page = createTemporaryObject(pageComponent, root)
            tryVerify(function() { return findChild(page, "noObservedDevices").visible })
            wait(200)
            verify(peers.screenshot(page, "empty"))
            page.destroy()
            var server = hostMapsManager.openStreetMapTileServer
            hostMapsManager.openStreetMapTileServer = "http://127.0.0.1:1/"
            peers.addBlock({cubeCount: 2})
            page = createTemporaryObject(pageComponent, root)
            page.observerManager.observerViewStyle = ObserverManager.MapView
            tryVerify(function() { return findChild(page, "tilesUnavailableMessage")
                                           && findChild(page, "tilesUnavailableMessage").visible }, 5000)
            wait(500)
            verify(peers.screenshot(page, "map_without_tiles"))
            hostMapsManager.openStreetMapTileServer = server
        }
    }
}
