#include "observation/maps/HostMapsManager.h"
#include "support/LogCapture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// The lines of one INI group, as written.
QStringList groupLines(const QString &path, const QString &group)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    bool inGroup = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
        else if (inGroup && !line.isEmpty())
            lines << line;
    }
    return lines;
}

// Appends the name of every change signal of the manager as it is emitted.
void recordSignals(HostMapsManager &manager, QStringList &order)
{
    const std::pair<void (HostMapsManager::*)(), const char *> relays[] = {
        {&HostMapsManager::mapTypeChanged, "mapType"},
        {&HostMapsManager::hostGoogleApiKeyChanged, "hostGoogleApiKey"},
        {&HostMapsManager::hostOpenStreetMapApiKeyChanged, "hostOpenStreetMapApiKey"},
        {&HostMapsManager::useHostGoogleApiKeyChanged, "useHostGoogleApiKey"},
        {&HostMapsManager::useHostOpenStreetMapApiKeyChanged, "useHostOpenStreetMapApiKey"},
        {&HostMapsManager::googleApiKeysChanged, "googleApiKeys"},
        {&HostMapsManager::openStreetMapApiKeysChanged, "openStreetMapApiKeys"},
        {&HostMapsManager::apiKeysChanged, "apiKeys"},
    };
    for (const auto &relay : relays) {
        const QString name = QString::fromLatin1(relay.second);
        QObject::connect(&manager, relay.first, &manager, [&order, name] { order << name; });
    }
}

using ManagerChange = std::function<void(HostMapsManager &)>;

} // namespace

Q_DECLARE_METATYPE(ManagerChange)

class tst_MapsManagers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void freshStoreWritesEveryKey();
    void mapTypeTexts_data();
    void mapTypeTexts();
    void olderKeyNames_data();
    void olderKeyNames();
    void missingFileEmptiesKeys();
    void relaysInOrder_data();
    void relaysInOrder();
    void preferredMapApiKey_data();
    void preferredMapApiKey();
    void zoomIgnoresTinyChanges();
    void clearTileCache_data();
    void clearTileCache();
    void tileServerSetting_data();
    void tileServerSetting();

private:
    QTemporaryDir m_dir;
    QString m_ini;
};

void tst_MapsManagers::init()
{
    QVERIFY(m_dir.isValid());
    m_ini = m_dir.filePath(QStringLiteral("config.ini"));
    QFile::remove(m_ini);
}

void tst_MapsManagers::freshStoreWritesEveryKey()
{
    writeFile(m_ini, "[Window]\nfullscreen=true\n");
    HostMapsManager manager;
    QCOMPARE(manager.mapType(), HostMapsManager::OpenStreetMap);
    QVERIFY(!manager.hostManager()->mapViewCoordinate().isValid());
    QCOMPARE(manager.hostManager()->mapViewZoomLevel(), 8.0);

    LogCapture log(kvr::log::DBG0);
    manager.storeSettings(m_ini);
    QCOMPARE(groupLines(m_ini, QStringLiteral("MapsSettings")),
             (QStringList{
                 QStringLiteral("hostGoogleApiKey="),
                 QStringLiteral("hostGoogleApiKeyTileLayer="),
                 QStringLiteral("hostOpenStreetMapApiKey="),
                 QStringLiteral("hostOpenStreetMapApiKeyTileLayer="),
                 QStringLiteral("mapCoordinateLatitude=nan"),
                 QStringLiteral("mapCoordinateLongitude=nan"),
                 QStringLiteral("mapType=open_street_map"),
                 QStringLiteral("mapZoomLevel=8"),
                 QStringLiteral("useHostGoogleApiKey=false"),
                 QStringLiteral("useHostOpenStreetMapApiKey=false"),
             }));
    QCOMPARE(groupLines(m_ini, QStringLiteral("Window")), QStringList{QStringLiteral("fullscreen=true")});
    QCOMPARE(log.texts(kvr::log::DBG0), QStringList{QStringLiteral("[MAPS] Successful save of the maps configuration.")});

    // The view's centre and zoom are stored but not read back.
    manager.hostManager()->setMapViewZoomLevel(12.0);
    manager.storeSettings(m_ini);
    HostMapsManager loaded;
    loaded.loadSettings(m_ini);
    QCOMPARE(loaded.hostManager()->mapViewZoomLevel(), 8.0);
}

void tst_MapsManagers::mapTypeTexts_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("type");

    QTest::newRow("snake case") << QByteArray("mapType=open_street_map") << int(HostMapsManager::OpenStreetMap);
    QTest::newRow("capitals") << QByteArray("mapType=OPEN_STREET_MAP") << int(HostMapsManager::OpenStreetMap);
    QTest::newRow("three words") << QByteArray("mapType=Open Street  Map") << int(HostMapsManager::OpenStreetMap);
    QTest::newRow("one word is no name") << QByteArray("mapType=OpenStreetMap") << int(HostMapsManager::UnknownMap);
    QTest::newRow("empty") << QByteArray("mapType=") << int(HostMapsManager::UnknownMap);
    QTest::newRow("absent keeps the type") << QByteArray("other=1") << int(HostMapsManager::GoogleMaps);
}

void tst_MapsManagers::mapTypeTexts()
{
    QFETCH(QByteArray, line);
    QFETCH(int, type);

    writeFile(m_ini, "[MapsSettings]\n" + line + "\n");
    HostMapsManager manager;
    manager.setMapType(HostMapsManager::GoogleMaps);
    QSignalSpy changed(&manager, &HostMapsManager::mapTypeChanged);
    QVERIFY(changed.isValid());
    manager.loadSettings(m_ini);
    QCOMPARE(int(manager.mapType()), type);
    QCOMPARE(changed.count(), type == HostMapsManager::GoogleMaps ? 0 : 1);
}

void tst_MapsManagers::olderKeyNames_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QString>("google");
    QTest::addColumn<QString>("openStreetMap");

    QTest::newRow("older names only") << QByteArray("googleApiKey=old-g\nopenStreetMapApiKey=old-o\n")
                                      << QStringLiteral("old-g") << QStringLiteral("old-o");
    QTest::newRow("host names win") << QByteArray("googleApiKey=old-g\nhostGoogleApiKey=new-g\nopenStreetMapApiKey=old-o\n")
                                    << QStringLiteral("new-g") << QStringLiteral("old-o");
    QTest::newRow("empty host name still wins") << QByteArray("googleApiKey=old-g\nhostGoogleApiKey=\n")
                                                << QString() << QString();
}

void tst_MapsManagers::olderKeyNames()
{
    QFETCH(QByteArray, group);
    QFETCH(QString, google);
    QFETCH(QString, openStreetMap);

    writeFile(m_ini, "[MapsSettings]\n" + group);
    HostMapsManager manager;
    manager.loadSettings(m_ini);
    QCOMPARE(manager.hostGoogleApiKey(), google);
    QCOMPARE(manager.hostOpenStreetMapApiKey(), openStreetMap);

    manager.storeSettings(m_ini);
    const QStringList lines = groupLines(m_ini, QStringLiteral("MapsSettings"));
    QVERIFY(lines.contains(QStringLiteral("hostGoogleApiKey=") + google));
    QVERIFY(lines.contains(QStringLiteral("hostOpenStreetMapApiKey=") + openStreetMap));
    for (const QString &line : lines) {
        QVERIFY2(!line.startsWith(QLatin1String("googleApiKey=")) && !line.startsWith(QLatin1String("openStreetMapApiKey=")),
                 qPrintable(line));
    }
}

void tst_MapsManagers::missingFileEmptiesKeys()
{
    HostMapsManager manager;
    manager.setMapType(HostMapsManager::GoogleMaps);
    manager.setHostGoogleApiKey(QStringLiteral("g"));
    manager.setHostOpenStreetMapApiKey(QStringLiteral("o"));
    manager.setUseHostGoogleApiKey(true);
    manager.hostManager()->setHostGoogleApiKeyTileLayer(QStringLiteral("Hybrid"));

    LogCapture log(kvr::log::DBG0 | kvr::log::ERR);
    manager.loadSettings(m_dir.filePath(QStringLiteral("missing/config.ini")));
    QCOMPARE(manager.mapType(), HostMapsManager::GoogleMaps);
    QVERIFY(!manager.googleApiKeyAvailable());
    QVERIFY(!manager.openStreetMapApiKeyAvailable());
    QVERIFY(!manager.useHostGoogleApiKey());
    QVERIFY(manager.hostManager()->hostGoogleApiKeyTileLayer().isEmpty());
    QCOMPARE(log.texts(), QStringList{QStringLiteral("[MAPS] Successful load of the maps configuration.")});
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("missing/config.ini"))));
}

void tst_MapsManagers::relaysInOrder_data()
{
    QTest::addColumn<ManagerChange>("change");
    QTest::addColumn<QStringList>("order");

    const auto list = [](const char *names) { return QString::fromLatin1(names).split(QLatin1Char(' ')); };
    QTest::newRow("google key through the inner manager")
        << ManagerChange([](HostMapsManager &m) { m.hostManager()->setHostGoogleApiKey(QStringLiteral("k")); })
        << list("hostGoogleApiKey googleApiKeys apiKeys");
    QTest::newRow("map type") << ManagerChange([](HostMapsManager &m) { m.setMapType(HostMapsManager::GoogleMaps); })
                              << list("mapType apiKeys");
    QTest::newRow("use osm switch")
        << ManagerChange([](HostMapsManager &m) { m.setUseHostOpenStreetMapApiKey(true); })
        << list("useHostOpenStreetMapApiKey openStreetMapApiKeys apiKeys");
    QTest::newRow("same values") << ManagerChange([](HostMapsManager &m) {
        m.setMapType(HostMapsManager::OpenStreetMap);
        m.setHostGoogleApiKey(QString());
    }) << QStringList();
    QTest::newRow("tile layer is not relayed") << ManagerChange([](HostMapsManager &m) {
        m.hostManager()->setHostGoogleApiKeyTileLayer(QStringLiteral("Hybrid"));
    }) << QStringList();
}

void tst_MapsManagers::relaysInOrder()
{
    QFETCH(ManagerChange, change);
    QFETCH(QStringList, order);

    HostMapsManager manager;
    QStringList actual;
    recordSignals(manager, actual);
    change(manager);
    QCOMPARE(actual, order);
}

void tst_MapsManagers::preferredMapApiKey_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("google");
    QTest::addColumn<QString>("expected");

    QTest::newRow("google") << int(HostMapsManager::GoogleMaps) << QString() << QString();
    QTest::newRow("osm") << int(HostMapsManager::OpenStreetMap) << QStringLiteral("g") << QStringLiteral("o");
    QTest::newRow("unknown with google key") << int(HostMapsManager::UnknownMap) << QStringLiteral("g") << QStringLiteral("g");
    QTest::newRow("unknown without google key") << int(HostMapsManager::UnknownMap) << QString() << QStringLiteral("o");
}

void tst_MapsManagers::preferredMapApiKey()
{
    QFETCH(int, type);
    QFETCH(QString, google);
    QFETCH(QString, expected);

    HostMapsManager manager;
    manager.setMapType(HostMapsManager::MapType(type));
    manager.setHostGoogleApiKey(google);
    manager.setHostOpenStreetMapApiKey(QStringLiteral("o"));
    QCOMPARE(manager.property("preferredMapApiKey").toString(), expected);
}

void tst_MapsManagers::zoomIgnoresTinyChanges()
{
    PlainHostMapsManager manager;
    QSignalSpy changed(&manager, &PlainHostMapsManager::mapViewZoomLevelChanged);
    QVERIFY(changed.isValid());
    manager.setMapViewZoomLevel(8.0 + 8.0e-13);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(manager.mapViewZoomLevel(), 8.0);
    manager.setMapViewZoomLevel(8.0 + 1.0e-9);
    QCOMPARE(changed.count(), 1);
}

void tst_MapsManagers::clearTileCache_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("cleared");

    QTest::newRow("no cache folder") << QStringList() << QStringList() << 0;
    QTest::newRow("osm tiles of two versions")
        << QStringList{QStringLiteral("QtLocation/5.8/tiles/osm/osm_100-1-1-1.png"),
                       QStringLiteral("QtLocation/5.8/tiles/osm/queue"),
                       QStringLiteral("QtLocation/5.15/tiles/osm/osm_100-2-2-2.png"),
                       QStringLiteral("QtLocation/5.8/tiles/googlemaps/g.png"),
                       QStringLiteral("QtLocation/5.8/tiles/osm/sub/deeper.png"),
                       QStringLiteral("QtLocation/other.png")}
        << QStringList{QStringLiteral("QtLocation/5.8/tiles/googlemaps/g.png"),
                       QStringLiteral("QtLocation/5.8/tiles/osm/sub/deeper.png"),
                       QStringLiteral("QtLocation/other.png")}
        << 3;
}

void tst_MapsManagers::clearTileCache()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, kept);
    QFETCH(int, cleared);

    QTemporaryDir cache;
    QVERIFY(cache.isValid());
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    for (const QString &file : files)
        writeFile(cache.filePath(file), "tile");

    LogCapture log(kvr::log::DBG0);
    PlainHostMapsManager().clearOpenStreetMapTileCache();
    qputenv("XDG_CACHE_HOME", saved);

    QCOMPARE(log.texts(kvr::log::DBG0), QStringList{QStringLiteral("[MAPS] Cleared %1 OSM tile cache file(s).").arg(cleared)});
    for (const QString &file : files)
        QCOMPARE(QFile::exists(cache.filePath(file)), kept.contains(file));
    if (!files.isEmpty())
        QVERIFY(QDir(cache.filePath(QStringLiteral("QtLocation/5.8/tiles/osm"))).exists());
}

void tst_MapsManagers::tileServerSetting_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("stored");

    const QString defaultServer = PlainHostMapsManager::kDefaultOpenStreetMapTileServer;
    QTest::newRow("absent") << QByteArray("other=1") << defaultServer << false;
    QTest::newRow("blank") << QByteArray("openStreetMapTileServer=\"  \"") << defaultServer << false;
    QTest::newRow("own server gets its slash") << QByteArray("openStreetMapTileServer=http://127.0.0.1:8123")
                                               << QStringLiteral("http://127.0.0.1:8123/") << true;
    QTest::newRow("default written out") << QByteArray("openStreetMapTileServer=") + defaultServer.toUtf8()
                                         << defaultServer << false;
}

// Closed networks and tests point the map at their own tile server; the default is never
// pinned into a file.
void tst_MapsManagers::tileServerSetting()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, server);
    QFETCH(bool, stored);

    writeFile(m_ini, "[MapsSettings]\n" + line + "\n");
    HostMapsManager manager;
    manager.loadSettings(m_ini);
    QCOMPARE(manager.hostManager()->openStreetMapTileServer(), server);

    manager.storeSettings(m_ini);
    const QStringList lines = groupLines(m_ini, QStringLiteral("MapsSettings"));
    QCOMPARE(lines.contains(QStringLiteral("openStreetMapTileServer=") + server), stored);
    if (!stored) {
        for (const QString &written : lines)
            QVERIFY2(!written.startsWith(QLatin1String("openStreetMapTileServer")), qPrintable(written));
    }
}

QTEST_GUILESS_MAIN(tst_MapsManagers)
#include "tst_MapsManagers.moc"
