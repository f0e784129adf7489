import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// A marker for several things on the map: cameras on the left, other devices on the right,
// each with its count and a dot per state; its tool tip counts them per state.
Rectangle {
    id: root

    implicitWidth: Style.mapGroupSize
    implicitHeight: Style.mapGroupSize
    radius: Style.radius
    color: area.containsMouse ? Style.mapSelectedColor : backgroundColor

    property int streamCount: runningCount + failureCount + disabledCount
    property int runningCount: 0
    property int failureCount: 0
    property int disabledCount: 0
    property int nodeCount: runningNodeCount + failureNodeCount + disabledNodeCount
    property int runningNodeCount: 0
    property int failureNodeCount: 0
    property int disabledNodeCount: 0
    property color backgroundColor: Style.mapGroupColor
    property color spacerColor: Style.mapGroupSpacerColor
    property color textColor: Style.mapGroupTextColor
    property color disabledColor: Style.mapGroupEmptyColor
    property bool tooltipVisible: true
    property int tooltipSize: 50
    readonly property alias hovered: area.containsMouse
    readonly property alias streamCellShown: streamLoader.active
    readonly property alias nodeCellShown: nodeLoader.active
    readonly property alias toolTipShown: toolTip.visible

    signal clicked()

    RowLayout {
        id: cells

        anchors.fill: parent
        spacing: 0

        Loader {
            id: streamLoader

            Layout.fillWidth: true
            Layout.fillHeight: true
            active: root.streamCount > 0
            sourceComponent: streamGroupIndicatorComponent
        }

        Loader {
            id: nodeLoader

            Layout.fillWidth: true
            Layout.fillHeight: true
            active: root.nodeCount > 0
            sourceComponent: nodeGroupIndicatorComponent
        }
    }

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: root.clicked()
    }

    QQC.ToolTip {
        id: toolTip

        readonly property bool both: root.streamCount > 0 && root.nodeCount > 0

        visible: root.tooltipVisible && area.containsMouse
        width: root.tooltipSize * 4
        height: both ? root.tooltipSize * 2 : root.tooltipSize
        y: -height - Style.spacingSmall
        padding: 0
        contentItem: Item {}
        background: Loader {
            active: toolTip.visible
            sourceComponent: toolTipComponent
        }
    }

    Component {
        id: streamGroupIndicatorComponent

        MapNodeIndicator {
            count: root.streamCount
            runningCount: root.runningCount
            failureCount: root.failureCount
            disabledCount: root.disabledCount
            separator: root.streamCount > 0 && root.nodeCount > 0
            textColor: root.textColor
            disabledColor: root.disabledColor
            spacerColor: root.spacerColor
        }
    }

    Component {
        id: nodeGroupIndicatorComponent

        MapNodeIndicator {
            count: root.nodeCount
            runningCount: root.runningNodeCount
            failureCount: root.failureNodeCount
            disabledCount: root.disabledNodeCount
            textColor: root.textColor
            disabledColor: root.disabledColor
            spacerColor: root.spacerColor
        }
    }

    Component {
        id: toolTipComponent

        Rectangle {
            color: Style.panelColor
            radius: Style.radius
            clip: true
            opacity: toolTip.visible ? 1 : 0

            ColumnLayout {
                anchors.fill: parent
                spacing: 0

                CountRow {
                    objectName: "streamRow"
                    visible: root.streamCount > 0
                    iconSource: "qrc:/images/icon_cameras.svg"
                    counts: [root.runningCount, root.failureCount, root.disabledCount]
                    swatchRadius: 0
                }

                CountRow {
                    objectName: "nodeRow"
                    visible: root.nodeCount > 0
                    iconSource: "qrc:/images/icon_traffic_light.svg"
                    counts: [root.runningNodeCount, root.failureNodeCount, root.disabledNodeCount]
                    swatchRadius: Style.mapSwatchRadius
                }
            }
        }
    }

    component CountRow: RowLayout {
        property url iconSource: ""
        property var counts: [0, 0, 0]
        property int swatchRadius: 0

        Layout.fillWidth: true
        Layout.fillHeight: true
        spacing: Style.spacingSmall

        Rectangle {
            Layout.fillHeight: true
            Layout.preferredWidth: height
            color: Style.mapIconTileColor

            VectorImage {
                anchors.centerIn: parent
                width: Style.mapIconSize
                height: Style.mapIconSize
                source: iconSource
            }
        }

        Repeater {
            model: [Style.runningColor, Style.failureColor, Style.disabledColor]

            RowLayout {
                Layout.fillWidth: true
                spacing: Style.spacingSmall

                Rectangle {
                    Layout.preferredWidth: Style.mapSwatchWidth
                    Layout.preferredHeight: Style.mapSwatchWidth
                    radius: swatchRadius
                    color: modelData
                }

                Text {
                    text: counts[index]
                    color: Style.mapCountTextColor
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontSize
                    font.bold: true
                }
            }
        }
    }
}
