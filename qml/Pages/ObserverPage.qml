import QtQuick 2.15
import Orva.Components 1.0
import Orva.Templates 1.0

PageBase {
    title: qsTr("Observer")

    PlaceholderPanel {
        anchors.centerIn: parent
        iconSource: "qrc:/images/icon_observer.svg"
        title: qsTr("Observer")
        description: qsTr("Watching the favorite devices is not part of this build yet.")
    }
}
