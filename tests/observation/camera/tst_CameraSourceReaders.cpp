#include "datamodel/definitions/DefinitionTestSupport.h"
#include "datamodel/definitions/SourceDefinition.h"
#include "observation/camera/CMClientInfo.h"
#include "observation/camera/CubeCameraDefinition.h"
#include "observation/camera/SourceLocation.h"
#include "support/LogCapture.h"
#include "support/RecordTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <algorithm>

using namespace kvr::tracker::common;
using Type = SourceDefinition::SourceDefinitionType;

using recordtest::json;

namespace {

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
    void locationEquality_data();
    void locationEquality();
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
    QTest::newRow("a partial location keeps the rest")
        << QByteArray(R"({"camera_location": {"name": "Bridge", "longitude": "17", "latitude": null}})")
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

void tst_CameraSourceReaders::locationEquality_data()
{
    QTest::addColumn<QString>("nameB");
    QTest::addColumn<double>("longitudeB");
    QTest::addColumn<double>("latitudeB");
    QTest::addColumn<bool>("equal");

    // A is ("Crossing", 16.37, 0).
    QTest::newRow("longitude 1e-14 apart") << QStringLiteral("Crossing") << 16.37 + 1e-14 << 0.0 << true;
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
}

void tst_CameraSourceReaders::anyValueAnywhere_data()
{
    definitiontest::addAnyValueRows();
}

// A camera object is a peer's data: whatever any value of it is, the readers take it.
void tst_CameraSourceReaders::anyValueAnywhere()
{
    QFETCH(QJsonValue, replacement);

    const QJsonObject original = fullCamera();
    QStringList paths = definitiontest::allPaths(original);
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
