import QtQuick 2.15
import QtQuick.Layouts 1.15
import Client 1.0
import Orva.Components 1.0
import Orva.Dialogs 1.0
import Orva.Pages 1.0
import Orva.Style 1.0

// The main window's content: header and the page the launcher shows.
Rectangle {
    id: root

    width: Style.windowWidth
    height: Style.windowHeight
    color: Style.backgroundColor

    readonly property Item currentPage: pageLoader.item
    // Pages made on first use: a plain object, so that filling it re-runs no binding.
    readonly property var _pageComponents: ({})
    property QtObject _settingsDialog: null

    // The pages past the start page are compiled when first opened, not before the first frame:
    // the observer page alone brings the map and video views and their modules (QtLocation,
    // QtMultimedia).
    function lazyPageComponent(name) {
        if (!_pageComponents[name])
            _pageComponents[name] = Qt.createComponent("qrc:/qt-project.org/imports/Orva/Pages/" + name + ".qml", root)
        return _pageComponents[name]
    }

    // The settings dialog, with every section and page it holds, is made when it is first
    // opened, not before the first frame; then it stays.
    function openSettingsDialog() {
        if (!_settingsDialog) {
            const component = Qt.createComponent("qrc:/qt-project.org/imports/Orva/Dialogs/LauncherSettingsDialog.qml",
                                                 root)
            _settingsDialog = component.createObject(root, { objectName: "settingsDialog" })
            if (!_settingsDialog) {
                console.warn(component.errorString())
                return
            }
        }
        _settingsDialog.open()
    }

    function pageComponent(page) {
        switch (page) {
        case Client.LoginPage: return root.lazyPageComponent("LoginPage")
        case Client.FavoriteDevicesPage: return root.lazyPageComponent("FavoriteDevicesPage")
        case Client.NetworkDevicesPage: return root.lazyPageComponent("NetworkDevicesPage")
        case Client.ObserverPage: return root.lazyPageComponent("ObserverPage")
        default: return demoPageComponent
        }
    }

    HeaderBar {
        id: header

        anchors.left: parent.left
        anchors.right: parent.right
        title: root.currentPage ? root.currentPage.title : ""
        showBack: client.currentPage !== Client.DemoPage
        // The log-in page goes back to where the operator came from (favourites, observer).
        onBackRequested: client.requestChangePage(client.currentPage === Client.LoginPage ? client.loginSourcePage
                                                                                          : Client.DemoPage)
        onCloseRequested: quitDialog.open()
        onSettingsRequested: root.openSettingsDialog()
    }

    Loader {
        id: pageLoader

        objectName: "pageLoader"
        anchors.top: header.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        sourceComponent: root.pageComponent(client.currentPage)
        focus: true
    }

    Component {
        id: demoPageComponent

        DemoPage {}
    }

    TemplateDialog {
        id: quitDialog

        name: "quitDialog"
        title: qsTr("Close the launcher?")
        text: qsTr("The %1 Launcher will end.").arg(brandConfig.applicationName)
        acceptText: qsTr("Close")
        onAccepted: client.quit()
    }
}
