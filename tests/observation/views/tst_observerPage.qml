import QtQuick 2.15
import QtTest 1.15
import Client 1.0
import Observer 1.0
import Orva.Pages 1.0
import Orva.Views 1.0

// The page over the favourites: rows appear, Escape logs out before the page changes, the
// style picker switches views and a view comes back where it was scrolled to.
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
        name: "ObserverPage"
        when: windowShown

        property var statusAtPageChange: []

        function init() {
            client.requestChangePage(Client.ObserverPage)
        }

        function cleanup() {
            client.requestChangePage(Client.DemoPage)
            peers.clear()
        }

        function grid(page) {
            return findChild(page.viewLoader.item, "grid")
        }

        function test_noFavourites() {
            var page = createTemporaryObject(pageComponent, root)
            var view = page.viewLoader.item
            verify(view instanceof CubeObserverView)
            compare(grid(page).count, 0)
            verify(findChild(view, "viewController").visible)
            page.observerManager.observerViewStyle = ObserverManager.DeviceView
            tryVerify(function() { return page.viewLoader.item instanceof DeviceObserverView })
            compare(grid(page).count, 0)
        }

        // Without a favourite to observe the page says what is missing and where to add it.
        function test_noObservedDeviceLine_data() {
            return [
                {tag: "no favourites", blocks: [], shown: true},
                {tag: "a favourite without a password", blocks: [{password: ""}], shown: true},
                {tag: "a favourite with user name and password", blocks: [{}], shown: false},
            ]
        }

        function test_noObservedDeviceLine(data) {
            for (var i = 0; i < data.blocks.length; ++i)
                peers.addBlock(data.blocks[i])
            var page = createTemporaryObject(pageComponent, root)
            var line = findChild(page, "noObservedDevices")
            tryCompare(line, "visible", data.shown)
            if (data.shown)
                verify(line.text.indexOf("Favorite devices page") > 0, line.text)
        }

        function test_rowsAppear() {
            peers.addBlock({cubeCount: 2})
            peers.addBlock({cubeCount: 3, firstCubeId: 10})
            // Without a password a favourite is not observed.
            peers.addBlock({password: ""})
            var page = createTemporaryObject(pageComponent, root)
            tryCompare(grid(page), "count", 5, 10000)
            page.observerManager.observerViewStyle = ObserverManager.DeviceView
            tryVerify(function() { return page.viewLoader.item instanceof DeviceObserverView })
            compare(grid(page).count, 2)
        }

        function test_escapeLogsOutFirst() {
            peers.addBlock({})
            var page = createTemporaryObject(pageComponent, root)
            var manager = page.observerManager
            tryVerify(function() { return peers.loginStatus(manager, 0) === Client.LoggedIn }, 10000)
            statusAtPageChange = []
            var record = function() { statusAtPageChange.push(peers.loginStatus(manager, 0)) }
            client.currentPageChanged.connect(record)
            client.escapeKeyPressed()
            client.currentPageChanged.disconnect(record)
            compare(client.currentPage, Client.DemoPage)
            compare(statusAtPageChange, [Client.NotLoggedIn])
            tryVerify(function() { return peers.requestCount(0, "/users/logout") === 1 }, 3000)
        }

        function test_exitKeepsObserversLoggedIn() {
            peers.addBlock({})
            var page = createTemporaryObject(pageComponent, root)
            tryVerify(function() { return peers.loginStatus(page.observerManager, 0) === Client.LoggedIn }, 10000)
            mouseClick(findChild(page.viewLoader.item, "exitButton"))
            compare(client.currentPage, Client.DemoPage)
            compare(peers.loginStatus(page.observerManager, 0), Client.LoggedIn)
        }

        function test_stylePicker_data() {
            return [
                {tag: "devices", button: "styleButton1", style: ObserverManager.DeviceView},
                {tag: "map", button: "styleButton2", style: ObserverManager.MapView},
                {tag: "cameras", button: "styleButton0", style: ObserverManager.CubeView},
            ]
        }

        function test_stylePicker(data) {
            var page = createTemporaryObject(pageComponent, root)
            var manager = page.observerManager
            if (data.style === ObserverManager.CubeView)
                manager.observerViewStyle = ObserverManager.DeviceView
            var picker = findChild(page.viewLoader.item, "viewStylePicker")
            verify(picker)
            mouseClick(findChild(picker, data.button))
            compare(manager.observerViewStyle, data.style)
            var loaded = page.viewLoader.item
            if (data.style === ObserverManager.CubeView)
                verify(loaded instanceof CubeObserverView)
            else if (data.style === ObserverManager.DeviceView)
                verify(loaded instanceof DeviceObserverView)
            else
                verify(!(loaded instanceof CubeObserverView) && !(loaded instanceof DeviceObserverView))
            var shown = findChild(page.viewLoader.item, "viewStylePicker")
            verify(Qt.colorEqual(findChild(shown, data.button).color, shown.selectedColor))
        }

        function test_scrollPositionKept() {
            peers.addBlock({cubeCount: 15})
            var page = createTemporaryObject(pageComponent, root)
            var manager = page.observerManager
            tryCompare(grid(page), "count", 15, 10000)
            var cubes = grid(page)
            tryVerify(function() { return cubes.contentHeight > cubes.height + 200 })
            cubes.contentY = 200
            compare(manager.cubeViewPosition, 200)

            manager.observerViewStyle = ObserverManager.DeviceView
            tryVerify(function() { return page.viewLoader.item instanceof DeviceObserverView })
            compare(manager.cubeViewPosition, 200)
            manager.observerViewStyle = ObserverManager.CubeView
            tryVerify(function() { return page.viewLoader.item instanceof CubeObserverView })
            tryCompare(grid(page), "count", 15)
            compare(grid(page).contentY, 200)
        }

        // Only the tiles in view are made and ask for frames, and no tile is made for a size
        // that the layouts pass through and destroyed again.
        function test_onlyTilesInViewStream_data() {
            return [
                {tag: "page opens before the cubes arrive", overCubes: false},
                {tag: "view loaded over the cubes", overCubes: true},
            ]
        }

        function test_onlyTilesInViewStream(data) {
            peers.addBlock({cubeCount: 24})
            var page = createTemporaryObject(pageComponent, root)
            var manager = page.observerManager
            if (data.overCubes) {
                manager.observerViewStyle = ObserverManager.DeviceView
                tryVerify(function() { return manager.cubeModel.rowCount() === 24 }, 10000)
                manager.observerViewStyle = ObserverManager.CubeView
            }
            var cubes = grid(page)
            var tiles = function() {
                var found = []
                for (var i = 0; i < cubes.contentItem.children.length; ++i) {
                    if (findChild(cubes.contentItem.children[i], "cubeItem"))
                        found.push(cubes.contentItem.children[i])
                }
                return found
            }
            var made = tiles()
            var recordTiles = function() {
                tiles().forEach(function(tile) { if (made.indexOf(tile) < 0) made.push(tile) })
            }
            cubes.contentItem.childrenChanged.connect(recordTiles)
            tryCompare(cubes, "count", 24, 10000)
            var inView = 3 * Math.ceil(cubes.height / cubes.cellHeight)
            verify(inView < 24)
            tryVerify(function() { return peers.requestingCubes(manager) === inView }, 5000,
                      "cubes asking for frames: " + peers.requestingCubes(manager) + " of " + inView + " in view")
            // Each tile holds a video surface, streaming or not: none is made for the rows below
            // the view, save the part of the next row the grid starts. A grid that kept tiles
            // beyond the view would make them in the frames after those in view.
            wait(200)
            cubes.contentItem.childrenChanged.disconnect(recordTiles)
            compare(made.length, tiles().length)
            verify(made.length < inView + 3, "tiles made: " + made.length + " for " + inView + " in view")
        }

        function test_pageKeysFlick() {
            peers.addBlock({cubeCount: 15})
            var page = createTemporaryObject(pageComponent, root)
            var cubes = grid(page)
            tryCompare(cubes, "count", 15, 10000)
            client.pageDownKeyPressed()
            tryVerify(function() { return cubes.contentY > 0 && !cubes.moving })
            var down = cubes.contentY
            client.pageUpKeyPressed()
            tryVerify(function() { return cubes.contentY < down && !cubes.moving })
        }
    }
}
