#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceFrameFormatDefinition.h"

using namespace kvr::tracker::common;
using namespace recordtest;
using Compression = SourceImageDataBandwidthParams::CompressionType;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceFrameFormatDefinition::compare_logic", text);
}

QString invalid(const char *text)
{
    return conditionLine("SourceFrameFormatDefinition::isValid_impl", text);
}

QByteArray v2(const QByteArray &data)
{
    return R"({"version": 2, "data": )" + data + '}';
}

QVariantMap bandwidth(const QVariantMap &values)
{
    return {{"image_data_bandwidth_parameters", values}};
}

const QByteArray kDeepClassDifferenceA(
    R"({"visualization_parameters": {"version": 1, "data": {"visualization_classes": [{"version": 1, "data": {"class_name": "car", "color": "red"}}]}}})");
const QByteArray kDeepClassDifferenceB(
    R"({"visualization_parameters": {"version": 1, "data": {"visualization_classes": [{"version": 1, "data": {"class_name": "car", "color": "blue"}}]}}})");

} // namespace

class tst_SourceFrameFormatDefinition : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void nestedGetters();
    void legacyBandwidth_data();
    void legacyBandwidth();
    void read_data();
    void read() { checkRead<SourceFrameFormatDefinition>(); }
    void write_data();
    void write() { checkWrite<SourceFrameFormatDefinition>(); }
    void validity_data();
    void validity() { checkValidity<SourceFrameFormatDefinition>(); }
    void compare_data();
    void compare() { checkCompare<SourceFrameFormatDefinition>(); }
    void nestedDifferenceCarriesItsFlags();
    void travelsInVariants();
};

void tst_SourceFrameFormatDefinition::defaults()
{
    const SourceFrameFormatDefinition format;
    QCOMPARE(format.getEnabled(), true);
    QCOMPARE(format.getSourceID(), qint64(-1));
    const auto bw = format.getImageDataBandwidthParams();
    QCOMPARE(bw.getCompressionType(), Compression::JPG);
    QCOMPARE(bw.getCompression(), quint8(50));
    QCOMPARE(bw.getFrameLengthMul(), 1u);
    QCOMPARE(bw.getImageScaleParams().getScale(), quint8(100));
    const auto tr = format.getImageTransformationParams();
    QVERIFY(tr.getUndistortFlag() && tr.getTransformToRefFlag() && !tr.getImageCropParams().getEnabled());
    QCOMPARE(format.getAnonymizationParams().getEnabled(), false);
    QCOMPARE(format.getVisualizationParams().getTTailsSizeMS(), 2000u);
    QVERIFY(format.isValid());

    const QJsonObject written = format.toJsonObject();
    QCOMPARE(compact(written), QByteArray(R"({"data":{},"version":2})"));
    SourceFrameFormatDefinition back;
    back.read(written);
    QVERIFY(back == format);
}

void tst_SourceFrameFormatDefinition::nestedGetters()
{
    SourceFrameFormatDefinition format;
    SourceImageDataBandwidthParams bw = format.getImageDataBandwidthParams();
    bw.setFrameLengthMul(0);
    QCOMPARE(format.getImageDataBandwidthParams().getFrameLengthMul(), 1u); // a copy
    format.setImageDataBandwidthParams(bw);
    QCOMPARE(format.getImageDataBandwidthParams().getFrameLengthMul(), 0u);

    format.setValue(QStringLiteral("visualization_parameters"), 5);
    LogCapture capture;
    QCOMPARE(format.getVisualizationParams().getTTailsSizeMS(), 2000u);
    QCOMPARE(linesOf(capture),
             QStringList{"kvr::tracker::common::SourceData::setQVariantData|Unable to convert QVariant data of type: int"});
}

// Flat keys of class versions 0 and 1 -> the bandwidth record.
void tst_SourceFrameFormatDefinition::legacyBandwidth_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<uint>("frameLengthMul");
    QTest::addColumn<int>("scale");
    QTest::addColumn<Compression>("type");
    QTest::addColumn<int>("storedQuality");

    QTest::newRow("version 0")
        << QByteArray(R"({"flength_mul": 0, "scale": 50, "compression_type": "jpeg", "compression_quality": 80})")
        << 0u << 50 << Compression::JPG << 80;
    QTest::newRow("PNG") << QByteArray(R"({"compression_type": "PNG"})") << 1u << 100 << Compression::PNG << -1;
    QTest::newRow("png in lower case") << QByteArray(R"({"compression_type": "png"})") << 1u << 100 << Compression::PNG << -1;
    QTest::newRow("raw in lower case") << QByteArray(R"({"compression_type": "raw"})") << 1u << 100 << Compression::RAW << -1;
    QTest::newRow("JPEG") << QByteArray(R"({"compression_type": "JPEG"})") << 1u << 100 << Compression::JPG << -1;
    QTest::newRow("unknown type") << QByteArray(R"({"compression_type": "webp"})") << 1u << 100 << Compression::JPG << -1;
    QTest::newRow("quality keeps the low 8 bits") << QByteArray(R"({"compression_quality": 300})") << 1u << 100
                                                  << Compression::JPG << 44;
    QTest::newRow("version 1 under data")
        << QByteArray(R"({"version": 1, "data": {"flength_mul": 3, "scale": 300}})") << 3u << 44 << Compression::JPG << -1;
}

void tst_SourceFrameFormatDefinition::legacyBandwidth()
{
    QFETCH(QByteArray, input);
    QFETCH(uint, frameLengthMul);
    QFETCH(int, scale);
    QFETCH(Compression, type);
    QFETCH(int, storedQuality);

    const auto bw = fromJson<SourceFrameFormatDefinition>(input).getImageDataBandwidthParams();
    QCOMPARE(bw.getFrameLengthMul(), frameLengthMul);
    QCOMPARE(int(bw.getImageScaleParams().getScale()), scale);
    QCOMPARE(bw.getCompressionType(), type);
    QCOMPARE(bw.valueMap().value("compression_quality", -1).toInt(), storedQuality);
}

void tst_SourceFrameFormatDefinition::read_data()
{
    addReadColumns();
    QTest::newRow("version 1 ignores the transformation")
        << QByteArray(R"({"version": 1, "data": {"image_transformation_parameters": {"version": 2, "data": {"undistort_flag": false}}}})")
        << QVariantMap();
    QTest::newRow("version 1 ignores a nested bandwidth")
        << QByteArray(R"({"version": 1, "data": {"image_data_bandwidth_parameters": {"version": 2, "data": {"flength_mul": 0}}}})")
        << QVariantMap();
    QTest::newRow("version 2 ignores flat keys") << v2(R"({"scale": 50, "flength_mul": 0})") << QVariantMap();
    QTest::newRow("legacy scale only")
        << QByteArray(R"({"scale": 50})") << bandwidth({{"image_scale_parameters", QVariantMap{{"scale", 50}}}});
    QTest::newRow("version 2 nested records")
        << v2(R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"flength_mul": 0}},)"
              R"( "image_transformation_parameters": {"version": 2, "data": {"undistort_flag": false}},)"
              R"( "anonymization_parameters": {"version": 2, "enabled": true, "data": {}},)"
              R"( "visualization_parameters": {"version": 1, "data": {"bbx_color": "red"}}})")
        << QVariantMap{{"image_data_bandwidth_parameters", QVariantMap{{"flength_mul", 0u}}},
                       {"image_transformation_parameters", QVariantMap{{"undistort_flag", false}}},
                       {"anonymization_parameters", QVariantMap{{"enabled", true}}},
                       {"visualization_parameters", QVariantMap{{"bbx_color", "#ffff0000"}}}};
    QTest::newRow("anonymization and visualization are read in legacy data too")
        << QByteArray(R"({"anonymization_parameters": {"version": 1, "data": {}}, "visualization_parameters": {"version": 1, "data": {"track_id_offset": 2}}})")
        << QVariantMap{{"anonymization_parameters", QVariantMap{{"enabled", true}}},
                       {"visualization_parameters", QVariantMap{{"track_id_offset", qint64(2)}}}};
}

void tst_SourceFrameFormatDefinition::write_data()
{
    addWriteColumns();
    QTest::newRow("legacy data is written as version 2, nested")
        << QByteArray(R"({"flength_mul": 0, "scale": 50, "compression_type": "jpeg", "compression_quality": 80})")
        << v2(R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"flength_mul": 0, "compression_type": "JPG", "compression_quality": 80, "image_scale_parameters": {"version": 1, "data": {"scale": 50}}}}})");
    const QByteArray all = v2(
        R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"compression_type": "RAW"}},)"
        R"( "image_transformation_parameters": {"version": 2, "data": {"transform_to_ref_flag": false}},)"
        R"( "anonymization_parameters": {"enabled": true, "version": 2, "data": {"anonymization_zones": [{"version": 1, "data": {"anonymization_zone": [{"x": 0, "y": 0}]}}]}},)"
        R"( "visualization_parameters": {"version": 1, "data": {"ttails_size_ms": "100"}}})");
    QTest::newRow("every nested record") << all << all;
}

void tst_SourceFrameFormatDefinition::validity_data()
{
    addValidityColumns();
    const QByteArray emptyZone(R"({"anonymization_parameters": {"enabled": true, "version": 2, "data": {"anonymization_zones": [{}]}}})");
    const QStringList anonymizationLines{
        conditionLine("SourceAnonymizationZone::isValid_impl", "!getZone().isEmpty()"), notValidLine("SourceAnonymizationZone"),
        conditionLine("SourceAnonymizationParams::isValid_impl", "ci.isValid(skipWrn)"), notValidLine("SourceAnonymizationParams"),
        invalid("getAnonymizationParams().isValid(skipWrn)"), notValidLine("SourceFrameFormatDefinition")};
    QTest::newRow("invalid anonymization, nested lines first") << v2(emptyZone) << false << anonymizationLines;
    QTest::newRow("a disabled definition is validated all the same")
        << QByteArray(R"({"version": 2, "enabled": false, "data": )" + emptyZone + "}") << false << anonymizationLines;
    QTest::newRow("invalid visualization")
        << v2(R"({"visualization_parameters": {"version": 1, "data": {"track_id_offset": -1}}})") << false
        << QStringList{conditionLine("SourceVisualizationParams::isValid_impl", "getTrackIdOffset() >= 0"),
                       notValidLine("SourceVisualizationParams"), invalid("getVisualizationParams().isValid(skipWrn)"),
                       notValidLine("SourceFrameFormatDefinition")};
    QTest::newRow("first invalid nested record ends the test")
        << v2(R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"image_scale_parameters": {"version": 1, "data": {"scale": 0}}}},)"
              R"( "visualization_parameters": {"version": 1, "data": {"track_id_offset": -1}}})")
        << false
        << QStringList{conditionLine("SourceVisualizationParams::isValid_impl", "getTrackIdOffset() >= 0"),
                       notValidLine("SourceVisualizationParams"), invalid("getVisualizationParams().isValid(skipWrn)"),
                       notValidLine("SourceFrameFormatDefinition")};
}

void tst_SourceFrameFormatDefinition::compare_data()
{
    addCompareColumns();
    QTest::newRow("qualities bounded alike are equal")
        << v2(R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"compression_quality": 120}}})")
        << v2(R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"compression_quality": 150}}})") << false
        << true << QStringList();
    QTest::newRow("one deep difference: every level reports it")
        << v2(kDeepClassDifferenceA) << v2(kDeepClassDifferenceB) << false << false
        << QStringList{conditionLine("SourceVisualizationClass::compare_logic", "getColor() == otherSD->getColor()"),
                       conditionLine("SourceVisualizationParams::compare_logic", "aC[i].compare(bC[i], compareParams)"),
                       differs("getVisualizationParams().compare(otherSD->getVisualizationParams(), compareParams)")};
    QTest::newRow("first nested difference ends the comparison")
        << v2(R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"flength_mul": 0}},)"
              R"( "image_transformation_parameters": {"version": 2, "data": {"undistort_flag": false}}})")
        << v2("{}") << false << false
        << QStringList{conditionLine("SourceImageDataBandwidthParams::compare_logic",
                                     "getFrameLengthMul() == otherSD->getFrameLengthMul()"),
                       differs("getImageDataBandwidthParams().compare(otherSD->getImageDataBandwidthParams(), compareParams)")};
    QTest::newRow("all nested differences in order")
        << v2(R"({"image_data_bandwidth_parameters": {"version": 2, "data": {"flength_mul": 0}},)"
              R"( "image_transformation_parameters": {"version": 2, "data": {"undistort_flag": false}},)"
              R"( "anonymization_parameters": {"enabled": true, "version": 2, "data": {"anonymization_zones": [{"version": 1, "data": {"anonymization_zone": [{"x": 0, "y": 0}]}}]}},)"
              R"( "visualization_parameters": {"version": 1, "data": {"spatial_elements": []}}})")
        << v2(R"({"anonymization_parameters": {"enabled": true, "version": 2, "data": {}},)"
              R"( "visualization_parameters": {"version": 1, "data": {"timestamp": {"enabled": true, "version": 1, "data": {}}}}})")
        << true << false
        << QStringList{conditionLine("SourceImageDataBandwidthParams::compare_logic",
                                     "getFrameLengthMul() == otherSD->getFrameLengthMul()"),
                       differs("getImageDataBandwidthParams().compare(otherSD->getImageDataBandwidthParams(), compareParams)"),
                       conditionLine("SourceImageTransformationParams::compare_logic",
                                     "getUndistortFlag() == otherSD->getUndistortFlag()"),
                       differs("getImageTransformationParams().compare(otherSD->getImageTransformationParams(), compareParams)"),
                       conditionLine("SourceAnonymizationParams::compare_logic", "aC.size() == bC.size()"),
                       differs("getAnonymizationParams().compare(otherSD->getAnonymizationParams(), compareParams)"),
                       conditionLine("SourceVisualizationParams::compare_logic",
                                     "getSourceVisualizationTimestamp().getEnabled() == otherSD->getSourceVisualizationTimestamp().getEnabled() && getSourceVisualizationTimestamp().compare(otherSD->getSourceVisualizationTimestamp(), compareParams)"),
                       differs("getVisualizationParams().compare(otherSD->getVisualizationParams(), compareParams)")};
    QTest::newRow("no default rule for a disabled definition")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"image_data_bandwidth_parameters": {"version": 2, "data": {"flength_mul": 0}}}})")
        << v2("{}") << false << false
        << QStringList{conditionLine("SourceImageDataBandwidthParams::compare_logic",
                                     "getFrameLengthMul() == otherSD->getFrameLengthMul()"),
                       differs("getImageDataBandwidthParams().compare(otherSD->getImageDataBandwidthParams(), compareParams)")};
}

// The whole format's result is the nested one's: unequal, with the nested first flag.
void tst_SourceFrameFormatDefinition::nestedDifferenceCarriesItsFlags()
{
    const auto a = fromJson<SourceFrameFormatDefinition>(v2(kDeepClassDifferenceA));
    const auto b = fromJson<SourceFrameFormatDefinition>(v2(kDeepClassDifferenceB));
    const CompareParams params = CompareParams::logic(true, false);
    const CompareResult nested = a.getVisualizationParams().compare(b.getVisualizationParams(), params);
    const CompareResult whole = a.compare(b, params);
    QVERIFY(!nested.equal);
    QVERIFY(!whole.equal);
    QCOMPARE(whole.first, nested.first);
    QVERIFY(!(a == b));
    QVERIFY(a.compare(b, CompareParams::data(true)).equal == false);
}

void tst_SourceFrameFormatDefinition::travelsInVariants()
{
    auto format = fromJson<SourceFrameFormatDefinition>(v2(kDeepClassDifferenceA));
    format.setSourceID(7);
    const QVariant held = QVariant::fromValue(format);
    const auto back = held.value<SourceFrameFormatDefinition>();
    QCOMPARE(back.getSourceID(), qint64(7));
    QVERIFY(back == format);
    QVERIFY(format.getSelf() == format);
    QVERIFY(held != QVariant::fromValue(fromJson<SourceFrameFormatDefinition>(v2(kDeepClassDifferenceB))));
    // The packet form: the value map, rebuilt by the receiver.
    SourceFrameFormatDefinition received;
    received.setQVariantData(format.getQVariantData());
    QVERIFY(received == format);
}

QTEST_GUILESS_MAIN(tst_SourceFrameFormatDefinition)
#include "tst_SourceFrameFormatDefinition.moc"
