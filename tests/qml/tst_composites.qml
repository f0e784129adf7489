import QtQuick 2.15
import QtTest 1.15
import Orva.Components 1.0
import Orva.Dialogs 1.0

// The list controller over a sorting proxy and the template dialog with the dialog manager.
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
