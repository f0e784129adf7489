import QtQuick 2.15
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// Previous / next page of a device proxy (pageIndex, lastPageIndex). Paging is off while a
// filter is set; the bar then only says how many rows match.
RowLayout {
    id: bar

    property var proxy: null
    property bool filtered: false
    property int sourceCount: 0
    property int shownCount: 0

    readonly property int pageIndex: proxy ? Math.max(proxy.pageIndex, 0) : 0
    readonly property int lastPageIndex: proxy ? Math.max(proxy.lastPageIndex, 0) : 0

    spacing: Style.spacing

    TableText {
        Layout.fillWidth: true
        objectName: "pagingSummary"
        text: bar.filtered ? qsTr("%1 of %2 shown").arg(bar.shownCount).arg(bar.sourceCount)
                           : qsTr("%1 in total").arg(bar.sourceCount)
        color: Style.secondaryTextColor
    }

    DialogButton {
        objectName: "previousPageButton"
        implicitWidth: Style.pagerButtonWidth
        text: "\u2039"
        visible: !bar.filtered
        enabled: bar.pageIndex > 0
        onClicked: bar.proxy.pageIndex = bar.pageIndex - 1
    }

    TableText {
        objectName: "pageLabel"
        visible: !bar.filtered
        text: qsTr("Page %1 of %2").arg(bar.pageIndex + 1).arg(bar.lastPageIndex + 1)
    }

    DialogButton {
        objectName: "nextPageButton"
        implicitWidth: Style.pagerButtonWidth
        text: "\u203a"
        visible: !bar.filtered
        enabled: bar.pageIndex < bar.lastPageIndex
        onClicked: bar.proxy.pageIndex = bar.pageIndex + 1
    }
}
