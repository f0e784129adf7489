import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Controls 1.0
import Orva.Style 1.0

// An observed block's tile: its log-in state and, while it answers, its status. A click on the
// status logs in to the block the ordinary way.
Rectangle {
    id: root

    color: Style.panelColor
    radius: Style.radius
    border.width: Style.borderWidth
    border.color: Style.borderColor

    property int itemId: 0
    property int toptBarHeight: Style.observerTopBarHeight
    property int secondColumnLeftMargin: width / 2
    property bool hovered: false
    property string state: qsTr("Offline")
    property color stateColor: Style.disabledColor
    property color patternColor: Style.disabledPatternColor
    property BlockStatusInfo currentBlockStatus: null
    property string currentBlockTime: currentBlockStatus ? _private.formatTime(currentBlockStatus.currentBlockTime)
                                                         : qsTr("unknown")
    property string onlineSince: currentBlockStatus ? _private.formatTime(currentBlockStatus.onlineSince) : qsTr("unknown")
    property var blockUptime: currentBlockStatus && currentBlockStatus.uptime > 0 ? currentBlockStatus.uptime : 0
    property string blockDeviceType: ""
    property string blockAppVersion: ""
    property string orvaSerialNumber: ""
    property alias name: header.title
    property alias headerIsPressed: header.containsPress
    readonly property string kindText: _private.kindText(blockDeviceType)
    readonly property string uptimeText: _private.uptimeText(blockUptime)
    readonly property bool statusShown: blockUptime > 0

    signal headerPressed(var mouse)
    signal headerReleased(var mouse)
    signal headerHoveredChanged(var hovered)
    signal switchToDevice()

    QtObject {
        id: _private

        function formatTime(value) {
            return value > 0 ? Qt.formatDateTime(new Date(value), "yyyy-MM-dd hh:mm:ss") : ""
        }

        function uptimeText(uptime) {
            var day = 86400000, hour = 3600000, minute = 60000
            return Math.floor(uptime / day) + "d " + Math.floor((uptime % day) / hour) + "h "
                    + Math.floor((uptime % hour) / minute) + "m " + Math.floor((uptime % minute) / 1000) + "s"
        }

        // Every kind of the device-kind table by its own name.
        function kindText(key) {
            switch (key) {
            case "camera": return qsTr("Camera")
            case "camera_light": return qsTr("Camera light")
            case "embedded_nano": return qsTr("Embedded nano")
            case "embedded_micro": return qsTr("Embedded micro")
            case "embedded_macro": return qsTr("Embedded macro")
            case "enterprise": return qsTr("Enterprise")
            case "brimvale": return qsTr("Brimvale")
            case "aerial": return qsTr("Aerial")
            case "embedded_macro_orin": return qsTr("Embedded macro Orin")
            case "embedded_micro_orin": return qsTr("Embedded micro Orin")
            case "embedded_nano_orin": return qsTr("Embedded nano Orin")
            case "embedded_macro_orin_aerial": return qsTr("Embedded macro Orin aerial")
            default: return qsTr("Unknown")
            }
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        ObserverDelegateHeader {
            id: header

            Layout.fillWidth: true
            Layout.preferredHeight: root.toptBarHeight * 7 / 4
            Layout.minimumHeight: Layout.preferredHeight
            Layout.maximumHeight: Layout.preferredHeight
            Layout.topMargin: Style.borderWidth
            Layout.leftMargin: Style.borderWidth
            Layout.rightMargin: Style.borderWidth
            delegateRadius: root.radius
            patternColor: root.patternColor
            highlighted: root.hovered
            // Keeps a title that fills the header off the tile's border.
            titleRightMargin: Style.spacingTiny
            onHeaderHoveredChanged: root.headerHoveredChanged(hovered)
            onHeaderPressed: root.headerPressed(mouse)
            onHeaderReleased: root.headerReleased(mouse)
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: Style.borderWidth
            color: Style.borderColor
        }

        ObserverSubtitleBar {
            Layout.fillWidth: true
            stateColor: root.stateColor
            stateText: root.state
        }

        Rectangle {
            id: content

            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.leftMargin: Style.observerContentMargin
            Layout.rightMargin: Style.observerContentMargin
            Layout.bottomMargin: Style.observerContentMargin
            color: Style.backgroundColor
            clip: true

            Text {
                objectName: "statusPlaceholder"
                anchors.fill: parent
                visible: !statusArea.visible
                text: "-"
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                fontSizeMode: Text.Fit
                color: Style.mutedTextColor
                font.family: Style.fontFamily
                font.pointSize: Style.observerPlaceholderPointSize
            }

            Flickable {
                id: statusArea

                objectName: "statusArea"
                anchors.fill: parent
                visible: root.statusShown
                flickableDirection: Flickable.VerticalFlick
                boundsBehavior: Flickable.StopAtBounds
                contentWidth: width
                contentHeight: Math.max(height, statusColumn.implicitHeight)
                // Only a tile too small for every row scrolls; the bar then says there is more.
                QQC.ScrollBar.vertical: QQC.ScrollBar {
                    width: Style.scrollBarWidth
                    policy: statusArea.contentHeight > statusArea.height ? QQC.ScrollBar.AlwaysOn : QQC.ScrollBar.AsNeeded
                }

                // The rows share the tile's height: each takes at least its text and at most the
                // usual gap more, so that a small tile still shows every row.
                ColumnLayout {
                    id: statusColumn

                    x: Style.spacing
                    width: statusArea.width - 2 * Style.spacing
                    height: statusArea.contentHeight
                    spacing: 0

                    Text {
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        Layout.maximumHeight: implicitHeight + Style.observerColumnSpacing
                        verticalAlignment: Text.AlignVCenter
                        text: qsTr("Block status:")
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pointSize: Style.observerTextPointSize
                        font.bold: true
                    }

                    StatusRow {
                        label: qsTr("Type:")
                        value: root.kindText
                    }

                    StatusRow {
                        label: qsTr("Version:")
                        value: root.blockAppVersion
                    }

                    StatusRow {
                        label: qsTr("Serial number")
                        value: root.orvaSerialNumber
                        help: qsTr("The serial number is a unique identifier assigned to a %1 device to uniquely identify it. Depending on the device, you can find it on the type plate.").arg(brandConfig.productName)
                    }

                    StatusRow {
                        label: qsTr("Current block time:")
                        value: root.currentBlockTime
                    }

                    StatusRow {
                        label: qsTr("Online since:")
                        value: root.onlineSince
                    }

                    StatusRow {
                        label: qsTr("Uptime:")
                        value: root.uptimeText
                    }
                }
            }

            MouseArea {
                objectName: "contentArea"
                anchors.fill: parent
                onClicked: root.switchToDevice()
                // The status column scrolls under the pointer's wheel.
                onWheel: wheel.accepted = false
            }
        }
    }

    component StatusRow: RowLayout {
        property string label: ""
        property string value: ""
        property string help: ""

        Layout.fillWidth: true
        Layout.fillHeight: true
        Layout.maximumHeight: implicitHeight + Style.observerColumnSpacing
        spacing: 0

        RowLayout {
            Layout.preferredWidth: root.secondColumnLeftMargin - Style.observerContentMargin - Style.spacing
            Layout.maximumWidth: Layout.preferredWidth
            spacing: Style.spacingTiny

            Text {
                Layout.minimumWidth: 0
                text: label
                textFormat: Text.PlainText
                elide: Text.ElideRight
                color: Style.secondaryTextColor
                font.family: Style.fontFamily
                font.pointSize: Style.observerTextPointSize
            }

            BubbleToolTip {
                id: helpSign

                visible: help.length > 0
                text: help
            }

            Text {
                id: colon

                visible: help.length > 0
                text: ":"
                color: Style.secondaryTextColor
                font.family: Style.fontFamily
                font.pointSize: Style.observerTextPointSize
            }

            Item {
                Layout.fillWidth: true
            }
        }

        Text {
            Layout.fillWidth: true
            text: value
            textFormat: Text.PlainText
            elide: Text.ElideRight
            color: Style.textColor
            font.family: Style.fontFamily
            font.pointSize: Style.observerTextPointSize
        }
    }
}
