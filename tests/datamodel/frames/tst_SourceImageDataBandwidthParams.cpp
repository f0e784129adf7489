#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceImageDataBandwidthParams.h"

using namespace kvr::tracker::common;
using namespace recordtest;
using Type = SourceImageDataBandwidthParams::CompressionType;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceImageDataBandwidthParams::compare_logic", text);
}

QByteArray v2(const char *data)
{
    return QByteArray(R"({"version": 2, "data": )") + data + '}';
}

} // namespace

class tst_SourceImageDataBandwidthParams : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void compression_data();
    void compression();
    void compressionTypeText_data();
    void compressionTypeText();
    void read_data();
    void read() { checkRead<SourceImageDataBandwidthParams>(); }
    void write_data();
    void write() { checkWrite<SourceImageDataBandwidthParams>(); }
    void compare_data();
    void compare() { checkCompare<SourceImageDataBandwidthParams>(); }
};

void tst_SourceImageDataBandwidthParams::defaults()
{
    const SourceImageDataBandwidthParams params;
    QCOMPARE(params.getEnabled(), true);
    QCOMPARE(params.getFrameLengthMul(), 1u);
    QCOMPARE(params.getCompressionType(), Type::JPG);
    QCOMPARE(params.getCompression(), quint8(50));
    QCOMPARE(params.getImageScaleParams().getScale(), quint8(100));
    QCOMPARE(compact(params.toJsonObject()), QByteArray(R"({"data":{},"version":2})"));
}

void tst_SourceImageDataBandwidthParams::compression_data()
{
    QTest::addColumn<Type>("type");
    QTest::addColumn<int>("stored"); // -1: none stored
    QTest::addColumn<int>("expected");

    QTest::newRow("RAW default") << Type::RAW << -1 << 100;
    QTest::newRow("JPG default") << Type::JPG << -1 << 50;
    QTest::newRow("PNG default") << Type::PNG << -1 << 7;
    QTest::newRow("PNG bounded to 9") << Type::PNG << 50 << 9;
    QTest::newRow("PNG 0 gives 1") << Type::PNG << 0 << 1;
    QTest::newRow("JPG 0 gives 1") << Type::JPG << 0 << 1;
    QTest::newRow("JPG bounded to 100") << Type::JPG << 255 << 100;
    QTest::newRow("RAW in range") << Type::RAW << 42 << 42;
}

void tst_SourceImageDataBandwidthParams::compression()
{
    QFETCH(Type, type);
    QFETCH(int, stored);
    QFETCH(int, expected);

    SourceImageDataBandwidthParams params;
    params.setCompressionType(type);
    if (stored >= 0)
        params.setCompression(quint8(stored));
    QCOMPARE(int(params.getCompression()), expected);
    if (stored >= 0) // the stored value stays as given; only the getter and the writer bound it
        QCOMPARE(params.valueMap().value("compression_quality").toInt(), stored);
    QCOMPARE(params.toJsonObject().value("data").toObject().value("compression_quality").toInt(-1),
             stored >= 0 ? expected : -1);
}

void tst_SourceImageDataBandwidthParams::compressionTypeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");

    QTest::newRow("jpeg") << "jpeg" << "JPG";
    QTest::newRow("JPEG") << "JPEG" << "JPG";
    QTest::newRow("mixed case jpg") << "jPg" << "JPG";
    QTest::newRow("png") << "png" << "PNG";
    QTest::newRow("raw") << "raw" << "RAW";
    QTest::newRow("unknown falls back to JPG") << "gif" << "JPG";
    QTest::newRow("empty falls back to JPG") << "" << "JPG";
}

void tst_SourceImageDataBandwidthParams::compressionTypeText()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);

    SourceImageDataBandwidthParams params;
    params.setCompressionType(text);
    QCOMPARE(params.valueMap().value("compression_type").toString(), stored);
}

void tst_SourceImageDataBandwidthParams::read_data()
{
    addReadColumns();
    const QVariantMap scale50{{"scale", 50}};
    QTest::newRow("version 1: flat scale keys go to the scale record")
        << QByteArray(R"({"version": 1, "data": {"scale": 50, "compression_type": "PNG"}})")
        << QVariantMap{{"image_scale_parameters", scale50}, {"compression_type", "PNG"}};
    QTest::newRow("version 1: every flat scale key, cut to its width")
        << QByteArray(R"({"version": 1, "data": {"scale": 300, "vertical_resolution": 70000, "horizontal_resolution": 640, "allow_vh_resolution_upscale": true}})")
        << QVariantMap{{"image_scale_parameters", QVariantMap{{"scale", 44}, {"vertical_resolution", 4464},
                                                              {"horizontal_resolution", 640},
                                                              {"allow_vh_resolution_upscale", true}}}};
    QTest::newRow("version 1: nested scale object is ignored")
        << QByteArray(R"({"version": 1, "data": {"image_scale_parameters": {"version": 1, "data": {"scale": 50}}}})")
        << QVariantMap();
    QTest::newRow("version 0: flat at the top level")
        << QByteArray(R"({"scale": 50, "flength_mul": 0})")
        << QVariantMap{{"image_scale_parameters", scale50}, {"flength_mul", 0u}};
    QTest::newRow("version 2: nested scale record")
        << v2(R"({"image_scale_parameters": {"version": 1, "data": {"scale": 50}}})")
        << QVariantMap{{"image_scale_parameters", scale50}};
    QTest::newRow("version 2: flat scale is ignored") << v2(R"({"scale": 50})") << QVariantMap();
    QTest::newRow("version 2: empty nested scale stores no key")
        << v2(R"({"image_scale_parameters": {}})") << QVariantMap();
    QTest::newRow("type text is exact: jpeg") << v2(R"({"compression_type": "jpeg"})")
                                              << QVariantMap{{"compression_type", "JPG"}};
    QTest::newRow("type text is exact: RAW") << v2(R"({"compression_type": "RAW"})")
                                             << QVariantMap{{"compression_type", "RAW"}};
    QTest::newRow("type text is exact: raw") << v2(R"({"compression_type": "raw"})")
                                             << QVariantMap{{"compression_type", "JPG"}};
    QTest::newRow("type that is no text") << v2(R"({"compression_type": 2})") << QVariantMap{{"compression_type", "JPG"}};
    QTest::newRow("quality keeps the low 8 bits") << v2(R"({"compression_quality": 300})")
                                                  << QVariantMap{{"compression_quality", 44}};
    QTest::newRow("frame-length multiplier that is no number")
        << v2(R"({"flength_mul": "3"})") << QVariantMap{{"flength_mul", 0u}};
}

void tst_SourceImageDataBandwidthParams::write_data()
{
    addWriteColumns();
    QTest::newRow("nothing set") << v2("{}") << v2("{}");
    QTest::newRow("legacy data is written nested")
        << QByteArray(R"({"version": 1, "data": {"scale": 50, "compression_type": "PNG", "flength_mul": 3}})")
        << v2(R"({"flength_mul": 3, "compression_type": "PNG", "image_scale_parameters": {"version": 1, "data": {"scale": 50}}})");
    QTest::newRow("quality is written bounded by the type")
        << v2(R"({"compression_type": "PNG", "compression_quality": 50})")
        << v2(R"({"compression_type": "PNG", "compression_quality": 9})");
    QTest::newRow("nested scale keeps its envelope")
        << v2(R"({"image_scale_parameters": {"enabled": false, "version": 1, "data": {"vertical_resolution": 720}}})")
        << v2(R"({"image_scale_parameters": {"enabled": false, "version": 1, "data": {"vertical_resolution": 720}}})");
}

void tst_SourceImageDataBandwidthParams::compare_data()
{
    addCompareColumns();
    QTest::newRow("qualities bounded alike are equal")
        << v2(R"({"compression_quality": 120})") << v2(R"({"compression_quality": 150})") << false << true << QStringList();
    QTest::newRow("stored and default quality of PNG")
        << v2(R"({"compression_type": "PNG", "compression_quality": 7})") << v2(R"({"compression_type": "PNG"})")
        << false << true << QStringList();
    QTest::newRow("frame-length multiplier differs")
        << v2(R"({"flength_mul": 0})") << v2("{}") << false << false
        << QStringList{differs("getFrameLengthMul() == otherSD->getFrameLengthMul()")};
    QTest::newRow("nested scale differs: its line, then this one")
        << v2(R"({"image_scale_parameters": {"version": 1, "data": {"scale": 50}}})") << v2("{}") << false << false
        << QStringList{conditionLine("SourceImageScaleParams::compare_logic", "getScale() == otherSD->getScale()"),
                       differs("getImageScaleParams().compare(otherSD->getImageScaleParams(), compareParams)")};
    QTest::newRow("all differences in order")
        << v2(R"({"flength_mul": 2, "image_scale_parameters": {"version": 1, "data": {"scale": 50}}, "compression_type": "RAW", "compression_quality": 10})")
        << v2(R"({"compression_quality": 20})") << true << false
        << QStringList{differs("getFrameLengthMul() == otherSD->getFrameLengthMul()"),
                       conditionLine("SourceImageScaleParams::compare_logic", "getScale() == otherSD->getScale()"),
                       differs("getImageScaleParams().compare(otherSD->getImageScaleParams(), compareParams)"),
                       differs("getCompressionType() == otherSD->getCompressionType()"),
                       differs("getCompression() == otherSD->getCompression()")};
    QTest::newRow("no default rule for a disabled side")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"flength_mul": 3}})") << v2("{}") << false << false
        << QStringList{differs("getFrameLengthMul() == otherSD->getFrameLengthMul()")};
    QTest::newRow("two disabled records are equal")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"flength_mul": 3}})")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {}})") << false << true << QStringList();
}

QTEST_GUILESS_MAIN(tst_SourceImageDataBandwidthParams)
#include "tst_SourceImageDataBandwidthParams.moc"
