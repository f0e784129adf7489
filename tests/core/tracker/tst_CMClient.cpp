#include "core/data/SourceTimestamp.h"
#include "core/net/PacketFraming.h"
#include "core/tracker/CMClient.h"
#include "core/tracker/TrackerPacketType.h"
#include "support/LogCapture.h"
#include "support/SimulatedTrackerNode.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <functional>

using kvr::net::PacketFraming;
using kvr::tracker::net::CMClient;
using kvr::tracker::net::TrackerPacketType;
using SourcesData = QMap<quint32, QHash<QString, QVariant>>;

namespace {

// Ids of the threads of this process named "TCPConnection" (Linux shows the name under /proc).
QSet<QString> connectionThreads()
{
    QSet<QString> ids;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "TCPConnection")
            ids.insert(task);
    }
    return ids;
}

} // namespace

class tst_CMClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void goldenCommandBytes();
    void authorization_data();
    void authorization();
    void commandsArriveInOrder();
    void packetsReachTheirSignals_data();
    void packetsReachTheirSignals();
    void packetSplitAcrossSegments();
    void badInputDropsAndReconnects_data();
    void badInputDropsAndReconnects();
    void destroyedWithWorkInFlight_data();
    void destroyedWithWorkInFlight();
    void fullReadBufferKeepsReading();

private:
    void connectAndAuthorize();

    SimulatedTrackerNode *m_node = nullptr;
    CMClient *m_client = nullptr;
};

void tst_CMClient::init()
{
    m_node = new SimulatedTrackerNode(this);
    QVERIFY(m_node->listen());
    m_client = new CMClient(this);
    m_client->setHostAddress(m_node->address());
    m_client->setPort(m_node->port());
}

void tst_CMClient::cleanup()
{
    delete m_client;
    delete m_node;
}

void tst_CMClient::connectAndAuthorize()
{
    QSignalSpy authorized(m_client, &CMClient::authorizedReceived);
    m_client->connect();
    QVERIFY(authorized.wait());
}

void tst_CMClient::goldenCommandBytes()
{
    QByteArray expected = QByteArray::fromHex("00000028");
    for (QChar c : QStringLiteral("request_sources_data"))
        expected += QByteArray(1, '\0') + QByteArray(1, c.toLatin1());
    expected += QByteArray::fromHex("0000000001");
    QCOMPARE(expected.size(), 49);
    QCOMPARE(CMClient::commandBody(QStringLiteral("request_sources_data"), QVariant()), expected);

    // On the wire: party information first, then the command in its frame.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    m_client->setPort(server.serverPort());
    QSignalSpy connected(m_client, &CMClient::connected);
    m_client->connect();
    QVERIFY(connected.wait());
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    m_client->command(QStringLiteral("request_sources_data"), QVariant());
    QByteArray received;
    QTRY_VERIFY((received += peer->readAll()).endsWith(QByteArray::fromHex("4b54000100000031") + expected));
    QCOMPARE(received.left(4), QByteArray::fromHex("4b540020"));
    QCOMPARE(received.size() - 57, int(qFromBigEndian<quint32>(received.constData() + 4)) + PacketFraming::HeaderSize);
}

void tst_CMClient::authorization_data()
{
    QTest::addColumn<bool>("authorized");
    QTest::newRow("authorized") << true;
    QTest::newRow("unauthorized") << false;
}

void tst_CMClient::authorization()
{
    QFETCH(bool, authorized);
    m_node->setAuthorized(authorized);
    QSignalSpy yes(m_client, &CMClient::authorizedReceived);
    QSignalSpy no(m_client, &CMClient::unauthorizedReceived);
    m_client->connect();
    QTRY_COMPARE(yes.count() + no.count(), 1);
    QCOMPARE(yes.count(), authorized ? 1 : 0);
    QCOMPARE(m_node->partyInformation().value(QStringLiteral("protocol_version")).toInt(), 1);
}

void tst_CMClient::commandsArriveInOrder()
{
    connectAndAuthorize();
    const QVariantMap format{{QStringLiteral("source_id"), 3u},
                             {QStringLiteral("image_data_bandwidth_parameters"),
                              QVariantMap{{QStringLiteral("flength_mul"), 1u}}}};
    const QVector<SimulatedTrackerNode::Command> sent{
        {QStringLiteral("request_sources_data"), QVariant()},
        {QStringLiteral("request_frames"), format},
        {QStringLiteral("request_time"), format},
        {QStringLiteral("request_time_stop"), format},
        {QStringLiteral("request_frames_stop_all"), QVariant()},
    };
    for (const auto &command : sent)
        m_client->command(command.name, command.data);
    QTRY_COMPARE(m_node->commands().size(), sent.size());
    for (int i = 0; i < sent.size(); ++i) {
        QCOMPARE(m_node->commands().at(i).name, sent.at(i).name);
        QCOMPARE(m_node->commands().at(i).data, sent.at(i).data);
    }
    QCOMPARE(m_node->decodeErrors(), 0);
}

void tst_CMClient::packetsReachTheirSignals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariantList>("expected");

    QTest::newRow("source status") << QStringLiteral("status")
                                   << QVariantList{4u, QStringLiteral("source_state_running"), QStringLiteral("ok")};
    QTest::newRow("source status without state information")
        << QStringLiteral("status-short") << QVariantList{5u, QStringLiteral("source_state_closed"), QString()};
    QTest::newRow("error") << QStringLiteral("error") << QVariantList{6u, QStringLiteral("camera lost")};
    QTest::newRow("sources data") << QStringLiteral("sources") << QVariantList{};
    QTest::newRow("time stamps until stopped") << QStringLiteral("time") << QVariantList{};
    QTest::newRow("unknown info text is ignored") << QStringLiteral("info") << QVariantList{};
}

void tst_CMClient::packetsReachTheirSignals()
{
    QFETCH(QString, kind);
    QFETCH(QVariantList, expected);

    LogCapture log;
    connectAndAuthorize();
    QThread *emittedIn = nullptr;
    const auto note = [&] { emittedIn = QThread::currentThread(); };
    QObject::connect(m_client, &CMClient::sourceStatusReceived, this, note, Qt::DirectConnection);
    QObject::connect(m_client, &CMClient::errorReceived, this, note, Qt::DirectConnection);
    QObject::connect(m_client, &CMClient::sourcesDataReceived, this, note, Qt::DirectConnection);
    QObject::connect(m_client, &CMClient::sourceTimestampReceived, this, note, Qt::DirectConnection);
    // Owners forward these signals to other threads: every argument type must survive a queue.
    int queued = 0;
    const auto count = [&] { ++queued; };
    QObject::connect(m_client, &CMClient::sourceStatusReceived, this, count, Qt::QueuedConnection);
    QObject::connect(m_client, &CMClient::errorReceived, this, count, Qt::QueuedConnection);
    QObject::connect(m_client, &CMClient::sourcesDataReceived, this, count, Qt::QueuedConnection);
    QObject::connect(m_client, &CMClient::sourceTimestampReceived, this, count, Qt::QueuedConnection);
    QSignalSpy status(m_client, &CMClient::sourceStatusReceived);
    QSignalSpy errors(m_client, &CMClient::errorReceived);
    QSignalSpy sources(m_client, &CMClient::sourcesDataReceived);
    QSignalSpy timestamps(m_client, &CMClient::sourceTimestampReceived);
    QSignalSpy linkErrors(m_client, &CMClient::errorString);

    SourcesData sourcesData;
    sourcesData[7].insert(QStringLiteral("source_definition"),
                          QVariantMap{{QStringLiteral("source_definition_type"), QStringLiteral("Video")}});
    sourcesData[9].insert(QStringLiteral("name"), QStringLiteral("north"));

    if (kind == QLatin1String("status")) {
        m_node->sendSourceStatus(4, expected.at(1).toString(), expected.at(2).toString());
        QVERIFY(status.wait());
        QCOMPARE(status.at(0), expected);
    } else if (kind == QLatin1String("status-short")) {
        m_node->sendSourceStatus(5, expected.at(1).toString(), QString(), false);
        QVERIFY(status.wait());
        QCOMPARE(status.at(0), expected);
    } else if (kind == QLatin1String("error")) {
        m_node->sendError(6, expected.at(1).toString());
        QVERIFY(errors.wait());
        QCOMPARE(errors.at(0), expected);
    } else if (kind == QLatin1String("sources")) {
        m_node->setSourcesData(sourcesData);
        m_client->command(QStringLiteral("request_sources_data"), QVariant());
        QVERIFY(sources.wait());
        QCOMPARE(sources.at(0).at(0).value<SourcesData>(), sourcesData);
    } else if (kind == QLatin1String("time")) {
        const QVariantMap format{{QStringLiteral("source_id"), 11u}};
        m_client->command(QStringLiteral("request_time"), format);
        QTRY_VERIFY(timestamps.count() >= 2);
        const auto first = timestamps.at(0).at(0).value<std::shared_ptr<kvr::tracker::common::SourceTimestamp>>();
        const auto second = timestamps.at(1).at(0).value<std::shared_ptr<kvr::tracker::common::SourceTimestamp>>();
        QVERIFY(first && second && first != second);
        QCOMPARE(first->getSourceID(), qint64(11));
        QCOMPARE(second->getDataTimestampMS(), first->getDataTimestampMS() + 1);
        QCOMPARE(first->getVideoTimestampMS(), first->getDataTimestampMS() + 1000);
        m_client->command(QStringLiteral("request_time_stop"), format);
        QTRY_COMPARE(m_node->timeStreams(), 0);
    } else {
        m_node->sendInfo(QStringLiteral("maintenance"));
        QTRY_VERIFY(log.contains(QStringLiteral("Unknown info \"maintenance\" ignored.")));
        QCOMPARE(linkErrors.count(), 0);
        return;
    }
    QCOMPARE(emittedIn, QThread::currentThread());
    QTRY_VERIFY(queued >= 1);
    QCOMPARE(linkErrors.count(), 0);
}

void tst_CMClient::packetSplitAcrossSegments()
{
    connectAndAuthorize();
    QSignalSpy errors(m_client, &CMClient::errorReceived);
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    PacketFraming::prepare(stream);
    stream << quint32(12) << QStringLiteral("split");
    const QByteArray packet = PacketFraming::packet(quint16(TrackerPacketType::Error), body);
    for (char byte : packet) {
        m_node->sendRaw(QByteArray(1, byte));
        QCoreApplication::processEvents();
    }
    // The packet may be whole, and its signal in, before the loop above ends.
    QTRY_COMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0), (QVariantList{12u, QStringLiteral("split")}));
}

void tst_CMClient::badInputDropsAndReconnects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    QByteArray frame = PacketFraming::packet(quint16(TrackerPacketType::Frame2), QByteArray(100, 'x'));
    QTest::newRow("length above the maximum")
        << PacketFraming::header(quint16(TrackerPacketType::Frame2), 0x7fffffff)
        << QStringLiteral("Packet of type 13 announces 2147483647 bytes, more than the maximum of 33554432.");
    QTest::newRow("unknown type") << PacketFraming::packet(5, QByteArray("abc"))
                                  << QStringLiteral("Unknown packet type 5.");
    QTest::newRow("command from the node") << PacketFraming::packet(quint16(TrackerPacketType::Command), QByteArray())
                                           << QStringLiteral("Unknown packet type 1.");
    QTest::newRow("body that does not decode")
        << PacketFraming::packet(quint16(TrackerPacketType::Info), QByteArray::fromHex("00000005"))
        << QStringLiteral("Packet of type 0 with 4 bytes does not decode.");
    QTest::newRow("frame that is not a map")
        << PacketFraming::packet(quint16(TrackerPacketType::Frame2), SimulatedTrackerNode::frameBody({}, {}).mid(5))
        << QStringLiteral("Packet of type 13 with 13 bytes does not decode.");
    QTest::newRow("closed in the middle of a packet")
        << frame.left(50) << QStringLiteral("Connection closed in the middle of a packet, 50 bytes dropped.");
    QTest::newRow("closed between packets") << QByteArray() << QStringLiteral("The remote host closed the connection");
}

void tst_CMClient::badInputDropsAndReconnects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);

    LogCapture log;
    connectAndAuthorize();
    QSignalSpy errors(m_client, &CMClient::errorString);
    QSignalSpy authorized(m_client, &CMClient::authorizedReceived);
    m_node->sendRaw(bytes);
    m_node->closeConnection(); // drops the link if the client did not
    QVERIFY(errors.wait());
    QCOMPARE(errors.at(0).at(0).toString(), error);
    QVERIFY(log.texts(kvr::log::ERR).contains(error));
    QVERIFY(authorized.wait(3000));
    QCOMPARE(m_node->connectionCount(), 2);
}

void tst_CMClient::destroyedWithWorkInFlight_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<bool>("inWorker");
    for (const bool inWorker : {false, true}) {
        const char *owner = inWorker ? "owned by a worker thread" : "owned by the test thread";
        QTest::addRow("connecting, %s", owner) << QStringLiteral("connecting") << inWorker;
        QTest::addRow("frames streaming, %s", owner) << QStringLiteral("streaming") << inWorker;
        QTest::addRow("waiting to reconnect, %s", owner) << QStringLiteral("reconnecting") << inWorker;
    }
}

// The receiver's worker owns its client and may drop it at any moment: the client must not hang
// or crash, must join its "TCPConnection" thread, and emits only in its owner's thread.
void tst_CMClient::destroyedWithWorkInFlight()
{
    QFETCH(QString, stage);
    QFETCH(bool, inWorker);

    LogCapture log;
    // A thread takes its name once it runs, and stays listed a moment after wait() returned: a
    // blocking call through the fixture's client makes sure its thread runs and is named, so that
    // the one thread new below is the new client's.
    m_client->disconnect();
    const QSet<QString> threadsBefore = connectionThreads();
    m_node->setFrame({{QStringLiteral("data"), QByteArray(16, '\x7f')},
                      {QStringLiteral("size"), QSize(4, 4)},
                      {QStringLiteral("channels"), 1}});
    m_node->setFrameInterval(0);
    quint16 port = m_node->port();
    if (stage == QLatin1String("reconnecting")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        port = closed.serverPort();
    }

    CMClient *client = nullptr;
    std::atomic<int> authorized{0};
    std::atomic<int> images{0};
    std::atomic<int> errors{0};
    std::atomic<QThread *> emittedIn{nullptr};
    QThread worker;
    auto *context = new QObject;
    if (inWorker) {
        worker.start();
        context->moveToThread(&worker);
    }
    const auto inOwner = [&](const std::function<void()> &work) {
        if (inWorker)
            QMetaObject::invokeMethod(context, work, Qt::BlockingQueuedConnection);
        else
            work();
    };
    // Also when a check fails half-way: the client goes in its owner's thread, the worker ends.
    const auto dropAll = [&] {
        inOwner([&] {
            delete client;
            client = nullptr;
        });
        if (inWorker) {
            worker.quit();
            worker.wait();
        }
        delete context;
        context = nullptr;
    };
    auto cleanup = qScopeGuard(dropAll);
    inOwner([&] {
        client = new CMClient;
        client->setHostAddress(m_node->address());
        client->setPort(port);
        QObject::connect(client, &CMClient::authorizedReceived, [&] {
            emittedIn = QThread::currentThread();
            ++authorized;
        });
        QObject::connect(client, &CMClient::imageReceived, [&] {
            emittedIn = QThread::currentThread();
            ++images;
        });
        QObject::connect(client, &CMClient::errorString, [&] { ++errors; });
        client->connect();
    });
    // connect() went through the new client's thread, so it runs under its name by now.
    const QSet<QString> ownThreads = connectionThreads() - threadsBefore;
    QCOMPARE(ownThreads.size(), 1);

    if (stage == QLatin1String("streaming")) {
        QTRY_COMPARE(authorized.load(), 1);
        const QVariantMap format{{QStringLiteral("source_id"), 2u},
                                 {QStringLiteral("image_data_bandwidth_parameters"),
                                  QVariantMap{{QStringLiteral("flength_mul"), 1u}}}};
        inOwner([&] { client->command(QStringLiteral("request_frames"), format); });
        QTRY_VERIFY(images.load() >= 20);
        QCOMPARE(emittedIn.load(), inWorker ? &worker : QThread::currentThread());
    } else if (stage == QLatin1String("reconnecting")) {
        QTRY_VERIFY(errors.load() >= 1);
    }

    cleanup.dismiss();
    dropAll();
    QVERIFY(worker.isFinished() || !inWorker);
    QTRY_VERIFY_WITH_TIMEOUT(!connectionThreads().contains(*ownThreads.cbegin()), 20000);
    QCOMPARE(m_node->decodeErrors(), 0);
}

// A node faster than its client fills the connection's read buffer; once the client catches
// up, the link must read on instead of stalling until it is taken for dead.
void tst_CMClient::fullReadBufferKeepsReading()
{
    auto *node = new SimulatedTrackerNode;
    QVERIFY(node->listen());
    QThread nodeThread;
    node->moveToThread(&nodeThread);
    connect(&nodeThread, &QThread::finished, node, &QObject::deleteLater);
    nodeThread.start();
    const auto stopNode = qScopeGuard([&] {
        nodeThread.quit();
        nodeThread.wait();
    });

    CMClient client;
    client.setHostAddress(node->address());
    client.setPort(node->port());
    int frames = 0;
    QObject::connect(&client, &CMClient::imageReceived, &client, [&] { ++frames; });
    QSignalSpy authorized(&client, &CMClient::authorizedReceived);
    client.connect();
    QVERIFY(authorized.wait());

    // 48 MiB, more than the socket holds: this thread is busy while the node sends them.
    constexpr int Count = 48;
    const QVariantMap frame{{QStringLiteral("data"), QByteArray(1 << 20, 'x')}};
    const QVariantMap format{{QStringLiteral("source_id"), 1u}};
    QMetaObject::invokeMethod(node, [&] {
        for (int i = 0; i < Count; ++i)
            node->sendFrame(frame, format);
    });
    QThread::msleep(1500);
    // A stalled link is dropped as dead and what it held is lost: waiting longer cannot help it.
    QTRY_COMPARE_WITH_TIMEOUT(frames, Count, 20000);
}

QTEST_GUILESS_MAIN(tst_CMClient)
#include "tst_CMClient.moc"
