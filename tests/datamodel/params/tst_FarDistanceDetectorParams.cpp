#include "datamodel/params/SourceDefinitionFarDistanceVehicleDetectorParams.h"
#include "support/RecordTestSupport.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Params = SourceDefinitionFarDistanceVehicleDetectorParams;
using Zone = SourceFarDistanceVehicleDetectorZone;

class tst_FarDistanceDetectorParams : public QObject
{
    Q_OBJECT

private slots:
    void zoneRead_data();
    void zoneRead();
    void roundTrip_data();
    void roundTrip();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
};

void tst_FarDistanceDetectorParams::zoneRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QPolygonF>("zone");
    QTest::addColumn<double>("minConfidence");

    QTest::newRow("empty object: defaults") << QByteArray("{}") << QPolygonF() << 0.0;
    QTest::newRow("non-object element is a (0, 0) point")
        << QByteArray(R"({"zone": [{"x": 0.1, "y": 0.2}, 5, {"x": 0.3, "y": 0.4}], "min_confidence": 0.7})")
        << QPolygonF(QVector<QPointF>{{0.1, 0.2}, {0, 0}, {0.3, 0.4}}) << 0.7;
    QTest::newRow("numeric text and missing coordinate")
        << QByteArray(R"({"zone": [{"x": "0.25"}, {"x": true, "y": null}]})") << QPolygonF(QVector<QPointF>{{0.25, 0}, {1, 0}}) << 0.0;
    QTest::newRow("zone that is no array, confidence that is no number")
        << QByteArray(R"({"zone": {"x": 1}, "min_confidence": "0.5"})") << QPolygonF() << 0.0;
    QTest::newRow("no closing point added, order kept")
        << QByteArray(R"({"zone": [{"x": 1, "y": 1}, {"x": 0, "y": 0}, {"x": 1, "y": 1}]})")
        << QPolygonF(QVector<QPointF>{{1, 1}, {0, 0}, {1, 1}}) << 0.0;
}

void tst_FarDistanceDetectorParams::zoneRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QPolygonF, zone);
    QFETCH(double, minConfidence);

    const Zone read = readQuiet<Zone>(input);
    QCOMPARE(read.getZone(), zone);
    QCOMPARE(read.getMinConfidence(), minConfidence);
    QVERIFY(read.getEnabled());
}

void tst_FarDistanceDetectorParams::roundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("nothing held, nothing written") << QByteArray(R"({"enabled": true, "data": {}})")
                                                   << QByteArray(R"({"enabled": true, "data": {}})");
    QTest::newRow("empty list stays an empty list")
        << QByteArray(R"({"data": {"detector_zones": []}})") << QByteArray(R"({"data": {"detector_zones": []}})");
    QTest::newRow("non-array list reads as empty")
        << QByteArray(R"({"data": {"detector_zones": 7}})") << QByteArray(R"({"data": {"detector_zones": []}})");
    QTest::newRow("zones in order, only held keys")
        << QByteArray(R"({"enabled": false, "data": {"detector_zones": [
               {"version": 1, "data": {"zone": [{"x": 0.5, "y": 0.25}], "min_confidence": 0.5}},
               {"version": 1, "enabled": false, "data": {"min_confidence": 1}},
               {"version": 1, "data": {"zone": [], "unknown": 1}}]}})")
        << QByteArray(R"({"enabled": false, "data": {"detector_zones": [
               {"version": 1, "data": {"zone": [{"x": 0.5, "y": 0.25}], "min_confidence": 0.5}},
               {"version": 1, "enabled": false, "data": {"min_confidence": 1}},
               {"version": 1, "data": {"zone": []}}]}})");
}

void tst_FarDistanceDetectorParams::roundTrip()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);

    const Params params = readQuiet<Params>("{\"version\": 1, " + input.mid(1));
    QCOMPARE(written(params), json(output));

    Params again;
    again.read(params.toJsonObject());
    QCOMPARE(again.valueMap(), params.valueMap());
}

void tst_FarDistanceDetectorParams::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("lines");

    const QString zoneCheck = QStringLiteral("SourceFarDistanceVehicleDetectorZone::isValid_impl");
    const QString inSquare = QStringLiteral("p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1");
    const QString listFailed = condition("SourceDefinitionFarDistanceVehicleDetectorParams::isValid_impl",
                                         "ci.isValid(skipWrn)");
    const QString paramsInvalid = notValid("SourceDefinitionFarDistanceVehicleDetectorParams");

    QTest::newRow("no zones") << QByteArray(R"({"detector_zones": []})") << true << QStringList();
    QTest::newRow("bounds included")
        << QByteArray(R"({"detector_zones": [{"zone": [{"x": 1, "y": 0}, {"x": 0, "y": 1}], "min_confidence": 1}]})")
        << true << QStringList();
    QTest::newRow("point just outside, first failing zone only")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 0.5}, {"zone": [{"x": -0.0001, "y": 0.5}]},
                                             {"min_confidence": 2}]})")
        << false
        << QStringList{condition(zoneCheck, inSquare), notValid("SourceFarDistanceVehicleDetectorZone"), listFailed,
                       paramsInvalid};
    QTest::newRow("confidence above 1")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 1.5}]})") << false
        << QStringList{condition(zoneCheck, "getMinConfidence() >= 0 && getMinConfidence() <= 1.0"),
                       notValid("SourceFarDistanceVehicleDetectorZone"), listFailed, paramsInvalid};
    QTest::newRow("a disabled zone is still checked")
        << QByteArray(R"({"detector_zones": [{"enabled": false, "zone": [{"x": 2, "y": 0}]}]})") << false
        << QStringList{condition(zoneCheck, inSquare), notValid("SourceFarDistanceVehicleDetectorZone"), listFailed,
                       paramsInvalid};
    QTest::newRow("a disabled block is valid at once")
        << QByteArray(R"({"enabled": false, "detector_zones": [{"min_confidence": -1}]})") << true << QStringList();
}

void tst_FarDistanceDetectorParams::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, valid);
    QFETCH(QStringList, lines);

    const Params params = readQuiet<Params>(input);
    QStringList logged;
    QCOMPARE(validate(params, &logged), valid);
    QCOMPARE(logged, lines);

    // Reading validates, keeps everything and adds its own line.
    LogCapture capture;
    Params read;
    read.read(json(input));
    QCOMPARE(read.valueMap(), params.valueMap());
    QCOMPARE(capture.contains("Class SourceDefinitionFarDistanceVehicleDetectorParams is not valid after JSON read!"),
             !valid);
}

void tst_FarDistanceDetectorParams::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QStringList>("lines");

    const QString zoneCompare = QStringLiteral("SourceFarDistanceVehicleDetectorZone::compare_logic");
    const QString listCompare = QStringLiteral("SourceDefinitionFarDistanceVehicleDetectorParams::compare_logic");
    const QString sizes = condition(listCompare, "aC.size() == bC.size()");
    const QString pair = condition(listCompare, "aC[i].compare(bC[i], compareParams)");
    const QString zones = condition(zoneCompare, "getZone() == otherSD->getZone()");
    const QString confidences = condition(zoneCompare, "qFuzzyCompare(getMinConfidence() + 1, otherSD->getMinConfidence() + 1)");

    QTest::newRow("confidence within the fuzzy tolerance")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 0.5}]})")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 0.50000000000001}]})") << false << true << QStringList();
    QTest::newRow("points compare fuzzily")
        << QByteArray(R"({"detector_zones": [{"zone": [{"x": 0.3, "y": 0}]}]})")
        << QByteArray(R"({"detector_zones": [{"zone": [{"x": 0.30000000000000004, "y": 1e-13}]}]})") << false << true
        << QStringList();
    QTest::newRow("point order matters")
        << QByteArray(R"({"detector_zones": [{"zone": [{"x": 0, "y": 0}, {"x": 1, "y": 1}]}]})")
        << QByteArray(R"({"detector_zones": [{"zone": [{"x": 1, "y": 1}, {"x": 0, "y": 0}]}]})") << false << false
        << QStringList{zones, pair};
    QTest::newRow("sizes differ, first difference ends it")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 0.1}]})")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 0.2}, {}]})") << false << false << QStringList{sizes};
    QTest::newRow("all differences: sizes and the common pairs")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 0.1, "zone": [{"x": 0, "y": 0}]}]})")
        << QByteArray(R"({"detector_zones": [{"min_confidence": 0.2}, {}]})") << true << false
        << QStringList{sizes, zones, confidences, pair};
    QTest::newRow("disabled with values compares as default")
        << QByteArray(R"({"enabled": false, "detector_zones": [{"min_confidence": 0.1}]})")
        << QByteArray(R"({"detector_zones": []})") << false << true << QStringList();
    QTest::newRow("absent list equals an empty one")
        << QByteArray("{}") << QByteArray(R"({"detector_zones": []})") << false << true << QStringList();
}

void tst_FarDistanceDetectorParams::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, allDifferences);
    QFETCH(bool, equal);
    QFETCH(QStringList, lines);

    const Params first = readQuiet<Params>(a);
    const Params second = readQuiet<Params>(b);
    QStringList logged;
    QCOMPARE(compareLogic(first, second, allDifferences, &logged).equal, equal);
    QCOMPARE(logged, lines);
    // Equality through QVariant also wants equal "enabled" flags.
    QCOMPARE(QVariant::fromValue(first) == QVariant::fromValue(second),
             equal && first.getEnabled() == second.getEnabled());
}

QTEST_GUILESS_MAIN(tst_FarDistanceDetectorParams)
#include "tst_FarDistanceDetectorParams.moc"
