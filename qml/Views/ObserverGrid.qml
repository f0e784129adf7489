import QtQuick 2.15
import QtQml 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import Observer 1.0
import Orva.Components 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// What the cube and device views share: the controller row, the hand-over and a grid of tiles
// in three columns that keeps its scroll position in the observer manager, so that a view
// loaded again opens where the last one was. Tiles exist only in the viewport (and the part of
// a row the grid makes beyond it); tileShown tells which ones are seen.
ItemBase {
    id: root

    property ObserverManager manager: null
    property var proxyModel: null
    property string itemName: ""
    // The manager's property that keeps the grid's scroll position.
    property string positionProperty: ""
    property Component tileDelegate: null
    readonly property int columns: 3
    readonly property alias grid: grid
    readonly property alias viewController: controllerRow.viewController

    // Hands a block over to the client application's log-in after logging the observers out;
    // with a cube id, the client opens on that cube (or its dashboard).
    function handOver(device, cubeId, dashboard) {
        ClientHandOver.handOver(manager, device, cubeId, dashboard, true)
    }

    // Whether any part of the tile of that model row lies in the grid's viewport: only such a
    // tile asks for frames. Taken from the row, as a tile is placed only after it is made, and
    // the grid makes tiles beyond the viewport (part of the next row, rows passed over).
    function tileShown(index) {
        var top = grid.originY + Math.floor(index / columns) * grid.cellHeight
        return grid.height > 0 && top + grid.cellHeight > grid.contentY && top < grid.contentY + grid.height
    }

    function highlight(itemId, hovered) {
        if (!manager)
            return
        if (hovered)
            manager.highlightedCubeId = itemId
        else if (manager.highlightedCubeId === itemId)
            manager.highlightedCubeId = -1
    }

    QQC.ScrollBar {
        id: contentScrollBar

        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: Style.observerScrollBarWidth
        policy: QQC.ScrollBar.AsNeeded
    }

    ColumnLayout {
        id: content

        anchors.fill: parent
        anchors.leftMargin: root.headingSize
        anchors.rightMargin: root.headingSize
        spacing: Style.spacing

        ObserverControllerRow {
            id: controllerRow

            Layout.fillWidth: true
            manager: root.manager
            model: root.proxyModel
            itemName: root.itemName
            viewWidth: root.width
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.alignment: Qt.AlignTop | Qt.AlignLeft

            GridView {
                id: grid

                objectName: "grid"
                anchors.fill: parent
                model: root.proxyModel
                clip: true
                currentIndex: -1
                QQC.ScrollBar.vertical: contentScrollBar
                interactive: templateDialogManager.noDialogVisible
                // Three columns of tiles in the proportion 3:2. The tile measures stay apart from
                // the Flickable's contentWidth and contentHeight, which give the scroll range.
                readonly property real tileWidth: width / root.columns
                readonly property real tileHeight: tileWidth * 2 / 3
                cellWidth: tileWidth
                cellHeight: tileHeight
                // No tiles kept beyond the viewport: every tile receives and decodes live video.
                cacheBuffer: 0
                // Tiles are made for the grid's own size, not for the sizes the layouts pass
                // through first: each tile made there would start its stream and stop it again.
                delegate: width > 0 && height > 0 ? root.tileDelegate : null

                Binding {
                    id: positionBinding

                    target: root.manager
                    property: root.positionProperty
                    value: grid.contentY
                    when: false
                    restoreMode: Binding.RestoreNone

                    Component.onCompleted: {
                        if (root.manager && root.positionProperty.length > 0)
                            grid.contentY = root.manager[root.positionProperty]
                        when = true
                    }
                }

                // A page and a half of the window; the window this grid stands in until the
                // launcher has measured its own.
                readonly property real pageHeight: client.windowRect.height > 0 ? client.windowRect.height
                                                                                : (Window.window ? Window.window.height : height)

                Connections {
                    target: client

                    function onPageUpKeyPressed() { grid.flick(0, 1.5 * grid.pageHeight) }
                    function onPageDownKeyPressed() { grid.flick(0, -1.5 * grid.pageHeight) }
                }
            }
        }
    }
}
