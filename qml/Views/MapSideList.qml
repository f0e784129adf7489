import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Controls 1.0
import Orva.Style 1.0

// The map view's side list of cubes (MapSideListRow), which the slide button on its left edge
// collapses to a narrow strip and opens again.
Item {
    id: root

    // The MapCubeView that the rows report to.
    property var view: null
    property alias model: listView.model
    property bool expanded: true
    readonly property alias listView: listView

    objectName: "mapMenu"

    ListView {
        id: listView

        objectName: "sideList"
        anchors.fill: parent
        anchors.leftMargin: Style.slideButtonWidth
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        QQC.ScrollBar.vertical: QQC.ScrollBar {
            width: Style.scrollBarWidth
            policy: listView.contentHeight > listView.height ? QQC.ScrollBar.AlwaysOn : QQC.ScrollBar.AlwaysOff
        }
        delegate: MapSideListRow {
            width: listView.width - (listView.QQC.ScrollBar.vertical.visible ? Style.spacingMedium : 0)
            view: root.view
            cube: model
            expanded: root.expanded
        }
    }

    SlideBtn {
        objectName: "slideButton"
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        width: Style.slideButtonWidth
        height: Style.slideButtonHeight
        roundedLeft: true
        arrowRotation: root.expanded ? 90 : 270
        onClicked: root.expanded = !root.expanded
    }
}
