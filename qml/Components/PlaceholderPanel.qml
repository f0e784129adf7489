import QtQuick 2.15
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Controls 1.0
import Orva.Style 1.0

// Stands in for a page whose content is not part of this build.
Rectangle {
    id: root

    implicitWidth: Style.placeholderWidth
    implicitHeight: column.implicitHeight + 2 * Style.placeholderPadding
    radius: Style.cardRadius
    color: Style.panelColor
    border.color: Style.borderColor

    property string title: ""
    property string description: ""
    property url iconSource: ""

    ColumnLayout {
        id: column

        anchors.centerIn: parent
        width: parent.width - 2 * Style.placeholderPadding
        spacing: Style.spacingLarge

        VectorImage {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: Style.placeholderIconSize
            Layout.preferredHeight: Style.placeholderIconSize
            source: root.iconSource
            overlayColor: Style.accentColor
        }

        Text {
            Layout.fillWidth: true
            text: root.title
            horizontalAlignment: Text.AlignHCenter
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeTitle
            font.bold: true
            wrapMode: Text.Wrap
        }

        Text {
            Layout.fillWidth: true
            text: root.description
            horizontalAlignment: Text.AlignHCenter
            color: Style.secondaryTextColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
            wrapMode: Text.Wrap
        }

        DialogSplitButton {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: Style.spacingCompact
            text: qsTr("Back to start")
            bold: true
            iconSource: "qrc:/images/icon_logout.svg"
            onClicked: client.requestChangePage(Client.DemoPage)
        }
    }
}
