#include "datamodel/definitions/DefinitionTestSupport.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "observation/camera/CMClientInfo.h"
#include "observation/camera/CubeCameraDefinition.h"
#include "observation/camera/SourceLocation.h"
#include "support/LogCapture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <algorithm>

using namespace kvr::tracker::common;
using Type = SourceDefinition::SourceDefinitionType;

namespace {

QJsonObject json(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}

QJsonObject definitionFixture()
{
    QFile file(QStringLiteral(ORVA_SOURCE_DIR "/tests/datamodel/data/definitions/camera_full.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing camera fixture");
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A camera object as a block sends it, every key of the readers present.
QJsonObject fullCamera()
{
    QJsonObject camera = json(R"({
        "block_node_server_address": "10.0.0.7", "block_node_server_port": 5600,
        "workspace_width": 120, "workspace_height": 60,
        "stationary_iou_threshold": 0.5, "angle_min_workspace_distance": 2.5,
        "traffic_lights_mapping": [{"name": "north", "definition": {"version": 1, "data": {"state_watcher_type": "TrafficLight",
            "polygon": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}]}}}],
        "foreground_detector_mapping": [{"name": "lane", "definition": {}}],
        "cortex_watcher_mapping": [],
        "camera_location": {"name": "Crossing", "longitude": 16.37, "latitude": 48.2},
        "georeferencing": {"zone": 33, "hemisphere": "northern"},
        "camera_info": {"source_state": "running", "source_info_set": true,
            "source_timestamp": {"version": 1, "data": {"data_ts_ms": 5}},
            "source_info_static": {"version": 1, "data": {"source_fps": 25}},
            "source_info_dynamic": {"version": 1, "data": {"recording_flag": true, "ptz_pan": 3}}}
    })");
    camera.insert(QStringLiteral("source_definition"), definitionFixture());
    return camera;
}

QStringList names(const QVector<StateWatcherMapping> &mappings)
{
    QStringList out;
    for (const auto &mapping : mappings)
        out << mapping.name;
    return out;
}

void collectPaths(const QJsonValue &node, const QString &prefix, QStringList &paths)
{
    if (node.isObject()) {
        const QJsonObject object = node.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            const QString path = prefix.isEmpty() ? it.key() : prefix + QLatin1Char('/') + it.key();
            paths << path;
            collectPaths(it.value(), path, paths);
        }
    } else if (node.isArray()) {
        const QJsonArray array = node.toArray();
        for (int i = 0; i < array.size(); ++i) {
            const QString path = prefix + QLatin1Char('/') + QString::number(i);
            paths << path;
            collectPaths(array.at(i), path, paths);
        }
    }
}

} // namespace

class tst_CameraSourceReaders : public QObject
{
    Q_OBJECT

private slots:
    void cameraObject_data();
    void cameraObject();
    void definitionOnTheCameraObjectItself();
    void locationAndGeoreferencingOnlyWhenPresent_data();
    void locationAndGeoreferencingOnlyWhenPresent();
    void locationRead_data();
    void locationRead();
    void locationEquality_data();
    void locationEquality();
    void clientInfoRead_data();
    void clientInfoRead();
    void staticInfoMarksTheInfoSet();
    void anyValueAnywhere_data();
    void anyValueAnywhere();
};

void tst_CameraSourceReaders::cameraObject_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<float>("threshold");
    QTest::addColumn<float>("angle");
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("trafficLights");

    // The construction defaults (127.0.0.1, 5556, 100 x 50) do not survive a read.
    QTest::newRow("empty object") << QByteArray("{}") << QString() << 0 << 0 << 0 << 0.7f << 3.0f
                                  << int(Type::Unknown) << QStringList();
    QTest::newRow("all keys")
        << QByteArray(R"({"block_node_server_address": "10.0.0.7", "block_node_server_port": 5600,
                          "source_definition": {"version": 2, "data": {"source_definition_type": "Cube"}},
                          "workspace_width": 120, "workspace_height": 60,
                          "stationary_iou_threshold": 0.5, "angle_min_workspace_distance": 2.5})")
        << QStringLiteral("10.0.0.7") << 5600 << 120 << 60 << 0.5f << 2.5f << int(Type::Cube) << QStringList();
    QTest::newRow("texts where numbers belong")
        << QByteArray(R"({"block_node_server_address": 17, "block_node_server_port": "5600", "workspace_width": "120",
                          "stationary_iou_threshold": "0.5", "angle_min_workspace_distance": null})")
        << QString() << 0 << 0 << 0 << 0.7f << 3.0f << int(Type::Unknown) << QStringList();
    QTest::newRow("fractional and huge numbers")
        << QByteArray(R"({"block_node_server_port": 5600.5, "workspace_width": 1e300, "workspace_height": -7})")
        << QString() << 0 << 0 << -7 << 0.7f << 3.0f << int(Type::Unknown) << QStringList();
    QTest::newRow("mappings in order, also without a definition")
        << QByteArray(R"({"traffic_lights_mapping": [{"name": "a", "definition": {}}, {"name": "b"}, 7, {"definition": 3}]})")
        << QString() << 0 << 0 << 0 << 0.7f << 3.0f << int(Type::Unknown)
        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QString(), QString()};
}

void tst_CameraSourceReaders::cameraObject()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(float, threshold);
    QFETCH(float, angle);
    QFETCH(int, type);
    QFETCH(QStringList, trafficLights);

    LogCapture quiet(0);
    CubeCameraDefinition camera;
    QVERIFY(!camera.sourceDefinition());
    // A previous read's values must not leak into this one.
    camera.read(fullCamera());
    camera.read(json(input));
    QCOMPARE(camera.nodeServerAddress(), address);
    QCOMPARE(camera.nodeServerPort(), port);
    QCOMPARE(camera.workspaceWidth(), width);
    QCOMPARE(camera.workspaceHeight(), height);
    QCOMPARE(camera.stationaryIouThreshold(), threshold);
    QCOMPARE(camera.angleMinWorkspaceDistance(), angle);
    QVERIFY(camera.sourceDefinition());
    QCOMPARE(int(camera.sourceDefinition()->getType()), type);
    QCOMPARE(names(camera.trafficLightsMapping()), trafficLights);
    QVERIFY(camera.foregroundDetectorMapping().isEmpty());
    QVERIFY(camera.cortexWatcherMapping().isEmpty());
    for (const auto &mapping : camera.trafficLightsMapping())
        QCOMPARE(mapping.definition.getStateWatcherType(), SourceStateWatcher::StateWatcherType::Unknown);
}

void tst_CameraSourceReaders::definitionOnTheCameraObjectItself()
{
    LogCapture quiet(0);
    const QJsonObject definition = definitionFixture();
    QJsonObject nested = definition;
    QJsonObject camera;
    camera.insert(QStringLiteral("source_definition"), definition);
    CubeCameraDefinition fromNested;
    fromNested.read(camera);
    // The definition's own keys beside the camera keys, as older blocks send them.
    nested.insert(QStringLiteral("block_node_server_port"), 5600);
    CubeCameraDefinition fromTop;
    fromTop.read(nested);

    QCOMPARE(fromTop.nodeServerPort(), 5600);
    QCOMPARE(fromTop.sourceDefinition()->getType(), Type::Video);
    QCOMPARE(fromTop.sourceDefinition()->className(), fromNested.sourceDefinition()->className());
    QVERIFY(*fromTop.sourceDefinition() == *fromNested.sourceDefinition());
    QCOMPARE(fromTop.sourceDefinition()->toJsonObject(), fromNested.sourceDefinition()->toJsonObject());
}

void tst_CameraSourceReaders::locationAndGeoreferencingOnlyWhenPresent_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("zone");
    QTest::addColumn<bool>("northern");

    QTest::newRow("absent keys keep both") << QByteArray("{}") << QStringLiteral("Crossing") << 33 << true;
    QTest::newRow("hemisphere is case-sensitive")
        << QByteArray(R"({"georeferencing": {"zone": 32, "hemisphere": "Northern"}})") << QStringLiteral("Crossing")
        << 32 << false;
    QTest::newRow("empty georeferencing resets it") << QByteArray(R"({"georeferencing": {}})")
                                                     << QStringLiteral("Crossing") << 0 << false;
    QTest::newRow("georeferencing not an object") << QByteArray(R"({"georeferencing": "northern"})")
                                                   << QStringLiteral("Crossing") << 0 << false;
    QTest::newRow("location not an object keeps it") << QByteArray(R"({"camera_location": [1, 2]})")
                                                      << QStringLiteral("Crossing") << 33 << true;
    QTest::newRow("new location name") << QByteArray(R"({"camera_location": {"name": "Bridge"}})")
                                        << QStringLiteral("Bridge") << 33 << true;
}

void tst_CameraSourceReaders::locationAndGeoreferencingOnlyWhenPresent()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, name);
    QFETCH(int, zone);
    QFETCH(bool, northern);

    LogCapture quiet(0);
    CubeCameraDefinition camera;
    camera.read(fullCamera());
    camera.read(json(input));
    QCOMPARE(camera.cameraLocation().name(), name);
    QCOMPARE(camera.cameraLocation().longitude(), 16.37);
    QCOMPARE(camera.georeferencingZone(), zone);
    QCOMPARE(camera.georeferencingNorthern(), northern);
}

void tst_CameraSourceReaders::locationRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("latitude");

    QTest::newRow("only a name") << QByteArray(R"({"name": "Bridge"})") << QStringLiteral("Bridge") << 16.0 << 48.0;
    QTest::newRow("mistyped values keep the old ones")
        << QByteArray(R"({"name": 5, "longitude": "17.5", "latitude": null})") << QStringLiteral("Crossing") << 16.0 << 48.0;
    QTest::newRow("all three") << QByteArray(R"({"name": "", "longitude": -0.5, "latitude": 0})") << QString() << -0.5 << 0.0;
}

void tst_CameraSourceReaders::locationRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, name);
    QFETCH(double, longitude);
    QFETCH(double, latitude);

    SourceLocation location;
    location.read(json(R"({"name": "Crossing", "longitude": 16, "latitude": 48})"));
    location.read(json(input));
    QCOMPARE(location.name(), name);
    QCOMPARE(location.longitude(), longitude);
    QCOMPARE(location.latitude(), latitude);
}

void tst_CameraSourceReaders::locationEquality_data()
{
    QTest::addColumn<QString>("nameB");
    QTest::addColumn<double>("longitudeB");
    QTest::addColumn<double>("latitudeB");
    QTest::addColumn<bool>("equal");

    // A is ("Crossing", 16.37, 0).
    QTest::newRow("same") << QStringLiteral("Crossing") << 16.37 << 0.0 << true;
    QTest::newRow("longitude 1e-14 apart") << QStringLiteral("Crossing") << 16.37 + 1e-14 << 0.0 << true;
    QTest::newRow("latitude near 0, 1e-13 apart") << QStringLiteral("Crossing") << 16.37 << 1e-13 << true;
    QTest::newRow("longitude 1e-6 apart") << QStringLiteral("Crossing") << 16.370001 << 0.0 << false;
    QTest::newRow("latitude 1e-9 apart at 0") << QStringLiteral("Crossing") << 16.37 << 1e-9 << false;
    QTest::newRow("other name") << QStringLiteral("crossing") << 16.37 << 0.0 << false;
}

void tst_CameraSourceReaders::locationEquality()
{
    QFETCH(QString, nameB);
    QFETCH(double, longitudeB);
    QFETCH(double, latitudeB);
    QFETCH(bool, equal);

    SourceLocation a;
    a.setName(QStringLiteral("Crossing"));
    a.setLongitude(16.37);
    SourceLocation b;
    b.setName(nameB);
    b.setLongitude(longitudeB);
    b.setLatitude(latitudeB);
    QCOMPARE(a == b, equal);
    QCOMPARE(b == a, equal);
    QCOMPARE(a != b, !equal);
    QCOMPARE(QVariant::fromValue(a).value<SourceLocation>() == b, equal);
}

void tst_CameraSourceReaders::clientInfoRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("stateInfo");
    QTest::addColumn<bool>("infoSet");
    QTest::addColumn<qint64>("dataTimestamp");
    QTest::addColumn<double>("sourceFps");
    QTest::addColumn<bool>("recording");

    QTest::newRow("all keys")
        << QByteArray(R"({"source_state": "running", "source_state_info": "ok", "source_info_set": true,
                          "source_timestamp": {"version": 1, "data": {"data_ts_ms": 7}},
                          "source_info_static": {"version": 1, "data": {"source_fps": 30}},
                          "source_info_dynamic": {"version": 1, "data": {"recording_flag": true}}})")
        << QStringLiteral("running") << QStringLiteral("ok") << true << qint64(7) << 30.0 << true;
    // The report replaces the previous one whole: absent objects clear their records.
    QTest::newRow("empty object clears") << QByteArray("{}") << QString() << QString() << false << qint64(0) << 0.0
                                         << false;
    QTest::newRow("mistyped values")
        << QByteArray(R"({"source_state": 5, "source_state_info": ["x"], "source_info_set": "true",
                          "source_timestamp": "7", "source_info_static": [], "source_info_dynamic": null})")
        << QString() << QString() << false << qint64(0) << 0.0 << false;
}

void tst_CameraSourceReaders::clientInfoRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, state);
    QFETCH(QString, stateInfo);
    QFETCH(bool, infoSet);
    QFETCH(qint64, dataTimestamp);
    QFETCH(double, sourceFps);
    QFETCH(bool, recording);

    kvr::CMClientInfo info;
    info.read(fullCamera().value(QStringLiteral("camera_info")).toObject());
    info.read(json(input));
    QCOMPARE(info.sourceState(), state);
    QCOMPARE(info.sourceStateInfo(), stateInfo);
    QCOMPARE(info.sourceInfoSet(), infoSet);
    QCOMPARE(info.sourceTimestamp().getDataTimestampMS(), dataTimestamp);
    QCOMPARE(info.sourceInfoStatic().getSourceFPS(), sourceFps);
    QCOMPARE(info.sourceInfoDynamic().getRecordingFlag(), recording);
}

void tst_CameraSourceReaders::staticInfoMarksTheInfoSet()
{
    kvr::CMClientInfo info;
    info.setSourceInfoDynamic(SourceInfoDynamic());
    QVERIFY(!info.sourceInfoSet());
    info.setSourceInfoStatic(SourceInfoStatic());
    QVERIFY(info.sourceInfoSet());
    info.setSourceInfoDynamic(SourceInfoDynamic());
    QVERIFY(info.sourceInfoSet());
}

void tst_CameraSourceReaders::anyValueAnywhere_data()
{
    QTest::addColumn<QJsonValue>("replacement");

    QTest::newRow("null") << QJsonValue();
    QTest::newRow("text") << QJsonValue(QStringLiteral("x"));
    QTest::newRow("huge number") << QJsonValue(1e300);
    QTest::newRow("negative number") << QJsonValue(-1);
    QTest::newRow("empty array") << QJsonValue(QJsonArray());
    QTest::newRow("empty object") << QJsonValue(QJsonObject());
    QTest::newRow("removed") << QJsonValue(QJsonValue::Undefined);
}

// A camera object is a peer's data: whatever any value of it is, the readers take it.
void tst_CameraSourceReaders::anyValueAnywhere()
{
    QFETCH(QJsonValue, replacement);

    const QJsonObject original = fullCamera();
    QStringList paths;
    collectPaths(original, QString(), paths);
    // The definition's inside is swept by the definition tests.
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [](const QString &path) { return path.startsWith(QLatin1String("source_definition/data/")); }),
                paths.end());
    QVERIFY(paths.size() > 40);

    LogCapture quiet(0);
    for (const QString &path : paths) {
        const QJsonObject broken = definitiontest::patched(original, path, replacement);
        CubeCameraDefinition camera;
        camera.read(broken);
        QVERIFY2(camera.sourceDefinition(), qPrintable(path));
        camera.sourceDefinition()->toJsonObject();
        for (const auto &mapping : camera.trafficLightsMapping())
            mapping.definition.toJsonObject();
        kvr::CMClientInfo info;
        info.read(broken.value(QStringLiteral("camera_info")).toObject());
        info.sourceInfoDynamic().getPTZPan();
    }
}

QTEST_GUILESS_MAIN(tst_CameraSourceReaders)
#include "tst_CameraSourceReaders.moc"
