#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceImageTransformationParams.h"

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceImageTransformationParams::compare_logic", text);
}

QByteArray v2(const char *data)
{
    return QByteArray(R"({"version": 2, "data": )") + data + '}';
}

} // namespace

class tst_SourceImageTransformationParams : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void legacyCropFlag();
    void read_data();
    void read() { checkRead<SourceImageTransformationParams>(); }
    void write_data();
    void write() { checkWrite<SourceImageTransformationParams>(); }
    void compare_data();
    void compare() { checkCompare<SourceImageTransformationParams>(); }
};

void tst_SourceImageTransformationParams::defaults()
{
    const SourceImageTransformationParams params;
    QCOMPARE(params.getEnabled(), true);
    QCOMPARE(params.getUndistortFlag(), true);
    QCOMPARE(params.getTransformToRefFlag(), true);
    QCOMPARE(params.getImageCropParams().getEnabled(), false);
    QVERIFY(params.isValid());
    QCOMPARE(compact(params.toJsonObject()), QByteArray(R"({"data":{},"version":2})"));
}

void tst_SourceImageTransformationParams::legacyCropFlag()
{
    const auto params = fromJson<SourceImageTransformationParams>(R"({"version": 1, "data": {"crop_flag": true}})");
    const SourceImageCropParams crop = params.getImageCropParams();
    QCOMPARE(crop.getEnabled(), true);
    QCOMPARE(crop.getDynamicCrop(), false);
    QCOMPARE(crop.getMarginPX(), quint16(0));
    QCOMPARE(crop.getSAOINames(), QStringList());
}

void tst_SourceImageTransformationParams::read_data()
{
    addReadColumns();
    QTest::newRow("version 1: crop flag enables the crop record")
        << QByteArray(R"({"version": 1, "data": {"crop_flag": true}})")
        << QVariantMap{{"image_crop_parameters", QVariantMap{{"enabled", true}}}};
    QTest::newRow("version 1: crop flag false is kept")
        << QByteArray(R"({"version": 1, "data": {"crop_flag": false}})")
        << QVariantMap{{"image_crop_parameters", QVariantMap{{"enabled", false}}}};
    QTest::newRow("version 1: nested crop is ignored")
        << QByteArray(R"({"version": 1, "data": {"image_crop_parameters": {"version": 1, "data": {"margin_px": 3}}}})")
        << QVariantMap();
    QTest::newRow("version 2: crop flag is ignored") << v2(R"({"crop_flag": true})") << QVariantMap();
    QTest::newRow("version 2: nested crop")
        << v2(R"({"image_crop_parameters": {"enabled": true, "version": 1, "data": {"margin_px": 3}}})")
        << QVariantMap{{"image_crop_parameters", QVariantMap{{"enabled", true}, {"margin_px", 3}}}};
    QTest::newRow("flags") << v2(R"({"undistort_flag": false, "transform_to_ref_flag": false})")
                           << QVariantMap{{"undistort_flag", false}, {"transform_to_ref_flag", false}};
}

void tst_SourceImageTransformationParams::write_data()
{
    addWriteColumns();
    QTest::newRow("legacy crop flag is written as a nested record")
        << QByteArray(R"({"version": 1, "data": {"crop_flag": true}})")
        << v2(R"({"image_crop_parameters": {"enabled": true, "version": 1, "data": {}}})");
    QTest::newRow("every key")
        << v2(R"({"undistort_flag": false, "transform_to_ref_flag": true, "image_crop_parameters": {"enabled": true, "version": 1, "data": {"dynamic_crop": true}}})")
        << v2(R"({"undistort_flag": false, "transform_to_ref_flag": true, "image_crop_parameters": {"enabled": true, "version": 1, "data": {"dynamic_crop": true}}})");
}

void tst_SourceImageTransformationParams::compare_data()
{
    addCompareColumns();
    QTest::newRow("disabled crops with other margins are equal")
        << v2(R"({"image_crop_parameters": {"version": 1, "data": {"margin_px": 1}}})")
        << v2(R"({"image_crop_parameters": {"version": 1, "data": {"margin_px": 2}}})") << false << true << QStringList();
    QTest::newRow("enabled crops with other margins differ: crop's line, then this one")
        << v2(R"({"image_crop_parameters": {"enabled": true, "version": 1, "data": {"margin_px": 1}}})")
        << v2(R"({"image_crop_parameters": {"enabled": true, "version": 1, "data": {"margin_px": 2}}})") << false << false
        << QStringList{conditionLine("SourceImageCropParams::compare_logic", "getMarginPX() == otherSD->getMarginPX()"),
                       differs("getImageCropParams().compare(otherSD->getImageCropParams(), compareParams)")};
    QTest::newRow("undistortion differs, stops there")
        << v2(R"({"undistort_flag": false, "transform_to_ref_flag": false})") << v2("{}") << false << false
        << QStringList{differs("getUndistortFlag() == otherSD->getUndistortFlag()")};
    QTest::newRow("all differences in order")
        << v2(R"({"undistort_flag": false, "transform_to_ref_flag": false, "image_crop_parameters": {"enabled": true, "version": 1, "data": {"margin_px": 1}}})")
        << v2("{}") << true << false
        << QStringList{differs("getUndistortFlag() == otherSD->getUndistortFlag()"),
                       differs("getTransformToRefFlag() == otherSD->getTransformToRefFlag()"),
                       conditionLine("SourceImageCropParams::compare_logic", "getMarginPX() == otherSD->getMarginPX()"),
                       differs("getImageCropParams().compare(otherSD->getImageCropParams(), compareParams)")};
}

QTEST_GUILESS_MAIN(tst_SourceImageTransformationParams)
#include "tst_SourceImageTransformationParams.moc"
