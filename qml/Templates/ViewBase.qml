import QtQuick 2.15

// A view inside a page (a list, a tile grid, a map).
ItemBase {
    clip: true

    property string title: ""
}
