pragma Singleton
import QtQuick 2.15
import Client 1.0

// The one look of the interface: every colour and measure a document uses comes from here. Sizes
// are logical pixels: "--scale" sets QT_SCALE_FACTOR, which scales all of them (and the fonts)
// together.
QtObject {
    // The state colours that the observation views share for cubes and blocks. Defined in C++,
    // where the map groups count a cube's state by the colour its pin reports.
    readonly property color runningColor: StateColors.running
    readonly property color failureColor: StateColors.failure
    // Disabled or offline.
    readonly property color disabledColor: StateColors.disabled
    readonly property color loginFailedColor: "#c70000"
    // Pale grounds behind a message in the failure and failed log-in colours.
    readonly property color failureTintColor: "#fff4e5"
    readonly property color loginFailedTintColor: "#fdecec"
    // The stripes over a block or cube that is not running normally: offline or disabled, in
    // failure, with a failed log-in.
    readonly property color disabledPatternColor: "#ebebeb"
    readonly property color failurePatternColor: "#fce8d3"
    readonly property color loginFailedPatternColor: "#fcd3d3"
    // The header of the observed item under the pointer (or under it on the map).
    readonly property color highlightColor: "lightblue"
    // Live video and what lies over it.
    readonly property color videoBackgroundColor: "black"
    readonly property color videoVeilColor: "grey"
    readonly property color videoTextColor: "white"
    // Errors in forms and actions that destroy something.
    readonly property color errorColor: loginFailedColor

    readonly property color accentColor: "#4b79c6"
    readonly property color accentDarkColor: "#2a426d"
    readonly property color headerColor: "#1f2a3c"
    readonly property color headerTextColor: "#ffffff"
    readonly property color headerSubtitleColor: "#c9d3e4"
    readonly property color headerSeparatorColor: "#44506a"
    readonly property color closeHoverColor: "#8a2a2a"
    readonly property color backgroundColor: "#f0f0f0"
    readonly property color panelColor: "#ffffff"
    readonly property color tableHeaderColor: "#f7f7f7"
    readonly property color borderColor: "#dedede"
    readonly property color separatorColor: "#d4d4d4"
    readonly property color selectedColor: "#dcdcdc"
    readonly property color pickerDisabledColor: "#c8c8c8"
    readonly property color hoverColor: "#e8eef8"
    readonly property color buttonDisabledColor: "#b7b7b7"
    readonly property color textColor: "#2b2b2b"
    // Text and icons on the accent colour and on other dark grounds.
    readonly property color textOnAccentColor: "#ffffff"
    readonly property color secondaryTextColor: "#787878"
    readonly property color mutedTextColor: "#a8a8a8"
    // Dims the window behind a modal dialog.
    readonly property color scrimColor: "#801f2a3c"

    // Collapsible settings sections: titles over a line, and titles of tiles.
    readonly property color sectionTitleColor: "#000000"
    readonly property color sectionTileTitleColor: "#646464"
    readonly property color sectionUnavailableColor: "#c2c2c2"
    readonly property color sectionLineColor: "#c2c2c2"
    // Notes that something cannot be used, such as a section that is unavailable.
    readonly property color warningColor: "#ffa500"

    // Maps: pins and side-list rows that are selected or under the pointer, group markers,
    // and the totals marker in the corner of the map.
    readonly property color mapSelectedColor: "#ffa500"
    readonly property color mapHoveredColor: "#add8e6"
    readonly property color mapPinColor: "#000000"
    readonly property color mapGroupColor: "#000000"
    readonly property color mapGroupSpacerColor: "#808080"
    readonly property color mapGroupTextColor: "#ffffff"
    readonly property color mapGroupEmptyColor: "#303030"
    readonly property color mapTotalsColor: "#f0f0f0"
    readonly property color mapTotalsSpacerColor: "#dcdcdc"
    readonly property color mapTotalsTextColor: "#000000"
    readonly property color mapTotalsEmptyColor: "#ffffff"
    readonly property color mapTotalsBorderColor: "#000000"
    readonly property color mapCountTextColor: "#a2a2a2"
    readonly property color mapIconTileColor: "#f0f0f0"

    readonly property string fontFamily: "DejaVu Sans"
    readonly property int fontSizeSmall: 12
    readonly property int fontSize: 14
    readonly property int fontSizeLarge: 18
    readonly property int fontSizeTitle: 24
    readonly property int fontSizeDisplay: 30
    readonly property real brandLetterSpacing: 1.5

    // Gaps, from between the lines of a card to between the sections of a page.
    readonly property int spacingTiny: 4
    readonly property int spacingSmall: 6
    readonly property int spacingCompact: 8
    readonly property int spacing: 10
    readonly property int spacingMedium: 12
    readonly property int spacingWide: 14
    readonly property int spacingLarge: 16
    readonly property int spacingXLarge: 20
    readonly property int spacingHuge: 28
    // Inside dialogs and form panels, and inside the placeholder panel.
    readonly property int panelPadding: 24
    readonly property int placeholderPadding: 32

    readonly property int radius: 5
    // Panels, cards, tiles and dialogs.
    readonly property int cardRadius: 8
    readonly property int borderWidth: 1
    readonly property int focusBorderWidth: 2

    readonly property int headingSize: 20
    readonly property int rowHeight: 45
    readonly property int titleHeight: 40
    readonly property int scrollBarWidth: 10
    readonly property int controlHeight: 36
    readonly property int headerHeight: 56
    readonly property int headerLineHeight: 3
    readonly property int headerSeparatorHeight: 26

    readonly property int iconSizeSmall: 16
    readonly property int iconSize: 20
    readonly property int splitButtonIconSize: 22
    readonly property int iconSizeLarge: 24
    readonly property int tileIconSize: 30
    readonly property int busyIndicatorSize: 32
    readonly property int headerLogoSize: 34
    readonly property int deviceBadgeSize: 44
    readonly property int placeholderIconSize: 56
    readonly property int tileBadgeSize: 64
    readonly property int loginIconSize: 72
    readonly property int pillHeight: 22

    readonly property int buttonMinimumWidth: 120
    readonly property int smallButtonWidth: 80
    readonly property int pagerButtonWidth: 44
    readonly property int filterWidth: 200
    readonly property int dropDownWidth: 220
    readonly property int wideFilterWidth: 240
    readonly property int searchFieldWidth: 280
    readonly property int compactSearchFieldWidth: 260
    readonly property int textFieldWidth: 320
    readonly property int messageMaximumWidth: 360
    readonly property int switchWidth: 40
    readonly property int switchHeight: 22
    readonly property int switchKnobSize: 16
    readonly property int slideButtonWidth: 20
    readonly property int slideButtonHeight: 50
    readonly property int tileWidth: 260
    readonly property int tileHeight: 200
    readonly property int dialogWidth: 440
    readonly property int wideDialogWidth: 520
    readonly property int placeholderWidth: 520
    readonly property int loginFormMaximumWidth: 480
    readonly property int startContentMaximumWidth: 1160
    // From this page width on, the start tiles stand in one row.
    readonly property int startOneRowWidth: 1180
    readonly property int windowWidth: 1280
    readonly property int windowHeight: 800

    // The tiles of observed blocks and cubes; their texts in points, as the tiles were drawn.
    readonly property int observerRowHeight: 45
    readonly property int observerTopBarHeight: 25
    readonly property int observerTitleMargin: 13
    readonly property int observerSubtitleHeight: 40
    readonly property int observerContentMargin: 12
    readonly property int observerTileMargin: 5
    readonly property int observerStateIndicatorSize: 14
    readonly property int observerStripeWidth: 10
    readonly property int observerStripeHeight: 80
    readonly property int observerStripeSpacing: 16
    readonly property int observerStripeCount: 50
    readonly property int observerTitlePointSize: 12
    readonly property int observerTextPointSize: 10
    readonly property int observerPlaceholderPointSize: 32
    readonly property int observerScrollBarWidth: 15
    readonly property int observerColumnSpacing: 15
    readonly property int observerWideViewWidth: 1200
    readonly property int viewStyleButtonWidth: 44
    readonly property int toolTipTimeout: 5000

    readonly property int animationDuration: 200

    // Settings sections.
    readonly property int sectionLineMargin: 12
    readonly property int sectionTileLineMargin: 35
    readonly property int sectionTileHorizontalMargin: 20
    readonly property int sectionTileVerticalMargin: 15
    readonly property int sectionTileRadius: 4
    readonly property int settingsLabelWidth: 180
    readonly property int keyFieldMaximumWidth: 420
    readonly property int settingsDialogWidth: 760

    // Maps.
    readonly property int mapPinSize: 20
    readonly property int mapPinActiveSize: 30
    readonly property int mapPinMargin: 3
    readonly property int mapGroupSize: 40
    // Between the map's edge and the outermost pins when the map is fitted to them.
    readonly property int mapFitMargin: mapGroupSize
    readonly property int mapDotSize: 8
    readonly property int mapDotRowHeight: 16
    readonly property int mapDotSpacing: 2
    readonly property int mapSwatchWidth: 14
    readonly property int mapSwatchRadius: 3
    readonly property int mapIconSize: 25
    readonly property int mapSideListWidth: 400
    readonly property int mapSideListCollapsedWidth: 140
    readonly property int mapSideListRowHeight: 75
    readonly property int mapSideListStripWidth: 5
    readonly property int mapSideListButtonMargin: 15
    readonly property int mapPreviewOffset: 20
    readonly property int mapFocusZoomLevel: 13
}
