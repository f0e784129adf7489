#include "core/log/MessageHandler.h"
#include "devices/rest/BlockConnectionManager.h"
#include "devices/rest/BoundedNetworkAccessManager.h"
#include "devices/rest/DataQByteArray.h"
#include "devices/rest/NoneData.h"
#include "support/LogCapture.h"
#include "support/SimulatedBlock.h"
#include "support/SimulatedBlockThread.h"

#include <QJsonArray>
#include <QNetworkReply>
#include <QSet>
#include <QSslSocket>
#include <QTcpServer>
#include <QtTest>

using restservice::BlockResponse;
using restservice::Operation;
using restservice::ResponseData;
using ResponsePtr = std::shared_ptr<BlockResponse>;
using Scheme = SimulatedBlock::Scheme;

Q_DECLARE_METATYPE(Scheme)
Q_DECLARE_METATYPE(SimulatedBlock::Reply)

namespace {

// One of the manager's eight requests, driven by name so that tables can cover them all.
struct Call
{
    const char *slot;
    const char *signal;
    QByteArray method;
    QByteArray path;
    Operation operation;
    bool reportsAvailability;
};

const QVector<Call> &calls()
{
    static const QVector<Call> table = {
        {"requestBlockInfo", "blockInfoReceived", "GET", "/block_info", Operation::BlockInfo, false},
        {"requestBlockSslInfo", "blockSslInfoResponseReceived", "GET", "/block_ssl_info", Operation::BlockSSLInfo, false},
        {"requestBlockStatusInfo", "blockStatusInfoReceived", "GET", "/block_status_info", Operation::BlockStatusInfo,
         false},
        {"requestCubes", "cubesResponseReceived", "GET", "/cubes/all", Operation::CubesAll, true},
        {"requestCubesAnalyticsInfo", "cubesAnalyticsInfoResponseReceived", "POST", "/cubes/analytics/info",
         Operation::CubesAnalyticsInfo, true},
        {"requestCubesCamerasInfo", "cubesCamerasInfoResponseReceived", "POST", "/cubes/cameras/info",
         Operation::CubesCamerasInfo, true},
        {"requestUserValidation", "userInfoResponseReceived", "POST", "/users/auth", Operation::UserAuthorization, true},
        {"requestUserLogout", "userLogoutResponseReceived", "POST", "/users/logout", Operation::UserLogout, false},
    };
    return table;
}

const Call &call(const QByteArray &slot)
{
    for (const Call &c : calls()) {
        if (slot == c.slot)
            return c;
    }
    qFatal("no such request %s", slot.constData());
}

QByteArray signalSignature(const Call &c)
{
    return QByteArray("2") + c.signal + "(std::shared_ptr<restservice::BlockResponse>)";
}

void send(BlockConnectionManager &manager, const Call &c, const QJsonObject &body = QJsonObject())
{
    const bool ok = c.method == "POST"
        ? QMetaObject::invokeMethod(&manager, c.slot, Q_ARG(QJsonObject, body))
        : QMetaObject::invokeMethod(&manager, c.slot);
    QVERIFY(ok);
}

ResponsePtr responseAt(const QSignalSpy &spy, int index)
{
    return spy.at(index).at(0).value<ResponsePtr>();
}

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// The peak resident size of the process since the last resetPeakResident(), in bytes.
qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

bool resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// Records serverAvailable, noBlockServerResponse and the answer of one request in order.
class EventLog : public QObject
{
    Q_OBJECT

public:
    EventLog(BlockConnectionManager &manager, const Call &c)
    {
        connect(&manager, &BlockConnectionManager::serverAvailable, this,
                [this](bool available) { events << QLatin1String(available ? "available" : "unavailable"); });
        connect(&manager, &BlockConnectionManager::noBlockServerResponse, this, [this]() { events << "noServer"; });
        connect(&manager, signalSignature(c).constData(), this,
                SLOT(answered(std::shared_ptr<restservice::BlockResponse>)));
    }

    QStringList events;
    QVector<ResponsePtr> answers;

public slots:
    void answered(std::shared_ptr<restservice::BlockResponse> response)
    {
        events << "answer";
        answers << response;
    }
};

// Deletes the manager from a slot, as an owner that drops it on an answer would.
class Destroyer : public QObject
{
    Q_OBJECT

public:
    explicit Destroyer(BlockConnectionManager *target) : m_target(target) {}

public slots:
    void destroy()
    {
        delete m_target;
        m_target = nullptr;
    }

private:
    BlockConnectionManager *m_target;
};

} // namespace

class tst_BlockConnectionManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void requests_data();
    void requests();
    void headers_data();
    void headers();
    void requestIdsCountPerManager();
    void payloadSwapped_data();
    void payloadSwapped();
    void noHttpAnswer_data();
    void noHttpAnswer();
    void serverAvailableOrder_data();
    void serverAvailableOrder();
    void replyHandling_data();
    void replyHandling();
    void hostileBodies_data();
    void hostileBodies();
    void compressedReplyIsNotInflated_data();
    void compressedReplyIsNotInflated();
    void replyBeyondTheLimit_data();
    void replyBeyondTheLimit();
    void heldRepliesAnsweredOnce();
    void destroyedWithRequestsInFlight();
    void destroyedClientTakesItsRequestsAlong_data();
    void destroyedClientTakesItsRequestsAlong();
    void destroyedByReceiver_data();
    void destroyedByReceiver();
    void relaxedSslStaysWithManager();
    void tokenAndAddressSignals();
    void diagnostics();
};

void tst_BlockConnectionManager::initTestCase()
{
    QVERIFY2(QSslSocket::supportsSsl(), "Qt has no TLS backend; the HTTPS cases cannot run");
    qInstallMessageHandler(customMessageHandler);
}

void tst_BlockConnectionManager::cleanupTestCase()
{
    qInstallMessageHandler(nullptr);
}

void tst_BlockConnectionManager::requests_data()
{
    QTest::addColumn<Scheme>("scheme");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QByteArray>("expectedPath");
    for (const Call &c : calls()) {
        QTest::addRow("%s over http", c.slot) << Scheme::Http << QByteArray(c.slot) << c.path;
        QTest::addRow("%s over https", c.slot) << Scheme::Https << QByteArray(c.slot) << "/api" + c.path;
    }
}

// Every request reaches its path with its method and body and is answered once on its own signal.
void tst_BlockConnectionManager::requests()
{
    QFETCH(Scheme, scheme);
    QFETCH(QByteArray, slot);
    QFETCH(QByteArray, expectedPath);
    const Call &c = call(slot);

    SimulatedBlock block(scheme);
    QVERIFY(block.listen());
    block.setReply(c.path, 200, "application/json", R"({"answer":")" + c.path + R"("})");
    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), scheme == Scheme::Https);

    QSignalSpy answer(&manager, signalSignature(c).constData());
    QSignalSpy available(&manager, &BlockConnectionManager::serverAvailable);
    QVERIFY(answer.isValid());
    const QJsonObject body{{"username", "operator"}, {"password", "secret"}, {"nested", QJsonObject{{"a", 1}}}};
    send(manager, c, body);
    QCOMPARE(manager.openRequests(c.operation), 1);
    QVERIFY(answer.wait());

    const SimulatedBlock::Request request = block.lastRequest();
    QCOMPARE(block.requestCount(), 1);
    QCOMPARE(request.method, c.method);
    QCOMPARE(request.path, expectedPath);
    if (c.method == "POST") {
        QCOMPARE(request.body, QJsonDocument(body).toJson(QJsonDocument::Indented));
    } else {
        QVERIFY(request.body.isEmpty());
    }

    QTest::qWait(0); // let any stray second emission show
    QCOMPARE(answer.count(), 1);
    const ResponsePtr response = responseAt(answer, 0);
    QVERIFY(response);
    QCOMPARE(response->statusCode, 200);
    QCOMPARE(response->operation, c.operation);
    QCOMPARE(response->requestId, 0u);
    QCOMPARE(response->cubeId, -1);
    QCOMPARE(response->analyticId, -1);
    QVERIFY(response->bodyRead);
    QVERIFY(!response->payloadSwapped);
    QCOMPARE(response->requestBody, c.method == "POST" ? QJsonDocument(body) : QJsonDocument());
    QCOMPARE(response->data.kind, ResponseData::Json);
    const QJsonDocument *document = response->responseDataToJson();
    QVERIFY(document);
    QCOMPARE(document->object().value("answer").toString(), QString::fromLatin1(c.path));

    QCOMPARE(available.count(), c.reportsAvailability ? 1 : 0);
    if (c.reportsAvailability)
        QCOMPARE(available.at(0).at(0).toBool(), true);
    QCOMPARE(manager.openRequests(c.operation), 0);
}

void tst_BlockConnectionManager::headers_data()
{
    QTest::addColumn<Scheme>("scheme");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("apiVersion");
    QTest::addColumn<QList<QByteArray>>("names");
    QTest::addColumn<QList<QByteArray>>("values");

    const QList<QByteArray> getNames{"Private-Api", "Authorization", "Accept-Version", "accept", "RequestID"};
    const QList<QByteArray> postNames{"Private-Api", "Authorization", "Accept-Version", "Content-Type", "accept",
                                      "RequestID"};
    QTest::newRow("GET, http, empty token keeps the blank")
        << Scheme::Http << QByteArray("requestBlockInfo") << QString() << QString() << getNames
        << QList<QByteArray>{"true", "Bearer ", "1.19.0", "application/json", "0"};
    QTest::newRow("GET, https, token and reported API version")
        << Scheme::Https << QByteArray("requestCubes") << "tok-123" << "1.17.4" << getNames
        << QList<QByteArray>{"true", "Bearer tok-123", "1.17.4", "application/json", "0"};
    QTest::newRow("POST, http")
        << Scheme::Http << QByteArray("requestUserValidation") << QString() << QString() << postNames
        << QList<QByteArray>{"true", "Bearer ", "1.19.0", "application/json", "application/json", "0"};
    QTest::newRow("POST, https, token")
        << Scheme::Https << QByteArray("requestUserLogout") << "abc" << QString() << postNames
        << QList<QByteArray>{"true", "Bearer abc", "1.19.0", "application/json", "application/json", "0"};
}

// The block's own headers arrive complete and in their order, between whatever Qt adds.
void tst_BlockConnectionManager::headers()
{
    QFETCH(Scheme, scheme);
    QFETCH(QByteArray, slot);
    QFETCH(QString, token);
    QFETCH(QString, apiVersion);
    QFETCH(QList<QByteArray>, names);
    QFETCH(QList<QByteArray>, values);

    SimulatedBlock block(scheme);
    QVERIFY(block.listen());
    BlockConnectionManager manager(nullptr, token);
    if (!apiVersion.isEmpty())
        manager.setApiVersion(apiVersion);
    manager.setUrl(block.host(), block.port(), scheme == Scheme::Https);
    const Call &c = call(slot);
    QSignalSpy answer(&manager, signalSignature(c).constData());
    send(manager, c, QJsonObject{{"session_identifier", "s"}});
    QVERIFY(answer.wait());

    const SimulatedBlock::Request request = block.lastRequest();
    static const QList<QByteArray> own{"private-api", "authorization", "accept-version", "content-type", "accept",
                                       "requestid"};
    QList<QByteArray> seen;
    QList<QByteArray> seenValues;
    for (const auto &header : request.headers) {
        if (own.contains(header.first.toLower())) {
            seen << header.first;
            seenValues << header.second;
        }
    }
    QCOMPARE(seen, names);
    QCOMPARE(seenValues, values);
}

void tst_BlockConnectionManager::requestIdsCountPerManager()
{
    SimulatedBlock block;
    QVERIFY(block.listen());
    BlockConnectionManager first;
    BlockConnectionManager second;
    first.setUrl(block.host(), block.port(), false);
    second.setUrl(block.host(), block.port(), false);
    QSignalSpy info(&first, &BlockConnectionManager::blockInfoReceived);
    QSignalSpy cubes(&first, &BlockConnectionManager::cubesResponseReceived);
    QSignalSpy auth(&first, &BlockConnectionManager::userInfoResponseReceived);
    QSignalSpy otherInfo(&second, &BlockConnectionManager::blockInfoReceived);

    first.requestBlockInfo();
    first.requestCubes();
    first.requestUserValidation(QJsonObject{{"username", "u"}});
    first.requestBlockInfo();
    second.requestBlockInfo();
    QTRY_COMPARE(info.count(), 2);
    QTRY_COMPARE(cubes.count(), 1);
    QTRY_COMPARE(auth.count(), 1);
    QTRY_COMPARE(otherInfo.count(), 1);

    QSet<quint32> firstIds{responseAt(info, 0)->requestId, responseAt(info, 1)->requestId,
                           responseAt(cubes, 0)->requestId, responseAt(auth, 0)->requestId};
    QCOMPARE(firstIds, (QSet<quint32>{0, 1, 2, 3}));
    QCOMPARE(responseAt(cubes, 0)->requestId, 1u);
    QCOMPARE(responseAt(auth, 0)->requestId, 2u);
    QCOMPARE(responseAt(otherInfo, 0)->requestId, 0u);

    QMultiMap<QByteArray, QByteArray> idsByPath;
    for (const auto &request : block.requests())
        idsByPath.insert(request.path, request.header("RequestID"));
    QCOMPARE(idsByPath.values("/cubes/all"), QList<QByteArray>{"1"});
    QCOMPARE(idsByPath.values("/users/auth"), QList<QByteArray>{"2"});
    const QList<QByteArray> infoIds = idsByPath.values("/block_info");
    QCOMPARE(QSet<QByteArray>(infoIds.begin(), infoIds.end()), (QSet<QByteArray>{"0", "3"}));
}

void tst_BlockConnectionManager::payloadSwapped_data()
{
    QTest::addColumn<QList<SimulatedBlock::Header>>("replyHeaders");
    QTest::addColumn<bool>("echo");
    QTest::addColumn<bool>("swapped");
    QTest::newRow("echoed id") << QList<SimulatedBlock::Header>{} << true << false;
    QTest::newRow("no id header") << QList<SimulatedBlock::Header>{} << false << false;
    QTest::newRow("other id") << QList<SimulatedBlock::Header>{{"RequestId", "7"}} << true << true;
    QTest::newRow("id that is no number") << QList<SimulatedBlock::Header>{{"RequestId", "x1"}} << true << false;
}

// A reply naming another request is flagged and still delivered to the request that sent it.
void tst_BlockConnectionManager::payloadSwapped()
{
    QFETCH(QList<SimulatedBlock::Header>, replyHeaders);
    QFETCH(bool, echo);
    QFETCH(bool, swapped);

    LogCapture log(kvr::log::ERR | kvr::log::WRN | kvr::log::DBG0);
    SimulatedBlock block;
    QVERIFY(block.listen());
    SimulatedBlock::Reply reply;
    reply.headers = replyHeaders;
    reply.echoRequestId = echo;
    block.setReply("/block_status_info", reply);
    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), false);
    QSignalSpy status(&manager, &BlockConnectionManager::blockStatusInfoReceived);
    QSignalSpy info(&manager, &BlockConnectionManager::blockInfoReceived);
    manager.requestBlockStatusInfo();
    QVERIFY(status.wait());

    QCOMPARE(status.count(), 1);
    QCOMPARE(info.count(), 0);
    QCOMPARE(responseAt(status, 0)->payloadSwapped, swapped);
    QCOMPARE(responseAt(status, 0)->statusCode, 200);
    QCOMPARE(log.contains("Payload swapped, request:  0  reply:  7"), swapped);
}

void tst_BlockConnectionManager::noHttpAnswer_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QStringList>("events");
    const QStringList withAvailability{"unavailable", "answer"};
    QTest::newRow("refused port, log-in") << "refused" << QByteArray("requestUserValidation") << withAvailability;
    QTest::newRow("refused port, block info") << "refused" << QByteArray("requestBlockInfo") << QStringList{"answer"};
    QTest::newRow("closed without answer, cubes") << "closed" << QByteArray("requestCubes") << withAvailability;
    QTest::newRow("closed without answer, https logout")
        << "closed https" << QByteArray("requestUserLogout") << QStringList{"answer"};
    QTest::newRow("no address set yet") << "no url" << QByteArray("requestCubesCamerasInfo") << withAvailability;
    QTest::newRow("block accepts and stays silent, analytics")
        << "silent" << QByteArray("requestCubesAnalyticsInfo") << withAvailability;
    QTest::newRow("block accepts and stays silent, https status") << "silent https"
                                                                   << QByteArray("requestBlockStatusInfo")
                                                                   << QStringList{"answer"};
    QTest::newRow("port accepts but never speaks TLS, log-in")
        << "mute https" << QByteArray("requestUserValidation") << withAvailability;
}

// Without an HTTP status the answer still comes once: status 0, no data, nothing logged.
void tst_BlockConnectionManager::noHttpAnswer()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, slot);
    QFETCH(QStringList, events);
    const Call &c = call(slot);

    LogCapture log(kvr::log::ERR | kvr::log::WRN | kvr::log::DBG0);
    SimulatedBlock block(how.endsWith("https") ? Scheme::Https : Scheme::Http);
    QVERIFY(block.listen());
    block.setAction(c.path, how.startsWith("silent") ? SimulatedBlock::Action::Hold : SimulatedBlock::Action::Close);
    BlockConnectionManager manager;
    QCOMPARE(manager.transferTimeout(), 30000);
    if (how.startsWith("silent") || how.startsWith("mute"))
        manager.setTransferTimeout(300);
    QTcpServer mute; // accepts connections and never answers
    if (how == "refused") {
        manager.setUrl(block.host(), closedPort(), false);
    } else if (how == "mute https") {
        QVERIFY(mute.listen(QHostAddress::LocalHost, 0));
        manager.setUrl(block.host(), mute.serverPort(), true);
    } else if (how != "no url") {
        manager.setUrl(block.host(), block.port(), how.endsWith("https"));
    }

    EventLog recorder(manager, c);
    send(manager, c, QJsonObject{{"k", "v"}});
    QTRY_COMPARE(recorder.answers.size(), 1);
    QTest::qWait(0);
    QCOMPARE(recorder.events, events);
    const ResponsePtr response = recorder.answers.first();
    QCOMPARE(response->statusCode, 0);
    QCOMPARE(response->data.kind, ResponseData::None);
    QVERIFY(dynamic_cast<restservice::NoneData *>(response->data.payload.data()));
    QCOMPARE(log.texts(), QStringList());
    QCOMPARE(manager.openRequests(c.operation), 0);
}

void tst_BlockConnectionManager::serverAvailableOrder_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("events");
    const QByteArray error = R"({"error":{"code":1,"reason":"r","message":"m"}})";
    QTest::newRow("200, log-in") << QByteArray("requestUserValidation") << 200 << QByteArray("{}")
                                 << QStringList{"available", "answer"};
    QTest::newRow("200, block info") << QByteArray("requestBlockInfo") << 200 << QByteArray("{}")
                                     << QStringList{"answer"};
    QTest::newRow("404 error, log-in: error line first")
        << QByteArray("requestUserValidation") << 404 << error << QStringList{"available", "available", "answer"};
    QTest::newRow("401 error, block info") << QByteArray("requestBlockInfo") << 401 << error
                                           << QStringList{"available", "answer"};
    QTest::newRow("406 is an unknown code") << QByteArray("requestCubes") << 406 << error
                                            << QStringList{"unavailable", "available", "answer"};
    QTest::newRow("415 is an unknown code") << QByteArray("requestUserLogout") << 415 << error
                                            << QStringList{"unavailable", "answer"};
    QTest::newRow("409 logs no error line") << QByteArray("requestCubesAnalyticsInfo") << 409 << error
                                            << QStringList{"available", "answer"};
}

void tst_BlockConnectionManager::serverAvailableOrder()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QStringList, events);
    const Call &c = call(slot);

    SimulatedBlock block;
    QVERIFY(block.listen());
    block.setReply(c.path, status, "application/json", body);
    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), false);
    EventLog recorder(manager, c);
    send(manager, c, QJsonObject{{"last_timestamp", 0}});
    QTRY_COMPARE(recorder.answers.size(), 1);
    QTest::qWait(0);
    QCOMPARE(recorder.events, events);
    QCOMPARE(recorder.answers.first()->statusCode, status);
}

void tst_BlockConnectionManager::replyHandling_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("bodyRead");
    QTest::addColumn<QStringList>("logged");   // texts expected in the log, in order
    QTest::addColumn<QStringList>("notLogged");

    const QByteArray json = "application/json";
    QTest::newRow("204 without body is unhandled for block info")
        << QByteArray("requestBlockInfo") << 204 << QByteArray() << QByteArray() << int(ResponseData::None) << true
        << QStringList{"Unhandled status for empty data!"} << QStringList{};
    QTest::newRow("200 without body")
        << QByteArray("requestBlockInfo") << 200 << QByteArray() << QByteArray() << int(ResponseData::None) << true
        << QStringList{} << QStringList{"Unhandled"};
    QTest::newRow("409 outdated sequence number is quiet")
        << QByteArray("requestCubes") << 409 << json
        << QByteArray(R"({"error":{"code":409,"reason":"outdated_sequence_number","message":"late"}})")
        << int(ResponseData::Json) << false << QStringList{} << QStringList{"Conflict"};
    QTest::newRow("409 other reason logs the conflict")
        << QByteArray("requestCubes") << 409 << json
        << QByteArray(R"({"error":{"code":409,"reason":"busy","message":"try later"}})") << int(ResponseData::Json)
        << false << QStringList{"[ERROR] Conflict    Reason: busy   Message: try later"} << QStringList{"cubeId"};
    QTest::newRow("401 auth error gives the error line")
        << QByteArray("requestUserValidation") << 401 << json
        << QByteArray(R"({"error":{"code":401,"reason":"auth_error","message":"bad password"}})")
        << int(ResponseData::Json) << true
        << QStringList{"cubeId: -1   analyticId: -1   code: 401 Unauthorized    Reason: auth_error   Message: bad "
                       "password"}
        << QStringList{};
    QTest::newRow("503 names the unavailable service")
        << QByteArray("requestBlockStatusInfo") << 503 << json << QByteArray("{}") << int(ResponseData::Json)
        << true << QStringList{"code: 503 Temporarily unavailable"} << QStringList{};
    QTest::newRow("text body is an unhandled format")
        << QByteArray("requestBlockInfo") << 200 << QByteArray("text/plain") << QByteArray("hello")
        << int(ResponseData::String) << true << QStringList{"Unhandled data format!"} << QStringList{};
    QTest::newRow("zip body with 200")
        << QByteArray("requestBlockInfo") << 200 << QByteArray("application/zip") << QByteArray("PK\x03\x04")
        << int(ResponseData::Bytes) << true << QStringList{} << QStringList{"Unhandled"};
    QTest::newRow("zip body with 500")
        << QByteArray("requestBlockInfo") << 500 << QByteArray("application/zip") << QByteArray("PK")
        << int(ResponseData::Bytes) << true << QStringList{"Unhandled status for ZIP!"} << QStringList{};
    QTest::newRow("JSON with a charset is unsupported")
        << QByteArray("requestBlockInfo") << 200 << QByteArray("application/json; charset=utf-8")
        << QByteArray("{}") << int(ResponseData::None) << false
        << QStringList{"Error: UnsupportedMediaType The request's 'Content-Type' header contains an unsupported "
                       "format."}
        << QStringList{"Unhandled"};
    QTest::newRow("JSON in capitals is accepted")
        << QByteArray("requestBlockInfo") << 200 << QByteArray("Application/JSON") << QByteArray("{}")
        << int(ResponseData::Json) << true << QStringList{} << QStringList{"Error:"};
    QTest::newRow("broken JSON")
        << QByteArray("requestUserValidation") << 200 << json << QByteArray(R"({"role": "adm)")
        << int(ResponseData::Json) << false
        << QStringList{"Error: BadRequest application/json parse error:  ", "Response has no data!",
                       "Cannot convert data to JSON!"}
        << QStringList{};
}

// Decoding and classification: the record delivered and the lines logged for each kind of reply.
void tst_BlockConnectionManager::replyHandling()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(int, kind);
    QFETCH(bool, bodyRead);
    QFETCH(QStringList, logged);
    QFETCH(QStringList, notLogged);
    const Call &c = call(slot);

    SimulatedBlock block;
    QVERIFY(block.listen());
    block.setReply(c.path, status, contentType, body);
    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), false);
    QSignalSpy answer(&manager, signalSignature(c).constData());
    LogCapture log(kvr::log::ERR | kvr::log::WRN | kvr::log::DBG0);
    send(manager, c, QJsonObject{{"username", "u"}});
    QVERIFY(answer.wait());
    QTest::qWait(0);
    QCOMPARE(answer.count(), 1);

    const ResponsePtr response = responseAt(answer, 0);
    QCOMPARE(response->statusCode, status);
    QCOMPARE(int(response->data.kind), kind);
    QCOMPARE(response->bodyRead, bodyRead);

    const QStringList texts = log.texts();
    int from = 0;
    for (const QString &expected : logged) {
        int found = -1;
        for (int i = from; i < texts.size() && found < 0; ++i) {
            if (texts.at(i).contains(expected))
                found = i;
        }
        QVERIFY2(found >= 0, qPrintable(QString("missing \"%1\" in %2").arg(expected, texts.join(" | "))));
        from = found + 1;
    }
    for (const QString &unexpected : notLogged)
        QVERIFY2(!log.contains(unexpected), qPrintable(texts.join(" | ")));
}

void tst_BlockConnectionManager::hostileBodies_data()
{
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("logged");

    QByteArray garbage(10 * 1024 * 1024, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((quint32(i) * 7919u + 13u) & 0xffu);
    QTest::newRow("10 MB of garbage as JSON") << QByteArray("application/json") << garbage << 200
                                              << "Error: BadRequest application/json parse error:";
    QTest::newRow("10 MB of garbage without type") << QByteArray() << garbage << 200
                                                   << "The request's 'Content-Type' header is missing.";
    QTest::newRow("JSON array instead of object") << QByteArray("application/json") << QByteArray("[1,2,3]") << 401
                                                  << "code: 401 Unauthorized";
    QTest::newRow("error that is no object")
        << QByteArray("application/json") << QByteArray(R"({"error":"denied"})") << 403 << "code: 403 Forbidden";
    QTest::newRow("error fields of wrong types")
        << QByteArray("application/json")
        << QByteArray(R"({"error":{"code":"x","reason":[1],"message":{"a":1}}})") << 410 << "code: 410 Gone";
    QTest::newRow("image instead of JSON") << QByteArray("image/png") << QByteArray("\x89PNG\r\n") << 200
                                           << "contains an unsupported format.";
    QTest::newRow("HTML error page") << QByteArray("text/html") << QByteArray("<html>oops</html>") << 500
                                     << "Unhandled status for empty data!";
}

// Whatever a block sends, the request gets exactly one answer and the log says why it is unusable.
void tst_BlockConnectionManager::hostileBodies()
{
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(QString, logged);

    SimulatedBlock block(Scheme::Https);
    QVERIFY(block.listen());
    block.setReply("/users/auth", status, contentType, body);
    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), true);
    QSignalSpy answer(&manager, &BlockConnectionManager::userInfoResponseReceived);
    LogCapture log(kvr::log::ERR | kvr::log::WRN | kvr::log::DBG0);
    manager.requestUserValidation(QJsonObject{{"username", "u"}, {"password", "p"}});
    QVERIFY(answer.wait(10000));
    QTest::qWait(0);
    QCOMPARE(answer.count(), 1);
    const ResponsePtr response = responseAt(answer, 0);
    QCOMPARE(response->statusCode, status);
    QVERIFY2(log.contains(logged), qPrintable(log.texts().join(" | ")));

    // What the log-in handler does next must not fail either.
    int code = -5;
    QString reason = "unchanged";
    response->extractErrorResponse(&code, &reason, nullptr);
    QVERIFY(code == -5 || code == 0);
}

void tst_BlockConnectionManager::compressedReplyIsNotInflated_data()
{
    QTest::addColumn<bool>("chunked");
    QTest::newRow("1 MiB of gzip inflating to 1 GiB, length given") << false;
    QTest::newRow("1 MiB of gzip inflating to 1 GiB, chunked") << true;
}

// A compressed body is not inflated past the bound, here or on Qt's HTTP thread: it arrives as
// the reply that does not decode that it is, within a second, and the process holds little more.
void tst_BlockConnectionManager::compressedReplyIsNotInflated()
{
    QFETCH(bool, chunked);
    constexpr qint64 Limit = BoundedNetworkAccessManager::DefaultReplyLimit;
    constexpr qint64 Slack = 24 * 1024 * 1024;
    static const QByteArray bomb = SimulatedBlock::gzipOfZeros(1024LL * 1024 * 1024);
    const Call &c = call("requestBlockInfo");
    SimulatedBlock block;
    QVERIFY(block.listen());
    SimulatedBlock::Reply reply;
    reply.body = bomb;
    reply.chunked = chunked;
    reply.headers = {{"Content-Encoding", "gzip"}};
    block.setReply(c.path, reply);
    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), false);
    QSignalSpy answer(&manager, signalSignature(c).constData());

    QVERIFY(resetPeakResident());
    const qint64 before = peakResidentBytes();
    QElapsedTimer clock;
    clock.start();
    send(manager, c);
    QVERIFY(answer.wait(5000));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    const ResponsePtr response = responseAt(answer, 0);
    QCOMPARE(response->statusCode, 200);
    QVERIFY(!response->tooLarge);
    QVERIFY(!response->bodyRead);
    const qint64 held = peakResidentBytes() - before;
    QVERIFY2(held <= Limit + Slack, qPrintable(QString::number(held)));
}

void tst_BlockConnectionManager::replyBeyondTheLimit_data()
{
    constexpr qint64 Limit = BoundedNetworkAccessManager::DefaultReplyLimit;
    // Besides Qt's window, the socket buffers of both ends hold some MiB more; a reply read
    // without bounds would take hundreds of MiB while the window is busy.
    constexpr qint64 Slack = 24 * 1024 * 1024;
    QTest::addColumn<SimulatedBlock::Reply>("reply");
    QTest::addColumn<bool>("windowBusy");
    QTest::addColumn<bool>("cutOff");
    // What the block may get out to a poll; -1 where it sends no more than the reply itself.
    QTest::addColumn<qint64>("sentAtMost");

    const auto json = [](const QByteArray &body, SimulatedBlock::Action action = SimulatedBlock::Action::Answer,
                         qint64 declaredLength = -1, bool chunked = false) {
        SimulatedBlock::Reply reply;
        reply.body = body;
        reply.action = action;
        reply.declaredLength = declaredLength;
        reply.chunked = chunked;
        return reply;
    };
    // What a camera's web server streams on the port typed for a block.
    const SimulatedBlock::Reply endless = json(QByteArray(256 * 1024, ' '), SimulatedBlock::Action::Stream);
    QTest::newRow("body that never ends") << endless << false << true << Limit + Slack;
    QTest::newRow("body that never ends, window busy") << endless << true << true << Limit + Slack;
    QTest::newRow("4 GiB declared, nothing sent")
        << json(QByteArray(), SimulatedBlock::Action::Answer, 4LL * 1024 * 1024 * 1024) << false << true << -1LL;
    const QByteArray justFits = "{\"pad\":\"" + QByteArray(int(Limit) - 10, 'x') + "\"}";
    // Cut off at the headers: the body is not read through.
    QTest::newRow("one byte over, declared") << json(justFits + ' ') << false << true << Slack;
    QTest::newRow("one byte over, chunked")
        << json(justFits + ' ', SimulatedBlock::Action::Answer, -1, true) << false << true << -1LL;
    QTest::newRow("the limit itself") << json(justFits) << false << false << -1LL;
    QTest::newRow("the limit itself, chunked")
        << json(justFits, SimulatedBlock::Action::Answer, -1, true) << false << false << -1LL;
}

// A reply larger than any a block sends ends within a second as a block that does not answer,
// holding little more than the limit meanwhile, also while the window is busy; one line says
// why, and the next poll goes out. A reply of the limit itself is read.
void tst_BlockConnectionManager::replyBeyondTheLimit()
{
    QFETCH(SimulatedBlock::Reply, reply);
    QFETCH(bool, windowBusy);
    QFETCH(bool, cutOff);
    QFETCH(qint64, sentAtMost);
    constexpr qint64 Limit = BoundedNetworkAccessManager::DefaultReplyLimit;
    const Call &c = call("requestCubesAnalyticsInfo");

    LogCapture log(kvr::log::ERR | kvr::log::WRN);
    // On a thread of its own, the block goes on sending while this thread is busy.
    SimulatedBlockThread block;
    // The shared manager counts the cut-offs of an address across rows, and the kernel may hand
    // an earlier row's port out again: each row's block gets a port of its own.
    static QSet<quint16> usedPorts;
    QVERIFY(block.listen(usedPorts));
    usedPorts.insert(block.port());
    block.call([&](SimulatedBlock &b) { b.setReply(c.path, reply); });
    const auto requests = [&]() {
        int count = 0;
        block.call([&](SimulatedBlock &b) { count = b.requests(c.path).size(); });
        return count;
    };
    const auto sent = [&]() {
        qint64 bytes = 0;
        block.call([&](SimulatedBlock &b) { bytes = b.sentBytes(); });
        return bytes;
    };

    BlockConnectionManager manager;
    manager.setUrl(QStringLiteral("127.0.0.1"), block.port(), false);
    EventLog recorder(manager, c);
    for (int poll = 1; poll <= 2; ++poll) {
        QElapsedTimer clock;
        clock.start();
        send(manager, c, QJsonObject{{"cubes", QJsonArray()}});
        if (windowBusy) {
            QTRY_COMPARE(requests(), poll);
            QThread::msleep(500);
            clock.restart();
        }
        QTRY_COMPARE_WITH_TIMEOUT(recorder.answers.size(), poll, 5000);
        const ResponsePtr response = recorder.answers.last();
        QCOMPARE(response->tooLarge, cutOff);
        QCOMPARE(response->statusCode, cutOff ? 0 : 200);
        QCOMPARE(recorder.events.mid(recorder.events.size() - 2),
                 (QStringList{QLatin1String(cutOff ? "unavailable" : "available"), QStringLiteral("answer")}));
        if (cutOff)
            QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        else
            QCOMPARE(response->responseDataToJson()->object().value("pad").toString().size(), int(Limit) - 10);
        QCOMPARE(requests(), poll);
        if (sentAtMost >= 0)
            QVERIFY2(sent() <= poll * sentAtMost, qPrintable(QString::number(sent())));
    }
    QTest::qWait(0);
    QCOMPARE(recorder.answers.size(), 2);
    QCOMPARE(manager.openRequests(c.operation), 0);
    const QString line = QStringLiteral("[REST] http://127.0.0.1:%1 answered with more than 32 MiB; the reply was cut off.")
                             .arg(block.port());
    QVERIFY2(log.texts(kvr::log::WRN) == (cutOff ? QStringList{line} : QStringList()),
             qPrintable(log.texts().join(QLatin1String(" | "))));
}

// Answers held back by the block arrive later, each once, and the open-request counts return to 0.
void tst_BlockConnectionManager::heldRepliesAnsweredOnce()
{
    SimulatedBlock block;
    QVERIFY(block.listen());
    block.setAction("/block_status_info", SimulatedBlock::Action::Hold);
    block.setAction("/cubes/analytics/info", SimulatedBlock::Action::Hold);
    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), false);
    QSignalSpy status(&manager, &BlockConnectionManager::blockStatusInfoReceived);
    QSignalSpy analytics(&manager, &BlockConnectionManager::cubesAnalyticsInfoResponseReceived);

    manager.requestBlockStatusInfo();
    manager.requestBlockStatusInfo();
    manager.requestCubesAnalyticsInfo(QJsonObject{{"last_timestamp", 5}, {"cubes", QJsonArray{1, 2}}});
    QTRY_COMPARE(block.heldCount(), 3);
    QCOMPARE(manager.openRequests(Operation::BlockStatusInfo), 2);
    QCOMPARE(manager.openRequests(Operation::CubesAnalyticsInfo), 1);
    QCOMPARE(status.count(), 0);

    block.releaseHeld();
    QTRY_COMPARE(status.count(), 2);
    QTRY_COMPARE(analytics.count(), 1);
    // Every reply is handled once no request is open: a stray second emission would show now.
    QTRY_COMPARE(manager.openRequests(Operation::BlockStatusInfo), 0);
    QTRY_COMPARE(manager.openRequests(Operation::CubesAnalyticsInfo), 0);
    QCoreApplication::processEvents();
    QCOMPARE(status.count(), 2);
    QCOMPARE(analytics.count(), 1);
}

// A manager destroyed with requests in flight emits nothing afterwards and does not crash.
void tst_BlockConnectionManager::destroyedWithRequestsInFlight()
{
    SimulatedBlock block(Scheme::Https);
    QVERIFY(block.listen());
    for (const Call &c : calls())
        block.setAction(c.path, SimulatedBlock::Action::Hold);
    std::vector<std::unique_ptr<EventLog>> recorders;
    {
        BlockConnectionManager manager;
        manager.setUrl(block.host(), block.port(), true);
        for (const Call &c : calls())
            recorders.push_back(std::make_unique<EventLog>(manager, c));
        for (const Call &c : calls())
            send(manager, c, QJsonObject{{"k", 1}});
        // Qt opens at most six connections per host; the rest wait in the manager.
        QTRY_VERIFY(block.heldCount() >= 6);
    }
    block.releaseHeld();
    // The replies go to sockets that closed when the manager aborted its requests; only queued
    // work could still run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    for (const auto &recorder : recorders)
        QCOMPARE(recorder->events, QStringList());
    QVERIFY(block.requestCount() <= calls().size());
}

void tst_BlockConnectionManager::destroyedClientTakesItsRequestsAlong_data()
{
    QTest::addColumn<Scheme>("scheme");
    QTest::newRow("http") << Scheme::Http;
    QTest::newRow("https") << Scheme::Https;
}

// Every client sends through one shared manager, which owns the replies: a client destroyed with
// requests in flight aborts them, so that none of its waiting requests reaches the block later
// and no reply of it stays behind, while another client goes on.
void tst_BlockConnectionManager::destroyedClientTakesItsRequestsAlong()
{
    QFETCH(Scheme, scheme);
    SimulatedBlock block(scheme);
    QVERIFY(block.listen());
    block.setAction("/block_status_info", SimulatedBlock::Action::Hold);
    BlockConnectionManager other;
    other.setUrl(block.host(), block.port(), scheme == Scheme::Https);
    QSignalSpy otherInfo(&other, &BlockConnectionManager::blockInfoReceived);
    int sent = 0;
    {
        BlockConnectionManager client;
        client.setUrl(block.host(), block.port(), scheme == Scheme::Https);
        for (int i = 0; i < 10; ++i)
            client.requestBlockStatusInfo();
        // Qt opens at most six connections per host; the other requests wait in the manager.
        QTRY_VERIFY(block.heldCount() >= 6);
        sent = block.requests("/block_status_info").size();
        QVERIFY(sent < 10);
    }
    block.releaseHeld();
    // Asked after the dropped client's waiting requests, this answer comes after they would have gone.
    other.requestBlockInfo();
    QVERIFY(otherInfo.wait());
    QCOMPARE(responseAt(otherInfo, 0)->statusCode, 200);
    QCOMPARE(block.requests("/block_status_info").size(), sent);
    QTRY_COMPARE(BlockConnectionManager::sharedNetworkManager()->findChildren<QNetworkReply *>().size(), 0);
}

void tst_BlockConnectionManager::destroyedByReceiver_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("deleteOn");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("on the answer") << QByteArray("requestBlockInfo") << 200 << "answer" << QStringList{"answer"};
    QTest::newRow("on availability before the answer")
        << QByteArray("requestUserValidation") << 200 << "available" << QStringList{"available"};
    QTest::newRow("on the error line's availability")
        << QByteArray("requestCubes") << 404 << "available" << QStringList{"available"};
    QTest::newRow("on the answer to a failed log-out")
        << QByteArray("requestUserLogout") << 500 << "answer" << QStringList{"available", "answer"};
}

// An owner may drop the manager from a slot of its signals: no further emission, no crash.
void tst_BlockConnectionManager::destroyedByReceiver()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, status);
    QFETCH(QString, deleteOn);
    QFETCH(QStringList, events);
    const Call &c = call(slot);

    SimulatedBlock block;
    QVERIFY(block.listen());
    block.setReply(c.path, status, "application/json", R"({"error":{"code":1,"reason":"r","message":"m"}})");
    auto *manager = new BlockConnectionManager;
    QPointer<BlockConnectionManager> guard(manager);
    manager->setUrl(block.host(), block.port(), false);
    EventLog recorder(*manager, c);
    Destroyer destroyer(manager);
    const QByteArray signal = deleteOn == "answer" ? signalSignature(c) : QByteArray(SIGNAL(serverAvailable(bool)));
    QVERIFY(connect(manager, signal.constData(), &destroyer, SLOT(destroy())));
    send(*manager, c, QJsonObject{{"session_identifier", "s"}});
    QTRY_VERIFY(guard.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCOMPARE(recorder.events, events);
}

// The relaxed certificate check belongs to this manager's requests; the process keeps verifying.
void tst_BlockConnectionManager::relaxedSslStaysWithManager()
{
    SimulatedBlock block(Scheme::Https);
    QVERIFY(block.listen());
    const auto defaultMode = QSslConfiguration::defaultConfiguration().peerVerifyMode();

    BlockConnectionManager manager;
    manager.setUrl(block.host(), block.port(), true);
    QCOMPARE(QSslConfiguration::defaultConfiguration().peerVerifyMode(), defaultMode);
    QVERIFY(defaultMode != QSslSocket::VerifyNone);
    QSignalSpy answer(&manager, &BlockConnectionManager::blockInfoReceived);
    manager.requestBlockInfo();
    QVERIFY(answer.wait());
    QCOMPARE(responseAt(answer, 0)->statusCode, 200);

    QNetworkAccessManager other;
    QNetworkReply *reply = other.get(QNetworkRequest(QUrl(QStringLiteral("https://%1:%2/api/block_info")
                                                             .arg(block.host())
                                                             .arg(block.port()))));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait());
    QCOMPARE(reply->error(), QNetworkReply::SslHandshakeFailedError);
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 0);
    delete reply;

    // Still relaxed for the manager after the other connection failed.
    manager.requestBlockInfo();
    QVERIFY(answer.wait());
    QCOMPARE(responseAt(answer, 1)->statusCode, 200);
}

void tst_BlockConnectionManager::tokenAndAddressSignals()
{
    BlockConnectionManager manager(nullptr, QString());
    QSignalSpy token(&manager, &BlockConnectionManager::accessTokenChanged);
    QSignalSpy address(&manager, &BlockConnectionManager::addressChanged);
    QStringList seenByReceiver;
    connect(&manager, &BlockConnectionManager::addressChanged, this,
            [&]() { seenByReceiver << manager.baseAddress(); });
    manager.setAccessToken(QString());
    QCOMPARE(token.count(), 0);
    manager.setAccessToken("t1");
    manager.setAccessToken("t1");
    QCOMPARE(token.count(), 1);
    QCOMPARE(token.at(0).at(0).toString(), QString("t1"));

    manager.setUrl("127.0.0.1", 8080, false);
    QCOMPARE(manager.baseAddress(), QString("http://127.0.0.1:8080"));
    manager.setUrl("127.0.0.1", 8088, true);
    QCOMPARE(manager.baseAddress(), QString("https://127.0.0.1:8088/api"));
    QCOMPARE(address.count(), 2);
    QCOMPARE(seenByReceiver, (QStringList{"http://127.0.0.1:8080", "https://127.0.0.1:8088/api"}));
    QCOMPARE(manager.address(), QString("127.0.0.1"));
    QCOMPARE(manager.port(), 8088);
    QCOMPARE(manager.apiVersion(), QString("1.19.0"));
}

// The diagnostic switches, off in the product, report open requests and traffic once a second.
void tst_BlockConnectionManager::diagnostics()
{
    SimulatedBlock block;
    QVERIFY(block.listen());
    block.setAction("/cubes/cameras/info", SimulatedBlock::Action::Hold);
    LogCapture log(kvr::log::ERR | kvr::log::WRN | kvr::log::INF | kvr::log::DBG0);
    BlockConnectionManager::Diagnostics diagnostics;
    diagnostics.requestStatistics = true;
    diagnostics.trafficMonitoring = true;
    diagnostics.logSuccessfulReplies = true;
    BlockConnectionManager manager(nullptr, QString(), diagnostics);
    manager.setUrl(block.host(), block.port(), false);
    const QJsonObject body{{"cubes", QJsonArray{1}}};
    manager.requestCubesCamerasInfo(body);
    QTRY_VERIFY_WITH_TIMEOUT(log.contains("-------- ACCESS MANAGER TRAFFIC MONITORING --------"), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(log.contains("Total received (last minute): "), 3000);
    const int sent = QJsonDocument(body).toJson().size();
    QVERIFY2(log.texts().contains(QStringLiteral("Current sent: %1 bytes").arg(sent)), qPrintable(log.texts().join(" | ")));
    QTRY_VERIFY_WITH_TIMEOUT(log.contains("CubesCamerasInfo: 1\n"), 3000);
    QVERIFY(log.contains("\n ---- Request statistics: ---- \n"));

    QSignalSpy info(&manager, &BlockConnectionManager::blockInfoReceived);
    manager.requestBlockInfo();
    QVERIFY(info.wait());
    QVERIFY(log.contains("requestBlockInfo() Success"));
}

QTEST_GUILESS_MAIN(tst_BlockConnectionManager)
#include "tst_BlockConnectionManager.moc"
