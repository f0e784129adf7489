import QtQuick 2.15
import Client 1.0
import Observer 1.0
import Orva.Components 1.0
import Orva.Style 1.0
import Orva.Templates 1.0

// Every observed block in tiles: its log-in state and status.
ViewBase {
    id: root

    property ObserverManager manager: null

    function deviceTitle(name, address, type) {
        return name + " - " + address + " (" + favoriteDeviceSortFilterModel.typeName(type) + ")"
    }

    // The texts and colours of each log-in status of a block.
    function loginState(status) {
        switch (status) {
        case Client.IncorrectPasswordOrUsername:
            return {text: qsTr("Incorrect password or username"), color: Style.loginFailedColor, pattern: Style.loginFailedPatternColor}
        case Client.InvalidServerAddress:
            return {text: qsTr("Invalid server address"), color: Style.loginFailedColor, pattern: Style.loginFailedPatternColor}
        case Client.WaitingForResponse:
            return {text: qsTr("Waiting for response"), color: Style.failureColor, pattern: Style.failurePatternColor}
        case Client.LoggedIn:
            return {text: qsTr("Logged in"), color: Style.runningColor, pattern: "transparent"}
        case Client.Demo:
            return {text: qsTr("Demo"), color: Style.runningColor, pattern: "transparent"}
        case Client.ExpiredAccount:
            return {text: qsTr("Expired account"), color: Style.loginFailedColor, pattern: Style.loginFailedPatternColor}
        default:
            return {text: qsTr("Not logged in"), color: Style.disabledColor, pattern: Style.disabledPatternColor}
        }
    }

    DeviceObserverSortFilterProxyModel {
        id: proxyModel

        sourceModel: root.manager ? root.manager.deviceModel : null
        sortingRole: DeviceObserverModel.TypeRole
        sortingRoles: [DeviceObserverModel.TypeRole, DeviceObserverModel.AddressRole, DeviceObserverModel.NameRole]
        roleTranslations: [qsTr("Type"), qsTr("Address"), qsTr("Name")]
        stringFilterRoles: sortingRoles
        onSourceModelChanged: invalidate()
    }

    ObserverGrid {
        id: observerGrid

        anchors.fill: parent
        manager: root.manager
        proxyModel: proxyModel
        itemName: qsTr("devices")
        positionProperty: "deviceViewPosition"
        tileDelegate: Component {
            Item {
                id: cube

                width: observerGrid.grid.cellWidth
                height: observerGrid.grid.cellHeight

                property var device: model.DeviceRole
                readonly property int loginStatus: model.LoginStatusRole
                readonly property var loginState: root.loginState(loginStatus)

                DeviceObserverDelegate {
                    id: deviceItem

                    objectName: "deviceItem"
                    anchors.fill: parent
                    anchors.margins: Style.observerTileMargin
                    itemId: cube.device ? cube.device.id : 0
                    name: root.deviceTitle(model.NameRole, model.AddressRole, model.TypeRole)
                    currentBlockStatus: model.StatusInfoRole
                    blockDeviceType: model.TypeNameRole
                    blockAppVersion: model.VersionRole
                    orvaSerialNumber: model.SerialNumberRole
                    hovered: !!root.manager && root.manager.highlightedCubeId === itemId
                    state: cube.loginState.text
                    stateColor: cube.loginState.color
                    patternColor: cube.loginState.pattern

                    onHeaderHoveredChanged: observerGrid.highlight(itemId, hovered)
                    onSwitchToDevice: observerGrid.handOver(cube.device)
                }
            }
        }
    }
}
