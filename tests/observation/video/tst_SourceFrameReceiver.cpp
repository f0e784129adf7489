#include "core/tracker/CMClientFrame.h"
#include "observation/video/FrameReceiverRegistry.h"
#include "observation/video/SourceFrameReceiver.h"
#include "support/LogCapture.h"
#include "support/SimulatedTrackerNode.h"
#include "support/FrameTestFixtures.h"

#include <QDeadlineTimer>
#include <QPair>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <vector>

using kvr::QMTClient::SourceFrameReceiver;
using kvr::tracker::common::SourceDefinition;
using kvr::tracker::common::SourceFrameFormatDefinition;
using kvr::tracker::net::CMClient;
using namespace frametest;

using SizeChange = QPair<QSize, QSize>;
Q_DECLARE_METATYPE(QVector<QSize>)
Q_DECLARE_METATYPE(QVector<SizeChange>)

namespace {

QStringList steps(const char *names)
{
    return QString::fromLatin1(names).split(QLatin1Char(' '));
}

} // namespace

class tst_SourceFrameReceiver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void registryKeys_data();
    void registryKeys();
    void commandFlow_data();
    void commandFlow();
    void cubeFramesFollowTimeStamps();
    void unmatchedSourcesAreAskedAgain();
    void unauthorizedNodeGetsNoCommands();
    void servedSingleShotForgetsItsSource();
    void slowConsumerGetsOnlyTheNewestFrame();
    void streamDecodedAtItsLargestShownSize_data();
    void streamDecodedAtItsLargestShownSize();
    void stoppedStreamKeepsNoFrame_data();
    void stoppedStreamKeepsNoFrame();

private:
    SourceFrameReceiver *acquire();

    SimulatedTrackerNode *m_node = nullptr;
};

void tst_SourceFrameReceiver::init()
{
    m_node = startNode(this);
    QVERIFY(m_node);
}

void tst_SourceFrameReceiver::cleanup()
{
    releaseAllReceivers();
    delete m_node;
}

SourceFrameReceiver *tst_SourceFrameReceiver::acquire()
{
    return kvr::QMTClient::acquireFrameReceiver(m_node->address(), m_node->port());
}

void tst_SourceFrameReceiver::registryKeys_data()
{
    QTest::addColumn<QString>("addressA");
    QTest::addColumn<int>("portA");
    QTest::addColumn<QString>("addressB");
    QTest::addColumn<int>("portB");
    QTest::addColumn<bool>("same");
    QTest::newRow("same node") << QStringLiteral("127.0.0.1") << 5556 << QStringLiteral("127.0.0.1") << 5556 << true;
    QTest::newRow("other port") << QStringLiteral("127.0.0.1") << 5556 << QStringLiteral("127.0.0.1") << 5557 << false;
    // Address text and port order disagree: both keys must still be found again.
    QTest::newRow("greater text, smaller port") << QStringLiteral("127.0.0.2") << 1 << QStringLiteral("127.0.0.10") << 9 << false;
    QTest::newRow("other address") << QStringLiteral("127.0.0.1") << 5556 << QStringLiteral("127.0.0.3") << 5556 << false;
}

void tst_SourceFrameReceiver::registryKeys()
{
    QFETCH(QString, addressA);
    QFETCH(int, portA);
    QFETCH(QString, addressB);
    QFETCH(int, portB);
    QFETCH(bool, same);
    using kvr::QMTClient::acquireFrameReceiver;
    SourceFrameReceiver *a = acquireFrameReceiver(QHostAddress(addressA), quint16(portA));
    SourceFrameReceiver *b = acquireFrameReceiver(QHostAddress(addressB), quint16(portB));
    QCOMPARE(a == b, same);
    QCOMPARE(acquireFrameReceiver(QHostAddress(addressA), quint16(portA)), a);
    QCOMPARE(acquireFrameReceiver(QHostAddress(addressB), quint16(portB)), b);
    QCOMPARE(kvr::QMTClient::frameReceiverRegistry().receivers.size(), same ? 1 : 2);
    releaseAllReceivers();
    QVERIFY(kvr::QMTClient::frameReceiverRegistry().receivers.isEmpty());
}

// A script of calls and node events; the node's command log must then read `expected`. Every
// script that ends authorized is closed by a stop-all, whose arrival proves that nothing was
// sent in between that the list does not name.
void tst_SourceFrameReceiver::commandFlow_data()
{
    QTest::addColumn<bool>("cube");
    QTest::addColumn<bool>("singleShot");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("expected");

    const QString sd = QStringLiteral("request_sources_data");
    const QString frames = QStringLiteral("request_frames");
    const QString stop = QStringLiteral("request_frames_stop");
    const QString time = QStringLiteral("request_time");
    const QString timeStop = QStringLiteral("request_time_stop");
    const QString all = QStringLiteral("request_frames_stop_all");

    QTest::newRow("two starts before authorization request once")
        << false << false << steps("start start connect frame") << QStringList{sd, frames, all};
    QTest::newRow("continuing format asked again sends nothing")
        << false << false << steps("connect start frame start") << QStringList{sd, sd, frames, all};
    QTest::newRow("single-shot format asked again is asked again")
        << false << true << steps("start start connect frame start frame")
        << QStringList{sd, frames, frames, all};
    QTest::newRow("first stop of two sends nothing, second stops")
        << false << false << steps("start start connect frame stop stop")
        << QStringList{sd, frames, stop, all};
    QTest::newRow("cube: first frame turns the stream into time stamps")
        << true << false << steps("start connect frame stop") << QStringList{sd, frames, stop, time, timeStop, all};
    QTest::newRow("cube stopped before its first frame stops its frames too")
        << true << false << steps("start connect mapped stop") << QStringList{sd, frames, stop, timeStop, all};
    QTest::newRow("stop all ends the time streams as well")
        << true << false << steps("start connect frame") << QStringList{sd, frames, stop, time, all, timeStop};
    QTest::newRow("node dropped: formats asked again once")
        << false << false << steps("start connect frame drop frame oneStream")
        << QStringList{sd, frames, sd, frames, all};
    QTest::newRow("connect while connected asks again once")
        << false << false << steps("start connect frame connect frame oneStream")
        << QStringList{sd, frames, sd, frames, all};
    QTest::newRow("cube after a drop streams time once")
        << true << false << steps("start connect frame timeStream drop frame oneTimeStream")
        << QStringList{sd, frames, stop, time, sd, frames, stop, time, all, timeStop};
    QTest::newRow("closed source is looked up and asked again")
        << false << false << steps("start connect frame closed frame")
        << QStringList{sd, frames, sd, frames, all};
}

void tst_SourceFrameReceiver::commandFlow()
{
    QFETCH(bool, cube);
    QFETCH(bool, singleShot);
    QFETCH(QStringList, script);
    QFETCH(QStringList, expected);

    const std::shared_ptr<SourceDefinition> definition = cube ? cubeDefinition() : videoDefinition(QStringLiteral("a"));
    const quint32 sourceId = cube ? CubeSourceId : VideoSourceIdA;
    const SourceFrameFormatDefinition format = frameFormat(singleShot ? 0 : 1);
    SourceFrameReceiver *receiver = acquire();
    QSignalSpy images(receiver, &SourceFrameReceiver::imageReceived);
    QVERIFY(images.isValid());
    int connections = 0;

    for (const QString &step : qAsConst(script)) {
        if (step == QLatin1String("start")) {
            receiver->startRequest(definition, format);
        } else if (step == QLatin1String("stop")) {
            receiver->stopRequest(definition, format);
        } else if (step == QLatin1String("connect")) {
            // Authorized once the worker asks for the node's sources.
            const int asked = m_node->commandNames().count(QStringLiteral("request_sources_data"));
            receiver->connect();
            QTRY_VERIFY(m_node->commandNames().count(QStringLiteral("request_sources_data")) > asked);
            ++connections;
        } else if (step == QLatin1String("frame")) {
            QTRY_VERIFY(!images.isEmpty());
            images.clear();
        } else if (step == QLatin1String("mapped")) {
            QTRY_VERIFY(m_node->commandNames().contains(QStringLiteral("request_frames")));
        } else if (step == QLatin1String("drop")) {
            QTRY_COMPARE(m_node->connectionCount(), connections);
            m_node->dropConnection();
            ++connections;
            QTRY_COMPARE(m_node->connectionCount(), connections);
            images.clear();
        } else if (step == QLatin1String("closed")) {
            m_node->sendSourceStatus(sourceId, QStringLiteral("source_state_closed"));
            QTRY_COMPARE(m_node->commandNames().count(QStringLiteral("request_frames")), 2);
            images.clear();
        } else if (step == QLatin1String("oneStream")) {
            // A new connection starts without streams; a frame of the old one may still have
            // been on its way, so the count is read once the formats were asked for again.
            QTRY_COMPARE(m_node->commandNames().count(QStringLiteral("request_frames")),
                         m_node->commandNames().count(QStringLiteral("request_sources_data")));
            QCOMPARE(m_node->frameStreams(), 1);
        } else if (step == QLatin1String("timeStream")) {
            QTRY_COMPARE(m_node->timeStreams(), 1);
        } else if (step == QLatin1String("oneTimeStream")) {
            QTRY_COMPARE(m_node->commandNames().count(QStringLiteral("request_time")), 2);
            QCOMPARE(m_node->timeStreams(), 1);
        }
    }
    receiver->stopRequest();

    QTRY_COMPARE(m_node->commandNames(), expected);
    // Format commands carry the format's map with the node's source id; the others nothing.
    QVariantMap payload = format.valueMap();
    payload.insert(QStringLiteral("source_id"), sourceId);
    for (const SimulatedTrackerNode::Command &command : m_node->commands()) {
        const bool bare = command.name == QLatin1String("request_sources_data")
            || command.name == QLatin1String("request_frames_stop_all");
        QCOMPARE(command.data, bare ? QVariant() : QVariant(payload));
    }
}

void tst_SourceFrameReceiver::cubeFramesFollowTimeStamps()
{
    m_node->setTimeInterval(10);
    SourceFrameReceiver *receiver = acquire();
    QSignalSpy images(receiver, &SourceFrameReceiver::imageReceived);
    receiver->startRequest(cubeDefinition(), frameFormat(1));
    receiver->connect();
    QTRY_VERIFY(images.size() >= 4);

    const auto frameAt = [&](int i) { return images.at(i).at(1).value<std::shared_ptr<CMClient::Frame>>(); };
    QVector<qint64> stamps;
    for (int i = 0; i < images.size(); ++i) {
        if (i > 0)
            QVERIFY(frameAt(i) != frameAt(0));
        const auto definition = images.at(i).at(0).value<std::shared_ptr<SourceDefinition>>();
        QCOMPARE(definition->getType(), SourceDefinition::SourceDefinitionType::Cube);
        QCOMPARE(frameAt(i)->getImage(), frameAt(0)->getImage());
        stamps << frameAt(i)->getSourceFrame().getTimestamp().getDataTimestampMS();
    }
    // Each time stamp re-sends the image under its own, newer time.
    for (int i = 1; i < stamps.size(); ++i)
        QVERIFY2(stamps.at(i) > stamps.at(i - 1), qPrintable(QStringLiteral("%1 after %2").arg(stamps.at(i)).arg(stamps.at(i - 1))));
    QCOMPARE(m_node->frameStreams(), 0);
}

void tst_SourceFrameReceiver::unmatchedSourcesAreAskedAgain()
{
    m_node->setSourcesData({});
    SourceFrameReceiver *receiver = acquire();
    QSignalSpy images(receiver, &SourceFrameReceiver::imageReceived);
    receiver->startRequest(videoDefinition(QStringLiteral("a")), frameFormat(1));
    receiver->connect();
    // One answer starts one retry a second later, and that one the next.
    QTRY_COMPARE_WITH_TIMEOUT(m_node->commandNames().count(QStringLiteral("request_sources_data")), 3, 5000);
    QCOMPARE(m_node->commandNames().count(), 3);
    m_node->setSourcesData(nodeSources());
    QTRY_VERIFY_WITH_TIMEOUT(!images.isEmpty(), 5000);
    QCOMPARE(m_node->commandNames().count(QStringLiteral("request_frames")), 1);
}

void tst_SourceFrameReceiver::unauthorizedNodeGetsNoCommands()
{
    LogCapture log(kvr::log::ERR);
    m_node->setAuthorized(false);
    SourceFrameReceiver *receiver = acquire();
    receiver->startRequest(videoDefinition(QStringLiteral("a")), frameFormat(1));
    receiver->connect();
    // The request was recorded before the answer, so it would have been sent by now.
    QTRY_VERIFY(log.contains(QStringLiteral("Connection is not authorized!")));
    QCOMPARE(m_node->commandNames(), QStringList());
}

void tst_SourceFrameReceiver::servedSingleShotForgetsItsSource()
{
    LogCapture log(kvr::log::ERR);
    SourceFrameReceiver *receiver = acquire();
    QSignalSpy images(receiver, &SourceFrameReceiver::imageReceived);
    receiver->startRequest(videoDefinition(QStringLiteral("a")), frameFormat(0));
    receiver->connect();
    QTRY_COMPARE(images.size(), 1);

    // The source is forgotten with its last format, mapping included: a stray frame is dropped.
    QVariantMap format = frameFormat(0).valueMap();
    format.insert(QStringLiteral("source_id"), VideoSourceIdA);
    m_node->sendFrame(jpegFrame(), format);
    QTRY_VERIFY(log.contains(QStringLiteral("Could not map source id (%1) to internal id!").arg(VideoSourceIdA)));
    QCOMPARE(images.size(), 1);
}

void tst_SourceFrameReceiver::slowConsumerGetsOnlyTheNewestFrame()
{
    // The node streams from a thread of its own while this thread is busy.
    SimulatedTrackerNode *node = startNode();
    QVERIFY(node);
    node->setFrameInterval(5);
    QThread nodeThread;
    node->moveToThread(&nodeThread);
    connect(&nodeThread, &QThread::finished, node, &QObject::deleteLater);
    nodeThread.start();
    const auto stopNode = qScopeGuard([&] {
        releaseAllReceivers();
        nodeThread.quit();
        nodeThread.wait();
    });
    const auto framesSent = [node] {
        int sent = 0;
        QMetaObject::invokeMethod(node, [&] { sent = node->framesSent(); }, Qt::BlockingQueuedConnection);
        return sent;
    };

    SourceFrameReceiver *receiver = kvr::QMTClient::acquireFrameReceiver(node->address(), node->port());
    QSignalSpy images(receiver, &SourceFrameReceiver::imageReceived);
    receiver->startRequest(videoDefinition(QStringLiteral("a")), frameFormat(1));
    receiver->connect();
    QTRY_VERIFY(!images.isEmpty());

    const int sentBefore = framesSent();
    QThread::msleep(400);
    const int sentMeanwhile = framesSent() - sentBefore;
    // Still busy: the node falls quiet, and the receiver takes in every frame it sent, so the
    // newest one is known and waiting.
    int sent = 0;
    qint64 newest = 0;
    QMetaObject::invokeMethod(node, [&] {
        node->setSilent(true);
        sent = node->framesSent();
        newest = node->lastDataTimestamp();
    }, Qt::BlockingQueuedConnection);
    QDeadlineTimer deadline(5000);
    while (receiver->deliveredFrames() + receiver->droppedFrames() + 1 < quint64(sent) && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    QCOMPARE(receiver->deliveredFrames() + receiver->droppedFrames() + 1, quint64(sent));
    images.clear();
    QCoreApplication::processEvents();
    QVERIFY2(sentMeanwhile >= 10, qPrintable(QString::number(sentMeanwhile)));
    QVERIFY2(!images.isEmpty() && images.size() <= 2, qPrintable(QString::number(images.size())));
    // What the slow consumer gets first is the newest frame, not the one that waited longest.
    const auto first = images.first().at(1).value<std::shared_ptr<CMClient::Frame>>();
    QCOMPARE(first->getSourceFrame().getTimestamp().getDataTimestampMS(), newest);
}

void tst_SourceFrameReceiver::streamDecodedAtItsLargestShownSize_data()
{
    QTest::addColumn<QVector<QSize>>("starts");
    QTest::addColumn<QVector<QSize>>("stops");
    QTest::addColumn<QVector<SizeChange>>("changes");
    QTest::addColumn<QSize>("expected");

    const QSize tile(640, 360);
    const QSize small(320, 180);
    const QSize large(1280, 720);
    QTest::newRow("one tile") << QVector<QSize>{tile} << QVector<QSize>() << QVector<SizeChange>() << tile;
    QTest::newRow("the larger of two") << QVector<QSize>{small, tile} << QVector<QSize>() << QVector<SizeChange>() << tile;
    QTest::newRow("each side on its own") << QVector<QSize>{QSize(640, 100), QSize(100, 480)} << QVector<QSize>()
                                          << QVector<SizeChange>() << QSize(640, 480);
    QTest::newRow("a viewer of the whole picture") << QVector<QSize>{tile, QSize()} << QVector<QSize>()
                                                   << QVector<SizeChange>() << QSize();
    QTest::newRow("the larger one stopped") << QVector<QSize>{large, tile} << QVector<QSize>{large}
                                            << QVector<SizeChange>() << tile;
    QTest::newRow("a tile grown") << QVector<QSize>{small, tile} << QVector<QSize>()
                                  << QVector<SizeChange>{{tile, large}} << large;
}

void tst_SourceFrameReceiver::streamDecodedAtItsLargestShownSize()
{
    QFETCH(QVector<QSize>, starts);
    QFETCH(QVector<QSize>, stops);
    QFETCH(QVector<SizeChange>, changes);
    QFETCH(QSize, expected);

    const std::shared_ptr<SourceDefinition> definition = videoDefinition(QStringLiteral("a"));
    SourceFrameReceiver *receiver = acquire();
    QSignalSpy images(receiver, &SourceFrameReceiver::imageReceived);
    // All taken in before the first frame, as they are queued in order.
    for (const QSize &size : qAsConst(starts))
        receiver->startRequest(definition, frameFormat(1), size);
    for (const QSize &size : qAsConst(stops))
        receiver->stopRequest(definition, frameFormat(1), size);
    for (const SizeChange &change : qAsConst(changes))
        receiver->changeShownSize(definition, frameFormat(1), change.first, change.second);
    receiver->connect();
    QTRY_VERIFY(!images.isEmpty());
    QCOMPARE(m_node->frameStreams(), 1);
    QCOMPARE(images.last().at(1).value<std::shared_ptr<CMClient::Frame>>()->decodeSize(), expected);
}

void tst_SourceFrameReceiver::stoppedStreamKeepsNoFrame_data()
{
    QTest::addColumn<bool>("cube");
    QTest::addColumn<bool>("stopAll");
    QTest::newRow("camera stopped") << false << false;
    QTest::newRow("camera, all stopped") << false << true;
    QTest::newRow("cube stopped") << true << false;
    QTest::newRow("cube, all stopped") << true << true;
}

void tst_SourceFrameReceiver::stoppedStreamKeepsNoFrame()
{
    QFETCH(bool, cube);
    QFETCH(bool, stopAll);

    m_node->setTimeInterval(10);
    const std::shared_ptr<SourceDefinition> definition = cube ? cubeDefinition() : videoDefinition(QStringLiteral("a"));
    SourceFrameReceiver *receiver = acquire();
    std::vector<std::weak_ptr<CMClient::Frame>> seen;
    QObject context;
    connect(receiver, &SourceFrameReceiver::imageReceived, &context,
            [&seen](const std::shared_ptr<SourceDefinition> &, const std::shared_ptr<CMClient::Frame> &frame) {
                seen.push_back(frame);
            });
    receiver->startRequest(definition, frameFormat(1));
    receiver->connect();
    // A cube's picture comes again under its time stamps.
    QTRY_VERIFY(seen.size() >= 3);
    if (stopAll)
        receiver->stopRequest();
    else
        receiver->stopRequest(definition, frameFormat(1));
    QTRY_COMPARE(m_node->frameStreams() + m_node->timeStreams(), 0);

    // Those still on their way when the node stopped go the same way.
    QTRY_VERIFY(std::all_of(seen.begin(), seen.end(), [](const std::weak_ptr<CMClient::Frame> &frame) {
        return frame.expired();
    }));
}

QTEST_GUILESS_MAIN(tst_SourceFrameReceiver)
#include "tst_SourceFrameReceiver.moc"
