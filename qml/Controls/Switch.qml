import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Style 1.0

// An on/off switch with its text on the right.
QQC.Switch {
    id: control

    font.family: Style.fontFamily
    font.pixelSize: Style.fontSize
    spacing: Style.spacing

    property color checkedColor: Style.accentColor

    indicator: Rectangle {
        implicitWidth: Style.switchWidth
        implicitHeight: Style.switchHeight
        x: control.leftPadding
        y: (control.height - height) / 2
        radius: height / 2
        color: control.checked ? (control.enabled ? control.checkedColor : Style.disabledColor) : Style.panelColor
        border.width: control.visualFocus ? Style.focusBorderWidth : Style.borderWidth
        border.color: control.visualFocus ? Style.accentDarkColor : control.checked ? color : Style.disabledColor

        Rectangle {
            x: control.checked ? parent.width - width - (parent.height - height) / 2 : (parent.height - height) / 2
            anchors.verticalCenter: parent.verticalCenter
            width: Style.switchKnobSize
            height: Style.switchKnobSize
            radius: height / 2
            color: control.checked ? Style.textOnAccentColor : (control.enabled ? Style.secondaryTextColor : Style.disabledColor)

            Behavior on x {
                NumberAnimation {
                    duration: 120
                }
            }
        }
    }

    contentItem: Text {
        leftPadding: control.indicator.width + control.spacing
        text: control.text
        font: control.font
        color: control.enabled ? Style.textColor : Style.disabledColor
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.Wrap
    }
}
