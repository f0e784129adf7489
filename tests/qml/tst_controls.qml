import QtQuick 2.15
import QtTest 1.15
import Orva.Controls 1.0

// The buttons, switch, texts and images of the interface.
Item {
    id: root

    width: 800
    height: 600

    Component {
        id: dialogButton

        DialogButton {
            text: "Save settings"
        }
    }

    Component {
        id: splitButton

        DialogSplitButton {
            text: "Exit"
            iconSource: "qrc:/images/icon_logout.svg"
        }
    }

    Component {
        id: roundButton

        RoundButtonWithIcon {
            iconSource: "qrc:/images/icon_position.svg"
        }
    }

    Component {
        id: slideButton

        SlideBtn {}
    }

    Component {
        id: switchControl

        Switch {
            text: "Prefer the key"
        }
    }

    Component {
        id: tableText

        TableText {}
    }

    Component {
        id: bubble

        BubbleToolTip {
            text: "The serial number is a unique identifier."
        }
    }

    Component {
        id: vectorImage

        VectorImage {
            width: 32
            height: 32
            source: "qrc:/images/icon_logout.svg"
        }
    }

    SignalSpy {
        id: clickSpy

        signalName: "clicked"
    }

    TestCase {
        name: "Controls"
        when: windowShown

        function init() {
            clickSpy.clear()
        }

        function test_buttonClicks_data() {
            return [
                { tag: "DialogButton enabled", component: dialogButton, enabled: true },
                { tag: "DialogButton disabled", component: dialogButton, enabled: false },
                { tag: "DialogSplitButton enabled", component: splitButton, enabled: true },
                { tag: "DialogSplitButton disabled", component: splitButton, enabled: false },
                { tag: "RoundButtonWithIcon enabled", component: roundButton, enabled: true },
                { tag: "RoundButtonWithIcon disabled", component: roundButton, enabled: false },
                { tag: "SlideBtn enabled", component: slideButton, enabled: true }
            ]
        }

        function test_buttonClicks(data) {
            var button = createTemporaryObject(data.component, root, { enabled: data.enabled })
            verify(button)
            verify(button.width > 0 && button.height > 0)
            clickSpy.target = button
            mouseClick(button)
            compare(clickSpy.count, data.enabled ? 1 : 0)
            if (data.enabled) {
                button.forceActiveFocus()
                keyClick(Qt.Key_Return)
                compare(clickSpy.count, 2)
            }
        }

        function test_splitButtonExpands_data() {
            return [
                { tag: "own width shows the text", width: -1, expanded: true },
                { tag: "square shows the icon only", width: 36, expanded: false }
            ]
        }

        function test_splitButtonExpands(data) {
            var button = createTemporaryObject(splitButton, root)
            if (data.width > 0)
                button.width = data.width
            compare(button.expanded, data.expanded)
            compare(button.iconSize, 22)
            verify(button.implicitWidth > button.implicitHeight)
        }

        function test_slideArrowRotation() {
            var button = createTemporaryObject(slideButton, root, { roundedLeft: true, arrowRotation: 90 })
            compare(button.width, 20)
            compare(button.height, 50)
            compare(button.arrowRotation, 90)
            compare(button.roundedLeft, true)
        }

        function test_switchToggles() {
            var control = createTemporaryObject(switchControl, root)
            compare(control.checked, false)
            mouseClick(control)
            compare(control.checked, true)
            control.forceActiveFocus()
            keyClick(Qt.Key_Space)
            compare(control.checked, false)
        }

        function test_tableTextElides_data() {
            return [
                { tag: "fits", text: "Cube", width: 200, truncated: false },
                { tag: "cut", text: "A very long camera name that does not fit the column", width: 80, truncated: true }
            ]
        }

        function test_tableTextElides(data) {
            var text = createTemporaryObject(tableText, root, { text: data.text, width: data.width })
            compare(text.truncated, data.truncated)
            compare(text.lineCount, 1)
        }

        function test_bubbleShowsOnHover() {
            var sign = createTemporaryObject(bubble, root, { x: 100, y: 100 })
            compare(sign.shown, false)
            waitForRendering(sign)
            // Enter from outside: a hover needs a move that crosses the item's edge.
            mouseMove(root, 1, 1)
            mouseMove(sign, 1, 1)
            mouseMove(sign, sign.width / 2, sign.height / 2)
            tryCompare(sign, "shown", true, 3000)
            mouseMove(root, 5, 5)
            tryCompare(sign, "shown", false, 3000)
        }

        function test_vectorImage_data() {
            return [
                { tag: "plain", overlay: "transparent", tinted: false },
                { tag: "tinted", overlay: "white", tinted: true }
            ]
        }

        function test_vectorImage(data) {
            var image = createTemporaryObject(vectorImage, root, { overlayColor: data.overlay })
            tryCompare(image, "status", Image.Ready)
            compare(image.tinted, data.tinted)
        }
    }
}
