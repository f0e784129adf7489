import QtQuick 2.15
import "../Components"
import "../Templates"

PageBase {
    title: qsTr("Network devices")

    PlaceholderPanel {
        anchors.centerIn: parent
        iconSource: "qrc:/images/icon_network.svg"
        title: qsTr("Network devices")
        description: qsTr("Finding %1 devices on the network is not part of this build yet.").arg(brandConfig.productName)
    }
}
