#include "datamodel/definitions/SourceCUBEDefinition.h"
#include "datamodel/definitions/SourceQMTDefinition.h"
#include "datamodel/definitions/SourceRADARDefinition.h"
#include "datamodel/definitions/SourceVIDEODefinition.h"
#include "support/LogCapture.h"
#include "support/RecordTestSupport.h"
#include "DefinitionTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;
using namespace definitiontest;
using Type = SourceDefinition::SourceDefinitionType;

namespace {

SourceVIDEODefinition readVideo(const QJsonObject &object)
{
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    SourceVIDEODefinition definition;
    definition.read(object, quiet);
    return definition;
}

const QString kVideo = QStringLiteral("SourceVIDEODefinition::isValid_impl");

} // namespace

class tst_SourceVIDEODefinition : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void fullCameraRoundTrip();
    void legacyGenerations_data();
    void legacyGenerations();
    void flatLegacyDetails_data();
    void flatLegacyDetails();
    void foldingWarnings();
    void presence_data();
    void presence();
    void validity_data();
    void validity();
    void validityFollowsChanges();
    void compare_data();
    void compare();
    void factoryByType_data();
    void factoryByType();
    void recordingBecomesQMT_data();
    void recordingBecomesQMT();
    void downcasts();
};

void tst_SourceVIDEODefinition::cleanup()
{
    SourceDefinition::registerDefaultCreators();
}

void tst_SourceVIDEODefinition::fullCameraRoundTrip()
{
    const QJsonObject in = fixture(QStringLiteral("camera_full.json"));
    LogCapture capture;
    SourceVIDEODefinition camera;
    camera.read(in); // validates after reading
    QVERIFY2(capture.messages().empty(), qPrintable(logLines(capture).join('\n')));
    QVERIFY(camera.isValid());

    QVERIFY(camera.hasPTZParams() && camera.hasCameraParams() && camera.hasFilterParams() && camera.hasTrackerParams()
            && camera.hasPostProcessorParams() && camera.hasEvidenceParams() && camera.hasForegroundDetectionParams()
            && camera.hasVisibilityParams() && camera.hasFarDistanceVehicleDetectorParams() && camera.hasCortexParams()
            && camera.hasReferenceFrameParams());
    QCOMPARE(camera.getName(), QStringLiteral("Crossing North"));
    QCOMPARE(camera.getTrackerParams().getTimeWindowMS(), qint64(3000));
    QCOMPARE(camera.getInputParams().getConnectionString(), QStringLiteral("rtsp://10.0.0.21:554/stream1"));

    const QJsonObject out = camera.toJsonObject();
    QCOMPARE(out, in);
    SourceVIDEODefinition back;
    back.read(out);
    QVERIFY(back.compare(camera, CompareParams::logic(false, true)).equal);
    QVERIFY(back.compare(camera, CompareParams::data()).equal);
    QVERIFY(QVariant::fromValue(back) == QVariant::fromValue(camera));
    QVERIFY(capture.messages().empty());

    // The Qt properties hand out the same blocks.
    const QVariant ptz = SourceVIDEODefinition::staticMetaObject.property(
        SourceVIDEODefinition::staticMetaObject.indexOfProperty("ptzParams")).readOnGadget(&camera);
    QVERIFY(ptz.value<SourceDefinitionPTZParams>().compare(camera.getPTZParams()).equal);
}

void tst_SourceVIDEODefinition::legacyGenerations_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("version 0, flat") << QStringLiteral("camera_v0.json");
    QTest::newRow("version 1, stabilisation block") << QStringLiteral("camera_v1.json");
    QTest::newRow("version 2, stray stabilisation block ignored") << QStringLiteral("camera_v2.json");
}

void tst_SourceVIDEODefinition::legacyGenerations()
{
    QFETCH(QString, name);
    const SourceVIDEODefinition current = readVideo(fixture(QStringLiteral("camera_v2.json")));
    const SourceVIDEODefinition camera = readVideo(fixture(name));

    QStringList lines;
    QVERIFY(compareLogic(camera, current, true, &lines).equal);
    QVERIFY2(lines.isEmpty(), qPrintable(lines.join('\n')));

    // Always the current form: blocks as records, no flat keys, no stabilisation block.
    const QJsonObject out = camera.toJsonObject();
    QCOMPARE(out.value("version").toInt(), 2);
    const QJsonObject data = out.value("data").toObject();
    QCOMPARE(QStringList(data.keys()), (QStringList{"filter_parameters", "input_parameters", "reference_frame_parameters",
                                                    "source_definition_name", "source_definition_type", "tracker_parameters"}));
    const auto params = camera.getReferenceFrameParams();
    QVERIFY(params.getEnabled());
    QVERIFY(params.getStabilizationFlag());
    QCOMPARE(params.getReferenceFrame().getImageSignature(), QStringLiteral("a1b2c3d4"));
    QCOMPARE(camera.getInputParams().getImageCrop().getRectangle(), QRectF(0.1, 0.2, 0.5, 0.4));
    QVERIFY(camera.getInputParams().getImageCrop().getEnabled());
    QVERIFY(camera.hasFilterParams());
    QCOMPARE(camera.getFilterParams().getNoDetZones().size(), 1);

    // Written and read again it stays the same definition.
    QVERIFY(readVideo(out).compare(camera, CompareParams::data()).equal);
}

void tst_SourceVIDEODefinition::flatLegacyDetails_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("connectionString");
    QTest::addColumn<QRectF>("crop");        // null: no crop
    QTest::addColumn<qint64>("timeWindow");  // -1: no tracker block
    QTest::addColumn<QString>("signature");  // null: reference-frame parameters untouched

    QTest::newRow("nothing but the type") << QByteArray(R"({"source_definition_type": "Video"})")
                                          << QString("") << QRectF() << qint64(-1) << QString();
    QTest::newRow("crop with gaps, non-whole window")
        << QByteArray(R"({"connection_string": "c", "image_crop": {"x": 0.5, "width": "1", "height": 0.25}, "time_window_ms": 2.5})")
        << "c" << QRectF(0.5, 0, 0, 0.25) << qint64(0) << QString();
    QTest::newRow("connection string not text")
        << QByteArray(R"({"connection_string": 7, "time_window_ms": 4000})") << "" << QRectF() << qint64(4000) << QString();
    QTest::newRow("window beyond 32 bits reads as the cap")
        << QByteArray(R"({"time_window_ms": 3000000000})") << "" << QRectF() << qint64(5000) << QString();
    QTest::newRow("window as text is 0")
        << QByteArray(R"({"time_window_ms": "4000"})") << "" << QRectF() << qint64(0) << QString();
    QTest::newRow("empty signature falls back to the stabilisation signature")
        << QByteArray(R"({"image_signature": "", "stabilisation_image_signature": "s2"})") << "" << QRectF() << qint64(-1) << "s2";
    QTest::newRow("image signature wins")
        << QByteArray(R"({"image_signature": "s1", "stabilisation_image_signature": "s2"})") << "" << QRectF() << qint64(-1) << "s1";
    QTest::newRow("empty stabilisation signature still enables")
        << QByteArray(R"({"stabilisation_image_signature": ""})") << "" << QRectF() << qint64(-1) << "";
    QTest::newRow("blocks of the current form are not read")
        << QByteArray(R"({"ptz_parameters": {"enabled": true}, "camera_parameters": {}, "tracker_parameters": {}})")
        << "" << QRectF() << qint64(-1) << QString();
}

void tst_SourceVIDEODefinition::flatLegacyDetails()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, connectionString);
    QFETCH(QRectF, crop);
    QFETCH(qint64, timeWindow);
    QFETCH(QString, signature);

    const SourceVIDEODefinition camera = readQuiet<SourceVIDEODefinition>(input);
    QCOMPARE(camera.getInputParams().getConnectionString(), connectionString);
    QCOMPARE(camera.getInputParams().getImageCrop().getEnabled(), !crop.isNull());
    QCOMPARE(camera.getInputParams().getImageCrop().getRectangle(), crop);
    QCOMPARE(camera.contains("tracker_parameters"), timeWindow >= 0);
    if (timeWindow >= 0)
        QCOMPARE(camera.getTrackerParams().getTimeWindowMS(), timeWindow);
    QCOMPARE(camera.hasReferenceFrameParams(), !signature.isNull());
    QCOMPARE(camera.getReferenceFrameParams().getStabilizationFlag(), !signature.isNull());
    QCOMPARE(camera.getReferenceFrameParams().getReferenceFrame().getImageSignature(), signature.isNull() ? QString() : signature);
    QVERIFY(!camera.contains("ptz_parameters") && !camera.contains("camera_parameters"));

    const QJsonObject data = camera.toJsonObject().value("data").toObject();
    for (const char *flat : {"connection_string", "image_crop", "image_signature", "stabilisation_image_signature",
                             "time_window_ms", "filter_definition", "stab_parameters"})
        QVERIFY2(!data.contains(QLatin1String(flat)), flat);
    QVERIFY(data.contains("input_parameters"));
}

void tst_SourceVIDEODefinition::foldingWarnings()
{
    const QJsonObject in = json(R"({"version": 1, "data": {"source_definition_type": "Video",
        "reference_frame_parameters": {"version": 1, "enabled": true, "data": {"stabilization_flag": true,
            "reference_frame": {"version": 1, "data": {"image_signature": "old"}}}},
        "stab_parameters": {"version": 1, "enabled": true, "data": {"image_signature": "new"}}}})");
    LogCapture capture;
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    SourceVIDEODefinition camera;
    camera.read(in, quiet);
    const QString reader = QStringLiteral("WRN SourceVIDEODefinition::read_impl: ");
    const QStringList lines = logLines(capture);
    QCOMPARE(lines.mid(0, 3), (QStringList{reader + "SourceDefinitionReferenceFrameParams already enabled! This should not happen...",
                                           reader + "StabilizationFlag already enabled! This should not happen...",
                                           reader + "Image signature already exists!  This should not happen..."}));
    QVERIFY(camera.getReferenceFrameParams().getStabilizationFlag());
    QCOMPARE(camera.getReferenceFrameParams().getReferenceFrame().getImageSignature(), QStringLiteral("new"));
}

void tst_SourceVIDEODefinition::presence_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("test");
    QTest::addColumn<bool>("present");

    const QJsonValue none(QJsonValue::Undefined);
    QTest::newRow("PTZ without enabled is disabled") << "data/ptz_parameters/enabled" << none << "PTZ" << false;
    QTest::newRow("PTZ removed") << "data/ptz_parameters" << none << "PTZ" << false;
    QTest::newRow("tracker without enabled counts") << "data/tracker_parameters/enabled" << none << "tracker" << true;
    QTest::newRow("foreground without watchers") << "data/foreground_detection_parameters/data/state_watchers" << QJsonValue(QJsonArray())
                                                 << "foreground" << false;
    QTest::newRow("foreground disabled") << "data/foreground_detection_parameters/enabled" << QJsonValue(false) << "foreground" << false;
    QTest::newRow("far distance without zones") << "data/far_distance_vehicle_detector_parameters/data/detector_zones"
                                                << QJsonValue(QJsonArray()) << "far" << false;
    QTest::newRow("ground prediction always") << "data/ground_prediction_parameters" << none << "ground" << true;
    QTest::newRow("evidence without enabled is disabled") << "data/evidence_parameters/enabled" << none << "evidence" << false;
}

void tst_SourceVIDEODefinition::presence()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFETCH(QString, test);
    QFETCH(bool, present);

    const SourceVIDEODefinition camera = readVideo(patched(fixture(QStringLiteral("camera_full.json")), path, value));
    const QHash<QString, bool> tests{{"PTZ", camera.hasPTZParams()},
                                     {"tracker", camera.hasTrackerParams()},
                                     {"foreground", camera.hasForegroundDetectionParams()},
                                     {"far", camera.hasFarDistanceVehicleDetectorParams()},
                                     {"ground", camera.hasGroundPredictionParams()},
                                     {"evidence", camera.hasEvidenceParams()}};
    QCOMPARE(tests.value(test), present);
    // Written back as stored, whatever the presence test says.
    const QString key = path.section('/', 1, 1);
    QCOMPARE(camera.toJsonObject().value("data").toObject().contains(key), !(value.isUndefined() && path.count('/') == 1));
}

void tst_SourceVIDEODefinition::validity_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QStringList>("lines"); // the definition's own lines, from the first of its own

    const QJsonValue none(QJsonValue::Undefined);
    QTest::newRow("full camera") << QString() << none << QStringList();
    QTest::newRow("disabled definition")
        << "enabled" << QJsonValue(false)
        << QStringList{condition("SourceDefinition::isValid_impl", "getEnabled()"),
                       condition(kVideo, "SourceDefinition::isValid_impl(skipWrn)")};
    QTest::newRow("wrong type")
        << "data/source_definition_type" << QJsonValue("Radar") << QStringList{condition(kVideo, "getType() == SourceDefinitionType::Video")};
    QTest::newRow("input without connection")
        << "data/input_parameters/data/connection_string" << QJsonValue("")
        << QStringList{condition("SourceDefinitionInputParams::isValid_impl", "!getConnectionString().isEmpty()"),
                       notValid("SourceDefinitionInputParams"), condition(kVideo, "getInputParams().isValid(skipWrn)")};
    QTest::newRow("PTZ out of range")
        << "data/ptz_parameters/data/home_zoom" << QJsonValue(2)
        << QStringList{condition("SourceDefinitionPTZParams::isValid_impl", "getHomeZoom() >= 0 && getHomeZoom() <= 1"),
                       notValid("SourceDefinitionPTZParams"),
                       condition(kVideo, "(!hasPTZParams() || getPTZParams().isValid(skipWrn))")};
    QTest::newRow("disabled PTZ is not validated") << "data/ptz_parameters/enabled" << QJsonValue(false) << QStringList();
    QTest::newRow("PTZ without enabled is not validated") << "data/ptz_parameters/enabled" << none << QStringList();
    QTest::newRow("post-processor scale")
        << "data/postproc_parameters/data/map_to_work_scale" << QJsonValue(0)
        << QStringList{condition("SourceDefinitionPostProcessorParams::isValid_impl", "getMapToWorkScale() > 0"),
                       notValid("SourceDefinitionPostProcessorParams"),
                       condition(kVideo, "(!hasPostProcessorParams() || getPostProcessorParams().isValid(skipWrn))")};
    QTest::newRow("foreground needs the obstacle flag")
        << "data/input_parameters/data/obstacle" << QJsonValue(false)
        << QStringList{condition(kVideo, "(hasForegroundDetectionParams() && getInputParams().getObstacle()) || (!hasForegroundDetectionParams())")};
    QTest::newRow("foreground without watchers needs no obstacle")
        << "data/input_parameters/data/obstacle" << QJsonValue(false) << QStringList() ;
    QTest::newRow("tracker without enabled is validated")
        << "data/tracker_parameters/enabled" << none << QStringList();
}

void tst_SourceVIDEODefinition::validity()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFETCH(QStringList, lines);

    QJsonObject object = patched(fixture(QStringLiteral("camera_full.json")), path, value);
    if (QByteArray(QTest::currentDataTag()) == "foreground without watchers needs no obstacle")
        object = patched(object, "data/foreground_detection_parameters/data/state_watchers", QJsonArray());
    const SourceVIDEODefinition camera = readVideo(object);
    QStringList logged;
    QCOMPARE(validate(camera, &logged), lines.isEmpty());
    if (lines.isEmpty()) {
        QVERIFY2(logged.isEmpty(), qPrintable(logged.join('\n')));
        return;
    }
    // Nested blocks may log more of their own first; the end is fixed.
    QCOMPARE(logged.last(), notValid("SourceVIDEODefinition"));
    logged.removeLast();
    QCOMPARE(logged.mid(logged.size() - lines.size()), lines);
    QCOMPARE(camera.isValid(true), false);
}

void tst_SourceVIDEODefinition::validityFollowsChanges()
{
    // A definition that passed once and is then changed (itself or a copy) is judged afresh.
    SourceVIDEODefinition camera = readVideo(fixture(QStringLiteral("camera_full.json")));
    QVERIFY(camera.isValid(true));
    const SourceVIDEODefinition kept = camera;
    SourceDefinitionInputParams input = camera.getInputParams();
    input.setConnectionString(QString());
    camera.setInputParams(input);
    QStringList lines;
    QVERIFY(!validate(camera, &lines));
    QVERIFY(lines.contains(condition(kVideo, "getInputParams().isValid(skipWrn)")));
    QVERIFY(kept.isValid(true));
    SourceVIDEODefinition disabled = kept;
    disabled.setEnabled(false);
    QVERIFY(!disabled.isValid(true));
}

void tst_SourceVIDEODefinition::compare_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("text"); // empty: equal

    const QJsonValue none(QJsonValue::Undefined);
    QTest::newRow("names are not compared") << "data/source_definition_name" << QJsonValue("Other") << QString();
    QTest::newRow("input") << "data/input_parameters/data/fps_cap" << QJsonValue(10)
                           << "getInputParams().compare(otherSD->getInputParams(), compareParams)";
    QTest::newRow("tracker") << "data/tracker_parameters/data/time_window_ms" << QJsonValue(2000)
                             << "getTrackerParams().compare(otherSD->getTrackerParams(), compareParams)";
    QTest::newRow("evidence only on one side") << "data/evidence_parameters" << none
        << "!hasEvidenceParams() && !otherSD->hasEvidenceParams() || ( hasEvidenceParams() == otherSD->hasEvidenceParams() && getEvidenceParams().compare(otherSD->getEvidenceParams(), compareParams) )";
    QTest::newRow("evidence disabled on one side") << "data/evidence_parameters/enabled" << QJsonValue(false)
        << "!hasEvidenceParams() && !otherSD->hasEvidenceParams() || ( hasEvidenceParams() == otherSD->hasEvidenceParams() && getEvidenceParams().compare(otherSD->getEvidenceParams(), compareParams) )";
    QTest::newRow("cortex") << "data/cortex_parameters/data/state_watchers" << QJsonValue(QJsonArray())
                            << "getCortexParams().compare(otherSD->getCortexParams(), compareParams)";
    QTest::newRow("reference frame through the base") << "data/reference_frame_parameters/data/stabilization_flag" << QJsonValue(false)
                                                      << "SourceDefinition::compare_logic(other, compareParams)";
}

void tst_SourceVIDEODefinition::compare()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFETCH(QString, text);

    const QJsonObject full = fixture(QStringLiteral("camera_full.json"));
    const SourceVIDEODefinition a = readVideo(full);
    const SourceVIDEODefinition b = readVideo(patched(full, path, value));
    QStringList lines;
    QCOMPARE(a.compare(b, CompareParams::logic(true)).equal, text.isEmpty());
    QCOMPARE(compareLogic(a, b, false, &lines).equal, text.isEmpty());
    if (!text.isEmpty())
        QCOMPARE(lines.last(), condition("SourceVIDEODefinition::compare_logic", text));

    // Two disabled filter blocks holding different values are equal by logic.
    QJsonObject offA = patched(full, "data/filter_parameters/enabled", false);
    QJsonObject offB = patched(offA, "data/filter_parameters/data/no_detection_zones", QJsonArray());
    QVERIFY(readVideo(offA).compare(readVideo(offB), CompareParams::logic(true)).equal);
}

void tst_SourceVIDEODefinition::factoryByType_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Type>("type");
    QTest::addColumn<QString>("className");

    QTest::newRow("video") << QByteArray(R"({"version": 2, "data": {"source_definition_type": "Video", "input_parameters": {"version": 1, "data": {"connection_string": "rtsp://cam"}}}})")
                           << Type::Video << "SourceVIDEODefinition";
    QTest::newRow("legacy flat video") << QByteArray(R"({"source_definition_type": "Video", "connection_string": "rtsp://cam"})")
                                       << Type::Video << "SourceVIDEODefinition";
    QTest::newRow("cube") << QByteArray(R"({"version": 2, "data": {"source_definition_type": "Cube"}})") << Type::Cube << "SourceCUBEDefinition";
    QTest::newRow("QMT") << QByteArray(R"({"version": 2, "data": {"source_definition_type": "QMT", "log_file_path": "x.tlg"}})")
                         << Type::QMT << "SourceQMTDefinition";
    QTest::newRow("radar") << QByteArray(R"({"version": 2, "data": {"source_definition_type": "Radar"}})") << Type::Radar << "SourceRADARDefinition";
    QTest::newRow("unknown text") << QByteArray(R"({"version": 2, "data": {"source_definition_type": "video"}})")
                                  << Type::Unknown << "SourceDefinition";
}

void tst_SourceVIDEODefinition::factoryByType()
{
    QFETCH(QByteArray, input);
    QFETCH(Type, type);
    QFETCH(QString, className);

    const QJsonObject object = json(input);
    SourceDataReadOptions quiet;
    quiet.skipValidation = true;
    const auto fromJson = SourceDefinition::createFromJson(object, quiet);
    QCOMPARE(fromJson->className(), className);
    QCOMPARE(fromJson->getType(), type);
    const auto fromVariant = SourceDefinition::createFromQVariant(fromJson->getQVariantData());
    QCOMPARE(fromVariant->className(), className);
    QVERIFY(fromVariant->compare(*fromJson, CompareParams::data()).equal);
}

void tst_SourceVIDEODefinition::recordingBecomesQMT_data()
{
    QTest::addColumn<QString>("connectionString");
    QTest::addColumn<QString>("logFilePath"); // null: stays a video definition

    QTest::newRow(".tlg") << "/rec/day.tlg" << "/rec/day.tlg";
    QTest::newRow(".tlgx with blanks") << "  D:/rec/night.tlgx \t" << "D:/rec/night.tlgx";
    QTest::newRow("stream with at sign") << "rtsp://user:pw@cam/stream.tlg" << QString();
    QTest::newRow("upper-case extension") << "/rec/day.TLG" << QString();
    QTest::newRow("other extension") << "/rec/day.tlg.bak" << QString();
    QTest::newRow("live stream") << "rtsp://10.0.0.21/stream" << QString();
}

void tst_SourceVIDEODefinition::recordingBecomesQMT()
{
    QFETCH(QString, connectionString);
    QFETCH(QString, logFilePath);

    QJsonObject object = fixture(QStringLiteral("camera_full.json"));
    object = patched(object, "data/input_parameters/data/connection_string", connectionString);
    LogCapture capture;
    const auto definition = SourceDefinition::createFromJson(object);
    if (logFilePath.isNull()) {
        QCOMPARE(definition->className(), QStringLiteral("SourceVIDEODefinition"));
        QVERIFY(definition->toVIDEOSrcDefCPtr());
        return;
    }
    auto *qmt = dynamic_cast<SourceQMTDefinition *>(definition.get());
    QVERIFY(qmt);
    QCOMPARE(qmt->getLogFilePath(), logFilePath);
    QCOMPARE(qmt->getType(), Type::QMT);
    QVERIFY(qmt->isValid());
    QVERIFY(!qmt->toVIDEOSrcDefCPtr());
    // The same rule holds for a definition handed over as a variant.
    const SourceVIDEODefinition video = readVideo(object);
    QCOMPARE(SourceDefinition::createFromQVariant(video.getQVariantData())->className(), QStringLiteral("SourceQMTDefinition"));
}

void tst_SourceVIDEODefinition::downcasts()
{
    const auto shared = SourceDefinition::createFromJson(fixture(QStringLiteral("camera_full.json")));
    const auto video = shared->toVIDEOSrcDefCPtr();
    QVERIFY(video);
    QCOMPARE(static_cast<const SourceDefinition *>(video.get()), shared.get()); // the definition itself
    QVERIFY(shared->toVIDEODefinitionPtr());
    QVERIFY(!shared->toCUBEDefinitionPtr());

    // A definition that no shared pointer owns hands out a copy.
    SourceCUBEDefinition cube;
    const auto copy = cube.toCUBEDefinitionPtr();
    QVERIFY(copy);
    QVERIFY(copy.get() != &cube);
    QVERIFY(copy->valueMap().isSharedWith(cube.valueMap()));
    QVERIFY(!cube.toVIDEOSrcDefCPtr());
}

QTEST_GUILESS_MAIN(tst_SourceVIDEODefinition)
#include "tst_SourceVIDEODefinition.moc"
