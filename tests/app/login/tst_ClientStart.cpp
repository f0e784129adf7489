#include "app/Launcher.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "support/SimulatedBlock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickView>
#include <QSettings>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kUser = R"({"username":"op","access_tokens":["token-1"],"session_identifier":"session-42"})";

int countRequests(const SimulatedBlock &block, const QByteArray &path)
{
    int count = 0;
    for (const SimulatedBlock::Request &request : block.requests())
        count += request.path.endsWith(path) ? 1 : 0;
    return count;
}

} // namespace

// Starting the client application: the block's session ends first (new blocks only), the
// command line carries the log-in, the window hides while the client runs and the launcher
// logs out locally when it ends. The client is a script that records its arguments.
class tst_ClientStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void clientRunsWithLogin_data();
    void clientRunsWithLogin();
    void observerHandOverStartsClient();
    void unansweredLogoutStillStartsClient();
    void refusedWithoutClientOrLogin_data();
    void refusedWithoutClientOrLogin();

private:
    // Writes the fake client into a version directory and names it in "VersionSettings".
    QString installFakeClient(const QString &configPath);
    void logIn(Launcher &launcher, SimulatedBlock &block, const QByteArray &apiVersion);

    std::unique_ptr<QTemporaryDir> m_home;
};

void tst_ClientStart::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("KVR"));
    QCoreApplication::setApplicationName(QStringLiteral("ORVA Launcher Client Test"));
}

void tst_ClientStart::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->filePath(QStringLiteral("config"))));
}

void tst_ClientStart::cleanup()
{
    m_home.reset();
}

QString tst_ClientStart::installFakeClient(const QString &configPath)
{
    const QString directory = m_home->filePath(QStringLiteral("versions/1.19.11/bin"));
    QDir().mkpath(directory);
    const QString program = directory + QStringLiteral("/vellorin");
    QFile script(program);
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write("#!/bin/sh\n"
                 "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/arguments.txt\"\n"
                 "sleep 0.3\n"
                 "exit 3\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner | QFile::ExeUser);

    QSettings settings(configPath, QSettings::IniFormat);
    settings.setValue(QStringLiteral("VersionSettings/selected_version_path"), m_home->filePath(QStringLiteral("versions/1.19.11")));
    settings.setValue(QStringLiteral("LoginSettings/auto_logout_period"), 15);
    settings.sync();
    return program;
}

void tst_ClientStart::logIn(Launcher &launcher, SimulatedBlock &block, const QByteArray &apiVersion)
{
    block.setReply("/block_info", 200, "application/json",
                   R"({"block_version":"1.19.11","api_version":")" + apiVersion + R"(","block_host_device_type":"camera"})");
    block.setReply("/users/auth", 200, "application/json", kUser);
    launcher.setLoginPorts({block.port()});
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("op"), QStringLiteral("p@ss:word"));
    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, 10000);
}

void tst_ClientStart::clientRunsWithLogin_data()
{
    QTest::addColumn<QByteArray>("apiVersion");
    QTest::addColumn<bool>("autoSelectFlag");
    QTest::addColumn<int>("autoSelectId");
    QTest::addColumn<bool>("logoutFirst");
    QTest::addColumn<QStringList>("selection");

    QTest::newRow("1.19, no selection") << QByteArray("1.19.0") << false << -1 << true << QStringList();
    QTest::newRow("1.19, analytic 12") << QByteArray("1.19.0") << false << 12 << true
                                       << QStringList({"--selected-analytic", "12"});
    QTest::newRow("1.17, dashboard 4") << QByteArray("1.17.0") << true << 4 << true
                                       << QStringList({"--selected-dashboard", "4"});
    QTest::newRow("1.16, no log-out") << QByteArray("1.16.9") << false << -1 << false << QStringList();
}

void tst_ClientStart::clientRunsWithLogin()
{
    QFETCH(QByteArray, apiVersion);
    QFETCH(bool, autoSelectFlag);
    QFETCH(int, autoSelectId);
    QFETCH(bool, logoutFirst);
    QFETCH(QStringList, selection);

    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    Launcher launcher;
    QVERIFY(launcher.init({QStringLiteral("orva-launcher")}));
    const QString program = installFakeClient(launcher.configPath());
    QVERIFY(!program.isEmpty());
    QCOMPARE(launcher.clientExecutable(), program);
    logIn(launcher, block, apiVersion);
    launcher.setAutoSelectFlag(autoSelectFlag);
    launcher.setAutoSelectId(autoSelectId);

    // What the launcher and the block look like at the moment the client starts.
    int logoutsAtStart = -1;
    bool visibleAtStart = true;
    QWindow::Visibility visibilityAtStart = QWindow::AutomaticVisibility;
    connect(&launcher, &Launcher::clientStarted, this, [&]() {
        logoutsAtStart = countRequests(block, "/users/logout");
        visibleAtStart = launcher.view()->isVisible() && launcher.view()->visibility() != QWindow::Minimized;
        visibilityAtStart = launcher.view()->visibility();
    });
    QSignalSpy finished(&launcher, &Launcher::clientFinished);
    QVERIFY(launcher.view()->isVisible());

    QVERIFY(launcher.startClient());
    QVERIFY(launcher.clientMessage().isEmpty());
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toInt(), 3);

    QCOMPARE(logoutsAtStart, logoutFirst ? 1 : 0);
    QVERIFY(!visibleAtStart);
    // Behind the tray icon, or minimised where the desktop has none: never out of reach.
    QCOMPARE(visibilityAtStart, QSystemTrayIcon::isSystemTrayAvailable() ? QWindow::Hidden : QWindow::Minimized);
    if (logoutFirst) {
        QCOMPARE(QJsonDocument::fromJson(block.lastRequest().body).object(),
                 QJsonObject({{"session_identifier", "session-42"}}));
    }
    QCOMPARE(countRequests(block, "/users/logout"), logoutFirst ? 1 : 0);

    QFile recorded(QFileInfo(program).absolutePath() + QStringLiteral("/arguments.txt"));
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    const QStringList arguments = QString::fromUtf8(recorded.readAll()).split('\n', Qt::SkipEmptyParts);
    const QStringList expected = QStringList({"--launcher", "--login",
                                              QStringLiteral("op:p@ss:word@127.0.0.1:%1").arg(block.port()),
                                              "--logout", "15", "--language", "en-US", "--screen", "0"})
                                 + selection;
    QCOMPARE(arguments, expected);

    // Back: the window shows again and the user is logged out, without a word to the block.
    QVERIFY(launcher.view()->isVisible());
    QVERIFY(launcher.view()->visibility() != QWindow::Minimized);
    QVERIFY(!launcher.clientRunning());
    QCOMPARE(launcher.loginStatus(), Launcher::NotLoggedIn);
    QVERIFY(launcher.sessionIdentifier().isEmpty());
    QCOMPARE(launcher.autoSelectId(), -1);
}

void tst_ClientStart::observerHandOverStartsClient()
{
    SimulatedBlock block(SimulatedBlock::Scheme::Https);
    QVERIFY(block.listen());
    block.setReply("/block_info", 200, "application/json", R"({"block_version":"1.19.11","api_version":"1.19.0"})");
    block.setReply("/users/auth", 200, "application/json", kUser);
    Launcher launcher;
    launcher.setLoginPorts({block.port()});
    QVERIFY(launcher.init({QStringLiteral("orva-launcher")}));
    const QString program = installFakeClient(launcher.configPath());
    FavoriteDeviceModel *favorites = launcher.favoriteDeviceModel();
    FavoriteDevice device = favorites->createDevice(QStringLiteral("127.0.0.1"), QStringLiteral("op"), QStringLiteral("pw"));
    device.setRemember(true);
    favorites->addDevice(device);
    const int row = favorites->rowCount() - 1;

    // What the observer's cube view leaves on the launcher before the hand-over.
    launcher.requestChangePage(Launcher::ObserverPage);
    launcher.setLoginSourcePage(Launcher::ObserverPage);
    favorites->setLoginIndex(favorites->index(row, 0));
    launcher.setAutoSelectFlag(true);
    launcher.setAutoSelectId(7);
    QSignalSpy finished(&launcher, &Launcher::clientFinished);
    launcher.startORVA();

    QVERIFY(finished.wait(15000));
    QFile recorded(QFileInfo(program).absolutePath() + QStringLiteral("/arguments.txt"));
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    const QStringList arguments = QString::fromUtf8(recorded.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(arguments.mid(1, 2), QStringList({"--login", QStringLiteral("op:pw@127.0.0.1:%1").arg(block.port())}));
    QCOMPARE(arguments.mid(arguments.size() - 2), QStringList({"--selected-dashboard", "7"}));
    QCOMPARE(countRequests(block, "/users/logout"), 1);
    // Back where the hand-over came from.
    QCOMPARE(launcher.currentPage(), Launcher::ObserverPage);
    QVERIFY(launcher.view()->isVisible());
}

void tst_ClientStart::unansweredLogoutStillStartsClient()
{
    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    Launcher launcher;
    QVERIFY(launcher.init({QStringLiteral("orva-launcher")}));
    const QString program = installFakeClient(launcher.configPath());
    logIn(launcher, block, "1.19.0");
    // The block takes the log-out and never answers it.
    block.setReply("/users/logout", {200, "application/json", "{}", SimulatedBlock::Action::Hold, {}, true});

    QSignalSpy started(&launcher, &Launcher::clientStarted);
    QSignalSpy finished(&launcher, &Launcher::clientFinished);
    QVERIFY(launcher.startClient());
    QTRY_COMPARE_WITH_TIMEOUT(countRequests(block, "/users/logout"), 1, 5000);
    QCOMPARE(started.count(), 0);
    QVERIFY(finished.wait(15000));
    QCOMPARE(started.count(), 1);
    QVERIFY(QFile::exists(QFileInfo(program).absolutePath() + QStringLiteral("/arguments.txt")));
    QVERIFY(launcher.view()->isVisible());
    QCOMPARE(launcher.loginStatus(), Launcher::NotLoggedIn);
    // A second start is not refused as "already running".
    QVERIFY(!launcher.clientRunning());
}

void tst_ClientStart::refusedWithoutClientOrLogin_data()
{
    QTest::addColumn<bool>("installClient");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("message");

    QTest::newRow("no version installed")
        << false << true << QStringLiteral("No Vellorin client version is installed. Download a version before you start the client.");
    QTest::newRow("not logged in") << true << false << QStringLiteral("Log in to a Block first.");
}

void tst_ClientStart::refusedWithoutClientOrLogin()
{
    QFETCH(bool, installClient);
    QFETCH(bool, loggedIn);
    QFETCH(QString, message);

    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    Launcher launcher;
    launcher.prepareSettingsFile();
    if (installClient)
        QVERIFY(!installFakeClient(launcher.configPath()).isEmpty());
    else
        QVERIFY(launcher.clientExecutable().isEmpty());
    if (loggedIn)
        logIn(launcher, block, "1.19.0");

    QSignalSpy started(&launcher, &Launcher::clientStarted);
    QVERIFY(!launcher.startClient());
    QCOMPARE(launcher.clientMessage(), message);
    QCOMPARE(started.count(), 0);
    QCOMPARE(countRequests(block, "/users/logout"), 0);
    QCOMPARE(launcher.loginStatus(), loggedIn ? Launcher::LoggedIn : Launcher::NotLoggedIn);
}

QTEST_MAIN(tst_ClientStart)
#include "tst_ClientStart.moc"
