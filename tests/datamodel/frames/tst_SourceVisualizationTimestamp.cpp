#include "support/RecordTestSupport.h"

#include "datamodel/frames/SourceVisualizationTimestamp.h"

using namespace kvr::tracker::common;
using namespace recordtest;
using FontType = SourceVisualizationTimestamp::FontType;
using Location = SourceVisualizationTimestamp::Location;

namespace {

QString differs(const char *text)
{
    return conditionLine("SourceVisualizationTimestamp::compare_logic", text);
}

QStringList invalid(const char *text)
{
    return {conditionLine("SourceVisualizationTimestamp::isValid_impl", text), notValidLine("SourceVisualizationTimestamp")};
}

QByteArray stamp(const char *data)
{
    return QByteArray(R"({"version": 1, "enabled": true, "data": )") + data + '}';
}

} // namespace

class tst_SourceVisualizationTimestamp : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void setters();
    void read_data();
    void read() { checkRead<SourceVisualizationTimestamp>(); }
    void write_data();
    void write() { checkWrite<SourceVisualizationTimestamp>(); }
    void validity_data();
    void validity() { checkValidity<SourceVisualizationTimestamp>(); }
    void compare_data();
    void compare() { checkCompare<SourceVisualizationTimestamp>(); }
};

void tst_SourceVisualizationTimestamp::defaults()
{
    const auto ts = fromJson<SourceVisualizationTimestamp>("{}");
    QCOMPARE(ts.getEnabled(), false);
    QVERIFY(ts.isValid());
    QCOMPARE(ts.getFormat(), QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    QCOMPARE(ts.getLocation(), Location::BottomRight);
    QCOMPARE(ts.getPosition(), QPointF(0, 0));
    QCOMPARE(ts.getFontType(), FontType::FONT_HERSHEY_DUPLEX);
    QCOMPARE(ts.getTextColor(), QColor(Qt::black));
    QCOMPARE(ts.getBackroundColor().name(QColor::HexArgb), QStringLiteral("#ffb7b7b7"));
    QCOMPARE(ts.getTextThickness(), quint16(1));
    QCOMPARE(ts.getTextSizeMultiplier(), quint16(70));
    QCOMPARE(compact(ts.toJsonObject()), QByteArray(R"({"data":{},"version":1})"));
}

void tst_SourceVisualizationTimestamp::setters()
{
    SourceVisualizationTimestamp ts;
    ts.setTextColor(QColor(0x12, 0x34, 0x56, 0x78));
    ts.setBackroundColor(Qt::red);
    ts.setLocation(Location::Center);
    // A face combined with the italic flag has no key: stored empty, read back as the fallback.
    ts.setFontType(static_cast<FontType>(int(FontType::FONT_HERSHEY_PLAIN) | int(FontType::FONT_ITALIC)));
    QCOMPARE(ts.valueMap().value("text_color").toString(), QStringLiteral("#78123456"));
    QCOMPARE(ts.valueMap().value("bg_color").toString(), QStringLiteral("#ffff0000"));
    QCOMPARE(ts.valueMap().value("location").toString(), QStringLiteral("Center"));
    QCOMPARE(ts.valueMap().value("font").toString(), QString());
    QCOMPARE(ts.getFontType(), FontType::FONT_HERSHEY_DUPLEX);
}

void tst_SourceVisualizationTimestamp::read_data()
{
    addReadColumns();
    QTest::newRow("location in lower case is stored as Undefined")
        << stamp(R"({"location": "topleft"})") << QVariantMap{{"enabled", true}, {"location", "Undefined"}};
    QTest::newRow("unknown font is stored as the fallback")
        << stamp(R"({"font": "Arial"})") << QVariantMap{{"enabled", true}, {"font", "FONT_HERSHEY_DUPLEX"}};
    QTest::newRow("italic font key") << stamp(R"({"font": "FONT_ITALIC"})")
                                     << QVariantMap{{"enabled", true}, {"font", "FONT_ITALIC"}};
    QTest::newRow("position from numeric text, missing y")
        << stamp(R"({"position": {"x": "0.5"}})") << QVariantMap{{"enabled", true}, {"position", QPointF(0.5, 0)}};
    QTest::newRow("colours as #aarrggbb")
        << stamp(R"({"text_color": "white", "bg_color": "#12345678"})")
        << QVariantMap{{"enabled", true}, {"text_color", "#ffffffff"}, {"bg_color", "#12345678"}};
    QTest::newRow("sizes keep the low 16 bits")
        << stamp(R"({"text_thickness": 65538, "text_size_multiplier": 65606})")
        << QVariantMap{{"enabled", true}, {"text_thickness", 2}, {"text_size_multiplier", 70}};
}

void tst_SourceVisualizationTimestamp::write_data()
{
    addWriteColumns();
    const QByteArray all = stamp(R"({"format": "hh:mm", "location": "Undefined", "position": {"x": 0.25, "y": 0.75}, "font": "FONT_HERSHEY_PLAIN", "text_color": "#ff0000ff", "text_thickness": 2, "text_size_multiplier": 100, "bg_color": "#00000000"})");
    QTest::newRow("every key") << all << all;
    QTest::newRow("only the keys held") << stamp(R"({"format": "hh"})") << stamp(R"({"format": "hh"})");
}

void tst_SourceVisualizationTimestamp::validity_data()
{
    addValidityColumns();
    QTest::newRow("empty format, even disabled")
        << QByteArray(R"({"version": 1, "data": {"format": ""}})") << false << invalid("getFormat().size()");
    QTest::newRow("position outside counts only when Undefined")
        << stamp(R"({"location": "TopLeft", "position": {"x": 2, "y": 2}})") << true << QStringList();
    QTest::newRow("Undefined with a position outside")
        << stamp(R"({"location": "Undefined", "position": {"x": 2, "y": 2}})") << false
        << invalid("position.x() >= 0 && position.x() <= 1 && position.y() >= 0 && position.y() <= 1");
    QTest::newRow("thickness 0") << stamp(R"({"text_thickness": 0})") << false << invalid("getTextThickness() > 0");
    QTest::newRow("multiplier at the maximum") << stamp(R"({"text_size_multiplier": 10000})") << true << QStringList();
    QTest::newRow("multiplier above the maximum")
        << stamp(R"({"text_size_multiplier": 10001})") << false
        << invalid("getTextSizeMultiplier() <= TEXT_SIZE_MULTIPLIER_MAX");
}

void tst_SourceVisualizationTimestamp::compare_data()
{
    addCompareColumns();
    QTest::newRow("position does not count at a corner")
        << stamp(R"({"location": "TopLeft", "position": {"x": 0.1, "y": 0}})")
        << stamp(R"({"location": "TopLeft", "position": {"x": 0.2, "y": 0}})") << false << true << QStringList();
    QTest::newRow("position counts when Undefined")
        << stamp(R"({"location": "Undefined", "position": {"x": 0.1, "y": 0}})")
        << stamp(R"({"location": "Undefined", "position": {"x": 0.2, "y": 0}})") << false << false
        << QStringList{differs("getPosition() == otherSD->getPosition()")};
    QTest::newRow("all differences in order")
        << stamp(R"({"format": "hh", "location": "Undefined", "position": {"x": 0.5, "y": 0.5}, "font": "FONT_HERSHEY_PLAIN", "text_color": "red", "text_thickness": 3, "text_size_multiplier": 5, "bg_color": "blue"})")
        << stamp("{}") << true << false
        << QStringList{differs("getFormat() == otherSD->getFormat()"), differs("getLocation() == otherSD->getLocation()"),
                       differs("getPosition() == otherSD->getPosition()"), differs("getFontType() == otherSD->getFontType()"),
                       differs("getTextColor() == otherSD->getTextColor()"),
                       differs("getTextThickness() == otherSD->getTextThickness()"),
                       differs("getTextSizeMultiplier() == otherSD->getTextSizeMultiplier()"),
                       differs("getBackroundColor() == otherSD->getBackroundColor()")};
    QTest::newRow("disabled stamp with values compares as a default one")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"format": "hh"}})") << stamp("{}") << false << true
        << QStringList();
}

QTEST_GUILESS_MAIN(tst_SourceVisualizationTimestamp)
#include "tst_SourceVisualizationTimestamp.moc"
