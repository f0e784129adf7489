import QtQuick 2.15
import QtTest 1.15
import Observer 1.0
import Orva.Components 1.0
import Orva.Style 1.0
import Orva.Views 1.0

// A block tile's log-in state, colours and stripes follow the block's log-in replies; its
// status rows show the block's status, uptime and kind.
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

        DeviceObserverView {
            anchors.fill: parent
        }
    }

    Component {
        id: delegateComponent

        DeviceObserverDelegate {
            width: 400
            height: 280
        }
    }

    TestCase {
        name: "DeviceStates"
        when: windowShown

        function cleanup() {
            peers.clear()
        }

        function observedTile() {
            var manager = createTemporaryObject(managerComponent, root)
            peers.shortenPolls(manager)
            manager.sourceModel = favoriteDeviceModel
            var view = createTemporaryObject(viewComponent, root, {manager: manager})
            var grid = findChild(view, "grid")
            tryVerify(function() { return grid.count > 0 && grid.itemAtIndex(0) !== null }, 5000)
            return findChild(grid.itemAtIndex(0), "deviceItem")
        }

        function test_loginState_data() {
            return [
                {tag: "logged in", status: 200, body: null,
                 text: "Logged in", color: Style.runningColor, pattern: "transparent"},
                {tag: "wrong password", status: 401, body: {error: {code: 401, reason: "auth_error", message: "no"}},
                 text: "Incorrect password or username", color: Style.loginFailedColor, pattern: Style.loginFailedPatternColor},
                {tag: "expired account", status: 410, body: {error: {code: 410, reason: "expired_account", message: "old"}},
                 text: "Expired account", color: Style.loginFailedColor, pattern: Style.loginFailedPatternColor},
                {tag: "no answer yet", status: 0, body: null,
                 text: "Waiting for response", color: Style.failureColor, pattern: Style.failurePatternColor},
                {tag: "account kept out", status: 403, body: {error: {code: 403, reason: "forbidden", message: "no"}},
                 text: "Not logged in", color: Style.disabledColor, pattern: Style.disabledPatternColor},
            ]
        }

        function test_loginState(data) {
            var block = peers.addBlock({})
            if (data.body)
                peers.setReply(block, "/users/auth", data.status, data.body)
            else if (data.status === 0)
                peers.hold(block, "/users/auth")
            var tile = observedTile()
            tryCompare(tile, "state", data.text, 5000)
            verify(Qt.colorEqual(tile.stateColor, data.color), "state colour " + tile.stateColor)
            verify(Qt.colorEqual(tile.patternColor, data.pattern), "stripes " + tile.patternColor)
        }

        function test_blockStatus() {
            var block = peers.addBlock({deviceType: "embedded_micro_orin", type: 512})
            // One day, one hour, one minute and one second.
            peers.setReply(block, "/block_status_info", 200,
                           {current_block_time: "1700000000000", online_since: "1690000000000", uptime: "90061000"})
            var tile = observedTile()
            tryCompare(tile, "statusShown", true, 5000)
            compare(tile.uptimeText, "1d 1h 1m 1s")
            compare(tile.currentBlockTime, Qt.formatDateTime(new Date(1700000000000), "yyyy-MM-dd hh:mm:ss"))
            compare(tile.onlineSince, Qt.formatDateTime(new Date(1690000000000), "yyyy-MM-dd hh:mm:ss"))
            compare(tile.kindText, "Embedded micro Orin")
            compare(tile.blockAppVersion, "1.19.11")
            compare(tile.orvaSerialNumber, "ORVA-0001")
            compare(findChild(tile, "statusPlaceholder").visible, false)
            verify(tile.name.indexOf(" - 127.0.0.1:") > 0, tile.name)
            // Every row fits in the tile: none is cut and none needs scrolling.
            var status = findChild(tile, "statusArea")
            tryVerify(function() { return status.height > 0 && status.contentHeight <= status.height }, 2000,
                      "rows of " + status.contentHeight + " in " + status.height)
        }

        function test_freshTile() {
            var tile = createTemporaryObject(delegateComponent, root)
            compare(tile.state, "Offline")
            compare(tile.currentBlockTime, "unknown")
            compare(tile.onlineSince, "unknown")
            compare(tile.statusShown, false)
            compare(findChild(tile, "statusPlaceholder").visible, true)
        }

        function test_kindText_data() {
            return [
                {tag: "camera light", key: "camera_light", text: "Camera light"},
                {tag: "aerial", key: "aerial", text: "Aerial"},
                {tag: "macro Orin", key: "embedded_macro_orin", text: "Embedded macro Orin"},
                {tag: "nano Orin", key: "embedded_nano_orin", text: "Embedded nano Orin"},
                {tag: "macro Orin aerial", key: "embedded_macro_orin_aerial", text: "Embedded macro Orin aerial"},
                {tag: "key of another case", key: "Camera", text: "Unknown"},
                {tag: "not a kind", key: "toaster", text: "Unknown"},
            ]
        }

        function test_kindText(data) {
            var tile = createTemporaryObject(delegateComponent, root, {blockDeviceType: data.key})
            compare(tile.kindText, data.text)
        }
    }
}
