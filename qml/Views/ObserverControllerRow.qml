import QtQuick 2.15
import QtQuick.Layouts 1.15
import Client 1.0
import Observer 1.0
import Orva.Components 1.0
import Orva.Controls 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// The row above every observer view: search, sorting and count of the view's list, the
// view-style picker and the exit button.
RowLayout {
    id: root

    property ObserverManager manager: null
    property var model: null
    property string itemName: ""
    // The width of the whole view: in a wide view the exit button shows its text.
    property real viewWidth: width
    readonly property alias viewController: viewController

    spacing: Style.spacing

    ListViewController {
        id: viewController

        objectName: "viewController"
        Layout.fillWidth: true
        model: root.model
        itemName: root.itemName
        deleteEnabled: false
        modesComponent: TemplateBase {
            ViewStylePicker {
                objectName: "viewStylePicker"
                manager: root.manager
                radius: Style.radius
            }
        }
    }

    DialogSplitButton {
        objectName: "exitButton"
        Layout.preferredWidth: root.viewWidth > Style.observerWideViewWidth ? implicitWidth : height
        text: qsTr("Exit")
        bold: true
        iconSource: "qrc:/images/icon_logout.svg"
        iconSize: Style.splitButtonIconSize
        iconOverlayColor: Style.textOnAccentColor
        splitColor: expanded ? Style.accentDarkColor : color
        // The observers stay logged in: only Escape and a hand-over from a grid log them out.
        onClicked: client.requestChangePage(Client.DemoPage)
    }
}
