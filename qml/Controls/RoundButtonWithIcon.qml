import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Templates 2.15 as T
import Orva.Style 1.0

// A round icon button with an optional tool tip.
T.AbstractButton {
    id: control

    implicitWidth: Style.controlHeight
    implicitHeight: Style.controlHeight
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    QQC.ToolTip.visible: hovered && toolTipText.length > 0
    QQC.ToolTip.text: toolTipText
    QQC.ToolTip.delay: 500

    property url iconSource: ""
    property int iconSize: Style.iconSize
    property color color: Style.panelColor
    property color hoverColor: Style.hoverColor
    property color borderColor: Style.borderColor
    property color iconOverlayColor: enabled ? Style.accentColor : Style.disabledColor
    property string toolTipText: ""

    contentItem: Item {
        VectorImage {
            anchors.centerIn: parent
            width: control.iconSize
            height: control.iconSize
            source: control.iconSource
            overlayColor: control.iconOverlayColor
        }
    }

    background: Rectangle {
        radius: Math.min(width, height) / 2
        color: control.down ? Qt.darker(control.hoverColor, 1.1) : control.hovered ? control.hoverColor : control.color
        border.width: control.visualFocus ? Style.focusBorderWidth : Style.borderWidth
        border.color: control.visualFocus ? Style.accentDarkColor : control.borderColor
    }

    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
}
