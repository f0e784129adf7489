import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtPositioning 5.12
import QtTest 1.15
import AnalyticsProxy 1.0
import Client 1.0
import Observer 1.0
import Orva.Components.CubeView 1.0
import Orva.Maps 1.0
import Orva.Style 1.0
import Orva.Views 1.0

// The map views on the tiles of the tests' own server: the provider and tile address, pins
// folding into groups as the map zooms out, the preview's place and the wheel under it.
Item {
    id: root

    width: 1200
    height: 800

    ObserverManager {
        id: noBlocks
    }

    // Three cubes a few hundred metres apart and one far away; the last has no position.
    ListModel {
        id: cubes

        ListElement { ObserverIdRole: 1; CubeIdRole: 11; CubeNameRole: "North"; CubeCameraPositionLatitude: 48.010; CubeCameraPositionLongitude: 17.000 }
        ListElement { ObserverIdRole: 2; CubeIdRole: 12; CubeNameRole: "Middle"; CubeCameraPositionLatitude: 48.012; CubeCameraPositionLongitude: 17.002 }
        ListElement { ObserverIdRole: 3; CubeIdRole: 13; CubeNameRole: "South"; CubeCameraPositionLatitude: 48.014; CubeCameraPositionLongitude: 17.001 }
        ListElement { ObserverIdRole: 4; CubeIdRole: 14; CubeNameRole: "Far"; CubeCameraPositionLatitude: 48.300; CubeCameraPositionLongitude: 17.600 }
    }

    Component {
        id: openStreetMapComponent

        OpenStreetMapView {
            anchors.fill: parent
            manager: noBlocks
            model: cubes
            visibleCubesInView: []
        }
    }

    Component {
        id: popupComponent

        QQC.Popup {
            property var previewObject: null

            width: 300
            height: 200
        }
    }

    Component {
        id: mapCubeViewComponent

        MapCubeView {
            anchors.fill: parent
            manager: noBlocks
        }
    }

    Component {
        id: groupIndicatorComponent

        MapGroupIndicator {}
    }

    Component {
        id: groupManagerComponent

        MapGroupManager {
            sourceModel: GeoTableModel {}
        }
    }

    SignalSpy {
        id: groupClicks

        signalName: "clicked"
    }

    TestCase {
        name: "MapViews"
        when: windowShown

        function init() {
            mapsManager.mapType = MapsManager.OpenStreetMap
            hostMapsManager.hostGoogleApiKey = ""
            hostMapsManager.hostOpenStreetMapApiKey = ""
            hostMapsManager.hostOpenStreetMapApiKeyTileLayer = ""
            hostMapsManager.openStreetMapTileServer = tileServer.baseUrl
        }

        function readyMap() {
            var view = createTemporaryObject(openStreetMapComponent, root)
            tryVerify(function() { return view.map.mapReady }, 5000, "the map gets ready")
            return view
        }

        function parameter(plugin, name) {
            for (var i = 0; i < plugin.parameters.length; ++i) {
                if (plugin.parameters[i].name === name)
                    return plugin.parameters[i].value
            }
            return undefined
        }

        function test_providerByMapTypeAndKey_data() {
            return [
                { tag: "Thunderforest", type: MapsManager.OpenStreetMap, key: "", google: false },
                { tag: "Thunderforest with a Google key", type: MapsManager.OpenStreetMap, key: "g", google: false },
                { tag: "Google Maps without a key", type: MapsManager.GoogleMaps, key: "", google: false },
                { tag: "Google Maps with a key", type: MapsManager.GoogleMaps, key: "g", google: true },
                { tag: "unknown type with a key", type: MapsManager.UnknownMap, key: "g", google: false }
            ]
        }

        function test_providerByMapTypeAndKey(data) {
            mapsManager.mapType = data.type
            hostMapsManager.hostGoogleApiKey = data.key
            var page = createTemporaryObject(mapCubeViewComponent, root)
            tryVerify(function() { return page.mapItem !== null })
            compare(page.mapItem.pluginInstalled !== undefined, data.google)
            if (data.google) {
                // Debian's Qt has no Google Maps plugin: the view says so.
                var message = findChild(page.mapItem, "missingPluginMessage")
                compare(message.visible, !page.mapItem.pluginInstalled)
                var plugin = page.mapItem.googlePluginComponent.createObject(null)
                compare(plugin.name, "googlemaps")
                compare(parameter(plugin, "googlemaps.maps.apikey"), "g")
                compare(parameter(plugin, "googlemaps.maps.style").length, 20)
                plugin.destroy()
            } else {
                compare(page.mapItem.mapPlugin.name, "osm")
                compare(parameter(page.mapItem.mapPlugin, "osm.mapping.providersrepository.disabled"), true)
                compare(parameter(page.mapItem.mapPlugin, "osm.mapping.custom.host"), page.mapItem.tileAddress)
            }
        }

        function test_tileAddress_data() {
            var server = "https://tiles.example/"
            return [
                { tag: "no key, no layer, ratio 1", key: "", layer: "", ratio: 1.0,
                  address: server + "mobile-atlas/%z/%x/%y.png?dummy=.png" },
                { tag: "undefined key", key: undefined, layer: "atlas", ratio: 1.0,
                  address: server + "atlas/%z/%x/%y.png?dummy=.png" },
                { tag: "key and layer, ratio just below 1.5", key: "k1", layer: "neighbourhood", ratio: 1.49,
                  address: server + "neighbourhood/%z/%x/%y.png?apikey=k1&dummy=.png" },
                { tag: "ratio exactly 1.5", key: "k1", layer: "", ratio: 1.5,
                  address: server + "mobile-atlas/%z/%x/%y@2x.png?apikey=k1&dummy=.png" },
                { tag: "ratio 2, no key", key: "", layer: "atlas", ratio: 2.0,
                  address: server + "atlas/%z/%x/%y@2x.png?dummy=.png" }
            ]
        }

        function test_tileAddress(data) {
            var view = createTemporaryObject(openStreetMapComponent, root)
            compare(view.tileAddressFor("https://tiles.example/", data.key, data.layer, data.ratio), data.address)
        }

        // The map shows tiles of the server on 127.0.0.1 and nothing else is asked for.
        function test_tilesOnlyFromTheOwnServer() {
            hostMapsManager.hostOpenStreetMapApiKey = "secret"
            hostMapsManager.hostOpenStreetMapApiKeyTileLayer = "atlas"
            var before = tileServer.tileCount
            var view = readyMap()
            view.map.zoomLevel = 12
            // Maps of the earlier cases may still finish a request or two.
            tryVerify(function() {
                return tileServer.tilePaths().slice(before).some(function(path) {
                    return /^\/atlas\/12\/\d+\/\d+(@2x)?\.png\?apikey=secret&dummy=/.test(path)
                })
            }, 10000, "tiles of the layer and key are fetched")
            wait(200)
            compare(tileServer.foreignHosts(), [])
        }

        // A line over the map names the server when it gives no tiles; port 1 refuses.
        function test_tilesUnavailableLine_data() {
            return [
                { tag: "tiles served", server: tileServer.baseUrl, shown: false },
                { tag: "server refuses", server: "http://127.0.0.1:1/", shown: true }
            ]
        }

        function test_tilesUnavailableLine(data) {
            hostMapsManager.openStreetMapTileServer = data.server
            var view = createTemporaryObject(openStreetMapComponent, root)
            tryCompare(view.tileProbe, "status", data.shown ? TileServerProbe.Unreachable : TileServerProbe.Reachable, 5000)
            var line = findChild(view, "tilesUnavailableMessage")
            compare(line.visible, data.shown)
            if (data.shown)
                compare(line.text, "The map tiles could not be loaded from http://127.0.0.1:1/.")
        }

        function test_groupsFollowTheZoom_data() {
            return [
                { tag: "zoomed out: the three fold into one", zoom: 9, grouped: [1, 2, 3], count: 3 },
                { tag: "zoomed in: every pin alone", zoom: 17, grouped: [], count: 0 }
            ]
        }

        function test_groupsFollowTheZoom(data) {
            var view = readyMap()
            view.map.center = QtPositioning.coordinate(48.15, 17.3)
            view.map.zoomLevel = 17
            view.map.zoomLevel = data.zoom
            view.map.center = QtPositioning.coordinate(48.012, 17.001)
            tryVerify(function() {
                return JSON.stringify(view.mapGroupManager.nodeIndices.slice().sort()) === JSON.stringify(data.grouped)
            }, 3000, "grouped " + JSON.stringify(view.mapGroupManager.nodeIndices))
            var group = view.mapGroupManager.model
            var visibleGroups = 0
            for (var row = 0; row < group.rowCount(); ++row) {
                // VisibleRole and CountRole
                if (group.data(group.index(row, 0), 4)) {
                    ++visibleGroups
                    compare(group.data(group.index(row, 0), 5), data.count)
                }
            }
            compare(visibleGroups, data.count > 0 ? 1 : 0)
        }

        // Cubes without status are grey from their first moment: they count as disabled.
        function test_pinsReportTheirStateOnce() {
            var view = readyMap()
            view.map.zoomLevel = 9
            view.map.center = QtPositioning.coordinate(48.15, 17.3)
            tryCompare(view.mapGroupManager, "streamCount", 4)
            compare(view.mapGroupManager.disabledCount, 4)
            compare(view.mapGroupManager.runningCount, 0)
        }

        // A pin reports its cube's state as the colour it paints; the groups count it by that
        // colour, so the style's state colours must be the ones the groups know.
        function test_styleStateColoursCountInTheirState_data() {
            return [
                { tag: "running", color: Style.runningColor, running: 1, failure: 0, disabled: 0 },
                { tag: "failure", color: Style.failureColor, running: 0, failure: 1, disabled: 0 },
                { tag: "disabled", color: Style.disabledColor, running: 0, failure: 0, disabled: 1 }
            ]
        }

        function test_styleStateColoursCountInTheirState(data) {
            var groups = createTemporaryObject(groupManagerComponent, root)
            groups.updateMapCubePosition(1, true, Qt.point(10, 10))
            groups.updateCubeState(1, "" + data.color)
            compare(groups.runningCount, data.running)
            compare(groups.failureCount, data.failure)
            compare(groups.disabledCount, data.disabled)
        }

        // Fitted to its cubes, the map keeps every pin and group marker wholly inside its edges.
        function test_fitLeavesRoomAtTheEdges() {
            var view = readyMap()
            var coordinates = []
            for (var i = 0; i < cubes.count; ++i)
                coordinates.push(QtPositioning.coordinate(cubes.get(i).CubeCameraPositionLatitude,
                                                          cubes.get(i).CubeCameraPositionLongitude))
            view.geoTableModel.loadCoordinates([1, 2, 3, 4], QtPositioning.path(coordinates))
            view.mapGroupManager.updateMapFocus()
            var half = Style.mapGroupSize / 2
            for (i = 0; i < coordinates.length; ++i) {
                var p = view.map.fromCoordinate(coordinates[i], false)
                verify(p.x >= half && p.x <= view.map.width - half && p.y >= half && p.y <= view.map.height - half,
                       "cube " + (i + 1) + " at " + p.x + ", " + p.y)
            }
        }

        // Auto-zoom fits the focused cube's own pin, not every pin on the map.
        function test_focusFitsTheFocusedCubeOnly() {
            var view = readyMap()
            view.map.zoomLevel = 9
            view.map.center = QtPositioning.coordinate(48.15, 17.3)
            tryCompare(view.mapGroupManager, "streamCount", 4)
            var far = QtPositioning.coordinate(48.300, 17.600)
            view.focusToPosition(4, far)
            verify(!view.autoZoom)
            compare(view.focusedId, -1)
            verify(view.map.visibleRegion.contains(far))
            verify(!view.map.visibleRegion.contains(QtPositioning.coordinate(48.012, 17.001)),
                   "fitted all pins instead of the focused one")
        }

        function test_previewStaysInsideTheMap_data() {
            return [
                { tag: "room above the pin", x: 600, y: 500, at: Qt.point(450, 280) },
                { tag: "near the top edge: below the pin", x: 600, y: 100, at: Qt.point(450, 120) },
                { tag: "near the left edge", x: 50, y: 500, at: Qt.point(20, 280) },
                { tag: "near the right edge", x: 1180, y: 500, at: Qt.point(1200 - 300 - 20, 280) }
            ]
        }

        function test_previewStaysInsideTheMap(data) {
            var view = createTemporaryObject(openStreetMapComponent, root)
            compare(view.map.width, 1200)
            compare(view.previewPosition(Qt.point(data.x, data.y), 300, 200), data.at)
        }

        function test_wheelBlockedUnderThePreview() {
            var view = readyMap()
            var popup = createTemporaryObject(popupComponent, view)
            view.previewPopup = popup
            view.map.zoomLevel = 10
            popup.open()
            tryVerify(function() { return view.previewOpen })
            mouseWheel(view.map, 600, 600, 0, 120)
            wait(100)
            compare(view.map.zoomLevel, 10)
            popup.close()
            tryVerify(function() { return !view.previewOpen })
            mouseWheel(view.map, 600, 600, 0, 120)
            tryVerify(function() { return view.map.zoomLevel > 10 })
        }

        function test_groupMarkerCells_data() {
            return [
                { tag: "cameras only", streams: 3, nodes: 0, streamCell: true, nodeCell: false },
                { tag: "devices only", streams: 0, nodes: 2, streamCell: false, nodeCell: true },
                { tag: "both", streams: 1, nodes: 1, streamCell: true, nodeCell: true }
            ]
        }

        function test_groupMarkerCells(data) {
            var marker = createTemporaryObject(groupIndicatorComponent, root,
                                               { runningCount: data.streams, disabledNodeCount: data.nodes })
            compare(marker.streamCount, data.streams)
            compare(marker.nodeCount, data.nodes)
            compare(marker.streamCellShown, data.streamCell)
            compare(marker.nodeCellShown, data.nodeCell)
        }
    }
}
