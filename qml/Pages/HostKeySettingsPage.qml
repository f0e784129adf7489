import QtQuick 2.15

// The launcher's own map keys and tile layers (group "MapsSettings"); they serve every device
// the launcher connects to.
ApiKeySettingsPageBase {
    id: root

    showPreferSwitches: true
    showOpenStreetMapTileLayerDropDown: true
    showGoogleMapTileLayerDropDown: true
    showMapSoftwareDropDown: true
    descriptionText: qsTr("Specify map provider API keys for the map view. These keys are part of the %1 settings, so the map view will be available on all %2 devices you connect to.")
                     .arg(brandConfig.applicationName).arg(brandConfig.productName)
    googlePreferSwitchText: qsTr("Prefer the %1 key stored in %2 over the key in the device")
                            .arg("Google Maps").arg(brandConfig.applicationName)
    openStreetMapPreferSwitchText: qsTr("Prefer the %1 key stored in %2 over the key in the device")
                                   .arg("Thunderforest").arg(brandConfig.applicationName)

    function readOriginalData(useMask) {
        setOriginalData(useMask === undefined ? false : useMask, hostMapsManager.hostGoogleApiKey,
                        hostMapsManager.hostOpenStreetMapApiKey, hostMapsManager.useHostGoogleApiKey,
                        hostMapsManager.useHostOpenStreetMapApiKey, hostMapsManager.hostOpenStreetMapApiKeyTileLayer,
                        mapsManager.mapType, hostMapsManager.hostGoogleApiKeyTileLayer)
    }

    function saveData(googleApiKey, openStreetMapApiKey, googlePreferValue, openStreetMapPreferValue,
                      openStreetMapTileLayer, mapType, googleApiKeyTileLayer) {
        // Tiles of the old layer would stay in the cache and keep showing.
        if (openStreetMapTileLayer !== hostMapsManager.hostOpenStreetMapApiKeyTileLayer)
            hostMapsManager.clearOpenStreetMapTileCache()
        hostMapsManager.hostGoogleApiKey = googleApiKey
        hostMapsManager.hostOpenStreetMapApiKey = openStreetMapApiKey
        hostMapsManager.useHostGoogleApiKey = googlePreferValue
        hostMapsManager.useHostOpenStreetMapApiKey = openStreetMapPreferValue
        hostMapsManager.hostOpenStreetMapApiKeyTileLayer = openStreetMapTileLayer
        hostMapsManager.hostGoogleApiKeyTileLayer = googleApiKeyTileLayer
        mapsManager.mapType = mapType
        client.saveMapsSettings()
    }
}
