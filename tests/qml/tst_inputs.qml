import QtQuick 2.15
import QtTest 1.15
import Orva.Controls 1.0

// The drop-down with disabled entries and the masked key field.
Item {
    id: root

    width: 800
    height: 600

    Component {
        id: dropDown

        DropDown {
            model: ["Google Maps", "Thunderforest", "Other"]
        }
    }

    Component {
        id: maskedBox

        MaskedTextBox {}
    }

    SignalSpy {
        id: activatedSpy

        signalName: "activated"
    }

    TestCase {
        name: "Inputs"
        when: windowShown

        function init() {
            activatedSpy.clear()
        }

        function test_disabledList_data() {
            return [
                { tag: "none disabled", list: [], disabled: [false, false, false] },
                { tag: "first disabled", list: [true, false], disabled: [true, false, false] },
                { tag: "out of range", list: [false, false, false, true], disabled: [false, false, false] }
            ]
        }

        function test_disabledList(data) {
            var box = createTemporaryObject(dropDown, root, { disabledList: data.list })
            for (var i = 0; i < data.disabled.length; ++i)
                compare(box.isDisabled(i), data.disabled[i], "entry " + i)
            compare(box.isDisabled(-1), false)
        }

        function test_keysSkipDisabled() {
            var box = createTemporaryObject(dropDown, root, { disabledList: [false, true, false] })
            box.currentIndex = 0
            box.forceActiveFocus()
            activatedSpy.target = box
            keyClick(Qt.Key_Down)
            compare(box.currentIndex, 2)
            compare(activatedSpy.count, 1)
            compare(activatedSpy.signalArguments[0][0], 2)
            keyClick(Qt.Key_Down)
            compare(box.currentIndex, 2)
            keyClick(Qt.Key_Up)
            compare(box.currentIndex, 0)
        }

        function test_syncIndexFromProperty_data() {
            return [
                { tag: "in range", index: 1, accepted: true, current: 1 },
                { tag: "last", index: 2, accepted: true, current: 2 },
                { tag: "too large", index: 3, accepted: false, current: -1 },
                { tag: "negative", index: -1, accepted: false, current: -1 },
                { tag: "undefined", index: undefined, accepted: false, current: -1 }
            ]
        }

        function test_syncIndexFromProperty(data) {
            var box = createTemporaryObject(dropDown, root)
            activatedSpy.target = box
            compare(box.syncIndexFromProperty(data.index), data.accepted)
            compare(box.currentIndex, data.current)
            // Following a value is no choice of the operator.
            compare(activatedSpy.count, 0)
        }

        function test_mask_data() {
            return [
                { tag: "masked", key: "AIzaSyA1234567890abcd", useMask: true, shown: "\u2022".repeat(17) + "abcd" },
                { tag: "short key shows half at most", key: "abc", useMask: true, shown: "\u2022\u2022c" },
                { tag: "empty", key: "", useMask: true, shown: "" },
                { tag: "unmasked", key: "AIzaSyA1234567890abcd", useMask: false, shown: "AIzaSyA1234567890abcd" }
            ]
        }

        function test_mask(data) {
            var box = createTemporaryObject(maskedBox, root, { rawKey: data.key, useMask: data.useMask })
            compare(box.text, data.shown)
            compare(box.rawKey, data.key)
            box.useMask = !data.useMask
            compare(box.rawKey, data.key)
            box.useMask = data.useMask
            compare(box.text, data.shown)
        }

        function test_typingUpdatesRawKey() {
            var box = createTemporaryObject(maskedBox, root, { rawKey: "old" })
            box.forceActiveFocus()
            box.cursorPosition = box.text.length
            keyClick(Qt.Key_X)
            compare(box.rawKey, "oldx")
            compare(box.text, "oldx")
        }

        function test_typingIntoMaskedFieldStartsNewKey() {
            var box = createTemporaryObject(maskedBox, root, { rawKey: "secretkey123", useMask: true })
            box.forceActiveFocus()
            keyClick(Qt.Key_N)
            keyClick(Qt.Key_E)
            keyClick(Qt.Key_W)
            compare(box.useMask, false)
            compare(box.rawKey, "new")
            compare(box.text, "new")
        }
    }
}
