import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Style 1.0

// A small info sign that explains the row it stands in when the pointer rests on it.
Item {
    id: root

    implicitWidth: size
    implicitHeight: size

    property string text: ""
    property int size: Style.iconSizeSmall
    property int maximumWidth: Style.messageMaximumWidth
    readonly property bool shown: toolTip.visible

    VectorImage {
        anchors.fill: parent
        source: "qrc:/images/icon_info.svg"
    }

    MouseArea {
        id: hoverArea

        anchors.fill: parent
        anchors.margins: -Style.spacingTiny
        hoverEnabled: true
        acceptedButtons: Qt.NoButton
    }

    QQC.ToolTip {
        id: toolTip

        visible: hoverArea.containsMouse && root.text.length > 0
        delay: 300
        width: Math.min(root.maximumWidth, implicitWidth)
        contentItem: Text {
            text: root.text
            wrapMode: Text.Wrap
            color: Style.headerTextColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeSmall
        }
        background: Rectangle {
            radius: Style.radius
            color: Style.headerColor
        }
    }
}
