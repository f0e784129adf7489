import QtQuick 2.15
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// The start page: where the operator chooses how to reach the blocks.
PageBase {
    id: page

    title: qsTr("Start")

    // Centred when it fits; scrolled, and kept off the header and the footer, when a large
    // scale leaves the window too small for it.
    Flickable {
        id: contentArea

        objectName: "demoContent"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: footer.top
        contentWidth: width
        contentHeight: height
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        // Later, not bound: the tiles' wrapped texts settle the layout's height in more than one
        // pass, which a binding would take for a loop.
        function fit() {
            contentHeight = Math.max(height, content.implicitHeight + 2 * page.headingSize)
        }

        onHeightChanged: Qt.callLater(fit)
        Component.onCompleted: Qt.callLater(fit)

        ColumnLayout {
            id: content

            anchors.centerIn: parent
            onImplicitHeightChanged: Qt.callLater(contentArea.fit)
            width: Math.min(contentArea.width - 2 * page.headingSize, Style.startContentMaximumWidth)
            spacing: Style.spacingHuge

            Text {
                objectName: "welcomeTitle"
                Layout.fillWidth: true
                text: qsTr("Welcome to the %1 Launcher").arg(brandConfig.applicationName)
                horizontalAlignment: Text.AlignHCenter
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSizeDisplay
                font.bold: true
                wrapMode: Text.Wrap
            }

            Text {
                Layout.fillWidth: true
                Layout.topMargin: -Style.spacingLarge
                text: qsTr("Log in to your %1 devices, watch their cubes and start the %2 client.")
                      .arg(brandConfig.productName).arg(brandConfig.applicationName)
                horizontalAlignment: Text.AlignHCenter
                color: Style.secondaryTextColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSizeLarge
                wrapMode: Text.Wrap
            }

            GridLayout {
                Layout.alignment: Qt.AlignHCenter
                Layout.topMargin: Style.spacingMedium
                columns: page.width > Style.startOneRowWidth ? 4 : 2
                rowSpacing: Style.spacingXLarge
                columnSpacing: Style.spacingXLarge

                StartTile {
                    objectName: "loginTile"
                    text: qsTr("Log in")
                    description: qsTr("Type the address of a %1 and log in.").arg(brandConfig.deviceName.toLowerCase())
                    iconSource: "qrc:/images/icon_login.svg"
                    onClicked: {
                        client.loginSourcePage = Client.DemoPage
                        client.startORVA(false)
                    }
                }

                StartTile {
                    objectName: "favoritesTile"
                    text: qsTr("Favorite devices")
                    description: qsTr("Log in to a device you have saved.")
                    iconSource: "qrc:/images/icon_favorites.svg"
                    onClicked: {
                        client.loginSourcePage = Client.DemoPage
                        client.startORVA(true)
                    }
                }

                StartTile {
                    objectName: "networkTile"
                    text: qsTr("Network devices")
                    description: qsTr("Find the %1 devices on the local network.").arg(brandConfig.productName)
                    iconSource: "qrc:/images/icon_network.svg"
                    onClicked: client.requestChangePage(Client.NetworkDevicesPage)
                }

                StartTile {
                    objectName: "observerTile"
                    text: qsTr("Observer")
                    description: qsTr("Watch your favorite devices and their cameras live.")
                    iconSource: "qrc:/images/icon_observer.svg"
                    onClicked: client.requestChangePage(Client.ObserverPage)
                }
            }
        }
    }

    RowLayout {
        id: footer

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: page.headingSize
        spacing: Style.spacing

        TableText {
            Layout.fillWidth: true
            text: qsTr("Version %1").arg(Qt.application.version)
            color: Style.mutedTextColor
        }

        TableText {
            text: qsTr("Language:")
        }

        DropDown {
            id: languageDropDown

            objectName: "languageDropDown"
            Layout.preferredWidth: Style.filterWidth
            model: languageModel
            textRole: "LanguageRole"
            currentIndex: languageModel ? languageModel.currentIndex : -1
            onActivated: languageModel.selectLanguage(languageModel.data(languageModel.index(index, 0), LanguageModel.CodeRole))
        }
    }
}
