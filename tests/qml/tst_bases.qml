import QtQuick 2.15
import QtTest 1.15
import Orva.Templates 1.0

// The base items: shared measures, the settings contract and the template slot.
Item {
    id: root

    width: 600
    height: 400

    Component {
        id: itemBase

        ItemBase {}
    }

    Component {
        id: pageBase

        PageBase {}
    }

    Component {
        id: viewBase

        ViewBase {}
    }

    Component {
        id: settings

        SettingsBase {
            property int saves: 0
            property bool dirty: false

            function checkChanges() {
                settingsChanged = dirty
            }

            function saveChanges() {
                saves += 1
                dirty = false
                checkChanges()
            }
        }
    }

    Component {
        id: templateBase

        TemplateBase {
            Rectangle {
                width: 120
                height: 30
            }
        }
    }

    TestCase {
        name: "Bases"
        when: windowShown

        function test_measures_data() {
            return [
                { tag: "ItemBase", component: itemBase },
                { tag: "PageBase", component: pageBase },
                { tag: "ViewBase", component: viewBase },
                { tag: "SettingsBase", component: settings }
            ]
        }

        function test_measures(data) {
            var item = createTemporaryObject(data.component, root)
            verify(item)
            compare(item.headingSize, 20)
            compare(item.rowHeight, 45)
            compare(item.titleHeight, 40)
            compare(item.scrollBarWidth, 10)
            item.rowHeight = 60
            compare(item.rowHeight, 60)
        }

        function test_requestSaveChanges_data() {
            return [
                { tag: "unchanged", dirty: false, valid: true, saved: false },
                { tag: "changed and valid", dirty: true, valid: true, saved: true },
                { tag: "changed but invalid", dirty: true, valid: false, saved: false },
                { tag: "invalid and unchanged", dirty: false, valid: false, saved: false }
            ]
        }

        function test_requestSaveChanges(data) {
            var section = createTemporaryObject(settings, root)
            section.dirty = data.dirty
            section.settingsValid = data.valid
            section.checkChanges()
            compare(section.settingsChanged, data.dirty)
            compare(section.requestSaveChanges(), data.saved)
            compare(section.saves, data.saved ? 1 : 0)
            // After a save the section is unchanged again.
            if (data.saved)
                compare(section.settingsChanged, false)
        }

        function test_templateFollowsContent() {
            var slot = createTemporaryObject(templateBase, root)
            compare(slot.implicitWidth, 120)
            compare(slot.implicitHeight, 30)
            verify(slot.contentItem)
            slot.contentItem.width = 200
            compare(slot.implicitWidth, 200)
        }
    }
}
