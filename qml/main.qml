import QtQuick 2.15

Rectangle {
    width: 1280
    height: 800
    color: "#1f2630"

    Text {
        anchors.centerIn: parent
        color: "#ffffff"
        font.pixelSize: 24
        text: "ORVA"
    }
}
