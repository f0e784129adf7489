#include "core/data/EnumKeys.h"
#include "core/data/JsonGeometry.h"
#include "core/data/JsonValues.h"

#include <QJsonDocument>
#include <QtTest>

using namespace kvr::tracker::common;

namespace demo {
Q_NAMESPACE
enum class Light { Unknown = 0, TrafficLight = 1, Foreground = 2 };
Q_ENUM_NS(Light)
} // namespace demo

class tst_RecordHelpers : public QObject
{
    Q_OBJECT

private slots:
    void polygonFromJson_data();
    void polygonFromJson();
    void pointListMatchesPolygon();
    void geometryRoundTrip();
    void sizes_data();
    void sizes();
    void stringListFromVariantList_data();
    void stringListFromVariantList();
    void enumKeys_data();
    void enumKeys();
    void fieldTypes_data();
    void fieldTypes();
    void wholeNumbers_data();
    void wholeNumbers();
    void rects_data();
    void rects();
    void sameStringSet_data();
    void sameStringSet();
};

namespace {

// Reads and writes the one field "v" of the given type through the base's field table code.
class FieldProbe : public SourceData
{
public:
    explicit FieldProbe(SourceDataField::Type type)
        : m_field{QStringLiteral("v"), type}
    {
    }
    void readFrom(const QJsonObject &data) { readField(data, m_field); }
    QJsonObject written() const
    {
        QJsonObject data;
        writeField(data, m_field);
        return data;
    }

private:
    SourceDataField m_field;
};

QJsonObject jsonObject(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace

void tst_RecordHelpers::polygonFromJson_data()
{
    QTest::addColumn<QByteArray>("array");
    QTest::addColumn<QPolygonF>("expected");

    QTest::newRow("empty") << QByteArray("[]") << QPolygonF();
    QTest::newRow("numbers") << QByteArray(R"([{"x": 0.25, "y": 1}, {"x": 0, "y": 0.5}])")
                             << QPolygonF(QVector<QPointF>{{0.25, 1}, {0, 0.5}});
    QTest::newRow("non-object element gives (0, 0) in its place")
        << QByteArray(R"([{"x": 1, "y": 1}, 5, {"x": 0.5, "y": 0.5}])")
        << QPolygonF(QVector<QPointF>{{1, 1}, {0, 0}, {0.5, 0.5}});
    QTest::newRow("numeric text, missing y") << QByteArray(R"([{"x": "0.25"}])") << QPolygonF(QVector<QPointF>{{0.25, 0}});
    QTest::newRow("booleans") << QByteArray(R"([{"x": true, "y": false}])") << QPolygonF(QVector<QPointF>{{1, 0}});
    QTest::newRow("null, text, array, object give 0")
        << QByteArray(R"([{"x": null, "y": "abc"}, {"x": [1], "y": {"v": 1}}])")
        << QPolygonF(QVector<QPointF>{{0, 0}, {0, 0}});
    QTest::newRow("out of range kept") << QByteArray(R"([{"x": -3, "y": 7.5}])") << QPolygonF(QVector<QPointF>{{-3, 7.5}});
}

void tst_RecordHelpers::polygonFromJson()
{
    QFETCH(QByteArray, array);
    QFETCH(QPolygonF, expected);
    QCOMPARE(kvr::tracker::common::polygonFromJson(QJsonDocument::fromJson(array).array()), expected);
}

void tst_RecordHelpers::pointListMatchesPolygon()
{
    // Both readers share one coordinate rule.
    const QJsonArray array = QJsonDocument::fromJson(R"([{"x": "2", "y": true}, 3, {"y": -1}])").array();
    const QPolygonF polygon = kvr::tracker::common::polygonFromJson(array);
    const QList<QPointF> points = pointListFromJson(array);
    QCOMPARE(points.size(), polygon.size());
    for (int i = 0; i < points.size(); ++i)
        QCOMPARE(points.at(i), polygon.at(i));
}

void tst_RecordHelpers::geometryRoundTrip()
{
    const QPolygonF polygon(QVector<QPointF>{{0.125, 0.5}, {1, 0}});
    QCOMPARE(polygonToJson(polygon),
             QJsonDocument::fromJson(R"([{"x": 0.125, "y": 0.5}, {"x": 1, "y": 0}])").array());
    QCOMPARE(kvr::tracker::common::polygonFromJson(polygonToJson(polygon)), polygon);
    const QList<QPointF> points{{3, 4}};
    QCOMPARE(pointListFromJson(pointListToJson(points)), points);
}

void tst_RecordHelpers::sizes_data()
{
    QTest::addColumn<QByteArray>("object");
    QTest::addColumn<QSize>("expected");

    QTest::newRow("size") << QByteArray(R"({"width": 640, "height": 480})") << QSize(640, 480);
    QTest::newRow("missing and wrong types") << QByteArray(R"({"width": "640"})") << QSize(0, 0);
}

void tst_RecordHelpers::sizes()
{
    QFETCH(QByteArray, object);
    QFETCH(QSize, expected);
    const QSize size = sizeFromJson(QJsonDocument::fromJson(object).object());
    QCOMPARE(size, expected);
    QCOMPARE(sizeFromJson(sizeToJson(size)), size);
}

void tst_RecordHelpers::stringListFromVariantList_data()
{
    QTest::addColumn<QVariantList>("list");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QVariantList() << QStringList();
    QTest::newRow("texts kept in order") << QVariantList{"b", "a", "b"} << QStringList{"b", "a", "b"};
    QTest::newRow("numbers and booleans converted") << QVariantList{5, true, 1.5} << QStringList{"5", "true", "1.5"};
    QTest::newRow("no text form gives empty")
        << QVariantList{QVariant(), QVariantMap{{"a", 1}}, "x"} << QStringList{"", "", "x"};
}

void tst_RecordHelpers::stringListFromVariantList()
{
    QFETCH(QVariantList, list);
    QFETCH(QStringList, expected);
    QCOMPARE(kvr::tracker::common::stringListFromVariantList(list), expected);
}

void tst_RecordHelpers::enumKeys_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<demo::Light>("fallback");
    QTest::addColumn<demo::Light>("expected");

    QTest::newRow("key text") << QVariant("Foreground") << demo::Light::Unknown << demo::Light::Foreground;
    QTest::newRow("absent") << QVariant() << demo::Light::TrafficLight << demo::Light::TrafficLight;
    QTest::newRow("unknown text") << QVariant("traffic_light") << demo::Light::Unknown << demo::Light::Unknown;
    QTest::newRow("case matters") << QVariant("foreground") << demo::Light::Unknown << demo::Light::Unknown;
    QTest::newRow("a number is no key text") << QVariant(2) << demo::Light::Unknown << demo::Light::Unknown;
    QTest::newRow("empty") << QVariant("") << demo::Light::Foreground << demo::Light::Foreground;
}

void tst_RecordHelpers::enumKeys()
{
    QFETCH(QVariant, stored);
    QFETCH(demo::Light, fallback);
    QFETCH(demo::Light, expected);
    QCOMPARE(enumFromVariant(stored, fallback), expected);
    QCOMPARE(enumFromKey(enumToKey(expected), fallback), expected);
}

void tst_RecordHelpers::fieldTypes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QByteArray>("written");

    using T = SourceDataField::Type;
    // Int64 takes whole numbers only; Int64OrText also numeric texts and truncates fractions.
    QTest::newRow("Int64 number") << int(T::Int64) << QByteArray(R"({"v": 12})") << QVariant(qint64(12))
                                  << QByteArray(R"({"v":12})");
    QTest::newRow("Int64 fraction is 0") << int(T::Int64) << QByteArray(R"({"v": 2.5})") << QVariant(qint64(0))
                                         << QByteArray(R"({"v":0})");
    QTest::newRow("Int64 text is 0") << int(T::Int64) << QByteArray(R"({"v": "12"})") << QVariant(qint64(0))
                                     << QByteArray(R"({"v":0})");
    QTest::newRow("Int64OrText fraction truncated") << int(T::Int64OrText) << QByteArray(R"({"v": -2.5})")
                                                    << QVariant(qint64(-2)) << QByteArray(R"({"v":-2})");
    QTest::newRow("Int64OrText text") << int(T::Int64OrText) << QByteArray(R"({"v": "-12"})")
                                      << QVariant(qint64(-12)) << QByteArray(R"({"v":-12})");
    QTest::newRow("Int64OrText beyond range is 0") << int(T::Int64OrText) << QByteArray(R"({"v": 1e300})")
                                                   << QVariant(qint64(0)) << QByteArray(R"({"v":0})");
    QTest::newRow("Int64OrText other text is 0") << int(T::Int64OrText) << QByteArray(R"({"v": "1x"})")
                                                 << QVariant(qint64(0)) << QByteArray(R"({"v":0})");
    QTest::newRow("Bits8 keeps the low bits") << int(T::Bits8) << QByteArray(R"({"v": 300})") << QVariant(44)
                                              << QByteArray(R"({"v":44})");
    QTest::newRow("Bits16 keeps the low bits") << int(T::Bits16) << QByteArray(R"({"v": -1})") << QVariant(0xFFFF)
                                               << QByteArray(R"({"v":65535})");
    QTest::newRow("Bits8 fraction is 0") << int(T::Bits8) << QByteArray(R"({"v": 1.5})") << QVariant(0)
                                         << QByteArray(R"({"v":0})");
    QTest::newRow("UIntText text") << int(T::UIntText) << QByteArray(R"({"v": "4000000000"})")
                                   << QVariant(4000000000u) << QByteArray(R"({"v":"4000000000"})");
    QTest::newRow("UIntText number is 0") << int(T::UIntText) << QByteArray(R"({"v": 7})") << QVariant(0u)
                                          << QByteArray(R"({"v":"0"})");
    QTest::newRow("Color name stored as #aarrggbb") << int(T::Color) << QByteArray(R"({"v": "Red"})")
                                                    << QVariant(QStringLiteral("#ffff0000"))
                                                    << QByteArray(R"({"v":"#ffff0000"})");
    QTest::newRow("Color unknown name") << int(T::Color) << QByteArray(R"({"v": "nocolour"})")
                                        << QVariant(QStringLiteral("#ff000000")) << QByteArray(R"({"v":"#ff000000"})");
    QTest::newRow("StringList") << int(T::StringList) << QByteArray(R"({"v": ["a", 5, null]})")
                                << QVariant(QStringList{"a", "5", ""}) << QByteArray(R"({"v":["a","5",""]})");
    QTest::newRow("Point") << int(T::Point) << QByteArray(R"({"v": {"x": "1.5"}})") << QVariant(QPointF(1.5, 0))
                           << QByteArray(R"({"v":{"x":1.5,"y":0}})");
    QTest::newRow("Polygon") << int(T::Polygon) << QByteArray(R"({"v": [{"x": 1, "y": 2}]})")
                             << QVariant::fromValue(QPolygonF(QVector<QPointF>{{1, 2}}))
                             << QByteArray(R"({"v":[{"x":1,"y":2}]})");
    QTest::newRow("Size") << int(T::Size) << QByteArray(R"({"v": {"width": 4}})") << QVariant(QSize(4, 0))
                          << QByteArray(R"({"v":{"height":0,"width":4}})");
    QTest::newRow("absent key stays absent") << int(T::Color) << QByteArray("{}") << QVariant()
                                             << QByteArray("{}");
}

void tst_RecordHelpers::fieldTypes()
{
    QFETCH(int, type);
    QFETCH(QByteArray, input);
    QFETCH(QVariant, stored);
    QFETCH(QByteArray, written);

    FieldProbe probe(static_cast<SourceDataField::Type>(type));
    probe.readFrom(jsonObject(input));
    const QVariant value = probe.valueMap().value(QStringLiteral("v"));
    QCOMPARE(value.userType(), stored.userType());
    QCOMPARE(value, stored);
    QCOMPARE(QJsonDocument(probe.written()).toJson(QJsonDocument::Compact), written);
}

void tst_RecordHelpers::wholeNumbers_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<qint64>("int64");
    QTest::addColumn<qint64>("int32AsInt64");

    QTest::newRow("small") << QByteArray("[7]") << qint64(7) << qint64(7);
    QTest::newRow("beyond 32 bits") << QByteArray("[5000000000]") << qint64(5000000000) << qint64(0);
    QTest::newRow("numeric text") << QByteArray(R"(["42"])") << qint64(42) << qint64(0);
    QTest::newRow("fraction") << QByteArray("[2.5]") << qint64(2) << qint64(0);
    QTest::newRow("null") << QByteArray("[null]") << qint64(0) << qint64(0);
}

void tst_RecordHelpers::wholeNumbers()
{
    QFETCH(QByteArray, input);
    QFETCH(qint64, int64);
    QFETCH(qint64, int32AsInt64);
    const QJsonValue value = QJsonDocument::fromJson(input).array().first();
    QCOMPARE(int64FromJson(value), int64);
    QCOMPARE(int32AsInt64FromJson(value), int32AsInt64);
}

void tst_RecordHelpers::rects_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("numbers") << QByteArray(R"([{"x": 1, "y": 2, "width": 3.5, "height": 4}])") << QRectF(1, 2, 3.5, 4);
    QTest::newRow("numeric text, missing members")
        << QByteArray(R"([{"x": "1.5", "height": "x"}])") << QRectF(1.5, 0, 0, 0);
    QTest::newRow("not an object") << QByteArray("[5]") << QRectF();
}

void tst_RecordHelpers::rects()
{
    QFETCH(QByteArray, input);
    QFETCH(QRectF, expected);
    const QRectF rect = rectFromJson(QJsonDocument::fromJson(input).array().first());
    QCOMPARE(rect, expected);
    QCOMPARE(rectFromJson(rectToJson(rect)), rect);
}

void tst_RecordHelpers::sameStringSet_data()
{
    QTest::addColumn<QStringList>("a");
    QTest::addColumn<QStringList>("b");
    QTest::addColumn<bool>("same");

    QTest::newRow("order and repetition ignored") << QStringList{"a", "b", "a"} << QStringList{"b", "a"} << true;
    QTest::newRow("both empty") << QStringList() << QStringList() << true;
    QTest::newRow("one more text") << QStringList{"a"} << QStringList{"a", "c"} << false;
    QTest::newRow("case matters") << QStringList{"a"} << QStringList{"A"} << false;
}

void tst_RecordHelpers::sameStringSet()
{
    QFETCH(QStringList, a);
    QFETCH(QStringList, b);
    QFETCH(bool, same);
    QCOMPARE(kvr::tracker::common::sameStringSet(a, b), same);
    QCOMPARE(kvr::tracker::common::sameStringSet(b, a), same);
}

QTEST_GUILESS_MAIN(tst_RecordHelpers)
#include "tst_RecordHelpers.moc"
