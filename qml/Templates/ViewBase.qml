import QtQuick 2.15

// A view inside a page (a list, a tile grid, a map).
ItemBase {
    property string title: ""

    clip: true
}
