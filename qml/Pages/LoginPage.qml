import QtQuick 2.15
import "../Components"
import "../Templates"

PageBase {
    title: qsTr("Log in")

    PlaceholderPanel {
        anchors.centerIn: parent
        iconSource: "qrc:/images/icon_login.svg"
        title: qsTr("Log in to a %1").arg(brandConfig.deviceName)
        description: qsTr("Logging in to a %1 is not part of this build yet.").arg(brandConfig.deviceName.toLowerCase())
    }
}
