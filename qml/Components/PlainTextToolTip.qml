import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Style 1.0

// A tool tip for texts that come from a block or a favourite: shown as plain text, so that
// markup in a name is never rendered (nor an image in it fetched).
QQC.ToolTip {
    id: root

    contentItem: Text {
        text: root.text
        textFormat: Text.PlainText
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
