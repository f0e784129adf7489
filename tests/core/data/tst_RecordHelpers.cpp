#include "core/data/EnumKeys.h"
#include "core/data/JsonGeometry.h"

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
};

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

QTEST_GUILESS_MAIN(tst_RecordHelpers)
#include "tst_RecordHelpers.moc"
