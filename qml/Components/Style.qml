pragma Singleton
import QtQuick 2.15

// The one look of the interface. Sizes are logical pixels: "--scale" sets QT_SCALE_FACTOR, which
// scales all of them (and the fonts) together.
QtObject {
    // State colours shared by every view.
    readonly property color runningColor: "#4b79c6"

    readonly property color failureColor: "#f08a24"
    readonly property color disabledColor: "#b3b3b3"
    readonly property color loginFailedColor: "#c70000"
    readonly property color accentColor: "#4b79c6"
    readonly property color accentDarkColor: "#2a426d"
    readonly property color headerColor: "#1f2a3c"
    readonly property color backgroundColor: "#f0f0f0"
    readonly property color panelColor: "#ffffff"
    readonly property color borderColor: "#dedede"
    readonly property color separatorColor: "#d4d4d4"
    readonly property color selectedColor: "#dcdcdc"
    readonly property color hoverColor: "#e8eef8"
    readonly property color buttonDisabledColor: "#b7b7b7"
    readonly property color textColor: "#2b2b2b"
    readonly property color secondaryTextColor: "#787878"
    readonly property color mutedTextColor: "#a8a8a8"
    readonly property color headerTextColor: "#ffffff"
    readonly property string fontFamily: "DejaVu Sans"
    readonly property int fontSizeSmall: 12
    readonly property int fontSize: 14
    readonly property int fontSizeLarge: 18
    readonly property int fontSizeTitle: 24
    readonly property int headingSize: 20
    readonly property int rowHeight: 45
    readonly property int titleHeight: 40
    readonly property int scrollBarWidth: 10
    readonly property int controlHeight: 36
    readonly property int headerHeight: 56
    readonly property int radius: 5
    readonly property int spacing: 10
    readonly property int animationDuration: 200
}
