import QtQuick 2.15
import QtQuick.Controls 2.15 as QQC
import QtQuick.Layouts 1.15
import Orva.Controls 1.0
import Orva.Style 1.0

// The row above a list: search, sorting, the number of entries, deleting and the list's own
// modes (modesComponent). Works with any model; search and sorting appear when the model is a
// sorting/filtering proxy (filteredString, sortingRole, sortingRoles, roleTranslations).
RowLayout {
    id: root

    spacing: Style.spacing

    property var model: null
    property string itemName: qsTr("items")
    property bool deleteEnabled: false
    property Component modesComponent: null
    readonly property int count: model && model.count !== undefined ? model.count : 0
    readonly property bool searchable: !!model && model.filteredString !== undefined
    readonly property bool sortable: !!model && !!model.roleTranslations && model.roleTranslations.length > 0
    property alias searchText: searchField.text
    readonly property alias modesItem: modesLoader.item

    signal deleteRequested()

    QQC.TextField {
        id: searchField

        Layout.preferredWidth: Style.compactSearchFieldWidth
        Layout.preferredHeight: Style.controlHeight
        visible: root.searchable
        placeholderText: qsTr("Search %1").arg(root.itemName)
        selectByMouse: true
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSize
        leftPadding: Style.spacing + Style.iconSizeSmall + Style.spacingCompact
        onTextChanged: {
            if (root.searchable)
                root.model.filteredString = text
        }
        background: Rectangle {
            radius: Style.radius
            color: Style.panelColor
            border.width: searchField.activeFocus ? Style.focusBorderWidth : Style.borderWidth
            border.color: searchField.activeFocus ? Style.accentColor : Style.borderColor

            VectorImage {
                x: Style.spacing
                anchors.verticalCenter: parent.verticalCenter
                width: Style.iconSizeSmall
                height: Style.iconSizeSmall
                source: "qrc:/images/icon_search.svg"
                overlayColor: Style.secondaryTextColor
            }
        }
    }

    DropDown {
        id: sortDropDown

        Layout.preferredWidth: Style.filterWidth
        visible: root.sortable
        model: root.sortable ? root.model.roleTranslations : []
        onActivated: {
            if (root.sortable && root.model.sortingRoles && index < root.model.sortingRoles.length)
                root.model.sortingRole = root.model.sortingRoles[index]
        }
    }

    TableText {
        Layout.fillWidth: true
        text: qsTr("%1 %2").arg(root.count).arg(root.itemName)
    }

    RoundButtonWithIcon {
        visible: root.deleteEnabled
        iconSource: "qrc:/images/icon_delete.svg"
        toolTipText: qsTr("Delete selected %1").arg(root.itemName)
        onClicked: root.deleteRequested()
    }

    Loader {
        id: modesLoader

        Layout.preferredWidth: item ? item.implicitWidth : 0
        Layout.preferredHeight: item ? item.implicitHeight : 0
        sourceComponent: root.modesComponent
        active: root.modesComponent !== null
    }
}
