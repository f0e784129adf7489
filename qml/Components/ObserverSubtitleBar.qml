import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Style 1.0

// The state row under a tile's header: the state colour, the state text and a time.
RowLayout {
    id: root

    Layout.preferredHeight: Style.observerSubtitleHeight
    Layout.minimumHeight: Style.observerSubtitleHeight
    Layout.maximumHeight: Style.observerSubtitleHeight
    spacing: Style.spacingTiny + 1
    clip: true

    property color stateColor: Style.disabledColor
    property string stateText: ""
    property string timeText: ""
    // Shown as a tool tip over the state colour while it is not empty.
    property var diagnostics: []
    readonly property alias indicatorHovered: indicatorArea.containsMouse
    readonly property bool diagnosticsShown: indicatorArea.containsMouse && !!diagnostics && diagnostics.length > 0

    Rectangle {
        id: indicator

        objectName: "stateIndicator"

        Layout.topMargin: Style.spacingSmall
        Layout.bottomMargin: Style.spacingSmall
        Layout.leftMargin: Style.spacingCompact
        Layout.rightMargin: 0
        Layout.preferredWidth: Style.observerStateIndicatorSize
        Layout.preferredHeight: Style.observerStateIndicatorSize
        Layout.alignment: Qt.AlignVCenter
        radius: width / 2
        color: root.stateColor

        MouseArea {
            id: indicatorArea

            anchors.fill: parent
            anchors.margins: -Style.spacingTiny
            hoverEnabled: true
            acceptedButtons: Qt.NoButton
        }

        PlainTextToolTip {
            visible: root.diagnosticsShown
            text: root.diagnostics ? root.diagnostics.join("\n") : ""
        }
    }

    // Both texts take what they need and give way, eliding, where the tile is narrow.
    Text {
        Layout.alignment: Qt.AlignVCenter
        Layout.minimumWidth: 0
        text: root.stateText
        textFormat: Text.PlainText
        elide: Text.ElideRight
        color: Style.mutedTextColor
        font.family: Style.fontFamily
        font.pointSize: Style.observerTextPointSize
        font.bold: true
    }

    Rectangle {
        Layout.preferredWidth: Style.borderWidth
        Layout.preferredHeight: Style.iconSizeSmall
        Layout.alignment: Qt.AlignVCenter
        color: Style.mutedTextColor
        visible: timeLabel.visible && timeLabel.text.length > 0
    }

    Text {
        id: timeLabel

        Layout.alignment: Qt.AlignVCenter
        Layout.minimumWidth: 0
        text: root.timeText
        textFormat: Text.PlainText
        elide: Text.ElideRight
        color: Style.mutedTextColor
        font.family: Style.fontFamily
        font.pointSize: Style.observerTextPointSize
    }

    Item {
        Layout.fillWidth: true
    }
}
