#include "app/Launcher.h"
#include "app/QmlRegistration.h"
#include "app/services/LauncherConfig.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The launcher's start-up files, pages, keys and the values QML keeps on it.
class tst_Launcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void settingsFileCreatedOnFirstStart();
    void settingsFileKeptOnNextStart();
    void favoritesFileSteps_data();
    void favoritesFileSteps();
    void initShowsWindow_data();
    void initShowsWindow();

    void changePage_data();
    void changePage();
    void startOrva_data();
    void startOrva();
    void pageChangeDropsResources();
    void keySignals_data();
    void keySignals();
    void closedHandCursor();
    void qmlKeepsValuesOnClient();
    void unreadableSettingsFileSaysSo();
    void mapSettingsThroughQml();
    void smallWindowKeepsPageInItsArea_data();
    void smallWindowKeepsPageInItsArea();

private:
    std::unique_ptr<QTemporaryDir> m_configHome;
};

void tst_Launcher::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("KVR"));
    QCoreApplication::setApplicationName(QStringLiteral("ORVA Launcher Test"));
}

void tst_Launcher::init()
{
    m_configHome = std::make_unique<QTemporaryDir>();
    QVERIFY(m_configHome->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome->path()));
}

void tst_Launcher::cleanup()
{
    m_configHome.reset();
}

void tst_Launcher::settingsFileCreatedOnFirstStart()
{
    LogCapture log;
    Launcher launcher;
    QVERIFY(launcher.prepareSettingsFile());

    const QString path = launcher.configPath();
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("config.ini"));
    QVERIFY(path.startsWith(m_configHome->path()));
    QVERIFY(QFileInfo(path).isFile());
    // Copied out of the resources, yet writable.
    QVERIFY(QFileInfo(path).isWritable());

    QSettings settings(path, QSettings::IniFormat);
    const QStringList groups = settings.childGroups();
    for (const char *group : {"Window", "LoginSettings", "VersionSettings", "LanguageSettings", "MapsSettings"})
        QVERIFY2(groups.contains(QLatin1String(group)), group);
    QCOMPARE(settings.value(QStringLiteral("LanguageSettings/language")).toString(), QStringLiteral("en-US"));
    settings.setValue(QStringLiteral("Window/fullscreen"), true);
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);

    QCOMPARE(log.texts(kvr::log::INF),
             QStringList({QStringLiteral("[SETTINGS] Settings file: %1").arg(path),
                          QStringLiteral("[SETTINGS] Settings file was not found. Creating ...")}));
    QVERIFY(log.texts(kvr::log::ERR).isEmpty());
}

void tst_Launcher::settingsFileKeptOnNextStart()
{
    QString path;
    {
        Launcher first;
        QVERIFY(first.prepareSettingsFile());
        path = first.configPath();
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue(QStringLiteral("LoginSettings/last_address"), QStringLiteral("10.1.2.3"));
        settings.setValue(QStringLiteral("LanguageSettings/language"), QStringLiteral("de-DE"));
    }

    LogCapture log;
    Launcher next;
    QVERIFY(next.prepareSettingsFile());
    QCOMPARE(next.configPath(), path);
    QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("LoginSettings/last_address")).toString(), QStringLiteral("10.1.2.3"));
    QCOMPARE(settings.value(QStringLiteral("LanguageSettings/language")).toString(), QStringLiteral("de-DE"));
    QVERIFY(!log.contains(QStringLiteral("Creating")));
}

void tst_Launcher::favoritesFileSteps_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<QStringList>("infoLines");
    QTest::addColumn<QStringList>("errorLines");

    QTest::newRow("missing: created from the built-in empty list")
        << QByteArray()
        << QStringList{"[INFO] Connections file: %1", "[INFO] Connections file was not found. Creating ...",
                       "[INFO] Successful load of 0 favorite device connections."}
        << QStringList{};
    QTest::newRow("present and empty")
        << QByteArray("{\"connections\": []}")
        << QStringList{"[INFO] Connections file: %1", "[INFO] Successful load of 0 favorite device connections."}
        << QStringList{};
    QTest::newRow("present with two devices")
        << QByteArray("{\"connections\": [{\"name\": \"North gate\", \"address\": \"10.0.0.5:8088\", \"username\": \"admin\"},"
                      " {\"name\": \"Depot\", \"address\": \"block-01.local\"}]}")
        << QStringList{"[INFO] Connections file: %1", "[INFO] Successful load of 2 favorite device connections."}
        << QStringList{};
}

void tst_Launcher::favoritesFileSteps()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, infoLines);
    QFETCH(QStringList, errorLines);

    const QString path = QDir(Launcher::configDirectory()).filePath(QStringLiteral("favorite_connections.json"));
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    LogCapture log;
    Launcher launcher;
    launcher.prepareFavorites();

    QCOMPARE(launcher.favoritesPath(), path);
    infoLines.first() = infoLines.first().arg(path);
    QStringList launcherInfo;
    for (const kvr::log::LogMessage &message : log.messages()) {
        if (message.function() == QLatin1String("Launcher::init") && message.level() == kvr::log::INF)
            launcherInfo << message.text();
    }
    QCOMPARE(launcherInfo, infoLines);
    QCOMPARE(log.texts(kvr::log::ERR), errorLines);
    // An existing file is never replaced; a missing one is the built-in empty list, writable.
    QVERIFY(QFile::exists(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    if (content.isEmpty()) {
        QVERIFY(QFileInfo(path).isWritable());
        const QJsonObject created = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(created, QJsonObject({{QStringLiteral("connections"), QJsonArray()}}));
    } else {
        QCOMPARE(file.readAll(), content);
    }
    file.close();

    // Saving writes the rows back to the kept path, also when the file was missing.
    launcher.saveFavoriteDevices();
    QVERIFY(QFile::exists(path));
    Launcher reloaded;
    reloaded.prepareFavorites();
    QCOMPARE(reloaded.favoriteDeviceModel()->rowCount(), launcher.favoriteDeviceModel()->rowCount());
}

void tst_Launcher::initShowsWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("fullScreen");

    QTest::newRow("maximised") << QStringList() << false;
    QTest::newRow("--fullscreen") << QStringList({"--fullscreen"}) << true;
    QTest::newRow("--fs") << QStringList({"--fs"}) << true;
}

void tst_Launcher::initShowsWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, fullScreen);

    LogCapture log(kvr::log::ERR | kvr::log::WRN | kvr::log::INF);
    Launcher launcher;
    QVERIFY(launcher.init(QStringList({QStringLiteral("orva-launcher")}) + arguments));
    QCOMPARE(launcher.isFullScreen(), fullScreen);
    QVERIFY(launcher.view());
    QCOMPARE(launcher.view()->status(), QQuickView::Ready);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.view()));
    QTRY_VERIFY(!launcher.windowRect().isEmpty());
    QCOMPARE(launcher.windowRect(), launcher.view()->geometry());
    // The whole screen, or all of it that the desktop leaves to windows.
    QTRY_COMPARE(launcher.windowRect(), fullScreen ? launcher.view()->screen()->geometry()
                                                   : launcher.view()->screen()->availableGeometry());
    QVERIFY(QFileInfo::exists(launcher.configPath()));
    // Either a tray icon or the line that says there is none.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        QVERIFY(log.contains(QStringLiteral("No system tray")));
    QCOMPARE(log.texts(kvr::log::WRN), QStringList());
    // A fresh start finds every default file it needs.
    QCOMPARE(log.texts(kvr::log::ERR), QStringList());
}

void tst_Launcher::changePage_data()
{
    QTest::addColumn<QList<int>>("requests");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("changes");

    QTest::newRow("starts on the demo page") << QList<int>{} << int(Launcher::DemoPage) << 0;
    QTest::newRow("to log-in") << QList<int>{Launcher::LoginPage} << int(Launcher::LoginPage) << 1;
    QTest::newRow("to observer and back")
        << QList<int>{Launcher::ObserverPage, Launcher::DemoPage} << int(Launcher::DemoPage) << 2;
    QTest::newRow("same page twice signals once")
        << QList<int>{Launcher::NetworkDevicesPage, Launcher::NetworkDevicesPage} << int(Launcher::NetworkDevicesPage) << 1;
    QTest::newRow("unknown page is ignored") << QList<int>{Launcher::FavoriteDevicesPage, 7, -1}
                                             << int(Launcher::FavoriteDevicesPage) << 1;
}

void tst_Launcher::changePage()
{
    QFETCH(QList<int>, requests);
    QFETCH(int, page);
    QFETCH(int, changes);

    Launcher launcher;
    QSignalSpy spy(&launcher, &Launcher::currentPageChanged);
    QVERIFY(spy.isValid());
    for (int request : requests)
        launcher.requestChangePage(Launcher::Page(request));
    QCOMPARE(int(launcher.currentPage()), page);
    QCOMPARE(spy.count(), changes);
}

void tst_Launcher::startOrva_data()
{
    QTest::addColumn<bool>("favoriteDevices");
    QTest::addColumn<int>("page");

    QTest::newRow("log-in") << false << int(Launcher::LoginPage);
    QTest::newRow("favourite devices") << true << int(Launcher::FavoriteDevicesPage);
}

void tst_Launcher::startOrva()
{
    QFETCH(bool, favoriteDevices);
    QFETCH(int, page);

    LauncherConfig::instance()->setClientMode(LauncherConfig::Demo);
    Launcher launcher;
    launcher.startORVA(favoriteDevices);
    QCOMPARE(int(launcher.currentPage()), page);
    QCOMPARE(LauncherConfig::instance()->clientMode(), LauncherConfig::Normal);
}

void tst_Launcher::pageChangeDropsResources()
{
    Launcher launcher;
    QSignalSpy spy(&launcher, &Launcher::pageChangeResourcesChanged);
    const QVariantMap resources{{"settings_changed", true}, {"settings_valid", false}};
    launcher.setPageChangeResources(resources);
    launcher.setPageChangeResources(resources);
    QCOMPARE(launcher.pageChangeResources(), resources);
    QCOMPARE(spy.count(), 1);

    launcher.requestChangePage(Launcher::ObserverPage);
    QVERIFY(launcher.pageChangeResources().isEmpty());
    QCOMPARE(spy.count(), 2);
}

void tst_Launcher::keySignals_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("escape");
    QTest::addColumn<int>("pageUp");
    QTest::addColumn<int>("pageDown");

    QTest::newRow("escape") << int(Qt::Key_Escape) << 1 << 0 << 0;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << 0 << 1 << 0;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 0 << 1;
    QTest::newRow("other key") << int(Qt::Key_A) << 0 << 0 << 0;
}

void tst_Launcher::keySignals()
{
    QFETCH(int, key);
    QFETCH(int, escape);
    QFETCH(int, pageUp);
    QFETCH(int, pageDown);

    Launcher launcher;
    QVERIFY(launcher.init({QStringLiteral("orva-launcher")}));
    QVERIFY(QTest::qWaitForWindowExposed(launcher.view()));
    QSignalSpy escapeSpy(&launcher, &Launcher::escapeKeyPressed);
    QSignalSpy upSpy(&launcher, &Launcher::pageUpKeyPressed);
    QSignalSpy downSpy(&launcher, &Launcher::pageDownKeyPressed);

    QTest::keyClick(launcher.view(), Qt::Key(key));
    QCOMPARE(escapeSpy.count(), escape);
    QCOMPARE(upSpy.count(), pageUp);
    QCOMPARE(downSpy.count(), pageDown);
}

void tst_Launcher::closedHandCursor()
{
    {
        Launcher launcher;
        launcher.setClosedHandCursor();
        launcher.setClosedHandCursor();
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
        // One reset is enough however often the cursor was set.
        launcher.resetCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
        launcher.resetCursor();
        launcher.setClosedHandCursor();
    }
    // Destroying the launcher gives the cursor back too.
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_Launcher::qmlKeepsValuesOnClient()
{
    registerQmlTypes();
    Launcher launcher;
    QQmlEngine engine;
    launcher.publishContextProperties(engine.rootContext());
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQuick 2.15
        import QtPositioning 5.15
        import Client 1.0
        QtObject {
            property int demo: Client.DemoPage
            property int loggedIn: Client.LoggedIn
            property int password: Client.EnteringPassword
            Component.onCompleted: {
                client.loginSourcePage = Client.ObserverPage
                client.mapViewCoordinate = QtPositioning.coordinate(48.2, 16.37)
                client.mapViewZoomLevel = 14.5
                client.autoSelectFlag = true
                client.autoSelectId = 12
                client.requestChangePage(Client.ObserverPage)
            }
        })",
                      QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("client.qml"))));
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));

    QCOMPARE(object->property("demo").toInt(), int(Launcher::DemoPage));
    QCOMPARE(object->property("loggedIn").toInt(), int(Launcher::LoggedIn));
    QCOMPARE(object->property("password").toInt(), int(Launcher::EnteringPassword));
    QCOMPARE(launcher.loginSourcePage(), Launcher::ObserverPage);
    QCOMPARE(launcher.mapViewCoordinate(), QGeoCoordinate(48.2, 16.37));
    QCOMPARE(launcher.mapViewZoomLevel(), 14.5);
    QVERIFY(launcher.autoSelectFlag());
    QCOMPARE(launcher.autoSelectId(), 12);
    QCOMPARE(launcher.currentPage(), Launcher::ObserverPage);
}

// A settings file that cannot be read still lets the window come up, but is not reported as
// loaded.
void tst_Launcher::unreadableSettingsFileSaysSo()
{
    const QString path = QDir(Launcher::configDirectory()).filePath(QStringLiteral("config.ini"));
    QVERIFY(QDir().mkpath(path)); // a directory where the file belongs

    LogCapture log(kvr::log::ERR | kvr::log::WRN | kvr::log::INF);
    Launcher launcher;
    QVERIFY(launcher.init({QStringLiteral("orva-launcher")}));
    QVERIFY(QTest::qWaitForWindowExposed(launcher.view()));
    QCOMPARE(log.texts(kvr::log::WRN),
             QStringList({QStringLiteral("[SETTINGS] Settings file %1 cannot be read; the defaults are used and "
                                         "changes are not kept.").arg(path)}));
    QVERIFY(!log.contains(QStringLiteral("Successful load of the settings.")));
}

// The map settings load with the rest of "config.ini", reach QML under the names the map views
// use, and go back to the file when the key settings page saves.
void tst_Launcher::mapSettingsThroughQml()
{
    const QString path = QDir(Launcher::configDirectory()).filePath(QStringLiteral("config.ini"));
    {
        QSettings file(path, QSettings::IniFormat);
        file.setValue(QStringLiteral("MapsSettings/mapType"), QStringLiteral("google_maps"));
        file.setValue(QStringLiteral("MapsSettings/googleApiKey"), QStringLiteral("older-key"));
        file.setValue(QStringLiteral("LoginSettings/last_username"), QStringLiteral("operator"));
    }
    LogCapture log(kvr::log::INF);
    Launcher launcher;
    QVERIFY(launcher.init({QStringLiteral("orva-launcher")}));
    QVERIFY(log.contains(QStringLiteral("[INFO] Successful load of the host map settings.")));

    QQmlEngine engine;
    launcher.publishContextProperties(engine.rootContext());
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQuick 2.15
        import Client 1.0
        import AnalyticsProxy 1.0
        QtObject {
            property bool google
            property string key
            property SourceSettingsManager sections: SourceSettingsManager {}
            property GeoTableModel table: GeoTableModel {}
            property MapGroupManager groups: MapGroupManager { sourceModel: table }
            property bool helpFound
            property int firstSection
            Component.onCompleted: {
                google = mapsManager.mapType === MapsManager.GoogleMaps
                key = mapsManager.preferredMapApiKey
                sections.addSourceSettings(ClientGlobal.HelpSection, "Help", true)
                helpFound = sections.sectionNameFilter(ClientGlobal.HelpSection, "he")
                sections.filteredString = "help"
                firstSection = sections.firstFilteredSection
                hostMapsManager.hostOpenStreetMapApiKeyTileLayer = "atlas"
                mapsManager.mapType = MapsManager.OpenStreetMap
                client.saveMapsSettings()
            }
        })",
                      QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("maps.qml"))));
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));

    QVERIFY(object->property("google").toBool());
    QCOMPARE(object->property("key").toString(), QStringLiteral("older-key"));
    QVERIFY(object->property("helpFound").toBool());
    QCOMPARE(object->property("firstSection").toInt(), 5);
    QSettings file(path, QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("MapsSettings/hostOpenStreetMapApiKeyTileLayer")).toString(), QStringLiteral("atlas"));
    QCOMPARE(file.value(QStringLiteral("MapsSettings/mapType")).toString(), QStringLiteral("open_street_map"));
    QCOMPARE(file.value(QStringLiteral("MapsSettings/hostGoogleApiKey")).toString(), QStringLiteral("older-key"));
    QVERIFY(!file.contains(QStringLiteral("MapsSettings/googleApiKey")));
    QCOMPARE(file.value(QStringLiteral("LoginSettings/last_username")).toString(), QStringLiteral("operator"));
}

void tst_Launcher::smallWindowKeepsPageInItsArea_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("topItem");
    QTest::addColumn<QString>("bottomItem");
    QTest::addColumn<QString>("below");

    QTest::newRow("start page") << int(Launcher::DemoPage) << "welcomeTitle" << "observerTile" << "languageDropDown";
    QTest::newRow("log-in page") << int(Launcher::LoginPage) << "loginIcon" << "loginButton" << QString();
}

// At a large scale the window is small for its pages: nothing may be drawn over the header
// or the page's footer, and what does not fit must be scrolled to.
void tst_Launcher::smallWindowKeepsPageInItsArea()
{
    QFETCH(int, page);
    QFETCH(QString, topItem);
    QFETCH(QString, bottomItem);
    QFETCH(QString, below);

    Launcher launcher;
    QVERIFY(launcher.init({QStringLiteral("orva-launcher")}));
    QVERIFY(QTest::qWaitForWindowExposed(launcher.view()));
    launcher.requestChangePage(static_cast<Launcher::Page>(page));
    launcher.view()->resize(launcher.view()->minimumSize());
    QTRY_COMPARE(launcher.view()->size(), launcher.view()->minimumSize());

    QQuickItem *root = launcher.view()->rootObject();
    auto find = [root](const QString &name) { return root->findChild<QQuickItem *>(name); };
    QQuickItem *loader = find(QStringLiteral("pageLoader"));
    QQuickItem *top = find(topItem);
    QQuickItem *bottom = find(bottomItem);
    QVERIFY(loader && top && bottom);
    // A frame after the resize: the layouts of the smaller page have run.
    auto frames = std::make_shared<int>(0);
    connect(launcher.view(), &QQuickWindow::frameSwapped, this, [frames]() { ++*frames; }, Qt::QueuedConnection);
    launcher.view()->update();
    QTRY_VERIFY(*frames > 0);
    const qreal pageTop = loader->mapToScene(QPointF(0, 0)).y();
    QVERIFY2(top->mapToScene(QPointF(0, 0)).y() >= pageTop,
             qPrintable(QStringLiteral("%1 starts at %2, the page at %3").arg(topItem).arg(top->mapToScene(QPointF(0, 0)).y()).arg(pageTop)));

    // Scrolled to the end, the last control shows above whatever closes the page.
    for (QQuickItem *item = bottom->parentItem(); item; item = item->parentItem()) {
        if (item->inherits("QQuickFlickable")) {
            item->setProperty("contentY", item->property("contentHeight").toReal() - item->height());
            break;
        }
    }
    const qreal limit = below.isEmpty() ? loader->mapToScene(QPointF(0, loader->height())).y()
                                        : find(below)->mapToScene(QPointF(0, 0)).y();
    const qreal bottomEdge = bottom->mapToScene(QPointF(0, bottom->height())).y();
    QVERIFY2(bottomEdge <= limit, qPrintable(QStringLiteral("%1 ends at %2, below %3").arg(bottomItem).arg(bottomEdge).arg(limit)));
}

QTEST_MAIN(tst_Launcher)
#include "tst_Launcher.moc"
