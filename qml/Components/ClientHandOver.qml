pragma Singleton
import QtQuick 2.15
import Client 1.0

// Hands a block over to the client application's log-in, as every observer view does: with a
// cube id the client opens on that cube, or on its dashboard. The grids log the observers out
// first, the map keeps them logged in.
QtObject {
    // Reads what it hands over before logging out: logging out may take the calling tile away.
    function handOver(manager, device, cubeId, dashboard, logOutFirst) {
        var sourceIndex = device ? device.sourceIndex : undefined
        if (logOutFirst && manager)
            manager.logoutObservers()
        client.loginSourcePage = Client.ObserverPage
        if (sourceIndex !== undefined)
            favoriteDeviceModel.loginIndex = sourceIndex
        if (cubeId !== undefined) {
            client.autoSelectFlag = !!dashboard
            client.autoSelectId = cubeId
        }
        client.startORVA()
    }
}
