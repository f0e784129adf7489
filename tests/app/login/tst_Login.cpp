#include "app/Launcher.h"
#include "app/login/BlockLogin.h"
#include "core/log/MessageHandler.h"
#include "devices/models/FavoriteDeviceModel.h"
#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/RestService.h"
#include "devices/rest/User.h"
#include "support/LogCapture.h"
#include "support/SimulatedBlock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kBlockInfo =
    R"({"block_version":"1.19.11","api_version":"1.19.0","block_host_device_type":"enterprise"})";
const QByteArray kUser =
    R"({"username":"admin","role":"admin","access_tokens":["token-1","token-2"],"session_identifier":"session-7"})";
// The whole log-in of a run reaches LoggedIn within a few ticks.
const int kLoginTimeout = 10000;

void answerLikeABlock(SimulatedBlock &block)
{
    block.setReply("/block_ssl_info", 200, "application/json", "{}");
    block.setReply("/block_info", 200, "application/json", kBlockInfo);
    block.setReply("/users/auth", 200, "application/json", kUser);
}

int countRequests(const SimulatedBlock &block, const QByteArray &path)
{
    int count = 0;
    for (const SimulatedBlock::Request &request : block.requests()) {
        if (request.path.endsWith(path))
            ++count;
    }
    return count;
}

// Short beats, so that a retry shows within a few ticks and an absence is proven by ticks that
// do not come, not by a fixed sleep.
BlockLogin::Timings fastTimings()
{
    BlockLogin::Timings timings;
    timings.tick = 50;
    timings.request = 300;
    return timings;
}

// True when the log-in's tick stays silent for `ticks` beats: nothing asks the block again.
bool noTickFor(Launcher &launcher, int ticks)
{
    QSignalSpy beats(launcher.login(), &BlockLogin::ticked);
    return !beats.wait(ticks * launcher.login()->timings().tick);
}

// A port on 127.0.0.1 on which nobody listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// A TLS port as nginx keeps one: TLS passes through to the simulated block, a plain HTTP
// request gets an HTML error page with status 400, `pageDelayMs` after it came.
class ErrorPageForPlainHttp
{
public:
    explicit ErrorPageForPlainHttp(const SimulatedBlock &block, int pageDelayMs = 0)
        : m_blockPort(block.port())
        , m_pageDelayMs(pageDelayMs)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this]() {
            while (QTcpSocket *client = m_server.nextPendingConnection())
                accept(client);
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    quint16 port() const { return m_server.serverPort(); }
    int plainRequests() const { return m_plainRequests; }

private:
    void accept(QTcpSocket *client)
    {
        QObject::connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        QObject::connect(client, &QTcpSocket::readyRead, client, [this, client]() {
            if (client->property("decided").toBool())
                return;
            char first = 0;
            if (client->peek(&first, 1) != 1)
                return;
            client->setProperty("decided", true);
            if (first == 0x16) // a TLS handshake record
                passThrough(client);
            else
                answerWithErrorPage(client);
        });
    }

    void passThrough(QTcpSocket *client)
    {
        auto *block = new QTcpSocket(client);
        auto forward = [client, block]() {
            if (block->state() == QAbstractSocket::ConnectedState)
                block->write(client->readAll());
        };
        QObject::connect(block, &QTcpSocket::connected, client, forward);
        QObject::connect(client, &QTcpSocket::readyRead, block, forward);
        QObject::connect(block, &QTcpSocket::readyRead, client, [client, block]() { client->write(block->readAll()); });
        QObject::connect(block, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        QObject::connect(client, &QTcpSocket::disconnected, block, &QTcpSocket::disconnectFromHost);
        block->connectToHost(QHostAddress::LocalHost, m_blockPort);
    }

    void answerWithErrorPage(QTcpSocket *client)
    {
        QTimer::singleShot(m_pageDelayMs, client, [this, client]() {
            ++m_plainRequests;
            const QByteArray page = "<html><body>400 The plain HTTP request was sent to HTTPS port</body></html>";
            client->write("HTTP/1.1 400 Bad Request\r\nContent-Type: text/html\r\nContent-Length: "
                          + QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page);
            client->disconnectFromHost();
        });
    }

    QTcpServer m_server;
    quint16 m_blockPort;
    int m_pageDelayMs;
    int m_plainRequests = 0;
};

// Qt's messages go to the logger, as main has them, while it lives.
class QtMessagesToLog
{
public:
    QtMessagesToLog() : m_previous(qInstallMessageHandler(customMessageHandler)) {}
    ~QtMessagesToLog() { qInstallMessageHandler(m_previous); }
    QtMessagesToLog(const QtMessagesToLog &) = delete;
    QtMessagesToLog &operator=(const QtMessagesToLog &) = delete;

private:
    QtMessageHandler m_previous;
};

} // namespace

Q_DECLARE_METATYPE(SimulatedBlock::Scheme)
Q_DECLARE_METATYPE(Launcher::LoginStatus)

// The launcher's log-in against a simulated block: port test, scheme, block information,
// credentials, refusals, the retrying tick and "--login".
class tst_Login : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loginReachesLoggedIn_data();
    void loginReachesLoggedIn();
    void refusal_data();
    void refusal();
    void badInputRefused_data();
    void badInputRefused();
    void noPortAnswers_data();
    void noPortAnswers();
    void silentBlockReportedAsNotAnswering_data();
    void silentBlockReportedAsNotAnswering();
    void deviceThatSendsTooMuchIsNamed_data();
    void deviceThatSendsTooMuchIsNamed();
    void deviceSilentAfterSendingTooMuchIsNotAnswering();
    void schemeCutOffForItsSizeIsNotUnreachable();
    void lateBlockRetriedByTick_data();
    void lateBlockRetriedByTick();
    void badBlockInfo_data();
    void badBlockInfo();
    void blockKindLandsInFavoritesFile();
    void parseLoginArgument_data();
    void parseLoginArgument();
    void loginArgumentLogsInWithoutClick();
    void liveFavoriteListFollowsTheFile();
    void logoutTellsBlockOnlyWhenForced_data();
    void logoutTellsBlockOnlyWhenForced();

private:
    std::unique_ptr<QTemporaryDir> m_configHome;
};

void tst_Login::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("KVR"));
    QCoreApplication::setApplicationName(QStringLiteral("ORVA Launcher Login Test"));
}

void tst_Login::init()
{
    m_configHome = std::make_unique<QTemporaryDir>();
    QVERIFY(m_configHome->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome->path()));
}

void tst_Login::cleanup()
{
    m_configHome.reset();
}

void tst_Login::loginReachesLoggedIn_data()
{
    QTest::addColumn<SimulatedBlock::Scheme>("scheme");
    QTest::addColumn<bool>("portInAddress");
    QTest::addColumn<bool>("errorPageForPlainHttp"); // the port answers plain HTTP as nginx does

    QTest::newRow("http, probed port") << SimulatedBlock::Scheme::Http << false << false;
    QTest::newRow("https, probed port") << SimulatedBlock::Scheme::Https << false << false;
    QTest::newRow("http, host:port") << SimulatedBlock::Scheme::Http << true << false;
    QTest::newRow("https, host:port") << SimulatedBlock::Scheme::Https << true << false;
    QTest::newRow("https, host:port, plain HTTP gets an error page") << SimulatedBlock::Scheme::Https << true << true;
}

void tst_Login::loginReachesLoggedIn()
{
    QFETCH(SimulatedBlock::Scheme, scheme);
    QFETCH(bool, portInAddress);
    QFETCH(bool, errorPageForPlainHttp);

    SimulatedBlock block(scheme);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    ErrorPageForPlainHttp front(block);
    QVERIFY(front.listen());
    const quint16 port = errorPageForPlainHttp ? front.port() : block.port();

    LogCapture log(kvr::log::ERR | kvr::log::WRN);
    QtMessagesToLog messages;
    Launcher launcher;
    launcher.prepareSettingsFile();
    launcher.prepareFavorites();
    // A closed port first: the test takes whichever answers.
    launcher.setLoginPorts({closedPort(), port});
    QSignalSpy success(&launcher, &Launcher::userLoginSuccess);

    const QString address = portInAddress ? QStringLiteral("127.0.0.1:%1").arg(port) : QStringLiteral("127.0.0.1");
    launcher.connectToBlock(QStringLiteral("  ") + address + QStringLiteral(" "), QStringLiteral(" admin "),
                            QStringLiteral("se:cret"));
    QCOMPARE(launcher.loginStatus(), Launcher::WaitingForResponse);
    QVERIFY(launcher.loginInProgress());

    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);
    QCOMPARE(success.count(), 1);
    QVERIFY(!launcher.loginInProgress());
    QVERIFY(launcher.loginErrorMessage().isEmpty());
    QCOMPARE(launcher.sessionIdentifier(), QStringLiteral("session-7"));
    QVERIFY(launcher.loggedUser());
    QCOMPARE(launcher.loggedUser()->accessTokens(), QStringList({"token-1", "token-2"}));
    QCOMPARE(launcher.blockConnection()->accessToken(), QStringLiteral("token-1"));
    QCOMPARE(launcher.blockConnection()->useHttps(), scheme == SimulatedBlock::Scheme::Https);
    QCOMPARE(launcher.blockConnection()->apiVersion(), QStringLiteral("1.19.0"));
    QCOMPARE(launcher.currentVersionNumber(), QStringLiteral("1.19.11"));
    QCOMPARE(launcher.loginServerAddress(), address);
    QCOMPARE(launcher.loginUsername(), QStringLiteral("admin"));

    // The credentials went to "/users/auth" as a JSON body, after the block information.
    const QVector<SimulatedBlock::Request> requests = block.requests();
    int authIndex = -1, infoIndex = -1;
    for (int i = 0; i < requests.size(); ++i) {
        if (requests[i].path.endsWith("/users/auth"))
            authIndex = i;
        if (requests[i].path.endsWith("/block_info") && infoIndex < 0)
            infoIndex = i;
    }
    QVERIFY(infoIndex >= 0);
    QVERIFY(authIndex > infoIndex);
    QCOMPARE(requests[authIndex].method, QByteArray("POST"));
    const QJsonObject body = QJsonDocument::fromJson(requests[authIndex].body).object();
    QCOMPARE(body.value("username").toString(), QStringLiteral("admin"));
    QCOMPARE(body.value("password").toString(), QStringLiteral("se:cret"));
    QCOMPARE(requests[authIndex].path.startsWith("/api/"), scheme == SimulatedBlock::Scheme::Https);

    // The scheme probe that lost goes quietly: a good log-in logs no warning and no error. Once
    // the probes' REST clients are gone nothing of theirs can log any more.
    if (errorPageForPlainHttp)
        QTRY_VERIFY(front.plainRequests() >= 1);
    QTRY_COMPARE(launcher.login()->findChildren<BlockConnectionManager *>().size(), 1);
    QCOMPARE(log.texts(kvr::log::WRN), QStringList());
    QCOMPARE(log.texts(kvr::log::ERR), QStringList());
}

void tst_Login::refusal_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Launcher::LoginStatus>("expectedStatus");
    QTest::addColumn<QString>("expectedMessage");
    QTest::addColumn<QByteArray>("expectedSignal");
    QTest::addColumn<bool>("afterLogIn"); // another block's log-in succeeded first

    QTest::newRow("401 auth_error") << 401 << QByteArray(R"({"error":{"code":401,"reason":"auth_error","message":"bad"}})")
                                    << Launcher::IncorrectPasswordOrUsername
                                    << QStringLiteral("Incorrect user name or password.")
                                    << QByteArray(SIGNAL(userLoginValidationFailed())) << false;
    QTest::newRow("401 after a log-in to another block")
        << 401 << QByteArray(R"({"error":{"code":401,"reason":"auth_error","message":"bad"}})")
        << Launcher::IncorrectPasswordOrUsername << QStringLiteral("Incorrect user name or password.")
        << QByteArray(SIGNAL(userLoginValidationFailed())) << true;
    QTest::newRow("403 forbidden") << 403 << QByteArray(R"({"error":{"code":403,"reason":"forbidden","message":"no"}})")
                                   << Launcher::NotLoggedIn
                                   << QStringLiteral("The user admin is not allowed to log in to this Block.")
                                   << QByteArray(SIGNAL(userLoginForbidden())) << false;
    QTest::newRow("410 expired_account")
        << 410 << QByteArray(R"({"error":{"code":410,"reason":"expired_account","message":"old"}})")
        << Launcher::ExpiredAccount << QStringLiteral("The account admin has expired.")
        << QByteArray(SIGNAL(userLoginExpiredAccount())) << false;
    QTest::newRow("200 without access tokens")
        << 200 << QByteArray(R"({"username":"admin","access_tokens":[]})") << Launcher::IncorrectPasswordOrUsername
        << QStringLiteral("The account admin has no access to this Block.")
        << QByteArray(SIGNAL(userLoginValidationFailed())) << false;
    QTest::newRow("401 with another reason")
        << 401 << QByteArray(R"({"error":{"code":401,"reason":"token_expired","message":"x"}})")
        << Launcher::IncorrectPasswordOrUsername << QStringLiteral("The log-in was refused (HTTP status 401).")
        << QByteArray(SIGNAL(userLoginValidationFailed())) << false;
    QTest::newRow("401 carrying access tokens")
        << 401 << QByteArray(R"({"error":{"code":401,"reason":"token_expired"},"access_tokens":["token-1"]})")
        << Launcher::IncorrectPasswordOrUsername << QStringLiteral("The log-in was refused (HTTP status 401).")
        << QByteArray(SIGNAL(userLoginValidationFailed())) << false;
    QTest::newRow("500 not JSON") << 500 << QByteArray() << Launcher::NotLoggedIn
                                  << QStringLiteral("The Block sent an answer that cannot be read (HTTP status 500).")
                                  << QByteArray() << false;
}

void tst_Login::refusal()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(Launcher::LoginStatus, expectedStatus);
    QFETCH(QString, expectedMessage);
    QFETCH(QByteArray, expectedSignal);
    QFETCH(bool, afterLogIn);

    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    block.setReply("/users/auth", status, body.isEmpty() ? QByteArray() : QByteArray("application/json"), body);

    Launcher launcher;
    launcher.login()->setTimings(fastTimings());
    launcher.setLoginPorts({block.port()});
    SimulatedBlock first(SimulatedBlock::Scheme::Http);
    if (afterLogIn) {
        QVERIFY(first.listen());
        answerLikeABlock(first);
        launcher.connectToBlock(QStringLiteral("127.0.0.1:%1").arg(first.port()), QStringLiteral("admin"),
                                QStringLiteral("pw"));
        QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);
    }
    std::unique_ptr<QSignalSpy> refused;
    if (!expectedSignal.isEmpty())
        refused = std::make_unique<QSignalSpy>(&launcher, expectedSignal.constData());
    QSignalSpy success(&launcher, &Launcher::userLoginSuccess);
    const bool builtUser = (expectedSignal == SIGNAL(userLoginValidationFailed()) && status != 401)
                           || expectedMessage.contains(QStringLiteral("refused"));
    if (builtUser)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Logged user has no access tokens! Can't login!"));
    if (body.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unhandled status for empty data!"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot convert data to JSON!"));
    }

    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("wrong"));
    QTRY_VERIFY_WITH_TIMEOUT(!launcher.loginInProgress(), kLoginTimeout);
    QCOMPARE(launcher.loginStatus(), expectedStatus);
    QCOMPARE(launcher.loginErrorMessage(), expectedMessage);
    if (refused)
        QCOMPARE(refused->count(), 1);
    QCOMPARE(success.count(), 0);
    QVERIFY(!launcher.loggedUser());
    QVERIFY(launcher.blockConnection()->accessToken().isEmpty());
    QVERIFY(launcher.sessionIdentifier().isEmpty());
    // The last block's token never reaches this one.
    for (const SimulatedBlock::Request &request : block.requests())
        QVERIFY2(!request.header("Authorization").contains("token-"), request.path.constData());

    // A refusal is final: the tick does not ask again. What the tick sent before the refusal
    // came is answered (and so counted by the block) first.
    QTRY_COMPARE(launcher.blockConnection()->openRequests(restservice::Operation::UserAuthorization), 0);
    const int asked = countRequests(block, "/users/auth");
    QVERIFY(noTickFor(launcher, 5));
    QCOMPARE(countRequests(block, "/users/auth"), asked);
}

void tst_Login::badInputRefused_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("user");
    QTest::addColumn<Launcher::LoginStatus>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("no address") << "  " << "admin" << Launcher::InvalidServerAddress << "Enter the address of the Block.";
    QTest::newRow("no user") << "127.0.0.1" << " " << Launcher::IncorrectPasswordOrUsername << "Enter a user name.";
    QTest::newRow("port not a number") << "127.0.0.1:abc" << "admin" << Launcher::InvalidServerAddress
                                       << "The address 127.0.0.1:abc is not valid: use host or host:port.";
    QTest::newRow("port too large") << "127.0.0.1:70000" << "admin" << Launcher::InvalidServerAddress
                                    << "The address 127.0.0.1:70000 is not valid: use host or host:port.";
    QTest::newRow("port without host") << ":8080" << "admin" << Launcher::InvalidServerAddress
                                       << "The address :8080 is not valid: use host or host:port.";
}

void tst_Login::badInputRefused()
{
    QFETCH(QString, address);
    QFETCH(QString, user);
    QFETCH(Launcher::LoginStatus, status);
    QFETCH(QString, message);

    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    Launcher launcher;
    launcher.login()->setTimings(fastTimings());
    launcher.setLoginPorts({block.port()});
    launcher.connectToBlock(address, user, QStringLiteral("pw"));
    QCOMPARE(launcher.loginStatus(), status);
    QCOMPARE(launcher.loginErrorMessage(), message);
    QVERIFY(!launcher.loginInProgress());
    QVERIFY(noTickFor(launcher, 5));
    QCOMPARE(block.requestCount(), 0);
}

void tst_Login::noPortAnswers_data()
{
    QTest::addColumn<bool>("portInAddress");

    QTest::newRow("probed port") << false;
    QTest::newRow("port in the address") << true;
}

void tst_Login::noPortAnswers()
{
    QFETCH(bool, portInAddress);

    const quint16 port = closedPort();
    Launcher launcher;
    launcher.setLoginPorts({port});
    QSignalSpy timeout(&launcher, &Launcher::userLoginValidationTimeout);

    const QString address = portInAddress ? QStringLiteral("127.0.0.1:%1").arg(port) : QStringLiteral("127.0.0.1");
    launcher.connectToBlock(address, QStringLiteral("admin"), QStringLiteral("pw"));
    if (portInAddress)
        QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::InvalidServerAddress, 5000);
    else
        QVERIFY(timeout.wait(5000));
    QCOMPARE(launcher.loginStatus(), Launcher::InvalidServerAddress);
    QVERIFY2(launcher.loginErrorMessage().contains(QStringLiteral("TCP port %1").arg(port)),
             qPrintable(launcher.loginErrorMessage()));
    // Still trying, until the operator cancels.
    QVERIFY(launcher.loginInProgress());
    launcher.cancelLogin();
    QVERIFY(!launcher.loginInProgress());
    QCOMPARE(launcher.loginStatus(), Launcher::NotLoggedIn);
    QVERIFY(launcher.loginErrorMessage().isEmpty());
}

void tst_Login::silentBlockReportedAsNotAnswering_data()
{
    QTest::addColumn<SimulatedBlock::Scheme>("scheme");
    QTest::addColumn<bool>("portInAddress");

    QTest::newRow("http, probed port") << SimulatedBlock::Scheme::Http << false;
    QTest::newRow("https, host:port") << SimulatedBlock::Scheme::Https << true;
}

// A block that takes the connection and never answers ends as one that is not there, within the
// port test's time-out and one request time-out; the tick goes on asking.
void tst_Login::silentBlockReportedAsNotAnswering()
{
    QFETCH(SimulatedBlock::Scheme, scheme);
    QFETCH(bool, portInAddress);

    SimulatedBlock block(scheme);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    for (const QByteArray &path : SimulatedBlock::blockPaths())
        block.setAction(path, SimulatedBlock::Action::Hold);

    Launcher launcher;
    launcher.setLoginPorts({block.port()});
    const BlockLogin::Timings product = launcher.login()->timings();
    QSignalSpy timeout(&launcher, &Launcher::userLoginValidationTimeout);
    const QString address = portInAddress ? QStringLiteral("127.0.0.1:%1").arg(block.port()) : QStringLiteral("127.0.0.1");
    launcher.connectToBlock(address, QStringLiteral("admin"), QStringLiteral("pw"));

    QVERIFY(timeout.wait(product.portTest + product.request));
    QVERIFY(countRequests(block, "/block_ssl_info") >= 1);
    QCOMPARE(launcher.loginStatus(), Launcher::InvalidServerAddress);
    QVERIFY2(launcher.loginErrorMessage().startsWith(QStringLiteral("No response from the"))
                 && launcher.loginErrorMessage().contains(QStringLiteral("TCP port %1").arg(block.port())),
             qPrintable(launcher.loginErrorMessage()));
    QVERIFY(launcher.loginInProgress());

    for (const QByteArray &path : SimulatedBlock::blockPaths())
        block.setAction(path, SimulatedBlock::Action::Answer);
    block.releaseHeld();
    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);
    QVERIFY(launcher.loginErrorMessage().isEmpty());
}

void tst_Login::deviceThatSendsTooMuchIsNamed_data()
{
    QTest::addColumn<SimulatedBlock::Scheme>("scheme");
    QTest::addColumn<QList<QByteArray>>("endlessPaths");

    QTest::newRow("a camera's video stream on every path, http")
        << SimulatedBlock::Scheme::Http << SimulatedBlock::blockPaths();
    QTest::newRow("block information without end, https")
        << SimulatedBlock::Scheme::Https << QList<QByteArray>{"/block_info"};
}

// A device that answers with more than a block ever sends is named as such on the page, not
// reported as silent; the tick goes on asking.
void tst_Login::deviceThatSendsTooMuchIsNamed()
{
    QFETCH(SimulatedBlock::Scheme, scheme);
    QFETCH(QList<QByteArray>, endlessPaths);

    SimulatedBlock block(scheme);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    for (const QByteArray &path : endlessPaths) {
        SimulatedBlock::Reply endless = block.reply(path);
        endless.body = QByteArray(256 * 1024, ' ');
        endless.action = SimulatedBlock::Action::Stream;
        block.setReply(path, endless);
    }

    Launcher launcher;
    launcher.login()->setTimings(fastTimings());
    launcher.setLoginPorts({block.port()});
    QStringList messages;
    connect(launcher.login(), &BlockLogin::errorMessageChanged, this,
            [&]() { messages << launcher.loginErrorMessage(); });
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));

    const QString named = QStringLiteral("The device at 127.0.0.1, port %1, answered with more than a Block sends")
                              .arg(block.port());
    QTRY_VERIFY_WITH_TIMEOUT(launcher.loginErrorMessage().startsWith(named), kLoginTimeout);
    QCOMPARE(launcher.loginStatus(), Launcher::InvalidServerAddress);
    QVERIFY(launcher.loginInProgress());
    // Asked again and again, it is named each time, never reported silent in between.
    const int shown = messages.size() - 1;
    const int asked = block.requestCount();
    QTRY_VERIFY_WITH_TIMEOUT(block.requestCount() >= asked + 5, kLoginTimeout);
    for (const QString &message : messages.mid(shown))
        QVERIFY2(message.startsWith(named), qPrintable(message));
}

// A device that sent too much and then falls silent is reported as not answering, once, as any
// silent device is.
void tst_Login::deviceSilentAfterSendingTooMuchIsNotAnswering()
{
    SimulatedBlock block;
    QVERIFY(block.listen());
    answerLikeABlock(block);
    SimulatedBlock::Reply endless = block.reply("/block_ssl_info");
    endless.body = QByteArray(256 * 1024, ' ');
    endless.action = SimulatedBlock::Action::Stream;
    block.setReply("/block_ssl_info", endless);

    Launcher launcher;
    launcher.login()->setTimings(fastTimings());
    launcher.setLoginPorts({block.port()});
    QSignalSpy timeout(&launcher, &Launcher::userLoginValidationTimeout);
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));
    QTRY_VERIFY_WITH_TIMEOUT(launcher.loginErrorMessage().startsWith(QStringLiteral("The device at 127.0.0.1")),
                             kLoginTimeout);

    block.setAction("/block_ssl_info", SimulatedBlock::Action::Hold);
    QTRY_COMPARE_WITH_TIMEOUT(timeout.count(), 1, kLoginTimeout);
    QVERIFY2(launcher.loginErrorMessage().startsWith(QStringLiteral("No response from the")),
             qPrintable(launcher.loginErrorMessage()));
    // Asked on through several request time-outs, it is not reported again.
    const int asked = countRequests(block, "/block_ssl_info");
    QTRY_VERIFY_WITH_TIMEOUT(countRequests(block, "/block_ssl_info") >= asked + 3, kLoginTimeout);
    QCOMPARE(timeout.count(), 1);
    QVERIFY(launcher.loginInProgress());
}

// A device whose HTTPS answer is cut off for its size, and whose plain HTTP answer then fails,
// answered: it is named, never said to be unreachable.
void tst_Login::schemeCutOffForItsSizeIsNotUnreachable()
{
    SimulatedBlock block(SimulatedBlock::Scheme::Https);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    SimulatedBlock::Reply declared = block.reply("/block_ssl_info");
    declared.declaredLength = 64 * 1024 * 1024; // cut off at its headers
    block.setReply("/block_ssl_info", declared);
    ErrorPageForPlainHttp front(block, 500);
    QVERIFY(front.listen());

    Launcher launcher;
    BlockLogin::Timings timings = fastTimings();
    timings.request = 2000; // a round outlasts the late error page
    launcher.login()->setTimings(timings);
    launcher.setLoginPorts({front.port()});
    QStringList messages;
    connect(launcher.login(), &BlockLogin::errorMessageChanged, this,
            [&]() { messages << launcher.loginErrorMessage(); });
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));

    // The second round begins once the first one's error page has been read.
    QTRY_VERIFY_WITH_TIMEOUT(front.plainRequests() >= 2, kLoginTimeout);
    QVERIFY(!messages.isEmpty());
    for (const QString &message : qAsConst(messages))
        QVERIFY2(message.startsWith(QStringLiteral("The device at 127.0.0.1, port %1, answered with more than")
                                        .arg(front.port())),
                 qPrintable(message));
}

void tst_Login::lateBlockRetriedByTick_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<SimulatedBlock::Scheme>("scheme");

    QTest::newRow("block_ssl_info, http") << QByteArray("/block_ssl_info") << SimulatedBlock::Scheme::Http;
    QTest::newRow("block_info, https") << QByteArray("/block_info") << SimulatedBlock::Scheme::Https;
    QTest::newRow("users/auth, http") << QByteArray("/users/auth") << SimulatedBlock::Scheme::Http;
}

void tst_Login::lateBlockRetriedByTick()
{
    QFETCH(QByteArray, path);
    QFETCH(SimulatedBlock::Scheme, scheme);

    SimulatedBlock block(scheme);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    // The block drops the first requests of this path without an answer.
    block.setAction(path, SimulatedBlock::Action::Close);

    Launcher launcher;
    launcher.login()->setTimings(fastTimings());
    launcher.setLoginPorts({block.port()});
    QSignalSpy timeout(&launcher, &Launcher::userLoginValidationTimeout);
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));

    QTRY_VERIFY_WITH_TIMEOUT(countRequests(block, path) >= 2, kLoginTimeout);
    QVERIFY(launcher.loginInProgress());
    QVERIFY(launcher.loginStatus() != Launcher::LoggedIn);
    if (path == "/users/auth") {
        // No answer to the credentials is a time-out the page shows while the tick goes on;
        // the tick may have asked again before the dropped answer came in, so wait for it.
        QVERIFY(!timeout.isEmpty() || timeout.wait(kLoginTimeout));
        QCOMPARE(launcher.loginStatus(), Launcher::InvalidServerAddress);
        QVERIFY(launcher.loginErrorMessage().startsWith(QStringLiteral("No response from the")));
    }

    block.setAction(path, SimulatedBlock::Action::Answer);
    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);
    QVERIFY(launcher.loginErrorMessage().isEmpty());
    QCOMPARE(launcher.blockConnection()->useHttps(), scheme == SimulatedBlock::Scheme::Https);
}

void tst_Login::badBlockInfo_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("askedAgain");
    QTest::addColumn<QString>("message");

    QTest::newRow("error status: asked again, said why")
        << 500 << QByteArray("application/json") << QByteArray(R"({"error":{"code":500,"reason":"busy"}})") << true
        << QStringLiteral("The Block did not give its information (HTTP status 500); asking again.");
    QTest::newRow("not JSON: ends with a message")
        << 200 << QByteArray("text/plain") << QByteArray("<html>not a block</html>") << false
        << QStringLiteral("The Block sent an answer that cannot be read (HTTP status 200).");
}

// A block information that is no use must never leave the page waiting without a word.
void tst_Login::badBlockInfo()
{
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(bool, askedAgain);
    QFETCH(QString, message);

    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    block.setReply("/block_info", status, contentType, body);
    if (!askedAgain)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot convert data to JSON!"));

    Launcher launcher;
    launcher.login()->setTimings(fastTimings());
    launcher.setLoginPorts({block.port()});
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));
    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginErrorMessage(), message, kLoginTimeout);
    QCOMPARE(launcher.loginInProgress(), askedAgain);
    QCOMPARE(countRequests(block, "/users/auth"), 0);

    if (askedAgain) {
        QTRY_VERIFY_WITH_TIMEOUT(countRequests(block, "/block_info") >= 2, kLoginTimeout);
        answerLikeABlock(block);
        QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);
        QVERIFY(launcher.loginErrorMessage().isEmpty());
    } else {
        QCOMPARE(launcher.loginStatus(), Launcher::NotLoggedIn);
        QTRY_COMPARE(launcher.blockConnection()->openRequests(restservice::Operation::BlockInfo), 0);
        const int asked = countRequests(block, "/block_info");
        QVERIFY(noTickFor(launcher, 5));
        QCOMPARE(countRequests(block, "/block_info"), asked);
    }
}

void tst_Login::blockKindLandsInFavoritesFile()
{
    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    answerLikeABlock(block);

    Launcher launcher;
    launcher.prepareSettingsFile();
    launcher.prepareFavorites();
    FavoriteDeviceModel *favorites = launcher.favoriteDeviceModel();
    favorites->addDevice(favorites->createDevice(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw")));
    favorites->addDevice(favorites->createDevice(QStringLiteral("127.0.0.1"), QStringLiteral("viewer"), QStringLiteral("pw")));
    favorites->addDevice(favorites->createDevice(QStringLiteral("10.1.1.1"), QStringLiteral("admin"), QStringLiteral("pw")));
    launcher.saveFavoriteDevices();

    launcher.setLoginPorts({block.port()});
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));
    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);

    QFile file(launcher.favoritesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).object().value("connections").toArray();
    QCOMPARE(rows.size(), 3);
    // Only the entry of this address and user learns the kind.
    QCOMPARE(rows[0].toObject().value("device").toString(), QStringLiteral("enterprise"));
    QVERIFY(rows[1].toObject().value("device").toString() != QStringLiteral("enterprise"));
    QVERIFY(rows[2].toObject().value("device").toString() != QStringLiteral("enterprise"));
}

void tst_Login::parseLoginArgument_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");

    QTest::newRow("full") << "admin:pw@10.0.0.5:8088" << true << "10.0.0.5:8088" << "admin" << "pw";
    QTest::newRow("no port") << "admin:pw@block.local" << true << "block.local" << "admin" << "pw";
    QTest::newRow("password with : and @") << "op:a:b@c@host:8080" << true << "host:8080" << "op" << "a:b@c";
    QTest::newRow("no password") << "admin@host" << true << "host" << "admin" << "";
    QTest::newRow("no user") << ":pw@host" << false << "host" << "" << "pw";
    QTest::newRow("no address") << "admin:pw@" << false << "" << "admin" << "pw";
    QTest::newRow("no @") << "admin:pw" << false << "" << "" << "";
}

void tst_Login::parseLoginArgument()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, address);
    QFETCH(QString, username);
    QFETCH(QString, password);

    QString a, u, p;
    QCOMPARE(Launcher::parseLoginArgument(text, &a, &u, &p), valid);
    if (!valid)
        return;
    QCOMPARE(a, address);
    QCOMPARE(u, username);
    QCOMPARE(p, password);
}

void tst_Login::loginArgumentLogsInWithoutClick()
{
    SimulatedBlock block(SimulatedBlock::Scheme::Https);
    QVERIFY(block.listen());
    answerLikeABlock(block);

    Launcher launcher;
    const QString login = QStringLiteral("admin:pw@127.0.0.1:%1").arg(block.port());
    QVERIFY(launcher.init({QStringLiteral("orva-launcher"), QStringLiteral("--login"), login}));
    QCOMPARE(launcher.currentPage(), Launcher::LoginPage);
    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);
    QCOMPARE(launcher.loginUsername(), QStringLiteral("admin"));

    // The log-in page shows the logged-in state.
    QQuickItem *root = launcher.view()->rootObject();
    QVERIFY(root);
    QObject *start = root->findChild<QObject *>(QStringLiteral("startClientButton"));
    QVERIFY(start);
    QTRY_VERIFY(start->property("visible").toBool());
    // The form holds the address and user of that log-in, not the ones of the last run.
    QObject *address = root->findChild<QObject *>(QStringLiteral("addressField"));
    QObject *user = root->findChild<QObject *>(QStringLiteral("userField"));
    QVERIFY(address && user);
    QTRY_COMPARE(address->property("text").toString(), QStringLiteral("127.0.0.1:%1").arg(block.port()));
    QCOMPARE(user->property("text").toString(), QStringLiteral("admin"));
}

void tst_Login::liveFavoriteListFollowsTheFile()
{
    Launcher launcher;
    QVERIFY(launcher.init({QStringLiteral("orva-launcher"), QStringLiteral("--live-favorite-list")}));
    QCOMPARE(launcher.favoriteDeviceModel()->rowCount(), 0);

    // Another program writes the file.
    FavoriteDeviceModel other;
    other.addDevice(other.createDevice(QStringLiteral("10.0.0.1"), QStringLiteral("a")));
    other.addDevice(other.createDevice(QStringLiteral("10.0.0.2"), QStringLiteral("b")));
    // Written beside it and moved in, with a modification time of its own: file systems that
    // count seconds would otherwise show the same time as the file it replaces.
    const QString written = launcher.favoritesPath() + QStringLiteral(".new");
    QVERIFY(other.save(written));
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QFileInfo(launcher.favoritesPath()).lastModified().addSecs(2),
                             QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(QFile::remove(launcher.favoritesPath()));
    QVERIFY(QFile::rename(written, launcher.favoritesPath()));
    QTRY_COMPARE_WITH_TIMEOUT(launcher.favoriteDeviceModel()->rowCount(), 2, 5000);
}

void tst_Login::logoutTellsBlockOnlyWhenForced_data()
{
    QTest::addColumn<bool>("force");
    QTest::newRow("local") << false;
    QTest::newRow("forced") << true;
}

void tst_Login::logoutTellsBlockOnlyWhenForced()
{
    QFETCH(bool, force);

    SimulatedBlock block(SimulatedBlock::Scheme::Http);
    QVERIFY(block.listen());
    answerLikeABlock(block);
    Launcher launcher;
    launcher.setLoginPorts({block.port()});
    launcher.connectToBlock(QStringLiteral("127.0.0.1"), QStringLiteral("admin"), QStringLiteral("pw"));
    QTRY_COMPARE_WITH_TIMEOUT(launcher.loginStatus(), Launcher::LoggedIn, kLoginTimeout);

    launcher.logout(force);
    // A request once sent stays open until its answer is handled.
    QCOMPARE(launcher.blockConnection()->openRequests(restservice::Operation::UserLogout), force ? 1 : 0);
    QCOMPARE(launcher.loginStatus(), Launcher::NotLoggedIn);
    QVERIFY(!launcher.loggedUser());
    QVERIFY(launcher.sessionIdentifier().isEmpty());
    QVERIFY(launcher.blockConnection()->accessToken().isEmpty());
    if (force) {
        QTRY_COMPARE(countRequests(block, "/users/logout"), 1);
        const QJsonObject body = QJsonDocument::fromJson(block.lastRequest().body).object();
        QCOMPARE(body, QJsonObject({{"session_identifier", "session-7"}}));
    } else {
        QCOMPARE(countRequests(block, "/users/logout"), 0);
    }
}

QTEST_MAIN(tst_Login)
#include "tst_Login.moc"
