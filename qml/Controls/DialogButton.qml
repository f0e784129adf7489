import QtQuick 2.15
import QtQuick.Templates 2.15 as T
import Orva.Style 1.0

// The text button of dialogs and settings pages.
T.AbstractButton {
    id: control

    implicitWidth: Math.max(Style.buttonMinimumWidth, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Style.controlHeight
    leftPadding: Style.spacingLarge
    rightPadding: Style.spacingLarge
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    font.family: Style.fontFamily
    font.pixelSize: Style.fontSize
    font.bold: bold

    property color color: enabled ? Style.accentColor : Style.buttonDisabledColor
    property color textColor: Style.textOnAccentColor
    property color borderColor: "transparent"
    property bool bold: false
    property int radius: Style.radius

    contentItem: Text {
        text: control.text
        font: control.font
        color: control.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        radius: control.radius
        color: control.down ? Qt.darker(control.color, 1.2) : control.hovered ? Qt.lighter(control.color, 1.08) : control.color
        border.width: control.visualFocus ? Style.focusBorderWidth : Style.borderWidth
        border.color: control.visualFocus ? Style.accentDarkColor : control.borderColor
    }

    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
}
