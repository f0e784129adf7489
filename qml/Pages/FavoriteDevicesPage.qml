import QtQuick 2.15
import "../Components"
import "../Templates"

PageBase {
    title: qsTr("Favorite devices")

    PlaceholderPanel {
        anchors.centerIn: parent
        iconSource: "qrc:/images/icon_favorites.svg"
        title: qsTr("Favorite devices")
        description: qsTr("The list of favorite devices is not part of this build yet.")
    }
}
