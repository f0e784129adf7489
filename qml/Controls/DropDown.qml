import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Style 1.0

// A combo box whose entries can be disabled one by one (disabledList holds a flag per entry).
// syncIndexFromProperty follows a value kept elsewhere without emitting activated.
QQC.ComboBox {
    id: control

    implicitHeight: Style.controlHeight
    implicitWidth: Style.dropDownWidth
    font.family: Style.fontFamily
    font.pixelSize: Style.fontSize

    property var disabledList: []

    function isDisabled(index) {
        return !!disabledList && index >= 0 && index < disabledList.length && !!disabledList[index]
    }

    function syncIndexFromProperty(index) {
        if (index === undefined || index === null || index < 0 || index >= count) {
            currentIndex = -1
            return false
        }
        currentIndex = index
        return true
    }

    // The next enabled entry from `from` in steps of `step`, -1 when there is none.
    function nextEnabled(from, step) {
        for (var i = from + step; i >= 0 && i < count; i += step) {
            if (!isDisabled(i))
                return i
        }
        return -1
    }

    function _step(step) {
        var next = nextEnabled(currentIndex, step)
        if (next < 0)
            return
        currentIndex = next
        activated(next)
    }

    delegate: QQC.ItemDelegate {
        width: control.width
        height: Style.controlHeight
        enabled: !control.isDisabled(index)
        highlighted: control.highlightedIndex === index
        contentItem: Text {
            text: control.textRole
                  ? (Array.isArray(control.model) ? modelData[control.textRole] : model[control.textRole])
                  : modelData
            font: control.font
            color: parent.enabled ? Style.textColor : Style.disabledColor
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            color: parent.highlighted ? Style.hoverColor : "transparent"
        }
    }

    indicator: VectorImage {
        x: control.width - width - Style.spacing
        y: (control.height - height) / 2
        width: Style.iconSizeSmall
        height: Style.iconSizeSmall
        source: "qrc:/images/icon_dropdown.svg"
        overlayColor: control.enabled ? Style.secondaryTextColor : Style.disabledColor
        rotation: control.popup.visible ? 180 : 0
    }

    contentItem: Text {
        leftPadding: Style.spacing
        rightPadding: Style.iconSizeSmall + Style.spacing + Style.spacingTiny
        text: control.displayText
        font: control.font
        color: control.enabled && !control.isDisabled(control.currentIndex) ? Style.textColor : Style.disabledColor
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        radius: Style.radius
        color: control.enabled ? Style.panelColor : Style.backgroundColor
        border.width: control.visualFocus || control.popup.visible ? Style.focusBorderWidth : Style.borderWidth
        border.color: control.visualFocus || control.popup.visible ? Style.accentColor : Style.borderColor
    }

    Keys.onUpPressed: _step(-1)
    Keys.onDownPressed: _step(1)
}
