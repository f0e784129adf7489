#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/params/DEP_SourceDefinitionStabParams.h"
#include "datamodel/params/SourceDefinitionReferenceFrameParams.h"
#include "support/RecordTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Params = SourceDefinitionReferenceFrameParams;
using Legacy = DEP_SourceDefinitionStabParams;

namespace {

const QByteArray kValidFrame =
    R"({"image_size": {"width": 1920, "height": 1080}, "image_signature": "sig", "source_timestamp": {"data_ts_ms": 7}})";
const QByteArray kValidGeoregistration =
    R"({"source_points": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 0, "y": 1}],
        "destination_points": [{"x": 10, "y": 10}, {"x": 20, "y": 10}, {"x": 10, "y": 20}]})";

QByteArray with(const QByteArray &head, const QByteArray &frame = {}, const QByteArray &georegistration = {})
{
    QByteArray text = "{" + head;
    if (!frame.isEmpty())
        text += QByteArray(head.isEmpty() ? "" : ", ") + "\"reference_frame\": " + frame;
    if (!georegistration.isEmpty())
        text += QByteArray(head.isEmpty() && frame.isEmpty() ? "" : ", ") + "\"georegistration_parameters\": " + georegistration;
    return text + "}";
}

const QString kFoldFunction = QStringLiteral("kvr::tracker::common::SourceVIDEODefinition::read_impl(const QJsonObject&)");

} // namespace

class tst_ReferenceFrameParams : public QObject
{
    Q_OBJECT

private slots:
    void readDefaults();
    void roundTrip();
    void heavyDataThroughDefinition();
    void validity_data();
    void validity();
    void compare_data();
    void compare();

    void legacyBlock_data();
    void legacyBlock();
    void legacyCompare();
    void legacySignatureWarning();
    void foldLegacy_data();
    void foldLegacy();
};

void tst_ReferenceFrameParams::readDefaults()
{
    const Params params = readQuiet<Params>("{}");
    QVERIFY(!params.getEnabled());
    QVERIFY(params.isValid(true));
    QVERIFY(!params.hasReferenceFrame());
    QVERIFY(!params.hasGeoregistrationParams());
    QVERIFY(!params.getStabilizationFlag());
    QCOMPARE(params.getReferenceFrame().valueMap(), QVariantMap());
    QCOMPARE(written(params), json(R"({"data": {}})"));

    // A frame that is no object reads as an empty (enabled) frame; a flag that is no bool as false.
    const Params odd = readQuiet<Params>(R"({"reference_frame": 3, "stabilization_flag": "yes"})");
    QVERIFY(odd.hasReferenceFrame());
    QVERIFY(odd.contains("stabilization_flag"));
    QVERIFY(!odd.getStabilizationFlag());
}

void tst_ReferenceFrameParams::roundTrip()
{
    const QByteArray input = R"({"version": 1, "enabled": true, "data": {
        "reference_frame": {"version": 1, "data": {"image_size": {"width": 2, "height": 1}, "image_signature": "s",
                                                   "image_data": "AQID"}},
        "stabilization_flag": true,
        "georegistration_parameters": {"version": 1, "enabled": false, "data": {"source_points": [{"x": 1, "y": 2}]}}}})";
    const Params params = readQuiet<Params>(input);
    QCOMPARE(params.getReferenceFrame().getImageData(), QByteArray("\x01\x02\x03"));
    QVERIFY(!params.hasGeoregistrationParams());
    QCOMPARE(params.toJsonObject(), json(input));

    // Reduced: everything but the image.
    SourceDataWriteOptions reduced;
    reduced.writeMode = SourceDataWriteMode::Reduced;
    const QJsonObject frame = params.toJsonObject(reduced)["data"].toObject()["reference_frame"].toObject()["data"].toObject();
    QVERIFY(!frame.contains("image_data"));
    QCOMPARE(frame["image_signature"].toString(), QStringLiteral("s"));
}

void tst_ReferenceFrameParams::heavyDataThroughDefinition()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Params params = readQuiet<Params>(with(R"("enabled": true, "stabilization_flag": true)", kValidFrame));
    ReferenceFrame frame = params.getReferenceFrame();
    frame.read(json(kValidFrame.chopped(1) + R"(, "image_data": "iVBORw0KGgo="})"), {});
    params.setReferenceFrame(frame);
    SourceDefinition definition(SourceDefinition::SourceDefinitionType::Video);
    definition.setReferenceFrameParams(params);
    QVERIFY(definition.hasReferenceFrameParams());

    SourceDataWriteOptions toFile;
    toFile.writeMode = SourceDataWriteMode::HeavyDataToFile;
    toFile.heavyDataPathPrefix = dir.path();
    LogCapture capture;
    const QJsonObject out = definition.toJsonObject(toFile);
    QCOMPARE(logLines(capture), QStringList());
    QFile file(dir.filePath("SourceDefinition/SourceDefinitionReferenceFrameParams/ReferenceFrame/reference_frame.png"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray::fromBase64("iVBORw0KGgo="));

    SourceDataReadOptions fromFile;
    fromFile.heavyData = true;
    fromFile.heavyDataPathPrefix = dir.path();
    SourceDefinition back;
    back.read(out, fromFile);
    QCOMPARE(logLines(capture), QStringList());
    QCOMPARE(back.getReferenceFrameParams().getReferenceFrame().getImageData(), frame.getImageData());
    QCOMPARE(back.getReferenceFrameParams().valueMap(), params.valueMap());
    QVERIFY(back.compare(definition).equal);
}

void tst_ReferenceFrameParams::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    const QString f = QStringLiteral("SourceDefinitionReferenceFrameParams::isValid_impl");
    const QString frameCondition = condition(f, "!hasReferenceFrame() || getReferenceFrame().isValid(skipWrn)");
    const QString geoCondition = condition(
        f, "!hasGeoregistrationParams() || (hasReferenceFrame() && getGeoregistrationParams().isValid(skipWrn))");
    const QString stabCondition = condition(f, "!getStabilizationFlag() || hasReferenceFrame()");
    const QString invalid = notValid("SourceDefinitionReferenceFrameParams");

    QTest::newRow("everything valid")
        << with(R"("enabled": true, "stabilization_flag": true)", kValidFrame, kValidGeoregistration) << QStringList();
    QTest::newRow("enabled and empty") << with(R"("enabled": true)") << QStringList();
    QTest::newRow("stabilisation without a frame")
        << with(R"("enabled": true, "stabilization_flag": true)") << QStringList{stabCondition, invalid};
    QTest::newRow("disabled frame is not validated, stabilisation fails")
        << with(R"("enabled": true, "stabilization_flag": true)", R"({"enabled": false})")
        << QStringList{stabCondition, invalid};
    QTest::newRow("invalid frame logs its own lines first")
        << with(R"("enabled": true)", R"({"image_size": {"width": 4, "height": 4}})")
        << QStringList{condition("ReferenceFrame::isValid_impl", "!getImageSignature().isEmpty()"),
                       notValid("ReferenceFrame"), frameCondition, invalid};
    QTest::newRow("georegistration without a frame, even when valid")
        << with(R"("enabled": true)", {}, kValidGeoregistration) << QStringList{geoCondition, invalid};
    QTest::newRow("invalid georegistration")
        << with(R"("enabled": true)", kValidFrame, R"({"source_points": []})")
        << QStringList{condition("TransformationParams::isValid_impl",
                                 "srcP.size() == dstP.size() && srcP.size() >= GEREGISTRATION_POINTS_MIN_SIZE"),
                       notValid("TransformationParams"), geoCondition, invalid};
    QTest::newRow("disabled georegistration is not required to be valid")
        << with(R"("enabled": true)", {}, R"({"enabled": false})") << QStringList();
    QTest::newRow("disabled block is valid at once")
        << with(R"("stabilization_flag": true)", R"({})", kValidGeoregistration) << QStringList();
}

void tst_ReferenceFrameParams::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);

    QStringList logged;
    QCOMPARE(validate(readQuiet<Params>(input), &logged), lines.isEmpty());
    QCOMPARE(logged, lines);
}

void tst_ReferenceFrameParams::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<bool>("first");
    QTest::addColumn<QStringList>("lines");

    const QString f = QStringLiteral("SourceDefinitionReferenceFrameParams::compare_logic");
    const QByteArray otherSignature = QByteArray(kValidFrame).replace("\"sig\"", "\"other\"");
    QTest::newRow("same") << with(R"("enabled": true)", kValidFrame) << with(R"("enabled": true)", kValidFrame) << true
                          << false << QStringList();
    QTest::newRow("new reference image raises the first flag")
        << with(R"("enabled": true)", kValidFrame) << with(R"("enabled": true)", otherSignature) << false << true
        << QStringList{condition("ReferenceFrame::compare_logic", "getImageSignature() == otherSD->getImageSignature()"),
                       condition(f, "getReferenceFrame().compare(otherSD->getReferenceFrame(), compareParams)")};
    QTest::newRow("stabilisation flag")
        << with(R"("enabled": true, "stabilization_flag": true)", kValidFrame) << with(R"("enabled": true)", kValidFrame)
        << false << false << QStringList{condition(f, "getStabilizationFlag() == otherSD->getStabilizationFlag()")};
    QTest::newRow("georegistration points")
        << with(R"("enabled": true)", kValidFrame, kValidGeoregistration)
        << with(R"("enabled": true)", kValidFrame, QByteArray(kValidGeoregistration).replace("20", "21")) << false << false
        << QStringList{condition("TransformationParams::compare_logic",
                                 "getDestinationPoints() == otherSD->getDestinationPoints()"),
                       condition(f, "getGeoregistrationParams().compare(otherSD->getGeoregistrationParams(), compareParams)")};
    QTest::newRow("disabled with values against an enabled empty block")
        << with(R"("enabled": false, "stabilization_flag": false)", kValidFrame) << with(R"("enabled": true)") << true
        << false << QStringList();
}

void tst_ReferenceFrameParams::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, equal);
    QFETCH(bool, first);
    QFETCH(QStringList, lines);

    QStringList logged;
    const CompareResult result = compareLogic(readQuiet<Params>(a), readQuiet<Params>(b), false, &logged);
    QCOMPARE(result.equal, equal);
    QCOMPARE(result.first, first);
    QCOMPARE(logged, lines);
}

void tst_ReferenceFrameParams::legacyBlock_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("output");

    const QString invalid = notValid("DEP_SourceDefinitionStabParams");
    QTest::newRow("empty: disabled and valid") << QByteArray("{}") << false << QStringList() << QByteArray("{}");
    QTest::newRow("enabled with a signature")
        << QByteArray(R"({"enabled": true, "image_signature": "s", "source_timestamp": {"data_ts_ms": 3}})") << true
        << QStringList() << QByteArray(R"({"enabled": true, "image_signature": "s", "source_timestamp": {"data_ts_ms": 3}})");
    QTest::newRow("enabled without signature: no condition of its own")
        << QByteArray(R"({"enabled": true, "source_timestamp": {"data_ts_ms": 3}, "image_data": "AA=="})") << true
        << QStringList{invalid} << QByteArray(R"({"enabled": true, "source_timestamp": {"data_ts_ms": 3}})");
}

void tst_ReferenceFrameParams::legacyBlock()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, enabled);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, output);

    const Legacy legacy = readQuiet<Legacy>(input);
    QCOMPARE(legacy.getEnabled(), enabled);
    QStringList logged;
    QCOMPARE(validate(legacy, &logged), lines.isEmpty());
    QCOMPARE(logged, lines);
    SourceDataWriteOptions flat;
    flat.flat = true;
    flat.noVersion = true;
    QCOMPARE(legacy.toJsonObject(flat), json(output));
}

void tst_ReferenceFrameParams::legacyCompare()
{
    QStringList logged;
    const CompareResult result = compareLogic(readQuiet<Legacy>(R"({"enabled": true, "image_signature": "a"})"),
                                              readQuiet<Legacy>(R"({"enabled": true, "image_signature": "b"})"), true,
                                              &logged);
    QVERIFY(!result.equal);
    QVERIFY(!result.first);
    QCOMPARE(logged, QStringList{condition("DEP_SourceDefinitionStabParams::compare_logic",
                                           "getImageSignature() == otherSD->getImageSignature()")});

    // A disabled block that holds values compares as a default one.
    QVERIFY(compareLogic(readQuiet<Legacy>(R"({"enabled": false, "image_signature": "a"})"), Legacy(), false, &logged).equal);
}

void tst_ReferenceFrameParams::legacySignatureWarning()
{
    // The block never reads image data itself; an older holder may have left some in its map.
    Legacy legacy;
    legacy.setValue("image_data", QByteArray("\x01"));
    LogCapture capture;
    legacy.setImageSignature("a");
    legacy.setImageSignature("b", true);
    QCOMPARE(logLines(capture),
             QStringList{"WRN DEP_SourceDefinitionStabParams::setImageSignature: Image data not empty! New stab. image "
                         "signature might invalidate existing stab. image data..."});
    QVERIFY(legacy.contains("image_data"));
    QCOMPARE(legacy.getImageSignature(), QStringLiteral("b"));
}

void tst_ReferenceFrameParams::foldLegacy_data()
{
    QTest::addColumn<QByteArray>("legacy");
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<QStringList>("lines");

    const QString reader = QStringLiteral("WRN SourceVIDEODefinition::read_impl: ");
    QTest::newRow("nothing to fold") << QByteArray("{}") << QByteArray("{}") << false << QByteArray("{}") << QStringList();
    QTest::newRow("enabled with signature and timestamp")
        << QByteArray(R"({"enabled": true, "image_signature": "s", "source_timestamp": {"data_ts_ms": 9}})")
        << QByteArray("{}") << true
        << QByteArray(R"({"enabled": true, "stabilization_flag": true,
                          "reference_frame": {"image_signature": "s", "source_timestamp": {"data_ts_ms": 9}}})")
        << QStringList();
    QTest::newRow("enabled with an empty signature: flag only")
        << QByteArray(R"({"enabled": true, "image_signature": ""})") << QByteArray("{}") << true
        << QByteArray(R"({"enabled": true, "stabilization_flag": true})") << QStringList();
    QTest::newRow("signature of a disabled block still moves")
        << QByteArray(R"({"image_signature": "s"})") << QByteArray(R"({"georegistration_parameters": {}})") << true
        << QByteArray(R"({"georegistration_parameters": {}, "reference_frame": {"image_signature": "s", "source_timestamp": {}}})")
        << QStringList();
    QTest::newRow("everything already set")
        << QByteArray(R"({"enabled": true, "image_signature": "new"})")
        << QByteArray(R"({"enabled": true, "stabilization_flag": true,
                          "reference_frame": {"image_signature": "old", "image_data": "AA=="}})")
        << true
        << QByteArray(R"({"enabled": true, "stabilization_flag": true,
                          "reference_frame": {"image_signature": "new", "image_data": "AA==", "source_timestamp": {}}})")
        << QStringList{reader + "SourceDefinitionReferenceFrameParams already enabled! This should not happen...",
                       reader + "StabilizationFlag already enabled! This should not happen...",
                       reader + "Image signature already exists!  This should not happen...",
                       "WRN ReferenceFrame::warnIfImageData: Image data not empty! New stab. image signature might "
                       "invalidate existing stab. image data..."};
}

void tst_ReferenceFrameParams::foldLegacy()
{
    QFETCH(QByteArray, legacy);
    QFETCH(QByteArray, current);
    QFETCH(bool, changed);
    QFETCH(QByteArray, result);
    QFETCH(QStringList, lines);

    Params params = readQuiet<Params>(current);
    LogCapture capture;
    QCOMPARE(params.foldLegacyStabParams(readQuiet<Legacy>(legacy), kFoldFunction.toLatin1().constData()), changed);
    QCOMPARE(logLines(capture), lines);
    QCOMPARE(params.valueMap(), readQuiet<Params>(result).valueMap());
}

QTEST_GUILESS_MAIN(tst_ReferenceFrameParams)
#include "tst_ReferenceFrameParams.moc"
