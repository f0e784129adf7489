import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Style 1.0

// An on/off switch with its text on the right.
QQC.Switch {
    id: control

    font.family: Style.fontFamily
    font.pixelSize: Style.fontSize
    spacing: 10

    property color checkedColor: Style.accentColor

    indicator: Rectangle {
        implicitWidth: 40
        implicitHeight: 22
        x: control.leftPadding
        y: (control.height - height) / 2
        radius: height / 2
        color: control.checked ? (control.enabled ? control.checkedColor : Style.disabledColor) : Style.panelColor
        border.width: control.visualFocus ? 2 : 1
        border.color: control.visualFocus ? Style.accentDarkColor : control.checked ? color : Style.disabledColor

        Rectangle {
            x: control.checked ? parent.width - width - 3 : 3
            anchors.verticalCenter: parent.verticalCenter
            width: 16
            height: 16
            radius: 8
            color: control.checked ? "white" : (control.enabled ? Style.secondaryTextColor : Style.disabledColor)

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
