import QtQuick 2.15
import QtQuick.Templates 2.15 as T
import Orva.Style 1.0

// The narrow tab at the edge of a side panel that opens and closes it; the arrow points up at
// rotation 0.
T.AbstractButton {
    id: control

    implicitWidth: Style.slideButtonWidth
    implicitHeight: Style.slideButtonHeight
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus

    property bool roundedLeft: false
    property bool roundedRight: false
    property real arrowRotation: 0
    property color color: Style.panelColor
    property color arrowColor: Style.secondaryTextColor
    property int radius: Style.radius

    contentItem: Item {
        VectorImage {
            anchors.centerIn: parent
            width: Math.min(control.width, Style.iconSizeSmall)
            height: width
            source: "qrc:/images/icon_slide_arrow.svg"
            overlayColor: control.arrowColor
            rotation: control.arrowRotation

            Behavior on rotation {
                NumberAnimation {
                    duration: Style.animationDuration
                    easing.type: Easing.InOutQuad
                }
            }
        }
    }

    background: Rectangle {
        radius: control.roundedLeft || control.roundedRight ? control.radius : 0
        color: control.down ? Style.selectedColor : control.hovered ? Style.hoverColor : control.color
        border.width: Style.borderWidth
        border.color: Style.borderColor

        // Square corners on the side that is not rounded.
        Rectangle {
            visible: control.roundedLeft !== control.roundedRight
            x: control.roundedLeft ? parent.width - width : 0
            y: Style.borderWidth
            width: control.radius
            height: parent.height - 2 * Style.borderWidth
            color: parent.color
        }
    }

    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
}
