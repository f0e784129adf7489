#include "app/Launcher.h"
#include "app/QmlRegistration.h"
#include "observation/maps/HostMapsManager.h"
#include "support/SimulatedTileServer.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QtQuickTest>

#include <memory>

// The map views against a tile server of our own: the map's tile address points at it, and
// every connection to another host is caught by it (as "tileServer" the documents ask it what
// it saw).
class Setup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        if (!m_launcher) {
            // Tiles cached by an earlier run would spare the map its requests.
            QStandardPaths::setTestModeEnabled(true);
            registerQmlTypes();
            QVERIFY(m_tiles.listen());
            m_tiles.catchForeignRequests();
            m_launcher = std::make_unique<Launcher>();
            m_launcher->mapsManager()->hostManager()->clearOpenStreetMapTileCache();
            m_launcher->mapsManager()->hostManager()->setOpenStreetMapTileServer(m_tiles.baseUrl());
        }
        m_launcher->publishContextProperties(engine->rootContext());
        engine->rootContext()->setContextProperty(QStringLiteral("tileServer"), &m_tiles);
    }

    void cleanupTestCase() { m_launcher.reset(); }

private:
    SimulatedTileServer m_tiles;
    std::unique_ptr<Launcher> m_launcher;
};

QUICK_TEST_MAIN_WITH_SETUP(orva_maps, Setup)

#include "tst_QmlMaps.moc"
