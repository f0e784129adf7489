import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Templates 2.15 as T
import Orva.Style 1.0

// A button with its icon in a square of its own; narrower than icon and text it shows the
// icon only (expanded false) and gives the text as a tool tip.
T.AbstractButton {
    id: control

    implicitHeight: Style.controlHeight
    implicitWidth: implicitHeight + label.implicitWidth + leftPadding + rightPadding
    leftPadding: Style.spacingMedium
    rightPadding: Style.spacingLarge
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    font.family: Style.fontFamily
    font.pixelSize: Style.fontSize
    font.bold: bold
    QQC.ToolTip.visible: hovered && !expanded && text.length > 0
    QQC.ToolTip.text: text
    QQC.ToolTip.delay: 500

    property color color: enabled ? Style.accentColor : Style.buttonDisabledColor
    property color splitColor: Style.accentDarkColor
    property color textColor: Style.textOnAccentColor
    property bool bold: false
    property int radius: Style.radius
    property url iconSource: ""
    property int iconSize: Style.splitButtonIconSize
    property color iconOverlayColor: Style.textOnAccentColor
    readonly property bool expanded: width >= height + label.implicitWidth + rightPadding

    contentItem: Item {
        Text {
            id: label

            anchors.fill: parent
            anchors.leftMargin: control.height - control.leftPadding
            visible: control.expanded
            text: control.text
            font: control.font
            color: control.textColor
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
    }

    background: Rectangle {
        radius: control.radius
        color: control.down ? Qt.darker(control.color, 1.2) : control.hovered ? Qt.lighter(control.color, 1.08) : control.color
        border.width: control.visualFocus ? Style.focusBorderWidth : 0
        border.color: Style.accentDarkColor

        Rectangle {
            id: split

            width: control.expanded ? control.height : parent.width
            height: parent.height
            radius: control.radius
            color: control.splitColor

            // Square off the corners where the split meets the text.
            Rectangle {
                visible: control.expanded
                anchors.right: parent.right
                width: control.radius
                height: parent.height
                color: parent.color
            }

            VectorImage {
                anchors.centerIn: parent
                width: control.iconSize
                height: control.iconSize
                source: control.iconSource
                overlayColor: control.iconOverlayColor
                visible: control.iconSource.toString().length > 0
            }
        }
    }

    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
}
