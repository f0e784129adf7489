import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// Log-in to a block: address (with suggestions from the favourites), user name and password;
// then the logged-in user and the start of the client application.
PageBase {
    id: page

    title: qsTr("Log in")

    readonly property bool waiting: client.loginInProgress
    readonly property bool loggedIn: client.loginStatus === Client.LoggedIn

    function logIn() {
        if (addressField.text.trim() === "") {
            addressField.forceActiveFocus()
            return
        }
        suggestionPopup.close()
        client.connectToBlock(addressField.text, userField.text, passwordField.text)
    }

    function acceptSuggestion(index) {
        suggestionPopup.close()
        favoriteDeviceModel.acceptSuggestion(index)
    }

    function confirmAddress() {
        if (suggestionPopup.opened && suggestionList.currentIndex >= 0) {
            acceptSuggestion(suggestionList.currentIndex)
            return
        }
        suggestionPopup.close()
        client.confirmServerAddress(addressField.text)
        userField.forceActiveFocus()
    }

    function _start() {
        // A favourite chosen elsewhere (favourites page, observer) logs in here.
        var index = favoriteDeviceModel.loginIndex
        if (index && index.valid) {
            // The index reads the property again: accept before clearing it.
            favoriteDeviceModel.acceptDevice(index)
            favoriteDeviceModel.setLoginIndex()
        } else if (client.loginInProgress || client.loginStatus === Client.LoggedIn) {
            // A log-in from the command line ran before the page was there: show whose it is.
            addressField.text = client.loginServerAddress
            userField.text = client.loginUsername
        } else if (addressField.text === "") {
            addressField.forceActiveFocus()
        } else {
            passwordField.forceActiveFocus()
        }
    }

    // Centred when it fits; scrolled when a large scale leaves the window too small for it.
    Flickable {
        id: contentArea

        objectName: "loginContent"
        anchors.fill: parent
        contentWidth: width
        contentHeight: Math.max(height, loginColumn.implicitHeight + 2 * page.headingSize)
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        ColumnLayout {
            id: loginColumn

            anchors.centerIn: parent
            width: Math.min(contentArea.width - 2 * page.headingSize, Style.loginFormMaximumWidth)
            spacing: Style.spacingLarge

            VectorImage {
                objectName: "loginIcon"
                Layout.alignment: Qt.AlignHCenter
                Layout.preferredHeight: Style.loginIconSize
                Layout.preferredWidth: Style.loginIconSize
                source: page.loggedIn ? "qrc:/images/icon_login.svg" : "qrc:/images/icon.svg"
                overlayColor: page.loggedIn ? Style.runningColor : "transparent"
            }

            Text {
                Layout.fillWidth: true
                text: page.loggedIn ? qsTr("Logged in to %1").arg(client.loginServerAddress)
                                    : qsTr("Log in to a %1").arg(brandConfig.deviceName)
                horizontalAlignment: Text.AlignHCenter
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSizeTitle
                font.bold: true
                elide: Text.ElideMiddle
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: (page.loggedIn ? loggedInColumn.implicitHeight : form.implicitHeight) + 2 * Style.panelPadding
                radius: Style.cardRadius
                color: Style.panelColor
                border.color: Style.borderColor

                ColumnLayout {
                    id: form

                    anchors.fill: parent
                    anchors.margins: Style.panelPadding
                    spacing: Style.spacing
                    visible: !page.loggedIn

                    Text {
                        text: qsTr("%1 address").arg(brandConfig.deviceName)
                        color: Style.secondaryTextColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSizeSmall
                    }

                    QQC.TextField {
                        id: addressField

                        objectName: "addressField"
                        Layout.fillWidth: true
                        implicitHeight: Style.controlHeight
                        enabled: !page.waiting
                        placeholderText: qsTr("host, host:port or a favorite's name")
                        text: client.lastAddress
                        selectByMouse: true
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSize
                        onTextEdited: {
                            favoriteDeviceModel.updateSuggestions(text)
                            if (favoriteDeviceModel.suggestions.length > 0)
                                suggestionPopup.open()
                            else
                                suggestionPopup.close()
                        }
                        Keys.onDownPressed: {
                            if (!suggestionPopup.opened) {
                                favoriteDeviceModel.updateSuggestions(text, true)
                                if (favoriteDeviceModel.suggestions.length === 0)
                                    return
                                suggestionPopup.open()
                            }
                            suggestionList.currentIndex = Math.min(suggestionList.currentIndex + 1, suggestionList.count - 1)
                        }
                        Keys.onUpPressed: suggestionList.currentIndex = Math.max(suggestionList.currentIndex - 1, 0)
                        Keys.onEscapePressed: suggestionPopup.close()
                        Keys.onReturnPressed: page.confirmAddress()
                        Keys.onEnterPressed: page.confirmAddress()

                        QQC.Popup {
                            id: suggestionPopup

                            objectName: "suggestionPopup"
                            y: addressField.height + Style.focusBorderWidth
                            width: addressField.width
                            height: Math.min(suggestionList.contentHeight, 5 * Style.controlHeight) + 2 * Style.borderWidth
                            padding: Style.borderWidth
                            focus: false
                            closePolicy: QQC.Popup.CloseOnPressOutsideParent

                            background: Rectangle {
                                color: Style.panelColor
                                border.color: Style.borderColor
                                radius: Style.radius
                            }

                            contentItem: ListView {
                                id: suggestionList

                                objectName: "suggestionList"
                                clip: true
                                currentIndex: -1
                                model: favoriteDeviceModel.suggestions
                                delegate: Rectangle {
                                    width: suggestionList.width
                                    height: Style.controlHeight
                                    color: index === suggestionList.currentIndex ? Style.hoverColor : "transparent"

                                    Text {
                                        anchors.fill: parent
                                        anchors.leftMargin: Style.spacing
                                        anchors.rightMargin: Style.spacing
                                        text: modelData
                                        verticalAlignment: Text.AlignVCenter
                                        elide: Text.ElideRight
                                        color: Style.textColor
                                        font.family: Style.fontFamily
                                        font.pixelSize: Style.fontSize
                                    }

                                    MouseArea {
                                        anchors.fill: parent
                                        hoverEnabled: true
                                        onEntered: suggestionList.currentIndex = index
                                        onClicked: page.acceptSuggestion(index)
                                    }
                                }
                            }
                        }
                    }

                    Text {
                        Layout.topMargin: Style.spacingSmall
                        text: qsTr("User name")
                        color: Style.secondaryTextColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSizeSmall
                    }

                    QQC.TextField {
                        id: userField

                        objectName: "userField"
                        Layout.fillWidth: true
                        implicitHeight: Style.controlHeight
                        enabled: !page.waiting
                        text: client.lastUsername
                        selectByMouse: true
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSize
                        Keys.onReturnPressed: passwordField.forceActiveFocus()
                        Keys.onEnterPressed: passwordField.forceActiveFocus()
                    }

                    Text {
                        Layout.topMargin: Style.spacingSmall
                        text: qsTr("Password")
                        color: Style.secondaryTextColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSizeSmall
                    }

                    QQC.TextField {
                        id: passwordField

                        objectName: "passwordField"
                        Layout.fillWidth: true
                        implicitHeight: Style.controlHeight
                        enabled: !page.waiting
                        echoMode: TextInput.Password
                        selectByMouse: true
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSize
                        Keys.onReturnPressed: page.logIn()
                        Keys.onEnterPressed: page.logIn()
                    }

                    RowLayout {
                        Layout.fillWidth: true
                        Layout.topMargin: Style.spacing
                        spacing: Style.spacing

                        QQC.BusyIndicator {
                            Layout.preferredWidth: Style.busyIndicatorSize
                            Layout.preferredHeight: Style.busyIndicatorSize
                            running: page.waiting
                            visible: running
                        }

                        Text {
                            Layout.fillWidth: true
                            visible: page.waiting
                            text: qsTr("Connecting to %1 ...").arg(client.loginServerAddress)
                            color: Style.secondaryTextColor
                            font.family: Style.fontFamily
                            font.pixelSize: Style.fontSize
                            elide: Text.ElideRight
                        }

                        Item {
                            Layout.fillWidth: true
                            visible: !page.waiting
                        }

                        DialogButton {
                            objectName: "cancelButton"
                            visible: page.waiting
                            text: qsTr("Cancel")
                            color: Style.panelColor
                            textColor: Style.textColor
                            borderColor: Style.borderColor
                            onClicked: client.cancelLogin()
                        }

                        DialogButton {
                            objectName: "loginButton"
                            visible: !page.waiting
                            text: qsTr("Log in")
                            bold: true
                            enabled: addressField.text.trim() !== "" && userField.text.trim() !== ""
                            onClicked: page.logIn()
                        }
                    }
                }

                ColumnLayout {
                    id: loggedInColumn

                    anchors.fill: parent
                    anchors.margins: Style.panelPadding
                    spacing: Style.spacing
                    visible: page.loggedIn

                    Text {
                        Layout.fillWidth: true
                        text: client.loggedUser
                              ? qsTr("%1 (%2)").arg(client.loginUsername).arg(client.loggedUser.roleName || client.loggedUser.roleToString(client.loggedUser.role))
                              : client.loginUsername
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSizeLarge
                        font.bold: true
                        elide: Text.ElideRight
                    }

                    GridLayout {
                        Layout.fillWidth: true
                        Layout.bottomMargin: Style.spacing
                        columns: 2
                        columnSpacing: Style.spacingLarge
                        rowSpacing: Style.spacingSmall

                        TableText { text: brandConfig.deviceName }
                        TableText { Layout.fillWidth: true; text: client.loginServerAddress; color: Style.textColor }
                        TableText { text: qsTr("Version") }
                        TableText {
                            Layout.fillWidth: true
                            text: client.currentVersionNumber || qsTr("unknown")
                            color: Style.textColor
                        }
                        TableText { text: qsTr("Device type") }
                        TableText {
                            Layout.fillWidth: true
                            text: favoriteDeviceSortFilterModel.typeName(clientConfig.deviceType)
                            color: Style.textColor
                        }
                    }

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: Style.spacing

                        DialogButton {
                            objectName: "logoutButton"
                            text: qsTr("Log out")
                            color: Style.panelColor
                            textColor: Style.textColor
                            borderColor: Style.borderColor
                            onClicked: client.logout(true)
                        }

                        Item { Layout.fillWidth: true }

                        DialogButton {
                            objectName: "startClientButton"
                            text: qsTr("Start %1").arg(brandConfig.applicationName)
                            bold: true
                            enabled: !client.clientRunning
                            onClicked: client.startClient()
                        }
                    }
                }
            }

            Rectangle {
                objectName: "messageBox"
                Layout.fillWidth: true
                Layout.preferredHeight: messageText.implicitHeight + 2 * Style.spacing
                visible: messageText.text !== ""
                radius: Style.radius
                color: page.waiting ? Style.failureTintColor : Style.loginFailedTintColor
                border.color: page.waiting ? Style.failureColor : Style.loginFailedColor

                Text {
                    id: messageText

                    objectName: "loginMessage"
                    anchors.fill: parent
                    anchors.margins: Style.spacing
                    text: client.clientMessage !== "" ? client.clientMessage : client.loginErrorMessage
                    color: page.waiting ? Style.textColor : Style.loginFailedColor
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontSize
                    wrapMode: Text.Wrap
                    verticalAlignment: Text.AlignVCenter
                }
            }
        }
    }

    Connections {
        target: favoriteDeviceModel

        function onAutoconnect(address, username, password, device) {
            addressField.text = address
            userField.text = username
            passwordField.text = password
            if (password !== "" && username !== "")
                page.logIn()
            else if (username !== "")
                passwordField.forceActiveFocus()
            else
                userField.forceActiveFocus()
        }
    }

    Connections {
        target: client

        function onUserLoginSuccess() {
            // A hand-over from the observer goes on to the client at once.
            if (client.loginSourcePage === Client.ObserverPage)
                client.startClient()
        }
    }

    // After every handler of the page is connected (onAutoconnect above).
    Component.onCompleted: Qt.callLater(page._start)
}
