import QtQuick 2.15
import QtTest 1.15
import Orva.Components 1.0
import Orva.Dialogs 1.0

// The list controller over a sorting proxy, the paging bar over the favourites' proxy and the
// template dialog with the dialog manager.
Item {
    id: root

    width: 1000
    height: 600

    QtObject {
        id: proxy

        property int count: 3
        property string filteredString: ""
        property var roleTranslations: ["Name", "Address"]
        property var sortingRoles: [257, 258]
        property int sortingRole: 257
    }

    Component {
        id: controller

        ListViewController {
            width: 900
            itemName: "cameras"
        }
    }

    Component {
        id: modes

        Rectangle {
            objectName: "modes"
            implicitWidth: 90
            implicitHeight: 30
        }
    }

    Component {
        id: dialog

        TemplateDialog {
            name: "testDialog"
            text: "Close?"
        }
    }

    Component {
        id: pagingBar

        PagingBar {
            width: 900
            proxy: favoriteDeviceSortFilterModel
        }
    }

    SignalSpy {
        id: deleteSpy

        signalName: "deleteRequested"
    }

    TestCase {
        name: "Composites"
        when: windowShown

        function test_controllerWithoutModel() {
            var row = createTemporaryObject(controller, root)
            compare(row.count, 0)
            compare(row.searchable, false)
            compare(row.sortable, false)
            compare(row.modesItem, null)
        }

        function test_controllerSearchAndSort() {
            var row = createTemporaryObject(controller, root, { model: proxy, modesComponent: modes })
            compare(row.count, 3)
            verify(row.searchable)
            verify(row.sortable)
            row.searchText = "cube 4"
            compare(proxy.filteredString, "cube 4")
            verify(row.modesItem)
            compare(row.modesItem.objectName, "modes")
        }

        function test_controllerDelete_data() {
            return [
                { tag: "enabled", enabled: true },
                { tag: "disabled", enabled: false }
            ]
        }

        function test_controllerDelete(data) {
            var row = createTemporaryObject(controller, root, { model: proxy, deleteEnabled: data.enabled })
            deleteSpy.target = row
            var button = null
            for (var i = 0; i < row.children.length; ++i) {
                if (row.children[i].iconSource !== undefined && String(row.children[i].iconSource).indexOf("icon_delete") >= 0)
                    button = row.children[i]
            }
            verify(button)
            compare(button.visible, data.enabled)
            if (data.enabled) {
                mouseClick(button)
                compare(deleteSpy.count, 1)
            }
        }

        // The launcher's favourites are shared by every test: leave them as they were.
        function cleanup() {
            while (favoriteDeviceModel.dataCount > 0)
                favoriteDeviceModel.removeDevice(favoriteDeviceModel.index(0, 0))
            favoriteDeviceSortFilterModel.pageIndex = -1
            favoriteDeviceSortFilterModel.pageSize = 100
        }

        // Rows that come and go while the bar is shown move its last page without any help.
        function test_pagingBarFollowsRows_data() {
            return [
                { tag: "rows fill the first page", page: 0, rows: 10, removed: 0, label: "Page 1 of 1", next: false },
                { tag: "a row opens a second page", page: 0, rows: 11, removed: 0, label: "Page 1 of 2", next: true },
                { tag: "third page from the second", page: 1, rows: 25, removed: 0, label: "Page 2 of 3", next: true },
                { tag: "removed rows close a page", page: 0, rows: 12, removed: 2, label: "Page 1 of 1", next: false }
            ]
        }

        function test_pagingBarFollowsRows(data) {
            var proxy = favoriteDeviceSortFilterModel
            compare(favoriteDeviceModel.dataCount, 0)
            proxy.pageSize = 10
            proxy.pageIndex = data.page
            var bar = createTemporaryObject(pagingBar, root)
            var label = findChild(bar, "pageLabel")
            var next = findChild(bar, "nextPageButton")
            verify(label && next)

            for (var i = 0; i < data.rows; ++i)
                favoriteDeviceModel.addDevice(favoriteDeviceModel.createDevice("10.1.0." + i, "operator"))
            for (i = 0; i < data.removed; ++i)
                favoriteDeviceModel.removeDevice(favoriteDeviceModel.index(0, 0))
            compare(label.text, data.label)
            compare(next.enabled, data.next)
        }

        function test_dialogCountsWithManager() {
            var popup = createTemporaryObject(dialog, root)
            compare(templateDialogManager.noDialogVisible, true)
            popup.open()
            tryCompare(templateDialogManager, "noDialogVisible", false)
            popup.close()
            tryCompare(templateDialogManager, "noDialogVisible", true)
            popup.open()
            tryCompare(templateDialogManager, "noDialogVisible", false)
            templateDialogManager.closeAll()
            tryCompare(popup, "visible", false)
            compare(templateDialogManager.noDialogVisible, true)
        }
    }
}
