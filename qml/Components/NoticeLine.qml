import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// One line on a panel that says what a view is missing and where to get it. The text is shown
// as it is (no markup) and elided when the line has no room.
Rectangle {
    id: root

    property alias text: label.text

    implicitWidth: row.implicitWidth + 2 * Style.spacingLarge
    implicitHeight: row.implicitHeight + 2 * Style.spacingMedium
    radius: Style.cardRadius
    color: Style.panelColor
    border.width: Style.borderWidth
    border.color: Style.borderColor

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: Style.spacingLarge
        anchors.rightMargin: Style.spacingLarge
        spacing: Style.spacing

        VectorImage {
            Layout.preferredWidth: Style.iconSize
            Layout.preferredHeight: Style.iconSize
            source: "qrc:/images/icon_info.svg"
        }

        Text {
            id: label

            Layout.fillWidth: true
            textFormat: Text.PlainText
            elide: Text.ElideRight
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }
    }
}
