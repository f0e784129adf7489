import QtQuick 2.15

// A slot for content that another component places (as a list controller's modes): sized by
// what it holds.
Item {
    implicitWidth: childrenRect.width
    implicitHeight: childrenRect.height

    readonly property Item contentItem: children.length > 0 ? children[0] : null
}
