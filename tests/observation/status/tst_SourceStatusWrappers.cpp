#include "datamodel/definitions/DefinitionTestSupport.h"
#include "observation/status/AnalyticInfo.h"
#include "observation/status/CMClientInfoWrapper.h"
#include "observation/status/SourceInfo.h"
#include "support/LogCapture.h"
#include "support/RecordTestSupport.h"
#include "support/SignalRecorder.h"

#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <limits>

using kvr::tracker::common::SourceInfoDynamic;
using kvr::tracker::common::SourceInfoStatic;

using recordtest::json;

namespace {

// The cube's analytics as the analytics poll reports them.
const QByteArray kAnalytics = R"({"state": {"processing_state": "Processing", "visibility_state": "Good"},
    "georegistered": true, "cache_capacity": 100, "cache_count": 5, "cache_start_timestamp": "1000",
    "timestamp": "2000", "first_cached_trajectory_timestamp": "1100", "last_cached_trajectory_timestamp": "1900",
    "sequence_number": 7, "vms_stream_source_uuid": "u-1", "time_zone": "Europe/Vienna",
    "camera_location": {"name": "Crossing", "longitude": 16.37, "latitude": 48.2}})";

// kAnalytics with some keys replaced or removed (null removes).
QJsonObject analytics(const QByteArray &changes)
{
    QJsonObject object = json(kAnalytics);
    const QJsonObject patch = json(changes);
    for (auto it = patch.constBegin(); it != patch.constEnd(); ++it) {
        if (it.value().isNull())
            object.remove(it.key());
        else
            object.insert(it.key(), it.value());
    }
    return object;
}

const QByteArray kCameraInfo = R"({"connection_string": "rtsp-cam", "onvif_connection_string": "onvif-cam",
    "source_state": "running", "source_state_info": "", "source_info_set": true,
    "source_timestamp": {"version": 1, "data": {"data_ts_ms": 5}},
    "source_info_static": {"version": 1, "data": {"source_fps": 25}},
    "source_info_dynamic": {"version": 1, "data": {"tracker_fps": 12}}})";

} // namespace

class tst_SourceStatusWrappers : public QObject
{
    Q_OBJECT

private slots:
    void analyticRead_data();
    void analyticRead();
    void homeSlots();
    void wrapperSetters_data();
    void wrapperSetters();
    void wrapperRead_data();
    void wrapperRead();
    void sourceInfoRead();
    void anyValueAnywhere_data();
    void anyValueAnywhere();
};

void tst_SourceStatusWrappers::analyticRead_data()
{
    QTest::addColumn<QByteArray>("before"); // changes to kAnalytics read first
    QTest::addColumn<QByteArray>("after");  // changes to kAnalytics read next
    QTest::addColumn<QStringList>("emissions");

    QTest::newRow("same object twice: nothing") << QByteArray("{}") << QByteArray("{}") << QStringList();
    QTest::newRow("values drop to 0 and are announced")
        << QByteArray("{}") << QByteArray(R"({"cache_count": 0, "cache_capacity": null, "cache_start_timestamp": "0"})")
        << textList({"cacheStartTimestampChanged(0)", "cacheCapacityChanged(0)", "cacheCountChanged(0)"});
    QTest::newRow("time stamps sent as numbers read 0")
        << QByteArray("{}") << QByteArray(R"({"timestamp": 2000, "last_cached_trajectory_timestamp": 1900})")
        << textList({"timestampChanged(0)", "lastCachedTrajectoryTimestampChanged(0)"});
    QTest::newRow("order of a full change")
        << QByteArray(R"({"state": null, "georegistered": null, "cache_capacity": null, "cache_count": null,
                          "cache_start_timestamp": null, "timestamp": null, "first_cached_trajectory_timestamp": null,
                          "last_cached_trajectory_timestamp": null, "sequence_number": null,
                          "vms_stream_source_uuid": null, "time_zone": null})")
        << QByteArray("{}")
        << textList({"stateChanged(AnalyticState)", "georegisteredChanged(true)", "cacheStartTimestampChanged(1000)",
                    "cacheCapacityChanged(100)", "cacheCountChanged(5)", "timestampChanged(2000)",
                    "firstCachedTrajectoryTimestampChanged(1100)", "lastCachedTrajectoryTimestampChanged(1900)",
                    "logicSequenceNumberChanged(7)", "vmsStreamSourceUuidChanged(u-1)", "timeZoneConfigChanged()"});
    QTest::newRow("unrecognised state texts are Unknown")
        << QByteArray("{}") << QByteArray(R"({"state": {"processing_state": "Running", "visibility_state": 1}})")
        << textList({"stateChanged(AnalyticState)"});
    QTest::newRow("a negative sequence number reads 0")
        << QByteArray("{}") << QByteArray(R"({"sequence_number": -7})") << textList({"logicSequenceNumberChanged(0)"});
    QTest::newRow("first home position, default tolerance")
        << QByteArray("{}") << QByteArray(R"({"home_position": {"pan": 10, "tilt": 5, "zoom": 1}})")
        << textList({"homePositionChanged(10, 5, 1)", "homePositionEnabledChanged(true)",
                    "homeToleranceChanged(0.001, 0.001, 0.001)"});
    QTest::newRow("first home position at 0, 0, 0 is announced")
        << QByteArray("{}") << QByteArray(R"({"home_position": {}, "home_tolerance": {"pan": 1}})")
        << textList({"homePositionChanged(0, 0, 0)", "homePositionEnabledChanged(true)", "homeToleranceChanged(1, 0, 0)"});
    QTest::newRow("same home position: nothing")
        << QByteArray(R"({"home_position": {"pan": 10, "tilt": 5, "zoom": 1}})")
        << QByteArray(R"({"home_position": {"zoom": 1, "tilt": 5, "pan": 10.0000001}})") << QStringList();
    QTest::newRow("home position removed")
        << QByteArray(R"({"home_position": {"pan": 10, "tilt": 5, "zoom": 1}})") << QByteArray("{}")
        << textList({"homePositionEnabledChanged(false)", "homePositionChanged(nan, nan, nan)",
                    "homeToleranceChanged(nan, nan, nan)"});
    QTest::newRow("tolerance left out returns to the default")
        << QByteArray(R"({"home_position": {"pan": 10}, "home_tolerance": {"pan": 2, "tilt": 2, "zoom": 2}})")
        << QByteArray(R"({"home_position": {"pan": 10}})") << textList({"homeToleranceChanged(0.001, 0.001, 0.001)"});
    QTest::newRow("the location is stored without a signal")
        << QByteArray("{}") << QByteArray(R"({"camera_location": {"name": "Bridge"}})") << QStringList();
    QTest::newRow("an unknown zone selects UTC")
        << QByteArray("{}") << QByteArray(R"({"time_zone": "Mars/Olympus"})") << textList({"timeZoneConfigChanged()"});
}

void tst_SourceStatusWrappers::analyticRead()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, emissions);

    LogCapture quiet(0);
    AnalyticInfo info;
    info.read(analytics(before));
    SignalRecorder recorder;
    recorder.watch(&info);
    const QJsonObject object = analytics(after);
    info.read(object);
    QCOMPARE(recorder.emissions(), emissions);

    // The six PTZ properties read NaN while no home position is set.
    const bool home = object.contains(QStringLiteral("home_position"));
    QCOMPARE(info.property("homePositionEnabled").toFloat(), home ? 1.0f : 0.0f);
    QCOMPARE(std::isnan(info.homePositionPan()), !home);
    QCOMPARE(std::isnan(info.homeToleranceZoom()), !home);
    QCOMPARE(info.sourceLocation().longitude(), 16.37);
}

void tst_SourceStatusWrappers::homeSlots()
{
    AnalyticInfo info;
    SignalRecorder recorder;
    recorder.watch(&info);
    info.setHomeTolerance(1, 1, 1);
    info.removeHomePosition();
    QCOMPARE(recorder.emissions(), QStringList());
    QVERIFY(std::isnan(info.homeTolerancePan()));

    // An unknown position is a position like any other, and NaN stays NaN without signals.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    info.setHomePosition(nan, nan, nan);
    info.setHomePosition(nan, nan, nan);
    QCOMPARE(recorder.emissions(),
             textList({"homePositionEnabledChanged(true)", "homeToleranceChanged(0.001, 0.001, 0.001)"}));
    recorder.clear();
    info.setHomePosition(1, 2, 3);
    info.setHomeTolerance(0.001f, 0.001f, 0.5f);
    info.setHomePosition(1, 2, 3);
    QCOMPARE(recorder.emissions(), textList({"homePositionChanged(1, 2, 3)", "homeToleranceChanged(0.001, 0.001, 0.5)"}));
    QCOMPARE(info.homeToleranceZoom(), 0.5f);

}

void tst_SourceStatusWrappers::wrapperSetters_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("infoSetBefore");
    QTest::addColumn<QStringList>("emissions");

    const QString staticChanged = QStringLiteral("sourceInfoStaticChanged(kvr::tracker::common::SourceInfoStatic)");
    const QString dynamicChanged = QStringLiteral("sourceInfoDynamicChanged(kvr::tracker::common::SourceInfoDynamic)");
    QTest::newRow("same video size: nothing") << QStringLiteral("same size") << true << QStringList();
    QTest::newRow("new video size, already set") << QStringLiteral("new size") << true << QStringList{staticChanged};
    QTest::newRow("new video size marks the info set")
        << QStringLiteral("new size") << false << QStringList{staticChanged, QStringLiteral("sourceInfoSetChanged(true)")};
    QTest::newRow("same frame rates: nothing") << QStringLiteral("same rates") << true << QStringList();
    QTest::newRow("unknown PTZ twice: one signal") << QStringLiteral("nan ptz twice") << true << QStringList{dynamicChanged};
    QTest::newRow("a status clears the state information")
        << QStringLiteral("status") << true << textList({"sourceStateChanged(running)", "sourceStateInfoChanged()"});
    QTest::newRow("disconnected while recording")
        << QStringLiteral("disconnect") << true
        << QStringList{dynamicChanged, QStringLiteral("sourceStateChanged(offline)"), QStringLiteral("sourceStateInfoChanged()")};
}

void tst_SourceStatusWrappers::wrapperSetters()
{
    QFETCH(QString, action);
    QFETCH(bool, infoSetBefore);
    QFETCH(QStringList, emissions);

    CMClientInfoWrapper wrapper;
    wrapper.setSourceVideoSize(cv::Size(1920, 1080));
    wrapper.setFrameRate(25);
    wrapper.setDetectorFrameRate(10);
    wrapper.setTrackerFrameRate(12);
    wrapper.onSourceStatusReceived(3, QStringLiteral("starting"), QStringLiteral("waiting for the camera"));
    SourceInfoDynamic recording = wrapper.sourceInfoDynamic();
    recording.setRecordingFlag(true);
    wrapper.setSourceInfoDynamic(recording);
    wrapper.setSourceInfoSet(infoSetBefore);

    SignalRecorder recorder;
    recorder.watch(&wrapper);
    if (action == QLatin1String("same size")) {
        wrapper.setSourceVideoSize(cv::Size(1920, 1080));
    } else if (action == QLatin1String("new size")) {
        wrapper.setSourceVideoSize(cv::Size(1280, 720));
        QCOMPARE(wrapper.sourceInfoStatic().getSourceResolution(), QSize(1280, 720));
    } else if (action == QLatin1String("same rates")) {
        wrapper.setFrameRate(25);
        wrapper.setDetectorFrameRate(10);
        wrapper.setTrackerFrameRate(12);
    } else if (action == QLatin1String("nan ptz twice")) {
        for (int i = 0; i < 2; ++i) {
            SourceInfoDynamic unknown = wrapper.sourceInfoDynamic();
            unknown.setPTZPan(std::numeric_limits<float>::quiet_NaN());
            wrapper.setSourceInfoDynamic(unknown);
        }
    } else if (action == QLatin1String("status")) {
        wrapper.onSourceStatusReceived(3, QStringLiteral("running"));
    } else if (action == QLatin1String("disconnect")) {
        wrapper.onClientDisconnected();
        wrapper.onClientDisconnected();
        QCOMPARE(wrapper.sourceInfoDynamic().getRecordingFlag(), false);
        QCOMPARE(wrapper.sourceInfoDynamic().getRecordingMessage(), QStringLiteral("error"));
    }
    QCOMPARE(recorder.emissions(), emissions);
}

void tst_SourceStatusWrappers::wrapperRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("emissions");

    QTest::newRow("same state: nothing") << kCameraInfo << QStringList();
    QTest::newRow("only the time stamp differs: nothing")
        << QByteArray(kCameraInfo).replace(R"("data_ts_ms": 5)", R"("data_ts_ms": 6)") << QStringList();
    // Absent and mistyped parts read as empty.
    QTest::newRow("everything cleared, in order")
        << QByteArray(R"({"source_state": 5, "source_info_set": "true", "source_info_static": [], "source_info_dynamic": null})")
        << textList({"sourceInfoStaticChanged(kvr::tracker::common::SourceInfoStatic)",
                    "sourceInfoDynamicChanged(kvr::tracker::common::SourceInfoDynamic)", "sourceStateChanged()",
                    "sourceInfoSetChanged(false)"});
}

void tst_SourceStatusWrappers::wrapperRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, emissions);

    CMClientInfoWrapper wrapper;
    wrapper.read(json(kCameraInfo));
    SignalRecorder recorder;
    recorder.watch(&wrapper);
    wrapper.read(json(input));
    QCOMPARE(recorder.emissions(), emissions);
}

void tst_SourceStatusWrappers::sourceInfoRead()
{
    SourceInfo info;
    QVERIFY(info.PTZCoordsEmpty());
    SignalRecorder recorder;
    recorder.watch(&info);
    recorder.watch(info.cmClientInfo());

    info.read(json(kCameraInfo));
    // A dynamic record without PTZ keys reads 0, 0, 0: coordinates, not "none". The PTZ flag
    // is recorded before the dynamic change that causes it: SourceInfo's own slot runs first.
    QCOMPARE(recorder.emissions(),
             textList({"connectionStringChanged(rtsp-cam)", "onvifConnectionStringChanged(onvif-cam)",
                      "sourceInfoStaticChanged(kvr::tracker::common::SourceInfoStatic)",
                      "sourceInfoSetChanged(true)", "PTZCoordsEmptyChanged(false)",
                      "sourceInfoDynamicChanged(kvr::tracker::common::SourceInfoDynamic)", "sourceStateChanged(running)",
                      "sourceTimestampChanged(kvr::tracker::common::SourceTimestamp)"}));
    QCOMPARE(info.cmClientInfo()->sourceInfoStatic().getSourceFPS(), 25.0);

    recorder.clear();
    info.read(json(kCameraInfo));
    QCOMPARE(recorder.emissions(), QStringList());

    SourceInfoDynamic unknown;
    unknown.setPTZTilt(std::numeric_limits<float>::quiet_NaN());
    info.cmClientInfo()->setSourceInfoDynamic(unknown);
    QVERIFY(info.PTZCoordsEmpty());
    QVERIFY(recorder.emissions().contains(QStringLiteral("PTZCoordsEmptyChanged(true)")));
}

void tst_SourceStatusWrappers::anyValueAnywhere_data()
{
    definitiontest::addAnyValueRows();
}

// The analytics and camera objects are a peer's data: any value anywhere is taken.
void tst_SourceStatusWrappers::anyValueAnywhere()
{
    QFETCH(QJsonValue, replacement);

    QJsonObject original = analytics(R"({"home_position": {"pan": 1, "tilt": 2, "zoom": 3},
                                         "home_tolerance": {"pan": 1, "tilt": 2, "zoom": 3}})");
    const QJsonObject camera = json(kCameraInfo);
    for (auto it = camera.constBegin(); it != camera.constEnd(); ++it)
        original.insert(it.key(), it.value());
    const QStringList paths = definitiontest::allPaths(original);
    QVERIFY(paths.size() > 30);

    LogCapture quiet(0);
    for (const QString &path : paths) {
        const QJsonObject broken = definitiontest::patched(original, path, replacement);
        AnalyticInfo analytic;
        analytic.read(original);
        analytic.read(broken);
        SourceInfo source;
        source.read(original);
        source.read(broken);
        QVERIFY2(source.cmClientInfo()->sourceInfoSet() == broken.value(QStringLiteral("source_info_set")).toBool(),
                 qPrintable(path));
    }
}

QTEST_GUILESS_MAIN(tst_SourceStatusWrappers)
#include "tst_SourceStatusWrappers.moc"
