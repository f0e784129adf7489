#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceImageScaleParams.h"

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceImageScaleParams::compare_logic", text);
}

QByteArray scale(const char *data)
{
    return QByteArray(R"({"version": 1, "data": )") + data + '}';
}

} // namespace

class tst_SourceImageScaleParams : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void read_data();
    void read() { checkRead<SourceImageScaleParams>(); }
    void write_data();
    void write() { checkWrite<SourceImageScaleParams>(); }
    void validity_data();
    void validity() { checkValidity<SourceImageScaleParams>(); }
    void compare_data();
    void compare() { checkCompare<SourceImageScaleParams>(); }
};

void tst_SourceImageScaleParams::defaults()
{
    const SourceImageScaleParams params;
    QCOMPARE(params.getEnabled(), true);
    QCOMPARE(params.getScale(), quint8(100));
    QCOMPARE(params.getVerticalResolution(), quint16(0));
    QCOMPARE(params.getHorizontalResolution(), quint16(0));
    QCOMPARE(params.getAllowVHResolutionUpscale(), false);
    QCOMPARE(params.getCanvasSize(), QSize());
    QVERIFY(params.getCanvasSize().isEmpty());
    QVERIFY(params.isValid());
}

void tst_SourceImageScaleParams::read_data()
{
    addReadColumns();
    QTest::newRow("scale keeps the low 8 bits") << scale(R"({"scale": 300})") << QVariantMap{{"scale", 44}};
    QTest::newRow("resolutions keep the low 16 bits")
        << scale(R"({"vertical_resolution": 65537, "horizontal_resolution": -1})")
        << QVariantMap{{"vertical_resolution", 1}, {"horizontal_resolution", 65535}};
    QTest::newRow("upscale flag") << scale(R"({"allow_vh_resolution_upscale": true})")
                                  << QVariantMap{{"allow_vh_resolution_upscale", true}};
    QTest::newRow("canvas of one member") << scale(R"({"canvas_size": {"width": 640}})")
                                          << QVariantMap{{"canvas_size", QSize(640, 0)}};
    QTest::newRow("empty canvas object reads 0 x 0") << scale(R"({"canvas_size": {}})")
                                                     << QVariantMap{{"canvas_size", QSize(0, 0)}};
}

void tst_SourceImageScaleParams::write_data()
{
    addWriteColumns();
    QTest::newRow("nothing set") << scale("{}") << scale("{}");
    QTest::newRow("every key")
        << scale(R"({"scale": 50, "vertical_resolution": 720, "horizontal_resolution": 1280, "allow_vh_resolution_upscale": true, "canvas_size": {"width": 1920, "height": 1080}})")
        << scale(R"({"scale": 50, "vertical_resolution": 720, "horizontal_resolution": 1280, "allow_vh_resolution_upscale": true, "canvas_size": {"width": 1920, "height": 1080}})");
}

void tst_SourceImageScaleParams::validity_data()
{
    addValidityColumns();
    const QString condition = conditionLine(
        "SourceImageScaleParams::isValid_impl",
        "!getCanvasSize().isEmpty() || getVerticalResolution() || getHorizontalResolution() || getScale()");
    QTest::newRow("default") << scale("{}") << true << QStringList();
    QTest::newRow("no way of scaling")
        << scale(R"({"scale": 0})") << false << QStringList{condition, notValidLine("SourceImageScaleParams")};
    QTest::newRow("empty canvas is no way of scaling")
        << scale(R"({"scale": 0, "canvas_size": {"width": 640, "height": 0}})") << false
        << QStringList{condition, notValidLine("SourceImageScaleParams")};
    QTest::newRow("canvas") << scale(R"({"scale": 0, "canvas_size": {"width": 2, "height": 2}})") << true << QStringList();
    QTest::newRow("vertical resolution") << scale(R"({"scale": 0, "vertical_resolution": 1})") << true << QStringList();
    QTest::newRow("horizontal resolution") << scale(R"({"scale": 0, "horizontal_resolution": 1})") << true << QStringList();
    QTest::newRow("disabled with scale 0")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"scale": 0}})") << true << QStringList();
}

void tst_SourceImageScaleParams::compare_data()
{
    addCompareColumns();
    QTest::newRow("canvas: scales do not count")
        << scale(R"({"scale": 50, "canvas_size": {"width": 1280, "height": 720}})")
        << scale(R"({"scale": 100, "canvas_size": {"width": 1280, "height": 720}})") << false << true << QStringList();
    QTest::newRow("canvas differs")
        << scale(R"({"canvas_size": {"width": 1280, "height": 720}})")
        << scale(R"({"canvas_size": {"width": 1920, "height": 1080}})") << false << false
        << QStringList{differs("getCanvasSize() == otherSD->getCanvasSize()")};
    QTest::newRow("canvas on one side only")
        << scale(R"({"canvas_size": {"width": 1280, "height": 720}})") << scale("{}") << false << false
        << QStringList{differs("getCanvasSize() == otherSD->getCanvasSize()")};
    QTest::newRow("resolutions: scales do not count")
        << scale(R"({"scale": 50, "vertical_resolution": 720})") << scale(R"({"scale": 100, "vertical_resolution": 720})")
        << false << true << QStringList();
    QTest::newRow("resolutions: upscale flag counts")
        << scale(R"({"vertical_resolution": 720, "allow_vh_resolution_upscale": true})")
        << scale(R"({"vertical_resolution": 720, "allow_vh_resolution_upscale": false})") << false << false
        << QStringList{differs("getAllowVHResolutionUpscale() == otherSD->getAllowVHResolutionUpscale()")};
    QTest::newRow("resolutions: all differences in order")
        << scale(R"({"vertical_resolution": 720, "horizontal_resolution": 1, "allow_vh_resolution_upscale": true})")
        << scale(R"({"horizontal_resolution": 2})") << true << false
        << QStringList{differs("getVerticalResolution() == otherSD->getVerticalResolution()"),
                       differs("getHorizontalResolution() == otherSD->getHorizontalResolution()"),
                       differs("getAllowVHResolutionUpscale() == otherSD->getAllowVHResolutionUpscale()")};
    QTest::newRow("scale only: upscale flag does not count")
        << scale(R"({"scale": 50, "allow_vh_resolution_upscale": true})") << scale(R"({"scale": 100})") << true << false
        << QStringList{differs("getScale() == otherSD->getScale()")};
    QTest::newRow("disabled side with values compares as a default record")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"scale": 50}})") << scale(R"({"scale": 100})")
        << false << true << QStringList();
}

QTEST_GUILESS_MAIN(tst_SourceImageScaleParams)
#include "tst_SourceImageScaleParams.moc"
