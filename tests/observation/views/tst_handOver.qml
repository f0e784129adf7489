import QtQuick 2.15
import QtTest 1.15
import Client 1.0
import Observer 1.0
import Orva.Views 1.0

// A click on a tile hands the block over to the client application exactly once, with the
// values the log-in needs; the observers are logged out first. The map hands over the same way
// but keeps the observers logged in.
Item {
    id: root

    width: 1200
    height: 800

    Component {
        id: managerComponent

        ObserverManager {}
    }

    Component {
        id: cubeViewComponent

        CubeObserverView {
            anchors.fill: parent
        }
    }

    Component {
        id: deviceViewComponent

        DeviceObserverView {
            anchors.fill: parent
        }
    }

    Component {
        id: mapViewComponent

        MapCubeView {
            anchors.fill: parent
        }
    }

    SignalSpy {
        id: cubeSpy

        signalName: "switchToCube"
    }

    SignalSpy {
        id: dashboardSpy

        signalName: "switchToDashboard"
    }

    SignalSpy {
        id: pageSpy

        target: client
        signalName: "currentPageChanged"
    }

    TestCase {
        name: "HandOver"
        when: windowShown

        property var manager: null

        function init() {
            client.requestChangePage(Client.ObserverPage)
            client.autoSelectFlag = false
            client.autoSelectId = -1
            client.loginSourcePage = Client.DemoPage
            cubeSpy.clear()
            dashboardSpy.clear()
        }

        function cleanup() {
            client.requestChangePage(Client.DemoPage)
            peers.clear()
        }

        // The second block's first tile, once it is logged in.
        function tileOf(component, name) {
            peers.addBlock({firstCubeId: 1})
            peers.addBlock({firstCubeId: 7})
            manager = createTemporaryObject(managerComponent, root)
            peers.shortenPolls(manager)
            manager.sourceModel = favoriteDeviceModel
            var view = createTemporaryObject(component, root, {manager: manager})
            var grid = findChild(view, "grid")
            tryVerify(function() { return grid.count === 2 && grid.itemAtIndex(0) && grid.itemAtIndex(1) }, 5000)
            for (var i = 0; i < 2; ++i) {
                var tile = findChild(grid.itemAtIndex(i), name)
                if (tile.name.indexOf("Block 2") >= 0) {
                    tryVerify(function() { return peers.loginStatus(manager, 1) === Client.LoggedIn }, 5000)
                    return tile
                }
            }
            fail("no tile of the second block")
        }

        function test_cubeClicks_data() {
            return [
                {tag: "click opens the cube", double: false, cube: 1, dashboard: 0},
                {tag: "double click opens the dashboard only", double: true, cube: 0, dashboard: 1},
            ]
        }

        function test_cubeClicks(data) {
            var tile = tileOf(cubeViewComponent, "cubeItem")
            cubeSpy.target = tile
            dashboardSpy.target = tile
            pageSpy.clear()
            var video = findChild(tile, "videoArea")
            if (data.double) {
                // The second press comes later than a fixed 100 ms would wait, well inside the
                // platform's double-click interval; events run in the pause.
                mousePress(video)
                mouseRelease(video)
                wait(Math.min(150, Qt.styleHints.mouseDoubleClickInterval / 3))
                mousePress(video)
                mouseDoubleClick(video)
                mouseRelease(video)
            } else {
                mouseClick(video)
            }
            tryCompare(pageSpy, "count", 1, 3000)
            // Nothing more arrives once the double-click interval is over.
            wait(Qt.styleHints.mouseDoubleClickInterval + 100)
            compare(cubeSpy.count, data.cube)
            compare(dashboardSpy.count, data.dashboard)
            compare(client.currentPage, Client.LoginPage)
            compare(client.loginSourcePage, Client.ObserverPage)
            compare(client.autoSelectFlag, data.double)
            compare(client.autoSelectId, 7)
            compare(favoriteDeviceModel.loginIndex.row, 1)
            compare(peers.loginStatus(manager, 0), Client.NotLoggedIn)
            compare(peers.loginStatus(manager, 1), Client.NotLoggedIn)
            tryVerify(function() { return peers.requestCount(1, "/users/logout") === 1 }, 3000)
        }

        function test_deviceClick() {
            var tile = tileOf(deviceViewComponent, "deviceItem")
            pageSpy.clear()
            mouseClick(findChild(tile, "contentArea"))
            compare(pageSpy.count, 1)
            compare(client.currentPage, Client.LoginPage)
            compare(client.loginSourcePage, Client.ObserverPage)
            compare(favoriteDeviceModel.loginIndex.row, 1)
            compare(peers.loginStatus(manager, 0), Client.NotLoggedIn)
            compare(peers.loginStatus(manager, 1), Client.NotLoggedIn)
            tryVerify(function() { return peers.requestCount(1, "/users/logout") === 1 }, 3000)
        }
    
        function test_mapHandOver_data() {
            return [
                {tag: "analytics button opens the cube", how: "button", dashboard: false},
                {tag: "click on the preview opens the cube", how: "click", dashboard: false},
                {tag: "double click on the preview opens the dashboard", how: "double", dashboard: true},
            ]
        }

        function test_mapHandOver(data) {
            peers.addBlock({firstCubeId: 1})
            peers.addBlock({firstCubeId: 7})
            manager = createTemporaryObject(managerComponent, root)
            peers.shortenPolls(manager)
            manager.sourceModel = favoriteDeviceModel
            var view = createTemporaryObject(mapViewComponent, root, {manager: manager})
            var row = null
            tryVerify(function() {
                for (var i = 0; i < view.sideList.contentItem.children.length; ++i) {
                    var item = view.sideList.contentItem.children[i]
                    if (item.objectName === "sideListRow" && item.cubeId === 7 && item.visible)
                        row = item
                }
                return row !== null
            }, 5000, "the side list's row of cube 7")
            tryVerify(function() { return peers.loginStatus(manager, 1) === Client.LoggedIn }, 5000)
            pageSpy.clear()
            if (data.how === "button") {
                mouseClick(findChild(row, "analyticsButton"))
            } else {
                // The side list and the map make their items apart: the pin that opens the
                // preview may come after the row.
                tryVerify(function() {
                    var items = view.mapItem.map.mapItems
                    for (var i = 0; i < items.length; ++i) {
                        if (items[i].observerId === row.observerId && items[i].coordinate.isValid)
                            return true
                    }
                    return false
                }, 5000, "the map's pin of cube 7")
                view.mapItem.cubeTabSelected(row.observerId)
                tryVerify(function() { return view.previewPopup.opened && findChild(view.previewPopup.contentItem, "videoArea") })
                var video = findChild(view.previewPopup.contentItem, "videoArea")
                if (data.how === "double") {
                    mousePress(video)
                    mouseRelease(video)
                    mousePress(video)
                    mouseDoubleClick(video)
                    mouseRelease(video)
                } else {
                    mouseClick(video)
                }
            }
            tryCompare(pageSpy, "count", 1, 3000)
            compare(client.currentPage, Client.LoginPage)
            compare(client.loginSourcePage, Client.ObserverPage)
            compare(client.autoSelectFlag, data.dashboard)
            compare(client.autoSelectId, 7)
            compare(favoriteDeviceModel.loginIndex.row, 1)
            compare(peers.loginStatus(manager, 1), Client.LoggedIn)
        }
    }
}
