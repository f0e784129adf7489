import QtQuick 2.15
import QtQuick.Layouts 1.15
import QtQuick.Templates 2.15 as T
import Orva.Controls 1.0
import Orva.Style 1.0

// One choice of the start page: icon, title and a line of explanation.
T.AbstractButton {
    id: tile

    implicitWidth: Style.tileWidth
    implicitHeight: Style.tileHeight
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus

    property url iconSource: ""
    property string description: ""

    background: Rectangle {
        radius: Style.cardRadius
        color: tile.down ? Style.hoverColor : Style.panelColor
        border.width: tile.hovered || tile.visualFocus ? Style.focusBorderWidth : Style.borderWidth
        border.color: tile.hovered || tile.visualFocus ? Style.accentColor : Style.borderColor
    }

    contentItem: ColumnLayout {
        spacing: Style.spacingMedium

        Rectangle {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: Style.spacingXLarge
            Layout.preferredWidth: Style.tileBadgeSize
            Layout.preferredHeight: Style.tileBadgeSize
            radius: width / 2
            color: tile.hovered ? Style.accentColor : Style.hoverColor

            VectorImage {
                anchors.centerIn: parent
                width: Style.tileIconSize
                height: Style.tileIconSize
                source: tile.iconSource
                overlayColor: tile.hovered ? Style.textOnAccentColor : Style.accentColor
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
            Layout.leftMargin: Style.spacingLarge
            Layout.rightMargin: Style.spacingLarge
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
