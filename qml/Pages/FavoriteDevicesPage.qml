import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Dialogs 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// The saved connections: filter by kind, search, sort, page; add, edit (F2), delete, save;
// accepting a row (double click, Enter or its own shortcut) logs in to it.
PageBase {
    id: page

    title: qsTr("Favorite devices")
    focus: true

    readonly property var proxy: favoriteDeviceSortFilterModel
    readonly property bool filtered: typeFilter.currentIndex > 0 || searchField.text !== ""
    property string savedText: ""
    property int pageSize: 10

    function sourceIndex(row) {
        return proxy.getTrueIndex(proxy.index(row, 0))
    }

    function logIn(row) {
        var index = sourceIndex(row)
        if (!index.valid)
            return
        loginWith(index)
    }

    function loginWith(index) {
        favoriteDeviceModel.setLoginIndex(index)
        client.loginSourcePage = Client.FavoriteDevicesPage
        client.startORVA(false)
    }

    function editCurrent() {
        if (deviceList.currentIndex < 0)
            return
        var index = sourceIndex(deviceList.currentIndex)
        deviceDialog.edit(favoriteDeviceModel.data(index, FavoriteDeviceModel.DeviceRole), index.row)
    }

    function addDevice() {
        deviceDialog.edit(favoriteDeviceModel.createDevice(), -1)
    }

    function save() {
        client.saveFavoriteDevices()
        savedText = qsTr("Saved.")
        savedTimer.restart()
    }

    Keys.onPressed: {
        if (event.key === Qt.Key_F2) {
            editCurrent()
            event.accepted = true
            return
        }
        if (event.key === Qt.Key_S && (event.modifiers & Qt.ControlModifier)) {
            save()
            event.accepted = true
            return
        }
        // A device's own shortcut logs in to it.
        var index = favoriteDeviceModel.deviceShortcut(event.key, event.modifiers)
        if (index.valid) {
            loginWith(index)
            event.accepted = true
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: page.headingSize
        spacing: Style.spacingMedium

        RowLayout {
            Layout.fillWidth: true
            spacing: Style.spacing

            DropDown {
                id: typeFilter

                objectName: "typeFilter"
                Layout.preferredWidth: Style.filterWidth
                model: page.proxy.availableTypes
                onActivated: page.proxy.setFilteredType(index)
            }

            QQC.TextField {
                id: searchField

                objectName: "searchField"
                Layout.preferredWidth: Style.searchFieldWidth
                implicitHeight: Style.controlHeight
                placeholderText: qsTr("Search name or address")
                selectByMouse: true
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSize
                onTextChanged: page.proxy.setFilteredString(text)
            }

            Item { Layout.fillWidth: true }

            TableText {
                objectName: "savedText"
                text: page.savedText
                color: Style.accentColor
            }

            DialogButton {
                objectName: "addButton"
                text: qsTr("Add")
                onClicked: page.addDevice()
            }

            DialogButton {
                objectName: "editButton"
                text: qsTr("Edit (F2)")
                enabled: deviceList.currentIndex >= 0
                onClicked: page.editCurrent()
            }

            DialogButton {
                objectName: "deleteButton"
                text: qsTr("Delete")
                enabled: deviceList.currentIndex >= 0
                color: enabled ? Style.errorColor : Style.buttonDisabledColor
                onClicked: deleteDialog.open()
            }

            DialogButton {
                objectName: "saveButton"
                text: qsTr("Save")
                bold: true
                onClicked: page.save()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: Style.cardRadius
            color: Style.panelColor
            border.color: Style.borderColor
            clip: true

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: Style.borderWidth
                spacing: 0

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredHeight: Style.titleHeight
                    color: Style.tableHeaderColor
                    radius: Style.cardRadius

                    RowLayout {
                        id: headerRow

                        anchors.fill: parent
                        anchors.leftMargin: Style.spacingLarge
                        anchors.rightMargin: Style.spacingLarge
                        spacing: Style.spacingMedium

                        SortHeader {
                            objectName: "nameHeader"
                            Layout.preferredWidth: parent.width * 0.24
                            text: qsTr("Name")
                            sortRole: FavoriteDeviceModel.NameRole
                            proxy: page.proxy
                        }
                        TableText { Layout.preferredWidth: parent.width * 0.2; text: qsTr("Address"); font.bold: true }
                        SortHeader {
                            objectName: "typeHeader"
                            Layout.preferredWidth: parent.width * 0.14
                            text: qsTr("Type")
                            sortRole: FavoriteDeviceModel.TypeRole
                            proxy: page.proxy
                        }
                        TableText { Layout.preferredWidth: parent.width * 0.14; text: qsTr("User"); font.bold: true }
                        TableText { Layout.preferredWidth: parent.width * 0.1; text: qsTr("Shortcut"); font.bold: true }
                        TableText { Layout.fillWidth: true; text: qsTr("Last connection"); font.bold: true }
                    }
                }

                ListView {
                    id: deviceList

                    objectName: "deviceList"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    clip: true
                    currentIndex: -1
                    model: page.proxy
                    boundsBehavior: Flickable.StopAtBounds
                    QQC.ScrollBar.vertical: QQC.ScrollBar { width: page.scrollBarWidth }
                    Keys.onReturnPressed: page.logIn(currentIndex)
                    Keys.onEnterPressed: page.logIn(currentIndex)

                    delegate: Rectangle {
                        id: row

                        readonly property var device: model.DeviceRole
                        readonly property int rowIndex: index

                        width: deviceList.width
                        height: page.rowHeight
                        color: ListView.isCurrentItem ? Style.selectedColor : rowArea.containsMouse ? Style.hoverColor : "transparent"

                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: Style.spacingLarge
                            anchors.rightMargin: Style.spacingLarge
                            spacing: Style.spacingMedium

                            TableText {
                                Layout.preferredWidth: headerRow.width * 0.24
                                text: row.device.name !== "" ? row.device.name : qsTr("(no name)")
                                color: Style.textColor
                                font.bold: true
                            }
                            TableText { Layout.preferredWidth: headerRow.width * 0.2; text: row.device.address }
                            TableText { Layout.preferredWidth: headerRow.width * 0.14; text: page.proxy.typeName(row.device.type) }
                            TableText { Layout.preferredWidth: headerRow.width * 0.14; text: row.device.username }
                            TableText {
                                Layout.preferredWidth: headerRow.width * 0.1
                                text: row.device.key === Qt.Key_unknown || row.device.key === 0 ? ""
                                      : (favoriteDeviceModel.modifiersString(row.device.modifiers, true) !== ""
                                         ? favoriteDeviceModel.modifiersString(row.device.modifiers, true) + "+" : "")
                                        + favoriteDeviceModel.keyString(row.device.key, true)
                            }
                            TableText {
                                Layout.fillWidth: true
                                text: row.device.timestamp > 0
                                      ? Qt.formatDateTime(new Date(row.device.timestamp), "yyyy-MM-dd hh:mm") : qsTr("never")
                            }
                        }

                        Rectangle {
                            anchors.bottom: parent.bottom
                            width: parent.width
                            height: Style.borderWidth
                            color: Style.borderColor
                        }

                        MouseArea {
                            id: rowArea

                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: {
                                deviceList.currentIndex = row.rowIndex
                                deviceList.forceActiveFocus()
                            }
                            onDoubleClicked: page.logIn(row.rowIndex)
                        }
                    }

                    PlaceholderPanel {
                        anchors.centerIn: parent
                        visible: deviceList.count === 0
                        iconSource: "qrc:/images/icon_favorites.svg"
                        title: page.filtered ? qsTr("No device matches") : qsTr("No favorite devices yet")
                        description: page.filtered ? qsTr("Change the type or the search text.")
                                                   : qsTr("Add a device, or log in to one and it is remembered here.")
                    }
                }
            }
        }

        PagingBar {
            id: pagingBar

            objectName: "pagingBar"
            Layout.fillWidth: true
            proxy: page.proxy
            filtered: page.filtered
            sourceCount: favoriteDeviceModel.dataCount
            shownCount: deviceList.count
        }
    }

    FavoriteDeviceDialog {
        id: deviceDialog

        objectName: "favoriteDeviceDialog"
        onAccepted: {
            if (adding) {
                favoriteDeviceModel.addDevice(device)
            } else {
                favoriteDeviceModel.setData(favoriteDeviceModel.index(row, 0), device, FavoriteDeviceModel.DeviceRole)
            }
            page.forceActiveFocus()
        }
        onClosed: page.forceActiveFocus()
    }

    TemplateDialog {
        id: deleteDialog

        name: "deleteFavoriteDialog"
        title: qsTr("Delete the favorite device?")
        text: deviceList.currentItem ? qsTr("%1 (%2) is removed from the list. Save to make it final.")
                                       .arg(deviceList.currentItem.device.name).arg(deviceList.currentItem.device.address) : ""
        acceptText: qsTr("Delete")
        onAccepted: {
            favoriteDeviceModel.removeDevice(page.sourceIndex(deviceList.currentIndex))
            deviceList.currentIndex = -1
            page.forceActiveFocus()
        }
        onRejected: page.forceActiveFocus()
    }

    Timer {
        id: savedTimer

        interval: 3000
        onTriggered: page.savedText = ""
    }

    Component.onCompleted: {
        if (proxy.pageIndex < 0)
            proxy.pageIndex = 0
        proxy.pageSize = pageSize
        forceActiveFocus()
    }
}
