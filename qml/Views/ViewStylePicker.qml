import QtQuick 2.15
import QtQuick.Layouts 1.15
import Observer 1.0
import Orva.Controls 1.0
import Orva.Style 1.0

// Switches the observer page between cameras, blocks and the map.
RowLayout {
    id: root

    spacing: 0

    property int preferredWidth: implicitWidth
    property ObserverManager manager: null
    property string backgroundColor: "transparent"
    property string selectedColor: Style.selectedColor
    property string disabledColor: Style.pickerDisabledColor
    property alias radius: firstButton.radius

    Item {
        Layout.preferredWidth: Style.viewStyleButtonWidth
        Layout.fillHeight: true
        Layout.preferredHeight: Style.controlHeight
        clip: true

        StyleButton {
            id: firstButton

            // Rounded on the left only: the item clips the right corners away.
            width: parent.width + radius
            height: parent.height
            radius: Style.radius
            viewStyle: ObserverManager.CubeView
            iconSource: "qrc:/images/icon_cameras.svg"
        }
    }

    Separator {}

    StyleButton {
        Layout.preferredWidth: Style.viewStyleButtonWidth
        Layout.fillHeight: true
        Layout.preferredHeight: Style.controlHeight
        viewStyle: ObserverManager.DeviceView
        iconSource: "qrc:/images/icon_block.svg"
    }

    Separator {}

    StyleButton {
        Layout.preferredWidth: Style.viewStyleButtonWidth
        Layout.fillHeight: true
        Layout.preferredHeight: Style.controlHeight
        viewStyle: ObserverManager.MapView
        iconSource: "qrc:/images/icon_cubeview_map.svg"
    }

    Separator {}

    component Separator: Rectangle {
        Layout.preferredWidth: Style.borderWidth
        Layout.fillHeight: true
        color: Style.separatorColor
    }

    component StyleButton: Rectangle {
        id: button

        property int viewStyle: ObserverManager.CubeView
        property alias iconSource: icon.source
        readonly property bool selected: !!root.manager && root.manager.observerViewStyle === viewStyle

        objectName: "styleButton" + viewStyle
        color: !root.enabled ? root.disabledColor : selected ? root.selectedColor : root.backgroundColor

        VectorImage {
            id: icon

            anchors.centerIn: parent
            width: Style.iconSize
            height: Style.iconSize
        }

        MouseArea {
            anchors.fill: parent
            onClicked: {
                if (root.manager)
                    root.manager.observerViewStyle = button.viewStyle
            }
        }
    }
}
