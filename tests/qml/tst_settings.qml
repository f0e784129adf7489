import QtQuick 2.15
import QtQuick.Layouts 1.15
import QtTest 1.15
import Client 1.0
import Orva.Components 1.0
import Orva.Dialogs 1.0
import Orva.Pages 1.0
import Orva.Templates 1.0

// The collapsible settings sections, the map key page and the launcher's settings dialog.
Item {
    id: root

    width: 900
    height: 700

    Component {
        id: managerComponent

        SourceSettingsManager {
            sourceSettingsType: ClientGlobal.LauncherSettingsType
        }
    }

    Component {
        id: plainPage

        SettingsBase {
            implicitHeight: 40
        }
    }

    Component {
        id: tileComponent

        SourceSettingsTileWrapper {
            width: 600
            component: plainPage
        }
    }

    Component {
        id: columnComponent

        ColumnLayout {
            width: 600
        }
    }

    Component {
        id: keyPageComponent

        HostKeySettingsPage {
            width: 800
        }
    }

    Component {
        id: dialogComponent

        LauncherSettingsDialog {}
    }

    SignalSpy {
        id: resourcesSpy

        target: client
        signalName: "pageChangeResourcesChanged"
    }

    SignalSpy {
        id: openRequestedSpy

        signalName: "openRequested"
    }

    TestCase {
        name: "SettingsSections"
        when: windowShown

        function makeTiles(manager, titles, sections) {
            var column = createTemporaryObject(columnComponent, root)
            var tiles = []
            for (var i = 0; i < titles.length; ++i)
                tiles.push(createTemporaryObject(tileComponent, column,
                                                 { manager: manager, title: titles[i], sectionType: sections[i] }))
            return tiles
        }

        function test_tileVisibility_data() {
            return [
                { tag: "no search, own tab", search: "", tab: 0, support: true, visible: true },
                { tag: "no search, other tab", search: "", tab: 1, support: true, visible: false },
                { tag: "matching search shows it on every tab", search: "API", tab: 1, support: true, visible: true },
                { tag: "search matches no title", search: "proxy", tab: 0, support: true, visible: false },
                { tag: "unsupported is never shown", search: "", tab: 0, support: false, visible: false },
                { tag: "unsupported, matching search", search: "map", tab: 0, support: false, visible: false }
            ]
        }

        function test_tileVisibility(data) {
            var manager = createTemporaryObject(managerComponent, root)
            var tile = createTemporaryObject(tileComponent, root, {
                                                 manager: manager, title: "Map data - API Key",
                                                 sectionType: ClientGlobal.HostKeySettingsSection,
                                                 settingsSupport: data.support
                                             })
            manager.tabIndex = data.tab
            manager.filteredString = data.search
            compare(tile.visible, data.visible)
        }

        function test_searchOpensFirstMatch_data() {
            return [
                { tag: "two titles match", search: "a", opened: [true, false, false] },
                { tag: "one title matches", search: "vers", opened: [false, false, true] },
                { tag: "nothing matches", search: "zzz", opened: [false, false, false] }
            ]
        }

        function test_searchOpensFirstMatch(data) {
            var manager = createTemporaryObject(managerComponent, root)
            var tiles = makeTiles(manager, ["Language", "Map data - API Key", "Version"],
                                  [ClientGlobal.LanguageSettingsSection, ClientGlobal.HostKeySettingsSection,
                                   ClientGlobal.VersionSection])
            manager.filteredString = data.search
            for (var i = 0; i < tiles.length; ++i)
                compare(tiles[i].expanded, data.opened[i], tiles[i].title)
            if (data.opened.indexOf(true) >= 0)
                compare(manager.currentSection, [ClientGlobal.LanguageSettingsSection, ClientGlobal.HostKeySettingsSection,
                                                 ClientGlobal.VersionSection][data.opened.indexOf(true)])
        }

        // The owner decides: a click on a closed tile asks, a click on an open title is ignored.
        function test_titleClicksOnlyAsk() {
            var manager = createTemporaryObject(managerComponent, root)
            var tile = makeTiles(manager, ["Language"], [ClientGlobal.LanguageSettingsSection])[0]
            openRequestedSpy.target = tile
            openRequestedSpy.clear()
            waitForRendering(tile)
            mouseClick(tile, 40, 20)
            compare(openRequestedSpy.count, 1)
            verify(!tile.expanded)
            tile.open()
            mouseClick(tile, 40, 20)
            compare(openRequestedSpy.count, 1)
            verify(tile.expanded)
            tryVerify(function() { return tile.item !== null })
        }

        function test_unavailableSectionIsUnchangedAndValid() {
            var manager = createTemporaryObject(managerComponent, root)
            var tile = makeTiles(manager, ["Language"], [ClientGlobal.LanguageSettingsSection])[0]
            tile.available = false
            tile.open()
            tryVerify(function() { return tile.item !== null })
            compare(tile.item.children[0].text, tile.unavailabilityText)
            compare(tile.settingsChanged, false)
            compare(tile.settingsValid, true)
        }

        function test_changesReachShellOncePerPass() {
            var manager = createTemporaryObject(managerComponent, root)
            var tile = makeTiles(manager, ["Language"], [ClientGlobal.LanguageSettingsSection])[0]
            tile.open()
            tryVerify(function() { return tile.item !== null })
            wait(0)
            resourcesSpy.clear()
            tile.item.settingsChanged = true
            tile.item.settingsValid = false
            compare(resourcesSpy.count, 0, "handed over later, not at once")
            tryCompare(resourcesSpy, "count", 1)
            wait(50)
            compare(resourcesSpy.count, 1)
            compare(client.pageChangeResources["settings_changed"], true)
            compare(client.pageChangeResources["settings_valid"], false)
            verify(client.pageChangeResources["settings"] === tile)
        }
    }

    TestCase {
        name: "MapKeyPage"
        when: windowShown

        function init() {
            hostMapsManager.hostGoogleApiKey = ""
            hostMapsManager.hostOpenStreetMapApiKey = ""
            hostMapsManager.hostOpenStreetMapApiKeyTileLayer = ""
            hostMapsManager.hostGoogleApiKeyTileLayer = ""
            mapsManager.mapType = MapsManager.OpenStreetMap
        }

        function test_googleEntryNeedsAKey_data() {
            return [
                { tag: "none stored, none typed", stored: "", typed: "", disabled: true },
                { tag: "stored key", stored: "g-key", typed: "", disabled: false },
                { tag: "typed key", stored: "", typed: "typed", disabled: false }
            ]
        }

        function test_googleEntryNeedsAKey(data) {
            hostMapsManager.hostGoogleApiKey = data.stored
            var page = createTemporaryObject(keyPageComponent, root)
            if (data.typed.length > 0)
                findChild(page, "maskedGoogleApiKeyTextBox").rawKey = data.typed
            var dropDown = findChild(page, "mapSoftwareDropDown")
            compare(dropDown.isDisabled(0), data.disabled)
            compare(dropDown.isDisabled(1), false)
        }

        function test_saveButtonFollowsChanges() {
            var page = createTemporaryObject(keyPageComponent, root)
            var save = findChild(page, "saveButton")
            verify(!save.enabled)
            var key = findChild(page, "maskedOpenStreetMapApiKeyTextBox")
            key.rawKey = "abc"
            verify(save.enabled)
            key.rawKey = ""
            verify(!save.enabled)
            // A prefer switch that is not shown does not count.
            page.showPreferSwitches = false
            page.currentGooglePreferValue = true
            page.checkChanges()
            verify(!save.enabled)
        }

        function test_savedValuesLandInMapsSettings() {
            var page = createTemporaryObject(keyPageComponent, root)
            findChild(page, "maskedGoogleApiKeyTextBox").rawKey = "google-key"
            findChild(page, "maskedOpenStreetMapApiKeyTextBox").rawKey = "tf-key"
            page.currentOpenStreetMapTileLayer = "atlas"
            page.currentGoogleApiKeyTileLayer = "Hybrid"
            page.currentMapType = MapsManager.GoogleMaps
            page.checkChanges()
            var save = findChild(page, "saveButton")
            mouseClick(save)
            compare(testSupport.storedMapsSetting("hostGoogleApiKey"), "google-key")
            compare(testSupport.storedMapsSetting("hostOpenStreetMapApiKey"), "tf-key")
            compare(testSupport.storedMapsSetting("hostOpenStreetMapApiKeyTileLayer"), "atlas")
            compare(testSupport.storedMapsSetting("hostGoogleApiKeyTileLayer"), "Hybrid")
            compare(testSupport.storedMapsSetting("mapType"), "google_maps")
            compare(mapsManager.preferredMapApiKey, "google-key")
            // Saved means unchanged again, with the keys hidden.
            verify(!page.settingsChanged)
            verify(!save.enabled)
            verify(findChild(page, "maskedGoogleApiKeyTextBox").useMask)
        }

        function test_tileCacheClearedOnlyForAnotherLayer_data() {
            return [
                { tag: "same layer keeps the cache", stored: "atlas", saved: "atlas", kept: true },
                { tag: "another layer clears it", stored: "atlas", saved: "neighbourhood", kept: false },
                { tag: "first layer chosen clears it", stored: "", saved: "mobile-atlas", kept: false }
            ]
        }

        function test_tileCacheClearedOnlyForAnotherLayer(data) {
            hostMapsManager.hostOpenStreetMapApiKeyTileLayer = data.stored
            var page = createTemporaryObject(keyPageComponent, root)
            verify(testSupport.addCachedTile() > 0)
            page.currentOpenStreetMapTileLayer = data.saved
            // Something to save even when the layer stays.
            findChild(page, "maskedOpenStreetMapApiKeyTextBox").rawKey = "key-" + data.tag
            verify(page.requestSaveChanges())
            compare(testSupport.cachedTileCount() > 0, data.kept)
            compare(hostMapsManager.hostOpenStreetMapApiKeyTileLayer, data.saved)
        }

        function test_dialogHidesPreferSwitches() {
            var dialog = createTemporaryObject(dialogComponent, root)
            dialog.open()
            var section = findChild(dialog.contentItem, "hostKeySection")
            verify(section.visible)
            section.openRequested()
            tryVerify(function() { return section.item !== null })
            var google = findChild(section.item, "hostGoogleApiKeySwitch")
            var openStreetMap = findChild(section.item, "hostOpenStreetMapApiKeySwitch")
            verify(!google.visible)
            verify(!openStreetMap.visible)
            verify(findChild(section.item, "openStreetMapTileLayerDropDown").visible)
            dialog.close()
        }
    }
}
