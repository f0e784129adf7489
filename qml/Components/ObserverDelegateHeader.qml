import QtQuick 2.15
import Orva.Style 1.0

// The header of an observed block's or cube's tile: stripes while it is not running normally,
// the highlight of the tile under the pointer, the title.
Item {
    id: root

    clip: true

    property alias title: titleText.text
    property color patternColor: "transparent"
    property bool highlighted: false
    property int delegateRadius: 0
    property int titleRightMargin: 0
    property bool toolTipEnabled: false
    readonly property alias containsMouse: mouseArea.containsMouse
    readonly property alias containsPress: mouseArea.containsPress
    readonly property alias titleTruncated: titleText.truncated

    signal headerHoveredChanged(bool hovered)
    signal headerPressed(var mouse)
    signal headerReleased(var mouse)

    Row {
        anchors.centerIn: parent
        spacing: Style.observerStripeSpacing
        visible: root.patternColor.a > 0

        Repeater {
            model: Style.observerStripeCount

            Rectangle {
                width: Style.observerStripeWidth
                height: Style.observerStripeHeight
                rotation: 45
                color: root.patternColor
            }
        }
    }

    Rectangle {
        id: dragHiglightRect

        anchors.fill: parent
        // Rounded at the top only: the header clips the lower corners away.
        anchors.bottomMargin: -root.delegateRadius
        radius: root.delegateRadius
        color: Style.highlightColor
        opacity: root.highlighted ? 1 : 0

        Behavior on opacity {
            NumberAnimation { duration: Style.animationDuration }
        }

        MouseArea {
            id: mouseArea

            anchors.fill: parent
            hoverEnabled: true
            onContainsMouseChanged: root.headerHoveredChanged(containsMouse)
            onPressed: root.headerPressed(mouse)
            onReleased: root.headerReleased(mouse)
        }
    }

    Text {
        id: titleText

        anchors.fill: parent
        anchors.leftMargin: Style.observerTitleMargin
        anchors.rightMargin: root.titleRightMargin
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        fontSizeMode: Text.Fit
        minimumPointSize: Style.observerTextPointSize
        color: Style.textColor
        font.family: Style.fontFamily
        font.pointSize: Style.observerTitlePointSize
        font.bold: true
        textFormat: Text.PlainText

        PlainTextToolTip {
            visible: root.toolTipEnabled && titleText.truncated && mouseArea.containsMouse
            text: titleText.text
            delay: 0
            timeout: Style.toolTipTimeout
        }
    }
}
