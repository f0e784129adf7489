#include "ObserverPeers.h"

#include "app/Launcher.h"
#include "app/QmlRegistration.h"
#include "observation/maps/HostMapsManager.h"
#include "support/SimulatedTileServer.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

#include <memory>

// The observer page and its views over the real observers, fed by simulated blocks and
// tracker nodes (the context property "peers").
class Setup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        registerQmlTypes();
        if (!m_launcher) {
            // The map style loads tiles: from our own server, and nothing from anywhere else.
            m_tiles = std::make_unique<SimulatedTileServer>();
            if (m_tiles->listen())
                m_tiles->catchForeignRequests();
            m_launcher = std::make_unique<Launcher>();
            m_launcher->mapsManager()->hostManager()->setOpenStreetMapTileServer(m_tiles->baseUrl());
            m_peers = std::make_unique<ObserverPeers>(m_launcher->favoriteDeviceModel());
        }
        m_launcher->publishContextProperties(engine->rootContext());
        engine->rootContext()->setContextProperty(QStringLiteral("peers"), m_peers.get());
    }

    void cleanupTestCase()
    {
        m_peers.reset();
        m_launcher.reset();
        if (!m_tiles->foreignHosts().isEmpty())
            qFatal("The views contacted %s", qPrintable(m_tiles->foreignHosts().join(QLatin1Char(' '))));
        m_tiles.reset();
    }

private:
    std::unique_ptr<SimulatedTileServer> m_tiles;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<ObserverPeers> m_peers;
};

QUICK_TEST_MAIN_WITH_SETUP(orva_observer_views, Setup)

#include "tst_QmlObserverViews.moc"
