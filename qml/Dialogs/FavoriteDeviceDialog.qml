import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// Adds or edits one favourite device: name, address, credentials, description and the
// keyboard shortcut that logs in to it. The caller stores the result (accepted(device)).
QQC.Popup {
    id: dialog

    parent: QQC.Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    width: Style.wideDialogWidth
    modal: true
    focus: true
    padding: Style.panelPadding
    closePolicy: QQC.Popup.CloseOnEscape

    property var device: null
    property bool adding: true
    // Source row of the edited device; -1 while adding.
    property int row: -1
    property string name: "favoriteDeviceDialog"
    // Shortcut being edited (Qt.Key and modifiers).
    property int key: Qt.Key_unknown
    property int modifiers: Qt.NoModifier
    property string errorText: ""

    signal accepted(var device)

    function edit(value, sourceRow) {
        var isNew = sourceRow < 0
        device = value
        adding = isNew
        row = sourceRow
        nameField.text = value.name
        addressField.text = value.address
        userField.text = value.username
        passwordField.text = value.password
        rememberBox.checked = value.remember || isNew
        descriptionField.text = value.description
        key = value.key
        modifiers = value.modifiers
        errorText = ""
        open()
        addressField.forceActiveFocus()
    }

    function shortcutText() {
        if (key === Qt.Key_unknown || key === 0)
            return qsTr("none")
        var mods = favoriteDeviceModel.modifiersString(modifiers, true)
        var text = favoriteDeviceModel.keyString(key, true)
        return mods !== "" ? mods + "+" + text : text
    }

    function accept() {
        if (addressField.text.trim() === "") {
            errorText = qsTr("The address must not be empty.")
            addressField.forceActiveFocus()
            return
        }
        var value = device
        value.name = nameField.text.trim()
        value.address = addressField.text.trim()
        value.username = userField.text.trim()
        value.password = passwordField.text
        value.remember = rememberBox.checked
        value.description = descriptionField.text
        value.key = key
        value.modifiers = modifiers
        close()
        accepted(value)
    }

    onOpened: if (typeof templateDialogManager !== "undefined" && templateDialogManager) templateDialogManager.setDialogVisible(name, true)
    onClosed: if (typeof templateDialogManager !== "undefined" && templateDialogManager) templateDialogManager.setDialogVisible(name, false)

    QQC.Overlay.modal: Rectangle {
        color: Style.scrimColor
    }

    background: Rectangle {
        radius: Style.cardRadius
        color: Style.panelColor
        border.color: Style.borderColor
    }

    contentItem: GridLayout {
        columns: 2
        columnSpacing: Style.spacingWide
        rowSpacing: Style.spacing

        Text {
            Layout.columnSpan: 2
            Layout.bottomMargin: Style.spacingSmall
            text: dialog.adding ? qsTr("Add a favorite device") : qsTr("Edit favorite device")
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeLarge
            font.bold: true
        }

        TableText { text: qsTr("Address") }
        QQC.TextField {
            id: addressField

            objectName: "editAddressField"
            Layout.fillWidth: true
            selectByMouse: true
            placeholderText: qsTr("host or host:port")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }

        TableText { text: qsTr("Name") }
        QQC.TextField {
            id: nameField

            objectName: "editNameField"
            Layout.fillWidth: true
            selectByMouse: true
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }

        TableText { text: qsTr("User name") }
        QQC.TextField {
            id: userField

            objectName: "editUserField"
            Layout.fillWidth: true
            selectByMouse: true
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }

        TableText { text: qsTr("Password") }
        QQC.TextField {
            id: passwordField

            objectName: "editPasswordField"
            Layout.fillWidth: true
            echoMode: TextInput.Password
            selectByMouse: true
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }

        // The cell under the labels; a layout leaves out an item of no size.
        Item { width: Style.borderWidth; height: Style.borderWidth }
        QQC.CheckBox {
            id: rememberBox

            objectName: "rememberBox"
            text: qsTr("Remember the password")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }

        TableText { text: qsTr("Description") }
        QQC.TextField {
            id: descriptionField

            objectName: "editDescriptionField"
            Layout.fillWidth: true
            selectByMouse: true
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
        }

        TableText { text: qsTr("Shortcut") }
        RowLayout {
            Layout.fillWidth: true

            Rectangle {
                id: shortcutBox

                objectName: "shortcutBox"
                Layout.fillWidth: true
                implicitHeight: Style.controlHeight
                radius: Style.radius
                border.color: activeFocus ? Style.accentColor : Style.borderColor
                border.width: activeFocus ? Style.focusBorderWidth : Style.borderWidth
                activeFocusOnTab: true

                Text {
                    anchors.fill: parent
                    anchors.leftMargin: Style.spacing
                    verticalAlignment: Text.AlignVCenter
                    text: shortcutBox.activeFocus && (dialog.key === Qt.Key_unknown || dialog.key === 0)
                          ? qsTr("Press a key ...") : dialog.shortcutText()
                    color: Style.textColor
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontSize
                }

                MouseArea {
                    anchors.fill: parent
                    onClicked: shortcutBox.forceActiveFocus()
                }

                Keys.onPressed: {
                    if (event.key === Qt.Key_Tab || event.key === Qt.Key_Backtab || event.key === Qt.Key_Escape)
                        return
                    if (event.key === Qt.Key_Shift || event.key === Qt.Key_Control || event.key === Qt.Key_Alt
                            || event.key === Qt.Key_Meta) {
                        event.accepted = true
                        return
                    }
                    event.accepted = true
                    if (event.key === Qt.Key_Backspace || event.key === Qt.Key_Delete) {
                        dialog.key = Qt.Key_unknown
                        dialog.modifiers = Qt.NoModifier
                        dialog.errorText = ""
                        return
                    }
                    if (event.modifiers === Qt.NoModifier) {
                        dialog.errorText = qsTr("A shortcut needs Ctrl, Alt or Shift with the key.")
                        return
                    }
                    var taken = favoriteDeviceModel.deviceShortcut(event.key, event.modifiers)
                    if (taken.valid && taken.row !== dialog.row) {
                        dialog.errorText = qsTr("%1 is the shortcut of another device already.")
                                           .arg(favoriteDeviceModel.keyString(event.key, true))
                        return
                    }
                    dialog.errorText = ""
                    dialog.key = event.key
                    dialog.modifiers = event.modifiers
                }
            }

            DialogButton {
                text: qsTr("Clear")
                implicitWidth: Style.smallButtonWidth
                color: Style.panelColor
                textColor: Style.textColor
                borderColor: Style.borderColor
                onClicked: {
                    dialog.key = Qt.Key_unknown
                    dialog.modifiers = Qt.NoModifier
                }
            }
        }

        Text {
            objectName: "editError"
            Layout.columnSpan: 2
            Layout.fillWidth: true
            visible: text !== ""
            text: dialog.errorText
            color: Style.errorColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
            wrapMode: Text.Wrap
        }

        RowLayout {
            Layout.columnSpan: 2
            Layout.fillWidth: true
            Layout.topMargin: Style.spacingCompact
            spacing: Style.spacing

            Item { Layout.fillWidth: true }

            DialogButton {
                objectName: "editCancelButton"
                text: qsTr("Cancel")
                color: Style.panelColor
                textColor: Style.textColor
                borderColor: Style.borderColor
                onClicked: dialog.close()
            }

            DialogButton {
                objectName: "editOkButton"
                text: dialog.adding ? qsTr("Add") : qsTr("Apply")
                bold: true
                onClicked: dialog.accept()
            }
        }
    }
}
