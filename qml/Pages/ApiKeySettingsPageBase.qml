import QtQuick 2.15
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Controls 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// A page of map provider keys. The switches say which rows it shows; a concrete page fills
// readOriginalData (calls setOriginalData with the stored values) and saveData (stores them).
// A value counts as changed only while its control is shown.
SettingsBase {
    id: root

    implicitHeight: column.height
    settingsValid: true

    property int textOffset: Style.settingsLabelWidth
    property string descriptionText: ""
    property bool showPreferSwitches: false
    property bool showGooglePreferSwitch: true
    property bool showOpenStreetMapPreferSwitch: true
    property bool showGoogleMapsSettings: true
    property bool showOpenStreetMapSettings: true
    property bool showOpenStreetMapTileLayerDropDown: false
    property bool showGoogleMapTileLayerDropDown: false
    property bool showMapSoftwareDropDown: false
    property string googlePreferSwitchText: ""
    property string openStreetMapPreferSwitchText: ""
    property bool useMaskOnInitialLoad: true

    readonly property var openStreetMapTileLayerSlugs: ["atlas", "mobile-atlas", "neighbourhood"]
    readonly property string defaultOpenStreetMapTileLayerSlug: "mobile-atlas"
    readonly property var googleMapTileLayerNames: ["Road Map", "Hybrid", "Satellite"]
    readonly property string defaultGoogleMapTileLayerName: "Road Map"

    property string originalGoogleApiKey: ""
    property string originalGoogleApiKeyTileLayer: ""
    property string originalOpenStreetMapApiKey: ""
    property string originalOpenStreetMapTileLayer: ""
    property bool originalGooglePreferValue: false
    property bool originalOpenStreetMapPreferValue: false
    property int originalMapType: MapsManager.UnknownMap

    property string currentGoogleApiKeyTileLayer: ""
    property string currentOpenStreetMapTileLayer: ""
    property bool currentGooglePreferValue: false
    property bool currentOpenStreetMapPreferValue: false
    property int currentMapType: MapsManager.UnknownMap

    readonly property bool googleApiKeyEffectivelyAvailable: maskedGoogleApiKeyTextBox.rawKey.length > 0
                                                             || (typeof mapsManager !== "undefined" && !!mapsManager
                                                                 && mapsManager.googleApiKeyAvailable)

    function readOriginalData(useMask) {
    }

    function saveData(googleApiKey, openStreetMapApiKey, googlePreferValue, openStreetMapPreferValue,
                      openStreetMapTileLayer, mapType, googleApiKeyTileLayer) {
    }

    function setOriginalData(useMask, googleApiKey, openStreetMapApiKey, googlePreferValue, openStreetMapPreferValue,
                             openStreetMapTileLayer, mapType, googleApiKeyTileLayer) {
        originalGoogleApiKey = googleApiKey || ""
        originalOpenStreetMapApiKey = openStreetMapApiKey || ""
        originalGooglePreferValue = !!googlePreferValue
        originalOpenStreetMapPreferValue = !!openStreetMapPreferValue
        originalOpenStreetMapTileLayer = openStreetMapTileLayer || ""
        originalMapType = mapType
        originalGoogleApiKeyTileLayer = googleApiKeyTileLayer || ""

        currentGooglePreferValue = originalGooglePreferValue
        currentOpenStreetMapPreferValue = originalOpenStreetMapPreferValue
        currentOpenStreetMapTileLayer = originalOpenStreetMapTileLayer
        currentMapType = originalMapType
        currentGoogleApiKeyTileLayer = originalGoogleApiKeyTileLayer

        maskedGoogleApiKeyTextBox.useMask = !!useMask
        maskedGoogleApiKeyTextBox.rawKey = originalGoogleApiKey
        maskedOpenStreetMapApiKeyTextBox.useMask = !!useMask
        maskedOpenStreetMapApiKeyTextBox.rawKey = originalOpenStreetMapApiKey
        mapSoftwareDropDown.syncProvider()
        googleMapTileLayerDropDown.syncLayer()
        openStreetMapTileLayerDropDown.syncLayer()
    }

    function restoreChanges() {
        loadOriginalData(useMaskOnInitialLoad)
    }

    function loadOriginalData(useMask) {
        readOriginalData(useMask)
        checkChanges()
    }

    function checkChanges() {
        var changed = false
        if (showMapSoftwareDropDown)
            changed = changed || currentMapType !== originalMapType
        if (showGoogleMapsSettings) {
            changed = changed || maskedGoogleApiKeyTextBox.rawKey !== originalGoogleApiKey
            if (showGoogleMapTileLayerDropDown)
                changed = changed || currentGoogleApiKeyTileLayer !== originalGoogleApiKeyTileLayer
            if (showPreferSwitches && showGooglePreferSwitch)
                changed = changed || currentGooglePreferValue !== originalGooglePreferValue
        }
        if (showOpenStreetMapSettings) {
            changed = changed || maskedOpenStreetMapApiKeyTextBox.rawKey !== originalOpenStreetMapApiKey
            if (showOpenStreetMapTileLayerDropDown)
                changed = changed || currentOpenStreetMapTileLayer !== originalOpenStreetMapTileLayer
            if (showPreferSwitches && showOpenStreetMapPreferSwitch)
                changed = changed || currentOpenStreetMapPreferValue !== originalOpenStreetMapPreferValue
        }
        settingsChanged = changed
    }

    function saveChanges() {
        saveData(maskedGoogleApiKeyTextBox.rawKey, maskedOpenStreetMapApiKeyTextBox.rawKey, currentGooglePreferValue,
                 currentOpenStreetMapPreferValue, currentOpenStreetMapTileLayer, currentMapType,
                 currentGoogleApiKeyTileLayer)
        restoreChanges()
        checkChanges()
    }

    onGoogleApiKeyEffectivelyAvailableChanged: mapSoftwareDropDown.syncProvider()

    ColumnLayout {
        id: column

        width: parent.width
        spacing: Style.spacingXLarge

        Text {
            // As wide as the page, not as the layout makes it: a wrapped text's height must
            // not feed back into the width it is laid out with.
            Layout.preferredWidth: root.width
            visible: text.length > 0
            text: root.descriptionText
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
            wrapMode: Text.WordWrap
        }

        RowLayout {
            visible: root.showMapSoftwareDropDown
            spacing: Style.spacing

            SettingsLabel {
                Layout.preferredWidth: root.textOffset
                text: qsTr("Map provider") + ":"
            }

            DropDown {
                id: mapSoftwareDropDown

                objectName: "mapSoftwareDropDown"
                model: [qsTr("Google Maps"), qsTr("Thunderforest")]
                disabledList: [!root.googleApiKeyEffectivelyAvailable, false]

                // The map view shows Google Maps only with a key; so does this choice.
                function syncProvider() {
                    syncIndexFromProperty(root.currentMapType === MapsManager.GoogleMaps
                                          && root.googleApiKeyEffectivelyAvailable ? 0 : 1)
                }

                onActivated: {
                    root.currentMapType = index === 0 ? MapsManager.GoogleMaps : MapsManager.OpenStreetMap
                    root.checkChanges()
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            visible: root.showGoogleMapsSettings
            spacing: Style.spacing

            SettingsHeading {
                text: qsTr("Google Maps")
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: Style.spacing

                SettingsLabel {
                    Layout.preferredWidth: root.textOffset
                    text: qsTr("Google Maps API key") + ":"
                }

                MaskedTextBox {
                    id: maskedGoogleApiKeyTextBox

                    objectName: "maskedGoogleApiKeyTextBox"
                    Layout.fillWidth: true
                    Layout.maximumWidth: Style.keyFieldMaximumWidth
                    onRawKeyChanged: root.checkChanges()
                }
            }

            RowLayout {
                visible: root.showGoogleMapTileLayerDropDown
                spacing: Style.spacing

                SettingsLabel {
                    Layout.preferredWidth: root.textOffset
                    text: qsTr("Google Maps style") + ":"
                }

                DropDown {
                    id: googleMapTileLayerDropDown

                    objectName: "googleMapTileLayerDropDown"
                    model: root.googleMapTileLayerNames

                    function syncLayer() {
                        var layer = root.currentGoogleApiKeyTileLayer || root.defaultGoogleMapTileLayerName
                        syncIndexFromProperty(root.googleMapTileLayerNames.indexOf(layer))
                    }

                    onActivated: {
                        root.currentGoogleApiKeyTileLayer = root.googleMapTileLayerNames[index]
                        root.checkChanges()
                    }
                }
            }

            Switch {
                id: hostGoogleApiKeySwitch

                objectName: "hostGoogleApiKeySwitch"
                Layout.fillWidth: true
                visible: root.showPreferSwitches && root.showGooglePreferSwitch
                text: root.googlePreferSwitchText
                checked: root.currentGooglePreferValue
                onToggled: {
                    root.currentGooglePreferValue = checked
                    root.checkChanges()
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            visible: root.showOpenStreetMapSettings
            spacing: Style.spacing

            SettingsHeading {
                text: qsTr("Thunderforest")
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: Style.spacing

                SettingsLabel {
                    Layout.preferredWidth: root.textOffset
                    text: qsTr("Thunderforest API key") + ":"
                }

                MaskedTextBox {
                    id: maskedOpenStreetMapApiKeyTextBox

                    objectName: "maskedOpenStreetMapApiKeyTextBox"
                    Layout.fillWidth: true
                    Layout.maximumWidth: Style.keyFieldMaximumWidth
                    onRawKeyChanged: root.checkChanges()
                }
            }

            RowLayout {
                visible: root.showOpenStreetMapTileLayerDropDown
                spacing: Style.spacing

                SettingsLabel {
                    Layout.preferredWidth: root.textOffset
                    text: qsTr("Thunderforest style") + ":"
                }

                DropDown {
                    id: openStreetMapTileLayerDropDown

                    objectName: "openStreetMapTileLayerDropDown"
                    model: [qsTr("Atlas"), qsTr("Mobile Atlas"), qsTr("Neighborhood")]

                    function syncLayer() {
                        var layer = root.currentOpenStreetMapTileLayer || root.defaultOpenStreetMapTileLayerSlug
                        syncIndexFromProperty(root.openStreetMapTileLayerSlugs.indexOf(layer))
                    }

                    onActivated: {
                        root.currentOpenStreetMapTileLayer = root.openStreetMapTileLayerSlugs[index]
                        root.checkChanges()
                    }
                }
            }

            Switch {
                id: hostOpenStreetMapApiKeySwitch

                objectName: "hostOpenStreetMapApiKeySwitch"
                Layout.fillWidth: true
                visible: root.showPreferSwitches && root.showOpenStreetMapPreferSwitch
                text: root.openStreetMapPreferSwitchText
                checked: root.currentOpenStreetMapPreferValue
                onToggled: {
                    root.currentOpenStreetMapPreferValue = checked
                    root.checkChanges()
                }
            }
        }

        RowLayout {
            Layout.topMargin: Style.spacingXLarge
            spacing: Style.spacing

            DialogButton {
                id: saveButton

                objectName: "saveButton"
                text: qsTr("Save settings")
                textColor: Style.textOnAccentColor
                enabled: root.settingsValid && root.settingsChanged
                onClicked: root.requestSaveChanges()
            }
        }
    }

    component SettingsLabel: Text {
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSize
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }

    component SettingsHeading: Text {
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSize
        font.bold: true
    }

    Component.onCompleted: loadOriginalData(useMaskOnInitialLoad)
}
