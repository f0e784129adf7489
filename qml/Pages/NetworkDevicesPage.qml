import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// The devices that announce themselves on the local network, with their description and
// interfaces; a discovered block can be added to the favourites.
PageBase {
    id: page

    title: qsTr("Network devices")

    readonly property var proxy: networkDeviceSortFilterModel
    readonly property bool filtered: kindFilter.currentIndex > 0 || searchField.text !== ""
    readonly property int sourceCount: networkDeviceModel ? networkDeviceModel.dataCount : 0
    property string statusText: ""
    property int pageSize: 10

    function addToFavorites(row) {
        if (row < 0)
            return
        var index = proxy.getTrueIndex(proxy.index(row, 0))
        var added = client.addNetworkDeviceToFavorites(index)
        if (added >= 0) {
            client.saveFavoriteDevices()
            statusText = qsTr("%1 was added to the favorite devices.").arg(deviceList.itemAtIndex(row)
                                                                            ? deviceList.itemAtIndex(row).title : "")
        } else {
            statusText = qsTr("The device could not be added.")
        }
        statusTimer.restart()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: page.headingSize
        spacing: Style.spacingMedium

        RowLayout {
            Layout.fillWidth: true
            spacing: Style.spacing

            DropDown {
                id: kindFilter

                objectName: "kindFilter"
                Layout.preferredWidth: Style.wideFilterWidth
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

            SortHeader {
                objectName: "nameHeader"
                text: qsTr("Name")
                sortRole: NetworkDeviceModel.NameRole
                proxy: page.proxy
            }

            SortHeader {
                objectName: "addressHeader"
                text: qsTr("Address")
                sortRole: NetworkDeviceModel.AddressRole
                proxy: page.proxy
            }

            Item { Layout.fillWidth: true }

            TableText {
                objectName: "statusText"
                Layout.maximumWidth: Style.messageMaximumWidth
                text: page.statusText
                color: Style.accentColor
            }

            DialogButton {
                objectName: "refreshButton"
                text: qsTr("Search again")
                onClicked: client.refreshNetworkDevices(true)
            }
        }

        ListView {
            id: deviceList

            objectName: "deviceList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: Style.spacing
            currentIndex: -1
            model: page.proxy
            boundsBehavior: Flickable.StopAtBounds
            QQC.ScrollBar.vertical: QQC.ScrollBar { width: page.scrollBarWidth }

            delegate: Rectangle {
                id: card

                readonly property var device: model.DeviceRole
                readonly property int rowIndex: index
                readonly property string title: device.blockName !== "" ? device.blockName : device.name

                width: deviceList.width - page.scrollBarWidth
                height: cardColumn.implicitHeight + 2 * Style.spacingWide
                radius: Style.cardRadius
                color: Style.panelColor
                border.color: ListView.isCurrentItem ? Style.accentColor : Style.borderColor

                MouseArea {
                    anchors.fill: parent
                    onClicked: deviceList.currentIndex = card.rowIndex
                    onDoubleClicked: page.addToFavorites(card.rowIndex)
                }

                RowLayout {
                    anchors.fill: parent
                    anchors.margins: Style.spacingWide
                    spacing: Style.spacingLarge

                    Rectangle {
                        Layout.alignment: Qt.AlignTop
                        Layout.preferredWidth: Style.deviceBadgeSize
                        Layout.preferredHeight: Style.deviceBadgeSize
                        radius: width / 2
                        color: card.device.orvaUnit ? Style.hoverColor : Style.backgroundColor

                        VectorImage {
                            anchors.centerIn: parent
                            width: Style.iconSizeLarge
                            height: Style.iconSizeLarge
                            source: card.device.orvaUnit ? "qrc:/images/icon.svg" : "qrc:/images/icon_network.svg"
                        }
                    }

                    ColumnLayout {
                        id: cardColumn

                        Layout.fillWidth: true
                        spacing: Style.spacingTiny

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: Style.spacing

                            Text {
                                text: card.title
                                color: Style.textColor
                                font.family: Style.fontFamily
                                font.pixelSize: Style.fontSizeLarge
                                font.bold: true
                                elide: Text.ElideRight
                                Layout.maximumWidth: card.width * 0.5
                            }

                            Rectangle {
                                visible: card.device.orvaUnit
                                Layout.preferredHeight: Style.pillHeight
                                Layout.preferredWidth: kindLabel.implicitWidth + 2 * Style.spacingCompact
                                radius: height / 2
                                color: Style.accentColor

                                Text {
                                    id: kindLabel

                                    anchors.centerIn: parent
                                    text: card.device.hostType !== "" ? brandConfig.productName + " · " + card.device.hostType
                                                                      : brandConfig.productName
                                    color: Style.textOnAccentColor
                                    font.family: Style.fontFamily
                                    font.pixelSize: Style.fontSizeSmall
                                }
                            }

                            Item { Layout.fillWidth: true }
                        }

                        TableText {
                            Layout.fillWidth: true
                            text: card.device.address + (card.device.addressIPv6 !== "" ? "   ·   " + card.device.addressIPv6 : "")
                            color: Style.textColor
                        }

                        Text {
                            Layout.fillWidth: true
                            visible: text !== ""
                            text: card.device.attributes
                            color: Style.secondaryTextColor
                            font.family: Style.fontFamily
                            font.pixelSize: Style.fontSizeSmall
                            wrapMode: Text.Wrap
                        }

                        Text {
                            Layout.topMargin: Style.spacingTiny
                            visible: card.device.interfaceRows.length > 0
                            text: qsTr("Interfaces")
                            color: Style.textColor
                            font.family: Style.fontFamily
                            font.pixelSize: Style.fontSizeSmall
                            font.bold: true
                        }

                        Repeater {
                            model: card.device.interfaceRows

                            Text {
                                Layout.fillWidth: true
                                Layout.leftMargin: Style.spacing
                                text: "\u2022  " + modelData
                                color: Style.secondaryTextColor
                                font.family: Style.fontFamily
                                font.pixelSize: Style.fontSizeSmall
                                wrapMode: Text.Wrap
                            }
                        }
                    }

                    DialogButton {
                        objectName: "addFavoriteButton"
                        Layout.alignment: Qt.AlignVCenter
                        text: qsTr("Add to favorites")
                        visible: card.device.orvaUnit
                        onClicked: page.addToFavorites(card.rowIndex)
                    }
                }
            }

            PlaceholderPanel {
                anchors.centerIn: parent
                visible: deviceList.count === 0
                iconSource: "qrc:/images/icon_network.svg"
                title: page.filtered ? qsTr("No device matches") : qsTr("Searching the local network ...")
                description: page.filtered ? qsTr("Change the kind or the search text.")
                                           : qsTr("%1 devices on this network appear here as they announce themselves.")
                                             .arg(brandConfig.productName)
            }
        }

        PagingBar {
            objectName: "pagingBar"
            Layout.fillWidth: true
            proxy: page.proxy
            filtered: page.filtered
            sourceCount: page.sourceCount
            shownCount: deviceList.count
        }
    }

    Timer {
        id: statusTimer

        interval: 4000
        onTriggered: page.statusText = ""
    }

    Component.onCompleted: {
        if (proxy.pageIndex < 0)
            proxy.pageIndex = 0
        proxy.pageSize = pageSize
        client.refreshNetworkDevices()
    }
}
