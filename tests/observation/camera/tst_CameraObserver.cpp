#include "observation/camera/CameraObserver.h"
#include "observation/video/FrameReceiverRegistry.h"
#include "observation/video/SourceFrameReceiver.h"
#include "observation/video/VideoSource.h"
#include "observation/video/VideoSourceManager.h"
#include "core/tracker/CMClientFrame.h"
#include "core/tracker/FrameBufferAllocator.h"
#include "support/FakeFrameReceiver.h"
#include "support/FrameTestFixtures.h"
#include "support/LogCapture.h"
#include "support/RecordingVideoSurface.h"
#include "support/SimulatedTrackerNode.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QtTest>
#include <QtEndian>

#include <cstdio>
#include <memory>
#include <unistd.h>

using kvr::QMTClient::CameraObserver;
using kvr::QMTClient::SourceFrameReceiver;
using kvr::tracker::net::CMClient;
using kvr::tracker::net::FrameBufferAllocator;
using namespace frametest;

namespace {

QJsonObject cameraObject(const QString &tag, const QJsonObject &extra = QJsonObject())
{
    QJsonObject camera = extra;
    camera.insert(QStringLiteral("source_definition"), videoDefinitionJson(tag));
    return camera;
}

SourceFrameReceiver *receiverOf(const CameraObserver &camera)
{
    return qobject_cast<SourceFrameReceiver *>(camera.frameReceiver());
}

const QString kSourcesData = QStringLiteral("request_sources_data");
const QString kFrames = QStringLiteral("request_frames");
const QString kFramesStop = QStringLiteral("request_frames_stop");
const QString kStopAll = QStringLiteral("request_frames_stop_all");

// What the process writes to stderr (file descriptor 2, where libraries print) while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }

    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class tst_CameraObserver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void choosesNodeAddressAndPort_data();
    void choosesNodeAddressAndPort();
    void startDuringHostLookup_data();
    void startDuringHostLookup();
    void framesReachTheSurfaceAtTheRequestedSize();
    void camerasShareTheirNodesReceiver_data();
    void camerasShareTheirNodesReceiver();
    void destroyedWhileFramesAreInFlight();
    void stoppedCameraKeepsNoFrame_data();
    void stoppedCameraKeepsNoFrame();
    void lastStopHandsFrameMemoryBack();
    void damagedStreamWarnsOnceThenCounts_data();
    void damagedStreamWarnsOnceThenCounts();
    void videoStalledWithoutNewPictures_data();
    void videoStalledWithoutNewPictures();
    void framesFitTheShownBox_data();
    void framesFitTheShownBox();

private:
    // Stops all requests and waits for the stop-all to arrive: commands sent before it have too.
    void settle(SourceFrameReceiver *receiver);

    SimulatedTrackerNode *m_node = nullptr;
};

void tst_CameraObserver::init()
{
    m_node = startNode(this);
    QVERIFY(m_node);
}

void tst_CameraObserver::cleanup()
{
    releaseAllReceivers();
    delete m_node;
}

void tst_CameraObserver::settle(SourceFrameReceiver *receiver)
{
    receiver->stopRequest();
    QTRY_COMPARE(m_node->commandNames().count(kStopAll), 1);
}

void tst_CameraObserver::choosesNodeAddressAndPort_data()
{
    QTest::addColumn<QJsonObject>("extra");
    QTest::addColumn<QString>("blockHost");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("portOverride");
    QTest::addColumn<QString>("expectedHost");
    QTest::addColumn<int>("expectedPort");

    const QString address = QStringLiteral("vellorin_node_server_address");
    const QString port = QStringLiteral("vellorin_node_server_port");
    QTest::newRow("block host, default port") << QJsonObject() << QStringLiteral("127.0.0.1") << 0 << 0 << QStringLiteral("127.0.0.1") << 5556;
    QTest::newRow("camera's address wins") << QJsonObject{{address, QStringLiteral("127.0.0.1")}} << QStringLiteral("localhost") << 0 << 0
                                           << QStringLiteral("127.0.0.1") << 5556;
    QTest::newRow("camera's port when none given") << QJsonObject{{port, 7000}} << QStringLiteral("127.0.0.1") << 0 << 0
                                                   << QStringLiteral("127.0.0.1") << 7000;
    QTest::newRow("given port beats the camera's") << QJsonObject{{port, 7000}} << QStringLiteral("127.0.0.1") << 6000 << 0
                                                   << QStringLiteral("127.0.0.1") << 6000;
    QTest::newRow("override beats both") << QJsonObject{{port, 7000}} << QStringLiteral("127.0.0.1") << 6000 << 8000
                                         << QStringLiteral("127.0.0.1") << 8000;
    QTest::newRow("host name looked up") << QJsonObject() << QStringLiteral("localhost") << 0 << 8000 << QStringLiteral("127.0.0.1") << 8000;
}

void tst_CameraObserver::choosesNodeAddressAndPort()
{
    QFETCH(QJsonObject, extra);
    QFETCH(QString, blockHost);
    QFETCH(int, port);
    QFETCH(int, portOverride);
    QFETCH(QString, expectedHost);
    QFETCH(int, expectedPort);

    CameraObserver camera(cameraObject(QStringLiteral("a"), extra));
    camera.setNodePortOverride(quint16(portOverride));
    camera.connectToNode(blockHost, quint16(port));
    QTRY_VERIFY(camera.frameReceiver() != nullptr);
    QCOMPARE(camera.nodeHostAddress(), expectedHost);
    QCOMPARE(camera.nodePort(), expectedPort);
    QCOMPARE(camera.frameReceiver(),
             kvr::QMTClient::acquireFrameReceiver(QHostAddress(expectedHost), quint16(expectedPort)));
}

void tst_CameraObserver::startDuringHostLookup_data()
{
    QTest::addColumn<bool>("stopBeforeResult");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("start waits for the address") << false << QStringList{QStringLiteral("start")};
    QTest::newRow("stop cancels the waiting start") << true << QStringList();
}

void tst_CameraObserver::startDuringHostLookup()
{
    QFETCH(bool, stopBeforeResult);
    QFETCH(QStringList, expected);

    FakeFrameReceiverFactory receivers;
    CameraObserver camera(cameraObject(QStringLiteral("a")));
    QSignalSpy connected(&camera, &CameraObserver::nodeConnectedChanged);
    camera.connectToNode(QStringLiteral("localhost"), m_node->port());
    camera.startRequestingFrames();
    if (stopBeforeResult)
        camera.stopRequestingFrames(true);
    QVERIFY(camera.frameReceiver() == nullptr);
    QTRY_VERIFY(camera.frameReceiver() != nullptr);
    FakeFrameReceiver *receiver = receivers.at(QHostAddress::LocalHost, m_node->port());
    QCOMPARE(camera.frameReceiver(), receiver);
    QCOMPARE(receiver->connects, 1);
    QCOMPARE(connected.first().at(0).toBool(), true);
    // Neither the start nor the stop was turned away for want of a receiver.
    QCOMPARE(receiver->callNames(), expected);
}

void tst_CameraObserver::framesReachTheSurfaceAtTheRequestedSize()
{
    RecordingVideoSurface surface;
    VideoSource source;
    source.setVideoSurface(&surface);
    VideoSourceManager manager;
    manager.setVideoSource(&source);

    CameraObserver camera(cameraObject(QStringLiteral("a")));
    QSignalSpy stamps(&camera, &CameraObserver::nodeFrameTimestampChanged);
    connect(&camera, &CameraObserver::rawFrameChanged, &manager,
            [&](const std::shared_ptr<FrameData> &frame) { manager.publishFrame(QVideoFrame(frame->image)); });
    camera.setResizeSize(QSize(40, 30));
    camera.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    camera.startRequestingFrames();

    QTRY_VERIFY(surface.presented() >= 3);
    QCOMPARE(surface.lastFrameSize(), QSize(40, 30));
    QCOMPARE(surface.lastPixelFormat(), QVideoFrame::Format_RGB32);
    QCOMPARE(surface.starts(), 1);
    QVERIFY(camera.nodeConnected());
    QVERIFY(camera.lastFrame() && camera.lastFrame()->holdsFrame());
    // The node stamps frames from 1001 on; the converted frame keeps its frame's time.
    QVERIFY(camera.lastFrame()->timestamp > 1000);
    QVERIFY(stamps.last().at(0).toULongLong() >= quint64(camera.lastFrame()->timestamp));
}

void tst_CameraObserver::camerasShareTheirNodesReceiver_data()
{
    QTest::addColumn<QString>("secondTag");
    QTest::addColumn<QStringList>("expected");
    // Every camera that attaches restarts the shared link, and the node is asked again for
    // everything wanted (a request sent while the link restarts is lost, and repeated then).
    // One stream for one source however many cameras show it; the last stop ends it.
    QTest::newRow("same source") << QStringLiteral("a") << QStringList{kSourcesData, kFrames, kSourcesData, kFrames, kFramesStop, kStopAll};
    QTest::newRow("other source") << QStringLiteral("b")
                                  << QStringList{kSourcesData, kFrames, kSourcesData, kFrames, kFrames, kFramesStop,
                                                 kFramesStop, kStopAll};
    QTest::newRow("source the node lacks") << QStringLiteral("c")
                                           << QStringList{kSourcesData, kFrames, kSourcesData, kFrames, kFramesStop,
                                                          kStopAll};
}

void tst_CameraObserver::camerasShareTheirNodesReceiver()
{
    QFETCH(QString, secondTag);
    QFETCH(QStringList, expected);

    CameraObserver first(cameraObject(QStringLiteral("a")));
    CameraObserver second(cameraObject(secondTag));
    QSignalSpy firstFrames(&first, &CameraObserver::rawFrameChanged);
    QSignalSpy secondFrames(&second, &CameraObserver::rawFrameChanged);
    first.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    first.startRequestingFrames();
    QTRY_VERIFY(firstFrames.size() >= 2);
    second.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    QCOMPARE(second.frameReceiver(), first.frameReceiver());
    second.startRequestingFrames();

    if (secondTag == QLatin1String("c")) {
        // The other camera's frames never reach this one.
        QTRY_VERIFY(firstFrames.size() >= 6);
        QCOMPARE(secondFrames.size(), 0);
    } else {
        QTRY_VERIFY(secondFrames.size() >= 2);
    }
    first.stopRequestingFrames(true);
    second.stopRequestingFrames(true);
    settle(receiverOf(first));
    // The second camera's own request for the sources may or may not beat the restart.
    QStringList names = m_node->commandNames();
    for (int i = names.size() - 1; i > 0; --i) {
        if (names.at(i) == kSourcesData && names.at(i - 1) == kSourcesData)
            names.removeAt(i);
    }
    QCOMPARE(names, expected);
}

void tst_CameraObserver::destroyedWhileFramesAreInFlight()
{
    m_node->setFrameInterval(0); // as fast as the launcher reads
    auto camera = std::make_unique<CameraObserver>(cameraObject(QStringLiteral("a")));
    QSignalSpy frames(camera.get(), &CameraObserver::rawFrameChanged);
    camera->connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    camera->startRequestingFrames();
    camera->startRequestingFrames();
    QTRY_VERIFY(frames.size() >= 3);
    SourceFrameReceiver *receiver = receiverOf(*camera);
    camera.reset();

    // Its requests are stopped, so the node stops streaming; the receiver lives on.
    QTRY_COMPARE(m_node->frameStreams(), 0);
    QCOMPARE(m_node->commandNames().count(kFramesStop), 1);
    settle(receiver);
    QCOMPARE(kvr::QMTClient::frameReceiverRegistry().receivers.size(), 1);
}

void tst_CameraObserver::stoppedCameraKeepsNoFrame_data()
{
    QTest::addColumn<bool>("shownFirst");
    QTest::newRow("stopped after its frame was shown") << true;
    QTest::newRow("stopped while its frame is converted") << false;
}

void tst_CameraObserver::stoppedCameraKeepsNoFrame()
{
    QFETCH(bool, shownFirst);

    FakeFrameReceiverFactory receivers;
    CameraObserver camera(cameraObject(QStringLiteral("a")));
    QSignalSpy shown(&camera, &CameraObserver::rawFrameChanged);
    camera.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    camera.startRequestingFrames();
    kvr::tracker::common::SourceFrame sourceFrame;
    sourceFrame.setQVariantData(jpegFrame());
    auto frame = std::make_shared<CMClient::Frame>(frameFormat(1), sourceFrame);
    const std::weak_ptr<CMClient::Frame> handedIn = frame;
    receivers.at(QHostAddress::LocalHost, m_node->port())->deliver(videoDefinition(QStringLiteral("a")), frame);
    frame.reset();
    if (shownFirst)
        QTRY_COMPARE(shown.size(), 1);

    camera.stopRequestingFrames(true);
    QTRY_COMPARE(camera.frameConvertor().convertedFrames(), quint64(1));
    QVERIFY(!camera.lastFrame());
    QCOMPARE(shown.size(), shownFirst ? 1 : 0);
    QVERIFY(handedIn.expired());
}

void tst_CameraObserver::lastStopHandsFrameMemoryBack()
{
    FrameBufferAllocator &allocator = FrameBufferAllocator::instance();
    allocator.releaseIdle();
    QCOMPARE(qulonglong(allocator.mappedBytes()), qulonglong(0));

    FakeFrameReceiverFactory receivers;
    CameraObserver camera(cameraObject(QStringLiteral("a")));
    camera.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    camera.startRequestingFrames();
    // A tile's picture: decoded into a mapped buffer.
    kvr::tracker::common::SourceFrame sourceFrame;
    sourceFrame.setQVariantData(jpegFrame(QSize(640, 360)));
    receivers.at(QHostAddress::LocalHost, m_node->port())
        ->deliver(videoDefinition(QStringLiteral("a")), std::make_shared<CMClient::Frame>(frameFormat(1), sourceFrame));
    QTRY_VERIFY(camera.lastFrame());
    QVERIFY(allocator.mappedBytes() >= FrameBufferAllocator::MappedFrom);

    // Timed from before the stop, which starts the release timer: a stall after it cannot make
    // the release look early.
    QElapsedTimer sinceStop;
    sinceStop.start();
    camera.stopRequestingFrames(true);
    // Kept a second for a stream that starts again while tiles scroll, then handed back.
    QTRY_COMPARE_WITH_TIMEOUT(qulonglong(allocator.mappedBytes()), qulonglong(0), 2000);
    QVERIFY2(sinceStop.elapsed() >= 900, qPrintable(QString::number(sinceStop.elapsed())));
}

void tst_CameraObserver::damagedStreamWarnsOnceThenCounts_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("shown");

    const QByteArray good = jpeg(FrameSize);
    // The frame header (SOF0, as OpenCV writes it) names the size.
    QByteArray huge = good;
    const int header = huge.indexOf(QByteArray("\xff\xc0", 2));
    QVERIFY(header > 0);
    qToBigEndian<quint16>(60000, huge.data() + header + 5);
    qToBigEndian<quint16>(60000, huge.data() + header + 7);
    QTest::newRow("announcing 60000x60000") << huge
                                            << QStringLiteral("Frame announces an image of 60000x60000 pixels, not decoded.")
                                            << false;
    // libjpeg's "Corrupt JPEG data: 5 extraneous bytes before marker 0xd9".
    QByteArray corrupt = good;
    corrupt.insert(corrupt.size() - 2, QByteArray(5, '\x11'));
    QTest::newRow("corrupt jpeg data")
        << corrupt << QStringLiteral("Frame holds damaged JPEG data; shown as far as it could be decoded.") << true;
}

void tst_CameraObserver::damagedStreamWarnsOnceThenCounts()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, warning);
    QFETCH(bool, shown);

    LogCapture log;
    StderrCapture stderrCapture;
    m_node->setFrame({{QStringLiteral("data"), data}, {QStringLiteral("size"), FrameSize}, {QStringLiteral("channels"), 3}});
    {
        CameraObserver camera(cameraObject(QStringLiteral("a")));
        camera.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
        camera.startRequestingFrames();
        QTRY_VERIFY(camera.frameConvertor().convertedFrames() >= 5);
        QCOMPARE(camera.lastFrame() && camera.lastFrame()->holdsFrame(), shown);
        camera.stopRequestingFrames(true);
        settle(receiverOf(camera));
    }
    // The stream's count is written when the stream and its last frame are gone.
    releaseAllReceivers();
    const QString counted = warning + QStringLiteral(" (repeated ");
    const auto countLines = [&] {
        const QStringList texts = log.texts(kvr::log::WRN);
        return std::count_if(texts.begin(), texts.end(), [&](const QString &text) { return text.startsWith(counted); });
    };
    QTRY_COMPARE(countLines(), 1);
    const QStringList texts = log.texts(kvr::log::WRN);
    QCOMPARE(texts.count(warning), 1);
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts.last().startsWith(counted), qPrintable(texts.last()));
    QCOMPARE(stderrCapture.text(), QByteArray());
}

void tst_CameraObserver::videoStalledWithoutNewPictures_data()
{
    QTest::addColumn<bool>("framesKeepComing");
    QTest::addColumn<int>("period"); // 0: the camera's own
    // ms from the last picture to the stall
    QTest::addColumn<int>("earliest");
    QTest::addColumn<int>("latest");
    QTest::newRow("frames that no longer decode") << true << 300 << 250 << 5000;
    QTest::newRow("no frames at all") << false << 300 << 250 << 5000;
    QTest::newRow("no frames at all, the camera's own period") << false << 0 << 2500 << 4500;
}

void tst_CameraObserver::videoStalledWithoutNewPictures()
{
    QFETCH(bool, framesKeepComing);
    QFETCH(int, period);
    QFETCH(int, earliest);
    QFETCH(int, latest);

    const QVariantMap good = m_node->frame();
    QVariantMap undecodable = good;
    undecodable.insert(QStringLiteral("data"), QByteArray("\xff\xd8\xff\xd9 not a picture"));
    QElapsedTimer sincePicture;
    qint64 stalledAfter = -1;
    CameraObserver camera(cameraObject(QStringLiteral("a")));
    if (period > 0)
        camera.setStallPeriod(period);
    QSignalSpy stalled(&camera, &CameraObserver::videoStalledChanged);
    QSignalSpy stamps(&camera, &CameraObserver::nodeFrameTimestampChanged);
    connect(&camera, &CameraObserver::rawFrameChanged, this, [&](const std::shared_ptr<FrameData> &frame) {
        if (frame && frame->holdsFrame())
            sincePicture.start();
    });
    connect(&camera, &CameraObserver::videoStalledChanged, this, [&](bool on) {
        if (on && stalledAfter < 0)
            stalledAfter = sincePicture.elapsed();
    });
    camera.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    camera.startRequestingFrames();
    QTRY_VERIFY(camera.lastFrame() && camera.lastFrame()->holdsFrame());

    if (framesKeepComing)
        m_node->setFrame(undecodable);
    else
        m_node->setSilent(true);
    QTRY_VERIFY_WITH_TIMEOUT(camera.videoStalled(), latest);
    QVERIFY2(stalledAfter >= earliest && stalledAfter <= latest, qPrintable(QStringLiteral("stalled %1 ms after the last picture").arg(stalledAfter)));
    QCOMPARE(stalled.last().at(0).toBool(), true);
    // The rest needs no long wait.
    camera.setStallPeriod(300);
    if (framesKeepComing) {
        // The frame time goes on: only the pictures stopped.
        const int stampsAtStall = stamps.size();
        QTRY_VERIFY(stamps.size() > stampsAtStall + 2);
        QVERIFY(camera.videoStalled());
    }

    // The next picture clears it.
    m_node->setFrame(good);
    m_node->setSilent(false);
    QTRY_VERIFY(!camera.videoStalled());
    QCOMPARE(stalled.last().at(0).toBool(), false);

    // A camera that asks for no frames shows none, and so is not stalled.
    m_node->setSilent(true);
    QTRY_VERIFY(camera.videoStalled());
    camera.stopRequestingFrames(true);
    QVERIFY(!camera.videoStalled());
}

void tst_CameraObserver::framesFitTheShownBox_data()
{
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("expected");

    // The node's pictures are 64x48.
    QTest::newRow("narrower box: fitted to its width") << QSize(40, 40) << QSize(40, 30);
    QTest::newRow("flatter box: fitted to its height") << QSize(200, 24) << QSize(32, 24);
    QTest::newRow("larger box: the picture as it is") << QSize(200, 200) << FrameSize;
}

void tst_CameraObserver::framesFitTheShownBox()
{
    QFETCH(QSize, box);
    QFETCH(QSize, expected);

    CameraObserver camera(cameraObject(QStringLiteral("a")));
    camera.setShownSize(box);
    camera.connectToNode(QStringLiteral("127.0.0.1"), m_node->port());
    camera.startRequestingFrames();
    QTRY_VERIFY(camera.lastFrame() && camera.lastFrame()->image.size() == expected);
    QCOMPARE(camera.frameConvertor().resizeSize(), expected == FrameSize ? QSize() : expected);
}

QTEST_MAIN(tst_CameraObserver)
#include "tst_CameraObserver.moc"
