import QtQuick 2.15
import Orva.Style 1.0

// A page of the main window, shown by the page loader.
ItemBase {
    id: page

    property string title: ""
    property color backgroundColor: Style.backgroundColor

    Rectangle {
        z: -1
        anchors.fill: parent
        color: page.backgroundColor
    }
}
