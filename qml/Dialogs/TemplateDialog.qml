import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// A modal question with up to two answers. While open it is counted by templateDialogManager,
// so that the views behind it leave keys alone.
QQC.Popup {
    id: dialog

    parent: QQC.Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    width: Style.dialogWidth
    modal: true
    focus: true
    padding: Style.panelPadding
    closePolicy: QQC.Popup.CloseOnEscape

    property string name: "dialog"
    property string title: ""
    property string text: ""
    property string acceptText: qsTr("OK")
    property string rejectText: qsTr("Cancel")

    signal accepted()
    signal rejected()

    function accept() {
        close()
        accepted()
    }

    function reject() {
        close()
        rejected()
    }

    function _report(shown) {
        if (typeof templateDialogManager !== "undefined" && templateDialogManager)
            templateDialogManager.setDialogVisible(name, shown)
    }

    QQC.Overlay.modal: Rectangle {
        color: Style.scrimColor
    }

    background: Rectangle {
        radius: Style.cardRadius
        color: Style.panelColor
        border.color: Style.borderColor
    }

    contentItem: ColumnLayout {
        spacing: Style.spacingLarge

        Text {
            Layout.fillWidth: true
            text: dialog.title
            visible: text.length > 0
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeLarge
            font.bold: true
            wrapMode: Text.Wrap
        }

        Text {
            Layout.fillWidth: true
            text: dialog.text
            color: Style.secondaryTextColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSize
            wrapMode: Text.Wrap
        }

        RowLayout {
            Layout.alignment: Qt.AlignRight
            Layout.topMargin: Style.spacingCompact
            spacing: Style.spacing

            DialogButton {
                objectName: dialog.name + "RejectButton"
                visible: dialog.rejectText.length > 0
                text: dialog.rejectText
                color: Style.panelColor
                textColor: Style.textColor
                borderColor: Style.borderColor
                onClicked: dialog.reject()
            }

            DialogButton {
                objectName: dialog.name + "AcceptButton"
                text: dialog.acceptText
                bold: true
                onClicked: dialog.accept()
            }
        }
    }

    onOpened: _report(true)
    onClosed: _report(false)

    Connections {
        target: typeof templateDialogManager !== "undefined" ? templateDialogManager : null
        function onCloseAllRequested() {
            dialog.close()
        }
    }

    Component.onDestruction: _report(false)
}
