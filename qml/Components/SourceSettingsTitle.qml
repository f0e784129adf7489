import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Style 1.0

// The title row of a collapsible settings section: an arrow that turns while the section is
// open, the label and a line to the right edge. Without the line (tile sections) the label is
// smaller and grey.
Item {
    id: root

    implicitWidth: row.implicitWidth
    implicitHeight: Style.titleHeight

    property bool expanded: true
    property bool lineVisible: true
    property color textColor: !available ? Style.sectionUnavailableColor
                                         : lineVisible ? Style.sectionTitleColor : Style.sectionTileTitleColor
    property alias text: label.text
    property alias available: label.enabled

    signal clicked()

    RowLayout {
        id: row

        anchors.fill: parent
        spacing: Style.spacing

        Image {
            Layout.alignment: Qt.AlignVCenter
            Layout.preferredWidth: Style.iconSizeSmall
            Layout.preferredHeight: Style.iconSizeSmall
            sourceSize.width: Style.iconSizeSmall
            sourceSize.height: Style.iconSizeSmall
            mipmap: true
            source: root.lineVisible ? "qrc:/images/floating_menu_arrow.svg" : "qrc:/images/floating_menu_arrow_grey.svg"
            rotation: root.expanded ? 90 : 0

            Behavior on rotation {
                NumberAnimation {
                    duration: Style.animationDuration
                    easing.type: Easing.InOutQuad
                }
            }
        }

        Text {
            id: label

            Layout.alignment: Qt.AlignVCenter
            font.family: Style.fontFamily
            font.pixelSize: root.lineVisible ? Style.fontSize : Style.fontSizeSmall
            font.bold: true
            verticalAlignment: Text.AlignVCenter
            color: root.textColor
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: Style.borderWidth
            Layout.alignment: Qt.AlignBottom
            Layout.bottomMargin: root.lineVisible ? Style.sectionLineMargin : Style.sectionTileLineMargin
            color: root.lineVisible ? Style.sectionLineColor : Style.panelColor
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: root.clicked()
    }
}
