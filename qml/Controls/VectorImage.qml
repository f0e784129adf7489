import QtQuick 2.15
import QtQuick.Window 2.15
import QtGraphicalEffects 1.15
import Orva.Style 1.0

// An SVG drawn at the item's size in device pixels (sharp at every scale), optionally tinted.
Item {
    id: root

    implicitWidth: Style.iconSizeLarge
    implicitHeight: Style.iconSizeLarge

    property alias source: image.source
    property alias fillMode: image.fillMode
    property alias status: image.status
    property color overlayColor: "transparent"
    readonly property bool tinted: overlayColor.a > 0

    Image {
        id: image

        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        sourceSize.width: Math.max(1, Math.ceil(root.width * Screen.devicePixelRatio))
        sourceSize.height: Math.max(1, Math.ceil(root.height * Screen.devicePixelRatio))
        smooth: true
        visible: !root.tinted
    }

    ColorOverlay {
        anchors.fill: image
        source: image
        color: root.overlayColor
        visible: root.tinted
    }
}
