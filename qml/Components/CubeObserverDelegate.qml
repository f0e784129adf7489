import QtQuick 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import QtMultimedia 5.8
import Video 1.0
import Orva.Style 1.0

// A cube's tile: title, state, live video. A click on the video opens the cube in the client
// application, a double click its dashboard.
CubeDelegateBase {
    id: root

    color: Style.panelColor
    radius: Style.radius
    border.width: Style.borderWidth
    border.color: Style.borderColor

    property int itemId: 0
    property int toptBarHeight: Style.observerTopBarHeight
    property bool hovered: header.containsMouse
    property bool compatible: false
    property alias name: header.title
    property alias headerIsPressed: header.containsPress
    readonly property string timeText: root.time > 0 ? Qt.formatDateTime(new Date(root.time), "yyyy-MM-dd hh:mm:ss") : ""
    readonly property string stateText: !root.compatible && root.cubeEnabled && root.blockOnline ? qsTr("Unknown") : root.state
    readonly property alias waitingTextVisible: waitingText.visible
    readonly property alias incompatibleTextVisible: incompatibleText.visible
    readonly property alias veilVisible: veil.visible
    readonly property alias stalledTextVisible: stalledText.visible

    signal forceUpdateVideoSource(var provider)
    signal headerPressed(var mouse)
    signal headerReleased(var mouse)
    signal headerHoveredChanged(var hovered)
    signal switchToCube()
    signal switchToDashboard()

    function updateVideoSource() {
        forceUpdateVideoSource(provider)
    }

    function clearVideoSource() {
        forceUpdateVideoSource(null)
    }

    function handleClick() {
        switchToCube()
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
            title: root.title
            patternColor: root.patternColor
            highlighted: root.hovered
            titleRightMargin: Style.observerTitleMargin
            toolTipEnabled: true
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
            stateText: root.stateText
            timeText: root.timeText
            diagnostics: root.miniDiagnosticsList
        }

        Rectangle {
            id: content

            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.leftMargin: Style.observerContentMargin
            Layout.rightMargin: Style.observerContentMargin
            Layout.bottomMargin: Style.observerContentMargin
            color: Style.videoBackgroundColor

            VideoSource {
                id: provider

                // The cube has its frames decoded and converted at this size, not at the camera's.
                shownSize: Qt.size(Math.round(videoOutput.width * videoOutput.Screen.devicePixelRatio),
                                   Math.round(videoOutput.height * videoOutput.Screen.devicePixelRatio))

                Component.onCompleted: root.forceUpdateVideoSource(provider)
                Component.onDestruction: root.clearVideoSource()
            }

            VideoOutput {
                id: videoOutput

                anchors.fill: parent
                source: provider
            }

            Rectangle {
                id: veil

                anchors.fill: parent
                color: Style.videoVeilColor
                opacity: 0.5
                visible: (!root.sourceOnline || root.videoStalled) && !root.waitingForImageData && root.compatible
            }

            Text {
                id: waitingText

                anchors.centerIn: parent
                width: parent.width - 2 * Style.spacing
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                visible: root.waitingForImageData && root.compatible
                text: qsTr("Waiting for image data")
                color: Style.videoTextColor
                font.family: Style.fontFamily
                font.pointSize: Style.observerTextPointSize
            }

            Text {
                id: stalledText

                anchors.centerIn: parent
                width: parent.width - 2 * Style.spacing
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                visible: root.videoStalled && !root.waitingForImageData && root.compatible
                text: qsTr("No new image for a few seconds")
                color: Style.videoTextColor
                font.family: Style.fontFamily
                font.pointSize: Style.observerTextPointSize
            }

            Text {
                id: incompatibleText

                anchors.centerIn: parent
                width: parent.width - 2 * Style.spacing
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                visible: !root.compatible
                text: qsTr("This device does not have a compatible version of %1 for live preview").arg(brandConfig.productName)
                color: Style.videoTextColor
                font.family: Style.fontFamily
                font.pointSize: Style.observerTextPointSize
            }

            MouseArea {
                objectName: "videoArea"
                anchors.fill: parent
                onClicked: clickTimer.start()
                onDoubleClicked: {
                    clickTimer.stop()
                    root.switchToDashboard()
                }
            }

            // A single click waits out the platform's double-click interval, so that the two
            // clicks of a double click never also open the cube.
            Timer {
                id: clickTimer

                interval: Qt.styleHints.mouseDoubleClickInterval
                running: false
                onTriggered: root.handleClick()
            }
        }
    }

    onVisibleChanged: {
        if (visible)
            forceUpdateVideoSource(provider)
    }
}
