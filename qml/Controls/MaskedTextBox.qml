import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import Orva.Style 1.0

// A field for a secret key. rawKey is the key; with useMask the field shows it hidden but for
// its last characters. Typing into a masked field starts a new key and unmasks it, so that the
// hidden characters never mix with typed ones.
QQC.TextField {
    id: control

    implicitHeight: Style.controlHeight
    implicitWidth: Style.textFieldWidth
    selectByMouse: true
    font.family: Style.fontFamily
    font.pixelSize: Style.fontSize
    color: Style.textColor
    leftPadding: Style.spacing
    rightPadding: Style.spacing

    property string rawKey: ""
    property bool useMask: false
    property int visibleCharacters: 4
    property string maskCharacter: "\u2022"

    QtObject {
        id: _private

        property bool editing: false
    }

    function maskedText(key) {
        if (key.length === 0)
            return ""
        var shown = Math.min(visibleCharacters, Math.floor(key.length / 2))
        return new Array(key.length - shown + 1).join(maskCharacter) + key.substring(key.length - shown)
    }

    function _refresh() {
        var wanted = useMask ? maskedText(rawKey) : rawKey
        if (text !== wanted)
            text = wanted
    }

    background: Rectangle {
        radius: Style.radius
        color: control.enabled ? Style.panelColor : Style.backgroundColor
        border.width: control.activeFocus ? Style.focusBorderWidth : Style.borderWidth
        border.color: control.activeFocus ? Style.accentColor : Style.borderColor
    }

    onRawKeyChanged: {
        if (!_private.editing)
            _refresh()
    }

    onUseMaskChanged: _refresh()

    onActiveFocusChanged: {
        if (activeFocus && useMask)
            selectAll()
    }

    onTextEdited: {
        _private.editing = true
        var typed = text
        if (useMask)
            typed = typed.split(maskCharacter).join("")
        rawKey = typed
        _private.editing = false
        if (useMask)
            useMask = false
    }

    Component.onCompleted: _refresh()
}
