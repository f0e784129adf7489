#include "observation/camera/CameraObserver.h"
#include "observation/observers/CubeObserver.h"
#include "core/tracker/CMClientFrame.h"
#include "observation/status/AnalyticInfo.h"
#include "support/FakeFrameReceiver.h"
#include "support/FrameTestFixtures.h"
#include "support/LogCapture.h"
#include "support/ObservedBlockScript.h"
#include "support/RecordingVideoSurface.h"

#include <QtTest>

using kvr::QMTClient::CubeObserver;

class tst_CubeObserver : public QObject
{
    Q_OBJECT

private slots:
    void readsTheCubeObject_data();
    void readsTheCubeObject();
    void analyticsNeedEveryKey_data();
    void analyticsNeedEveryKey();
    void stoppedCubeShowsNoFrame();
};

void tst_CubeObserver::readsTheCubeObject_data()
{
    QTest::addColumn<QJsonObject>("cube");
    QTest::addColumn<int>("cubeId");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("cameras");
    QTest::addColumn<bool>("dummy");

    ObservedBlockScript script;
    script.camerasPerCube = 2;
    QJsonObject full = script.cubeObject(3);
    full.insert(QStringLiteral("enabled"), false);
    QTest::newRow("id 3, disabled, two cameras") << full << 3 << false << 2 << false;
    QJsonObject noEnabled = script.cubeObject(5);
    noEnabled.remove(QStringLiteral("enabled"));
    QTest::newRow("no enabled key is enabled") << noEnabled << 5 << true << 2 << false;
    QTest::newRow("no id reads 0, no dummy") << QJsonObject{{QStringLiteral("name"), QStringLiteral("x")}} << 0 << true << 0 << false;
    QTest::newRow("id -1 is a dummy") << QJsonObject{{QStringLiteral("id"), -1}} << -1 << true << 0 << true;
    QTest::newRow("cameras not an array") << QJsonObject{{QStringLiteral("id"), 2}, {QStringLiteral("cameras"), QStringLiteral("none")}} << 2 << true << 0 << false;
}

void tst_CubeObserver::readsTheCubeObject()
{
    QFETCH(QJsonObject, cube);
    QFETCH(int, cubeId);
    QFETCH(bool, enabled);
    QFETCH(int, cameras);
    QFETCH(bool, dummy);

    CubeObserver observer(ObservedDevice(), cube);
    QCOMPARE(observer.cubeId(), cubeId);
    QCOMPARE(observer.cubeName(), cube.value(QStringLiteral("name")).toString());
    QCOMPARE(observer.cubeEnabled(), enabled);
    QCOMPARE(observer.cameras().size(), cameras);
    QCOMPARE(observer.isDummy(), dummy);
    QCOMPARE(observer.currentCamera(), cameras ? observer.cameras().first().get() : nullptr);
    QVERIFY(observer.observerOnline());
    QCOMPARE(observer.observerId(), -1);
}

void tst_CubeObserver::analyticsNeedEveryKey_data()
{
    QTest::addColumn<QString>("missing");

    QTest::newRow("all there") << QString();
    for (const char *key : {"cache_capacity", "cache_count", "cache_start_timestamp",
                            "first_cached_trajectory_timestamp", "georegistered",
                            "last_cached_trajectory_timestamp", "state", "timestamp"})
        QTest::newRow(key) << QString::fromLatin1(key);
}

void tst_CubeObserver::analyticsNeedEveryKey()
{
    QFETCH(QString, missing);

    CubeObserver cube(ObservedDevice(), QJsonObject{{QStringLiteral("id"), 1}});
    QSignalSpy changed(&cube, &CubeObserver::analyticInfoChanged);
    QJsonObject analytics = ObservedBlockScript::analyticInfo(1234, QStringLiteral("Processing"));
    analytics.remove(missing);
    LogCapture log;
    cube.processAnalyticInfo(analytics);
    QCOMPARE(changed.size(), missing.isEmpty() ? 1 : 0);
    QCOMPARE(cube.analyticInfo()->timestamp(), missing.isEmpty() ? 1234ULL : 0ULL);
    QCOMPARE(log.contains(QStringLiteral("Wrong payload in JSON")), !missing.isEmpty());
}

void tst_CubeObserver::stoppedCubeShowsNoFrame()
{
    FakeFrameReceiverFactory receivers;
    CubeObserver cube(ObservedDevice(), ObservedBlockScript().cubeObject(3));
    cube.setBlockHostAddress(QStringLiteral("127.0.0.1"));
    cube.connectCamerasToNodes(5556);
    RecordingVideoSurface surface;
    VideoSource source;
    source.setVideoSurface(&surface);
    cube.setVideoSource(&source);
    cube.startRequestingFrames();

    kvr::tracker::common::SourceFrame sourceFrame;
    sourceFrame.setQVariantData(frametest::jpegFrame());
    const auto camera = cube.currentCameraShared();
    receivers.at(QHostAddress::LocalHost, 5556)
        ->deliver(camera->sourceDefinition(),
                  std::make_shared<kvr::tracker::net::CMClient::Frame>(frametest::frameFormat(1), sourceFrame));
    QTRY_COMPARE(surface.presented(), 1);
    QVERIFY(surface.isActive());

    cube.stopRequestingFrames();
    QVERIFY(!surface.isActive());
    QVERIFY(!camera->lastFrame());
}

QTEST_MAIN(tst_CubeObserver)
#include "tst_CubeObserver.moc"
