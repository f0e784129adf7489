import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Style 1.0

// A plain collapsible section: its page is loaded while the section is shown and open, and
// fades in once it is ready.
ColumnLayout {
    id: root

    spacing: Style.spacing

    property int titleHeight: Style.titleHeight
    property Component component: null
    property alias title: title.text
    property alias expanded: title.expanded
    property alias item: loader.item

    signal opened()
    signal loaded()

    function open() {
        opened()
        title.expanded = true
    }

    function close() {
        title.expanded = false
    }

    SourceSettingsTitle {
        id: title

        Layout.fillWidth: true
        Layout.preferredHeight: root.titleHeight
        expanded: false
        onClicked: expanded ? root.close() : root.open()
    }

    Loader {
        id: loader

        Layout.fillWidth: true
        Layout.maximumHeight: status === Loader.Ready ? Number.POSITIVE_INFINITY : 0
        sourceComponent: root.visible && root.expanded ? root.component : null
        opacity: status === Loader.Ready ? 1 : 0
        onLoaded: root.loaded()

        Behavior on opacity {
            NumberAnimation {
                duration: Style.animationDuration
                easing.type: Easing.InOutQuad
            }
        }
    }
}
