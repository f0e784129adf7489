import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// The bar at the top of the window: brand, the current page's title, closing.
Rectangle {
    id: root

    implicitHeight: Style.headerHeight
    color: Style.headerColor

    property string title: ""
    property bool showBack: false

    signal backRequested()
    signal closeRequested()
    signal settingsRequested()

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: Style.headerLineHeight
        color: brandConfig ? brandConfig.headingColor : Style.accentColor
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Style.headingSize
        anchors.rightMargin: Style.headingSize
        spacing: Style.spacingWide

        RoundButtonWithIcon {
            visible: root.showBack
            iconSource: "qrc:/images/icon_slide_arrow.svg"
            iconOverlayColor: Style.headerTextColor
            color: "transparent"
            hoverColor: Style.accentDarkColor
            borderColor: "transparent"
            rotation: 270
            toolTipText: qsTr("Back")
            onClicked: root.backRequested()
        }

        VectorImage {
            Layout.preferredWidth: Style.headerLogoSize
            Layout.preferredHeight: Style.headerLogoSize
            source: "qrc:/images/icon.svg"
        }

        Text {
            text: brandConfig ? brandConfig.productName : ""
            color: Style.headerTextColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeLarge
            font.bold: true
            font.letterSpacing: Style.brandLetterSpacing
        }

        Rectangle {
            Layout.preferredWidth: Style.borderWidth
            Layout.preferredHeight: Style.headerSeparatorHeight
            color: Style.headerSeparatorColor
            visible: root.title.length > 0
        }

        Text {
            Layout.fillWidth: true
            text: root.title
            color: Style.headerSubtitleColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSizeLarge
            elide: Text.ElideRight
        }

        RoundButtonWithIcon {
            objectName: "settingsButton"
            iconSource: "qrc:/images/icon_settings.svg"
            iconOverlayColor: Style.headerTextColor
            color: "transparent"
            hoverColor: Style.accentDarkColor
            borderColor: "transparent"
            toolTipText: qsTr("Settings")
            onClicked: root.settingsRequested()
        }

        RoundButtonWithIcon {
            iconSource: "qrc:/images/icon_close.svg"
            iconOverlayColor: Style.headerTextColor
            color: "transparent"
            hoverColor: Style.closeHoverColor
            borderColor: "transparent"
            toolTipText: qsTr("Close")
            onClicked: root.closeRequested()
        }
    }
}
