import QtQuick 2.15
import QtQuick.Window 2.15
import QtLocation 5.12
import Client 1.0
import Orva.Components 1.0
import Orva.Style 1.0

// The map on the tiles of the Thunderforest tile service (or the tile server the settings
// name), through QtLocation's OpenStreetMap plugin with a custom tile address. A line over the
// map says when the server gives no tiles.
MapPluginView {
    id: root

    readonly property string tileAddress: tileAddressFor(hostMapsManager.openStreetMapTileServer,
                                                         mapsManager.preferredOpenStreetMapApiKey,
                                                         hostMapsManager.hostOpenStreetMapApiKeyTileLayer,
                                                         Screen.devicePixelRatio)
    readonly property alias tileProbe: tileProbe

    // The plugin appends its own path to the address; the "dummy" query parameter takes it in.
    function tileAddressFor(server, key, layer, devicePixelRatio) {
        var address = server + (layer ? layer : "mobile-atlas") + "/%z/%x/%y"
                + (devicePixelRatio >= 1.5 ? "@2x.png" : ".png")
        if (key !== undefined && key !== null && key !== "")
            return address + "?apikey=" + key + "&dummy=.png"
        return address + "?dummy=.png"
    }

    preferredMapTypeName: "Custom URL Map"
    mapPlugin: Plugin {
        name: "osm"

        PluginParameter {
            name: "osm.useragent"
            value: "MyApp/1.0"
        }
        PluginParameter {
            name: "osm.mapping.custom.host"
            value: root.tileAddress
        }
        PluginParameter {
            name: "osm.mapping.custom.mapcopyright"
            value: "Maps © Thunderforest"
        }
        PluginParameter {
            name: "osm.mapping.custom.datacopyright"
            value: "Data © OpenStreetMap contributors"
        }
        // Otherwise the plugin asks Qt's servers for its list of tile providers.
        PluginParameter {
            name: "osm.mapping.providersrepository.disabled"
            value: true
        }
    }

    TileServerProbe {
        id: tileProbe

        tileAddress: root.tileAddress
    }

    NoticeLine {
        objectName: "tilesUnavailableMessage"
        anchors.top: parent.top
        anchors.topMargin: Style.spacing
        anchors.horizontalCenter: parent.horizontalCenter
        width: Math.min(implicitWidth, parent.width - 2 * Style.spacing)
        visible: tileProbe.status === TileServerProbe.Unreachable
        // The server's address only: the tile address may carry the key.
        text: qsTr("The map tiles could not be loaded from %1.").arg(hostMapsManager.openStreetMapTileServer)
    }
}
