#include "observation/observers/CubeObserver.h"
#include "observation/observers/DeviceObserver.h"
#include "observation/camera/CameraObserver.h"
#include "observation/status/AnalyticInfo.h"
#include "observation/status/CMClientInfoWrapper.h"
#include "observation/status/SourceInfo.h"
#include "support/ObservedBlockScript.h"
#include "support/SimulatedBlock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <algorithm>

using Request = SimulatedBlock::Request;

namespace {

QJsonObject bodyOf(const Request &request)
{
    return QJsonDocument::fromJson(request.body).object();
}

QStringList pathsOf(const QVector<Request> &requests)
{
    QStringList paths;
    for (const Request &request : requests)
        paths << QString::fromLatin1(request.path);
    return paths;
}

// One observed block over HTTPS on 127.0.0.1; the address names the port, so nothing is probed.
struct Fixture
{
    SimulatedBlock block{SimulatedBlock::Scheme::Https};
    ObservedBlockScript script;
    // Made at once so that spies can watch it before it connects.
    std::unique_ptr<DeviceObserver> observer{new DeviceObserver(ObservedDevice(1, QModelIndex(), FavoriteDevice()))};

    Fixture() { script.camerasPerCube = 0; }

    QString address(const QString &suffix = QString()) const
    {
        return QStringLiteral("127.0.0.1:%1").arg(block.port()) + suffix;
    }

    // Listens with the script's replies; a test may change some before it connects.
    bool listen()
    {
        if (!block.listen())
            return false;
        script.install(block);
        return true;
    }

    void connect(const QString &address, const QString &password = QStringLiteral("secret"))
    {
        observer->connectToBlock(address, QStringLiteral(" operator "), password);
    }

    bool start()
    {
        if (!listen())
            return false;
        connect(address());
        return true;
    }

    bool waitLoggedIn(int timeout = 10000)
    {
        return QTest::qWaitFor([this]() { return observer->loginStatus() == BlockSession::LoggedIn; }, timeout);
    }

    // The path's first `count` answers are `status` (0: the connection is dropped without an
    // answer) with `body`, of `contentType`; later ones are the script's. A failed block
    // information starts the 1000 ms tick, which then repeats whatever the log-in phase asks.
    void failFirst(const QByteArray &path, int status, int count = 1,
                   const QByteArray &body = R"({"error":{"code":503,"reason":"busy"}})",
                   const QByteArray &contentType = "application/json")
    {
        auto answered = std::make_shared<int>(0);
        const SimulatedBlock::Reply good = block.reply(path);
        block.setResponder(path, [answered, good, status, count, body, contentType](const Request &) {
            SimulatedBlock::Reply reply = good;
            if ((*answered)++ < count) {
                reply.status = status;
                reply.body = body;
                reply.contentType = contentType;
                if (status == 0)
                    reply.action = SimulatedBlock::Action::Close;
            }
            return reply;
        });
    }

    // Once no request of the observer is open and none of its timers runs, it can send nothing
    // more: a stop is proven without waiting for time to pass.
    bool stoppedForGood()
    {
        using Op = restservice::Operation;
        const BlockConnectionManager &rest = observer->blockConnection();
        // An idle log-in phase lets the next tick stop the tick itself.
        return QTest::qWaitFor([this, &rest]() {
            for (Op op : {Op::BlockInfo, Op::UserAuthorization, Op::CubesAll, Op::BlockStatusInfo,
                          Op::CubesAnalyticsInfo, Op::CubesCamerasInfo, Op::UserLogout}) {
                if (rest.openRequests(op) > 0)
                    return false;
            }
            return !observer->timersActive();
        }, 5000);
    }
};

} // namespace

class tst_DeviceObserver : public QObject
{
    Q_OBJECT

private slots:
    void logInRequestsInOrder();
    void pollBodiesListCubesInAscendingOrder_data();
    void pollBodiesListCubesInAscendingOrder();
    void pollsKeepTheirPeriods();
    void refusedLogIn_data();
    void refusedLogIn();
    void addressForms_data();
    void addressForms();
    void compatibilityFollowsTheBlockVersion_data();
    void compatibilityFollowsTheBlockVersion();
    void noAnswerToAnalyticsMarksCubesOffline();
    void silentBlockIsShownOfflineAndPolledOnItsReturn();
    void streamingAddressIsShownAsNoResponse();
    void failedStepIsAskedAgain_data();
    void failedStepIsAskedAgain();
    void logoutPostsSessionAndStopsPolling();
    void lateReplyAfterStopStartsNothing_data();
    void lateReplyAfterStopStartsNothing();
};

void tst_DeviceObserver::logInRequestsInOrder()
{
    Fixture f;
    QVERIFY(f.start());
    QSignalSpy ready(f.observer.get(), &DeviceObserver::cubesReady);
    QVERIFY(f.waitLoggedIn());
    QTRY_VERIFY(f.block.requests("/block_status_info").size() >= 1);

    const QVector<Request> requests = f.block.requests();
    QCOMPARE(pathsOf(requests).mid(0, 3),
             (QStringList{QStringLiteral("/api/block_info"), QStringLiteral("/api/users/auth"), QStringLiteral("/api/cubes/all")}));
    const Request auth = f.block.requests("/users/auth").first();
    QCOMPARE(auth.method, QByteArray("POST"));
    QCOMPARE(bodyOf(auth), (QJsonObject{{QStringLiteral("username"), QStringLiteral("operator")}, {QStringLiteral("password"), QStringLiteral("secret")}}));
    // The block's own API version is sent from the log-in on; the token once it is known.
    QCOMPARE(auth.header("Accept-Version"), QByteArray("1.19.0"));
    QCOMPARE(f.block.requests("/cubes/all").first().header("Authorization"), QByteArray("Bearer token-1"));
    QCOMPARE(f.block.requests("/block_status_info").first().header("Authorization"), QByteArray("Bearer token-1"));
    QCOMPARE(f.observer->sessionIdentifier(), QStringLiteral("session-1"));
    QCOMPARE(f.observer->currentVersionNumber(), QStringLiteral("1.19.11"));
    QCOMPARE(f.observer->orvaSerialNumber(), QStringLiteral("ORVA-0001"));
    QCOMPARE(f.observer->blockDeviceType(), 32);
    QCOMPARE(ready.size(), 1);
    QCOMPARE(ready.first().first().value<QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>>>().size(), 2);
    // The first analytics and cameras polls go out with the cube list, before any timer.
    QTRY_VERIFY(!f.block.requests("/cubes/analytics/info").isEmpty() && !f.block.requests("/cubes/cameras/info").isEmpty());
    QVERIFY(f.block.requests("/cubes/cameras/info").first().receivedMs
            < f.block.requests("/cubes/all").first().receivedMs + 400);
}

void tst_DeviceObserver::pollBodiesListCubesInAscendingOrder_data()
{
    QTest::addColumn<QByteArray>("cubeList");
    QTest::addColumn<QString>("deviceType");
    QTest::addColumn<QList<int>>("polledIds");

    QTest::newRow("unsorted ids") << QByteArray(R"({"cubes":[{"id":7},{"id":2},{"id":5}]})")
                                  << "enterprise" << QList<int>{2, 5, 7};
    QTest::newRow("duplicate id kept once") << QByteArray(R"({"cubes":[{"id":4},{"id":4,"name":"again"}]})")
                                            << "enterprise" << QList<int>{4};
    QTest::newRow("missing id reads 0") << QByteArray(R"({"cubes":[{"name":"no id"},{"id":1}]})")
                                        << "enterprise" << QList<int>{0, 1};
    QTest::newRow("brimvale skips 0 to 2") << QByteArray(R"({"cubes":[{"id":0},{"id":1},{"id":2},{"id":3}]})")
                                           << "brimvale" << QList<int>{3};
    QTest::newRow("no cubes") << QByteArray(R"({"cubes":[]})") << "enterprise" << QList<int>{};
}

void tst_DeviceObserver::pollBodiesListCubesInAscendingOrder()
{
    QFETCH(QByteArray, cubeList);
    QFETCH(QString, deviceType);
    QFETCH(QList<int>, polledIds);

    Fixture f;
    f.script.deviceType = deviceType;
    QVERIFY(f.listen());
    f.block.setReply("/cubes/all", 200, "application/json", cubeList);
    f.connect(f.address());
    QVERIFY(f.waitLoggedIn());
    // The two first polls leave together and may travel on different connections.
    QTRY_VERIFY(!f.block.requests("/cubes/cameras/info").isEmpty()
                && !f.block.requests("/cubes/analytics/info").isEmpty());

    for (const QByteArray &path : {QByteArray("/cubes/analytics/info"), QByteArray("/cubes/cameras/info")}) {
        const QVector<Request> polls = f.block.requests(path);
        QVERIFY2(!polls.isEmpty(), path.constData());
        const QJsonArray cubes = bodyOf(polls.first()).value(QStringLiteral("cubes")).toArray();
        QList<int> ids;
        for (const QJsonValue &cube : cubes) {
            ids << cube.toObject().value(QStringLiteral("id")).toInt(-1);
            // Time stamps travel as decimal strings; a cube without a camera has none.
            if (path == "/cubes/analytics/info")
                QCOMPARE(cube.toObject().value(QStringLiteral("last_timestamp")).toString(), QStringLiteral("0"));
            else
                QVERIFY(!cube.toObject().contains(QStringLiteral("last_timestamp")));
        }
        QCOMPARE(ids, polledIds);
    }
    // The analytics body carries the time stamp of the last answer once one came.
    QTRY_VERIFY(f.block.requests("/cubes/analytics/info").size() >= 3);
    if (!polledIds.isEmpty()) {
        const QVector<Request> polls = f.block.requests("/cubes/analytics/info");
        const QJsonArray cubes = bodyOf(polls.last()).value(QStringLiteral("cubes")).toArray();
        QVERIFY(cubes.first().toObject().value(QStringLiteral("last_timestamp")).toString().toULongLong() > 1700000000000ULL);
    }
}

void tst_DeviceObserver::pollsKeepTheirPeriods()
{
    Fixture f;
    QVERIFY(f.start());
    QVERIFY(f.waitLoggedIn());
    // Three status polls after the log-in take a little over 6 s; the others come more often.
    QTRY_VERIFY_WITH_TIMEOUT(f.block.requests("/block_status_info").size() >= 3
                                 && f.block.requests("/cubes/cameras/info").size() >= 3, 10000);

    const struct
    {
        QByteArray path;
        int period;
    } polls[] = {{"/block_status_info", 2000}, {"/cubes/analytics/info", 500}, {"/cubes/cameras/info", 3000}};
    for (const auto &poll : polls) {
        const QVector<Request> requests = f.block.requests(poll.path);
        QVERIFY2(requests.size() >= 3, poll.path.constData());
        // Measured where the block receives them; the first poll of each kind may wait for a
        // connection of its own to be set up, which would shorten the first gap.
        QVector<qint64> rearmed;
        for (int i = 2; i < requests.size(); ++i) {
            const qint64 gap = requests.at(i).receivedMs - requests.at(i - 1).receivedMs;
            // Re-armed by the reply: never closer than the period, and not much later on loopback.
            QVERIFY2(gap >= poll.period - 1 && gap < poll.period + 400,
                     qPrintable(QStringLiteral("%1: %2 ms").arg(QString::fromLatin1(poll.path)).arg(gap)));
            // From the answer (sent at once) to the next request's headers: a POST's body follows
            // its headers by the block's delayed acknowledgement, about 45 ms (see
            // BlockConnectionManager), which this leaves out.
            rearmed << requests.at(i).headersMs - requests.at(i - 1).receivedMs;
        }
        // A period off by a little shows in the median, which the odd late reply of a busy machine
        // leaves alone. The rarer polls give too few gaps for a median.
        if (rearmed.size() >= 5) {
            std::nth_element(rearmed.begin(), rearmed.begin() + rearmed.size() / 2, rearmed.end());
            const qint64 median = rearmed.at(rearmed.size() / 2);
            QVERIFY2(median < poll.period + 60,
                     qPrintable(QStringLiteral("%1: re-armed after %2 ms").arg(QString::fromLatin1(poll.path)).arg(median)));
        }
    }
}

void tst_DeviceObserver::refusedLogIn_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("loginStatus");
    QTest::addColumn<bool>("triesAgain");

    const QByteArray noTokens = R"({"username":"operator","access_tokens":[]})";
    QTest::newRow("401 auth_error") << 401 << QByteArray(R"({"error":{"code":401,"reason":"auth_error"}})")
                                    << int(BlockSession::IncorrectPasswordOrUsername) << false;
    QTest::newRow("410 expired") << 410 << QByteArray(R"({"error":{"code":410,"reason":"expired_account"}})")
                                 << int(BlockSession::ExpiredAccount) << false;
    QTest::newRow("403 forbidden ends the log-in")
        << 403 << QByteArray(R"({"error":{"code":403,"reason":"forbidden"}})")
        << int(BlockSession::NotLoggedIn) << false;
    QTest::newRow("200 without tokens") << 200 << noTokens << int(BlockSession::IncorrectPasswordOrUsername)
                                        << false;
    QTest::newRow("500 is no wrong password") << 500
                                              << QByteArray(R"({"error":{"code":500,"reason":"internal"}})")
                                              << int(BlockSession::WaitingForResponse) << true;
}

void tst_DeviceObserver::refusedLogIn()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, loginStatus);
    QFETCH(bool, triesAgain);

    Fixture f;
    QVERIFY(f.listen());
    f.block.setReply("/users/auth", status, "application/json", body);
    f.failFirst("/block_info", 503);
    QSignalSpy forbidden(f.observer.get(), &DeviceObserver::userLoginForbidden);
    f.connect(f.address(), QStringLiteral("wrong"));
    QTRY_VERIFY_WITH_TIMEOUT(!f.block.requests("/users/auth").isEmpty(), 3000);
    QTRY_COMPARE(f.observer->loginStatus(), loginStatus);
    if (triesAgain) {
        QTRY_VERIFY_WITH_TIMEOUT(f.block.requests("/users/auth").size() >= 2, 3000);
    } else {
        QVERIFY(f.stoppedForGood());
        QCOMPARE(f.observer->loginPhase(), int(BlockSession::Phase::Idle));
    }
    QCOMPARE(forbidden.size(), status == 403 ? 1 : 0);
    if (status == 403)
        QVERIFY(!f.observer->loginErrorMessage().isEmpty());
    QVERIFY(f.block.requests("/cubes/all").isEmpty());
}

void tst_DeviceObserver::addressForms_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("nodePort");

    QTest::newRow("host:rest") << QString() << 5556;
    QTest::newRow("host:rest:node") << ":6000" << 6000;
    QTest::newRow("host:rest:node:unused") << ":6001:7" << 6001;
    QTest::newRow("blanks around") << ":6002  " << 6002;
}

void tst_DeviceObserver::addressForms()
{
    QFETCH(QString, suffix);
    QFETCH(int, nodePort);

    Fixture f;
    QVERIFY(f.listen());
    QSignalSpy uri(f.observer.get(), &DeviceObserver::serverURIChanged);
    f.connect(QStringLiteral("  ") + f.address(suffix));
    QCOMPARE(f.observer->serverURI(), QStringLiteral("127.0.0.1"));
    QCOMPARE(f.observer->host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(f.observer->restPort(), int(f.block.port()));
    QCOMPARE(f.observer->nodePort(), nodePort);
    QCOMPARE(uri.size(), 1);
    QVERIFY(f.waitLoggedIn());
}

void tst_DeviceObserver::compatibilityFollowsTheBlockVersion_data()
{
    QTest::addColumn<QByteArray>("blockInfo");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("compatible");

    QTest::newRow("1.16.9") << QByteArray(R"({"Block_Version":"1.16.9","Api_Version":"1.16.0"})") << "1.16.9"
                            << false;
    QTest::newRow("1.17.0") << QByteArray(R"({"Block_Version":"1.17.0","Api_Version":"1.17.0"})") << "1.17.0"
                            << true;
    QTest::newRow("2.0.1") << QByteArray(R"({"Block_Version":"2.0.1","Api_Version":"2.0.0"})") << "2.0.1" << true;
    QTest::newRow("lower-case keys") << QByteArray(R"({"block_version":"1.18.2","api_version":"1.18.0"})")
                                     << "1.18.2" << true;
    QTest::newRow("Api_Version alone reads lower-case keys")
        << QByteArray(R"({"Api_Version":"1.19.0","block_version":"1.15.1"})") << "1.15.1" << false;
    QTest::newRow("no version") << QByteArray("{}") << QString() << false;
}

void tst_DeviceObserver::compatibilityFollowsTheBlockVersion()
{
    QFETCH(QByteArray, blockInfo);
    QFETCH(QString, version);
    QFETCH(bool, compatible);

    Fixture f;
    QVERIFY(f.listen());
    f.block.setReply("/block_info", 200, "application/json", blockInfo);
    QSignalSpy ready(f.observer.get(), &DeviceObserver::cubesReady);
    f.connect(f.address());
    QVERIFY(f.waitLoggedIn());
    QCOMPARE(f.observer->currentVersionNumber(), version);
    QCOMPARE(f.observer->observedDevice().compatible(), compatible);
    // The cubes carry the device as it was when they were made.
    const auto cubes = ready.first().first().value<QVector<std::shared_ptr<kvr::QMTClient::CubeObserver>>>();
    QVERIFY(!cubes.isEmpty());
    QCOMPARE(cubes.first()->observedDevice().compatible(), compatible);
    QCOMPARE(cubes.first()->blockHostAddress(), QStringLiteral("127.0.0.1"));
}

void tst_DeviceObserver::noAnswerToAnalyticsMarksCubesOffline()
{
    Fixture f;
    // Cameras of a block older than 1.17 never reach for a node.
    f.script.camerasPerCube = 1;
    f.script.blockVersion = QStringLiteral("1.16.2");
    QVERIFY(f.start());
    QVERIFY(f.waitLoggedIn());
    const auto cubes = f.observer->cubes();
    CMClientInfoWrapper *state = cubes.first()->currentCamera()->sourceInfo()->cmClientInfo();
    QTRY_VERIFY(cubes.first()->analyticInfo()->timestamp() > 0 && state->sourceState() == QStringLiteral("running"));
    QVERIFY(cubes.first()->observerOnline());

    f.block.setNoAnswer("/cubes/analytics/info", true);
    QTRY_VERIFY(!cubes.first()->observerOnline() && !cubes.last()->observerOnline());
    QCOMPARE(state->sourceState(), QStringLiteral("unknown"));
    // The poll goes on while the block is silent...
    const int silentPolls = f.block.requests("/cubes/analytics/info").size();
    QTRY_VERIFY(f.block.requests("/cubes/analytics/info").size() > silentPolls);
    // ...and the next answer brings the cubes back.
    f.block.setNoAnswer("/cubes/analytics/info", false);
    QTRY_VERIFY(cubes.first()->observerOnline() && cubes.last()->observerOnline());
    QCOMPARE(f.observer->loginStatus(), int(BlockSession::LoggedIn));
}

// A block that keeps the connections and stops answering (a proxy whose block hangs) gives no
// error at all: only the polls' own time-out shows it.
void tst_DeviceObserver::silentBlockIsShownOfflineAndPolledOnItsReturn()
{
    Fixture f;
    QVERIFY(f.start());
    QVERIFY(f.waitLoggedIn());
    const auto cubes = f.observer->cubes();
    QTRY_VERIFY(cubes.first()->analyticInfo()->timestamp() > 0 && cubes.first()->observerOnline());

    const QByteArray polls[] = {"/block_status_info", "/cubes/analytics/info", "/cubes/cameras/info"};
    for (const QByteArray &path : polls)
        f.block.setAction(path, SimulatedBlock::Action::Hold);
    QTRY_VERIFY_WITH_TIMEOUT(!cubes.first()->observerOnline() && !cubes.last()->observerOnline(), 6000);

    for (const QByteArray &path : polls)
        f.block.setAction(path, SimulatedBlock::Action::Answer);
    f.block.releaseHeld();
    const qint64 back = f.block.elapsedMs();
    QTRY_VERIFY(cubes.first()->observerOnline() && cubes.last()->observerOnline());
    // Asked again within a period, not once the request sent into the silence has timed out.
    const auto firstPollSince = [&f](qint64 since) {
        for (const Request &request : f.block.requests("/cubes/analytics/info")) {
            if (request.receivedMs > since)
                return request.receivedMs;
        }
        return qint64(-1);
    };
    QTRY_VERIFY(firstPollSince(back) >= 0);
    QVERIFY2(firstPollSince(back) - back < 500 + 400, qPrintable(QString::number(firstPollSince(back) - back)));
}

// An address that answers without end (a camera's web server, say) is shown as a block that does
// not answer, before the port test's time-out would say so of any address.
void tst_DeviceObserver::streamingAddressIsShownAsNoResponse()
{
    Fixture f;
    QVERIFY(f.listen());
    SimulatedBlock::Reply endless = f.block.reply("/block_info");
    endless.body = QByteArray(256 * 1024, ' ');
    endless.action = SimulatedBlock::Action::Stream;
    f.block.setReply("/block_info", endless);
    f.connect(f.address());
    QTRY_VERIFY_WITH_TIMEOUT(f.observer->loginErrorMessage().startsWith(QStringLiteral("No response from the")), 2000);
}

void tst_DeviceObserver::failedStepIsAskedAgain_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("readable"); // the failed answer's body is JSON

    QTest::newRow("cube list 503") << QByteArray("/cubes/all") << 503 << true;
    QTest::newRow("cube list unanswered") << QByteArray("/cubes/all") << 0 << true;
    QTest::newRow("log-in 500") << QByteArray("/users/auth") << 500 << true;
    QTest::newRow("log-in unanswered") << QByteArray("/users/auth") << 0 << true;
    // A proxy in front of a restarting block answers with a page of its own.
    QTest::newRow("block information unreadable") << QByteArray("/block_info") << 200 << false;
}

void tst_DeviceObserver::failedStepIsAskedAgain()
{
    QFETCH(QByteArray, path);
    QFETCH(int, status);
    QFETCH(bool, readable);

    Fixture f;
    QVERIFY(f.listen());
    // Enough dropped connections to outlast the HTTP client's own resending.
    if (readable)
        f.failFirst(path, status, status == 0 ? 6 : 1);
    else
        f.failFirst(path, status, 1, "<html>starting</html>", "text/html");
    f.connect(f.address());
    QVERIFY(f.waitLoggedIn(6000));
    QVERIFY(f.block.requests(path).size() >= 2);
    QCOMPARE(f.observer->cubes().size(), 2);
}

void tst_DeviceObserver::logoutPostsSessionAndStopsPolling()
{
    Fixture f;
    QVERIFY(f.start());
    QVERIFY(f.waitLoggedIn());
    // An analytics poll is on its way when the operator logs out.
    f.block.setAction("/cubes/analytics/info", SimulatedBlock::Action::Hold);
    QTRY_VERIFY(f.block.heldCount() > 0);

    f.observer->logout(true);
    const qint64 loggedOutAt = f.block.elapsedMs();
    QCOMPARE(f.observer->loginStatus(), int(BlockSession::NotLoggedIn));
    QTRY_COMPARE(f.block.requests("/users/logout").size(), 1);
    QCOMPARE(bodyOf(f.block.requests("/users/logout").first()), (QJsonObject{{QStringLiteral("session_identifier"), QStringLiteral("session-1")}}));
    f.block.releaseHeld();
    QVERIFY(f.stoppedForGood());
    for (const Request &request : f.block.requests())
        QVERIFY2(request.receivedMs <= loggedOutAt + 1000, request.path.constData());
    // A plain log-out asks nothing of the block.
    f.observer->logout();
    QCOMPARE(f.observer->blockConnection().openRequests(restservice::Operation::UserLogout), 0);
    QCOMPARE(f.block.requests("/users/logout").size(), 1);
    // The forced log-out forgot the session it ended: the next one has nothing to post.
    QCOMPARE(f.observer->sessionIdentifier(), QString());
    f.observer->logout(true);
    QCOMPARE(f.observer->blockConnection().openRequests(restservice::Operation::UserLogout), 0);
}

void tst_DeviceObserver::lateReplyAfterStopStartsNothing_data()
{
    QTest::addColumn<QByteArray>("heldPath");
    QTest::addColumn<QByteArray>("forbiddenPath");
    QTest::addColumn<bool>("cancel");

    QTest::newRow("block_info after cancelLogin") << QByteArray("/block_info") << QByteArray("/users/auth") << true;
    QTest::newRow("auth after logout") << QByteArray("/users/auth") << QByteArray("/cubes/all") << false;
    QTest::newRow("cube list after cancelLogin") << QByteArray("/cubes/all") << QByteArray("/cubes/analytics/info")
                                                 << true;
}

void tst_DeviceObserver::lateReplyAfterStopStartsNothing()
{
    QFETCH(QByteArray, heldPath);
    QFETCH(QByteArray, forbiddenPath);
    QFETCH(bool, cancel);

    Fixture f;
    QVERIFY(f.listen());
    f.block.setAction(heldPath, SimulatedBlock::Action::Hold);
    f.connect(f.address());
    QTRY_VERIFY(f.block.heldCount() > 0);
    if (cancel)
        f.observer->cancelLogin();
    else
        f.observer->logout(true);
    f.block.releaseHeld();
    QVERIFY(f.stoppedForGood());
    QVERIFY(f.block.requests(forbiddenPath).isEmpty());
    QCOMPARE(f.observer->loginStatus(), int(BlockSession::NotLoggedIn));
}

QTEST_MAIN(tst_DeviceObserver)
#include "tst_DeviceObserver.moc"
