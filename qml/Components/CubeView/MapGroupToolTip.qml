import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// The tool tip of a pin on the map: an icon of the kind of thing and its title.
QQC.ToolTip {
    id: root

    implicitWidth: tooltipSize + message.implicitWidth + 2 * row.spacing
    implicitHeight: tooltipSize
    padding: 0

    property int tooltipSize: 50
    property bool streamFlag: true
    property url iconSource: streamFlag ? "qrc:/images/icon_cameras.svg" : "qrc:/images/icon_traffic_light.svg"
    property alias color: frame.color
    property alias border: frame.border
    property alias radius: frame.radius

    contentItem: Text {
        text: ""
    }

    background: Rectangle {
        id: frame

        color: Style.panelColor
        radius: Style.radius
        border.width: Style.borderWidth
        border.color: Style.separatorColor
        clip: true

        RowLayout {
            id: row

            anchors.fill: parent
            spacing: Style.spacingWide + 1

            Rectangle {
                Layout.fillHeight: true
                Layout.preferredWidth: root.tooltipSize
                color: Style.mapIconTileColor
                radius: frame.radius

                VectorImage {
                    anchors.centerIn: parent
                    width: Style.mapIconSize
                    height: Style.mapIconSize
                    source: root.iconSource
                }
            }

            Text {
                id: message

                Layout.fillWidth: true
                text: root.text
                color: Style.secondaryTextColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSize
                font.bold: true
                verticalAlignment: Text.AlignVCenter
            }
        }
    }
}
