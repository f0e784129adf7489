#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceImageCropParams.h"

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceImageCropParams::compare_logic", text);
}

} // namespace

class tst_SourceImageCropParams : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void read_data();
    void read() { checkRead<SourceImageCropParams>(); }
    void write_data();
    void write() { checkWrite<SourceImageCropParams>(); }
    void compare_data();
    void compare() { checkCompare<SourceImageCropParams>(); }
};

void tst_SourceImageCropParams::defaults()
{
    const SourceImageCropParams crop;
    QCOMPARE(crop.getEnabled(), false);
    QCOMPARE(crop.getDynamicCrop(), false);
    QCOMPARE(crop.getMarginPX(), quint16(0));
    QCOMPARE(crop.getSAOINames(), QStringList());
    QVERIFY(crop.isValid());
    QCOMPARE(compact(crop.toJsonObject()), QByteArray(R"({"data":{},"version":1})"));
}

void tst_SourceImageCropParams::read_data()
{
    addReadColumns();
    QTest::newRow("empty data stores nothing") << QByteArray(R"({"version": 1, "data": {}})") << QVariantMap();
    QTest::newRow("all keys")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": true, "margin_px": 12, "saoi_names": ["a", "b"]}})")
        << QVariantMap{{"enabled", true}, {"dynamic_crop", true}, {"margin_px", 12}, {"saoi_names", QStringList{"a", "b"}}};
    QTest::newRow("margin keeps the low 16 bits")
        << QByteArray(R"({"version": 1, "data": {"margin_px": 70000}})") << QVariantMap{{"margin_px", 4464}};
    QTest::newRow("negative margin wraps")
        << QByteArray(R"({"version": 1, "data": {"margin_px": -1}})") << QVariantMap{{"margin_px", 65535}};
    QTest::newRow("margin that is no number reads 0")
        << QByteArray(R"({"version": 1, "data": {"margin_px": "12"}})") << QVariantMap{{"margin_px", 0}};
    QTest::newRow("names of other types as text")
        << QByteArray(R"({"version": 1, "data": {"saoi_names": [1, "x", true]}})")
        << QVariantMap{{"saoi_names", QStringList{"1", "x", "true"}}};
    QTest::newRow("names that are no array read empty")
        << QByteArray(R"({"version": 1, "data": {"saoi_names": "a"}})") << QVariantMap{{"saoi_names", QStringList()}};
    QTest::newRow("dynamic crop that is no bool reads false")
        << QByteArray(R"({"version": 1, "data": {"dynamic_crop": 1}})") << QVariantMap{{"dynamic_crop", false}};
}

void tst_SourceImageCropParams::write_data()
{
    addWriteColumns();
    QTest::newRow("nothing set writes the envelope only")
        << QByteArray(R"({"version": 1})") << QByteArray(R"({"version": 1, "data": {}})");
    QTest::newRow("every key set")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": false, "margin_px": 3, "saoi_names": ["s"]}})")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": false, "margin_px": 3, "saoi_names": ["s"]}})");
    QTest::newRow("wrapped margin is written wrapped")
        << QByteArray(R"({"version": 1, "data": {"margin_px": 70000}})")
        << QByteArray(R"({"version": 1, "data": {"margin_px": 4464}})");
}

void tst_SourceImageCropParams::compare_data()
{
    addCompareColumns();
    const QByteArray dynamicAB(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": true, "saoi_names": ["a", "b"]}})");
    QTest::newRow("dynamic crop: names compare as sets")
        << dynamicAB << QByteArray(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": true, "saoi_names": ["b", "a", "a"]}})")
        << false << true << QStringList();
    QTest::newRow("dynamic crop: other names differ")
        << dynamicAB << QByteArray(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": true, "saoi_names": ["a"]}})")
        << false << false << QStringList{differs("getSAOINames().toSet() == otherSD->getSAOINames().toSet()")};
    QTest::newRow("no dynamic crop here: names do not count")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"saoi_names": ["a"]}})")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"saoi_names": ["c"]}})") << false << true << QStringList();
    QTest::newRow("dynamic crop differs, stops there")
        << dynamicAB << QByteArray(R"({"version": 1, "enabled": true, "data": {"margin_px": 4}})") << false << false
        << QStringList{differs("getDynamicCrop() == otherSD->getDynamicCrop()")};
    QTest::newRow("all differences in order")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": true, "margin_px": 1, "saoi_names": ["a"]}})")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"dynamic_crop": false, "margin_px": 2, "saoi_names": ["b"]}})")
        << true << false
        << QStringList{differs("getDynamicCrop() == otherSD->getDynamicCrop()"), differs("getMarginPX() == otherSD->getMarginPX()"),
                       differs("getSAOINames().toSet() == otherSD->getSAOINames().toSet()")};
    QTest::newRow("disabled side with values compares as a default record")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"margin_px": 5}})")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {}})") << false << true << QStringList();
    QTest::newRow("other disabled side with values compares as a default record")
        << QByteArray(R"({"version": 1, "enabled": true, "data": {"margin_px": 5}})")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"margin_px": 5}})") << false << false
        << QStringList{differs("getMarginPX() == otherSD->getMarginPX()")};
}

QTEST_GUILESS_MAIN(tst_SourceImageCropParams)
#include "tst_SourceImageCropParams.moc"
