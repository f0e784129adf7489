import QtQuick 2.15
import Orva.Style 1.0

// Base of every item of the interface that lays out rows: the shared measures.
Item {
    property int headingSize: Style.headingSize
    property int rowHeight: Style.rowHeight
    property int titleHeight: Style.titleHeight
    property int scrollBarWidth: Style.scrollBarWidth
}
