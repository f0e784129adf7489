import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Style 1.0

// Text of a table cell: one line, elided, with the full text as a tool tip when cut.
Text {
    id: root

    color: Style.secondaryTextColor
    font.family: Style.fontFamily
    font.pixelSize: Style.fontSize
    elide: Text.ElideRight
    maximumLineCount: 1
    verticalAlignment: Text.AlignVCenter
    QQC.ToolTip.visible: toolTipWhenElided && truncated && hovered
    QQC.ToolTip.text: text
    QQC.ToolTip.delay: 500

    property bool toolTipWhenElided: true
    readonly property bool hovered: hoverArea.containsMouse

    MouseArea {
        id: hoverArea

        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        hoverEnabled: root.toolTipWhenElided
    }
}
