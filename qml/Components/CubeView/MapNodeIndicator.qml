import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Style 1.0

// One cell of a group marker: how many, and a dot per state that lights up while some are in
// that state.
Item {
    id: root

    implicitWidth: Math.max(countText.implicitWidth, dots.implicitWidth) + 2 * Style.mapDotSpacing
    implicitHeight: countText.implicitHeight + dots.implicitHeight

    property int count: runningCount + failureCount + disabledCount
    property int runningCount: 0
    property int failureCount: 0
    property int disabledCount: 0
    property bool separator: false
    property color textColor: Style.mapGroupTextColor
    property color spacerColor: Style.mapGroupSpacerColor
    property color disabledColor: Style.mapGroupEmptyColor

    ColumnLayout {
        anchors.centerIn: parent
        spacing: 0

        Text {
            id: countText

            Layout.alignment: Qt.AlignHCenter
            text: root.count
            color: root.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeSmall
            font.bold: true
        }

        RowLayout {
            id: dots

            Layout.alignment: Qt.AlignHCenter
            Layout.maximumHeight: Style.mapDotRowHeight
            spacing: Style.mapDotSpacing

            Repeater {
                model: [
                    { count: root.runningCount, color: Style.runningColor },
                    { count: root.failureCount, color: Style.failureColor },
                    { count: root.disabledCount, color: Style.disabledColor }
                ]

                Rectangle {
                    width: Style.mapDotSize
                    height: Style.mapDotSize
                    radius: width / 2
                    color: modelData.count > 0 ? modelData.color : root.disabledColor
                }
            }
        }
    }

    Rectangle {
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.topMargin: Style.mapDotSpacing
        anchors.bottomMargin: Style.mapDotSpacing
        width: Style.borderWidth
        visible: root.separator
        color: root.spacerColor
    }
}
