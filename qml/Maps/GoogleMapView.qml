import QtQuick 2.15
import QtLocation 5.12
import Orva.Components 1.0
import Orva.Style 1.0

// The map on Google Maps tiles through QtLocation's "googlemaps" plugin. Where that plugin is
// not installed, a message says so instead of a blank map.
MapPluginView {
    id: root

    readonly property bool pluginInstalled: providers.availableServiceProviders.indexOf("googlemaps") >= 0
    readonly property var styleRules: [
        "element:geometry%7Ccolor:0xf5f5f5",
        "element:labels.icon%7Cvisibility:off",
        "element:labels.text.fill%7Ccolor:0x616161",
        "element:labels.text.stroke%7Ccolor:0xf5f5f5",
        "feature:administrative.land_parcel%7Celement:labels.text.fill%7Ccolor:0xbdbdbd",
        "feature:poi%7Celement:geometry%7Ccolor:0xeeeeee",
        "feature:poi%7Celement:labels.text.fill%7Ccolor:0x757575",
        "feature:poi%7Celement:labels.text%7Cvisibility:off",
        "feature:poi.business%7Cvisibility:off",
        "feature:poi.park%7Celement:geometry%7Ccolor:0xe5e5e5",
        "feature:poi.park%7Celement:labels.text.fill%7Ccolor:0x9e9e9e",
        "feature:road%7Celement:geometry%7Ccolor:0xffffff",
        "feature:road.arterial%7Celement:labels.text.fill%7Ccolor:0x757575",
        "feature:road.highway%7Celement:geometry%7Ccolor:0xdadada",
        "feature:road.highway%7Celement:labels.text.fill%7Ccolor:0x616161",
        "feature:road.local%7Celement:labels.text.fill%7Ccolor:0x9e9e9e",
        "feature:transit.line%7Celement:geometry%7Ccolor:0xe5e5e5",
        "feature:transit.station%7Celement:geometry%7Ccolor:0xeeeeee",
        "feature:water%7Celement:geometry%7Ccolor:0xc9c9c9",
        "feature:water%7Celement:labels.text.fill%7Ccolor:0x9e9e9e"
    ]
    readonly property alias googlePluginComponent: googlePluginComponent

    preferredMapTypeName: hostMapsManager.hostGoogleApiKeyTileLayer ? hostMapsManager.hostGoogleApiKeyTileLayer : "Road Map"

    // Only asks which plugins exist; the items overlay plugin fetches nothing.
    Plugin {
        id: providers

        name: "itemsoverlay"
    }

    Component {
        id: googlePluginComponent

        Plugin {
            name: "googlemaps"

            PluginParameter {
                name: "googlemaps.maps.apikey"
                value: mapsManager.preferredGoogleApiKey
            }
            PluginParameter {
                name: "googlemaps.maps.highdpi"
                value: true
            }
            PluginParameter {
                name: "googlemaps.maps.style"
                value: root.styleRules
            }
        }
    }

    PlaceholderPanel {
        objectName: "missingPluginMessage"
        anchors.centerIn: parent
        visible: !root.pluginInstalled
        iconSource: "qrc:/images/icon_info.svg"
        title: qsTr("Google Maps is not available")
        description: qsTr("The Google Maps map plugin is not installed on this computer. Choose Thunderforest as the map provider in the settings to see the map.")
    }

    Component.onCompleted: {
        if (pluginInstalled)
            mapPlugin = googlePluginComponent.createObject(root)
    }
}
