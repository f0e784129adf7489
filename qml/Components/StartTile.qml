import QtQuick 2.15
import QtQuick.Layouts 1.15
import QtQuick.Templates 2.15 as T
import Orva.Controls 1.0
import Orva.Style 1.0

// One choice of the start page: icon, title and a line of explanation.
T.AbstractButton {
    id: tile

    implicitWidth: 260
    implicitHeight: 200
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus

    property url iconSource: ""
    property string description: ""

    background: Rectangle {
        radius: 8
        color: tile.down ? Style.hoverColor : Style.panelColor
        border.width: tile.hovered || tile.visualFocus ? 2 : 1
        border.color: tile.hovered || tile.visualFocus ? Style.accentColor : Style.borderColor
    }

    contentItem: ColumnLayout {
        spacing: 12

        Rectangle {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 20
            Layout.preferredWidth: 64
            Layout.preferredHeight: 64
            radius: 32
            color: tile.hovered ? Style.accentColor : Style.hoverColor

            VectorImage {
                anchors.centerIn: parent
                width: 30
                height: 30
                source: tile.iconSource
                overlayColor: tile.hovered ? "white" : Style.accentColor
            }
        }

        Text {
            Layout.fillWidth: true
            text: tile.text
            horizontalAlignment: Text.AlignHCenter
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeLarge
            font.bold: true
            elide: Text.ElideRight
        }

        Text {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            text: tile.description
            horizontalAlignment: Text.AlignHCenter
            color: Style.secondaryTextColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
            wrapMode: Text.Wrap
        }
    }

    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
}
