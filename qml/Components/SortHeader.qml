import QtQuick 2.15
import Orva.Style 1.0

// A column title that sorts a device proxy on its role; choosing it again reverses the order.
Item {
    id: header

    property string text: ""
    property int sortRole: 0
    property var proxy: null
    readonly property bool active: proxy && proxy.sortingRole === sortRole

    implicitHeight: Style.titleHeight
    implicitWidth: label.implicitWidth + 2 * Style.spacing

    Text {
        id: label

        anchors.verticalCenter: parent.verticalCenter
        text: header.text + (header.active ? (header.proxy.ascending ? "  \u25b4" : "  \u25be") : "")
        color: header.active ? Style.accentColor : Style.secondaryTextColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSize
        font.bold: true
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: header.proxy.setSortingRole(header.sortRole)
    }
}
