#include "datamodel/definitions/SourceCUBEDefinitionFuseZoneParams.h"
#include "support/LogCapture.h"
#include "support/RecordTestSupport.h"

#include <QJsonDocument>
#include <QtTest>

#include <functional>

using namespace kvr::tracker::common;
using namespace recordtest;

namespace {

// Validity through the base: (valid, lines without the base's closing "... is not valid!" line).
using Check = std::function<bool(const QByteArray &, bool skipWrn)>;

Check checkOf(const QString &className)
{
    if (className == QLatin1String("SourceCUBEDefinitionFuseZone"))
        return [](const QByteArray &t, bool s) { return readQuiet<SourceCUBEDefinitionFuseZone>(t).isValid(s); };
    if (className == QLatin1String("SourceCUBEDefinitionFuseZoneRule"))
        return [](const QByteArray &t, bool s) { return readQuiet<SourceCUBEDefinitionFuseZoneRule>(t).isValid(s); };
    return [](const QByteArray &t, bool s) { return readQuiet<SourceCUBEDefinitionFuseZoneParams>(t).isValid(s); };
}

using Compare = std::function<CompareResult(const QByteArray &, const QByteArray &, const CompareParams &)>;

Compare compareOf(const QString &className)
{
    if (className == QLatin1String("SourceCUBEDefinitionFuseZone"))
        return [](const QByteArray &a, const QByteArray &b, const CompareParams &p) {
            return readQuiet<SourceCUBEDefinitionFuseZone>(a).compare(readQuiet<SourceCUBEDefinitionFuseZone>(b), p);
        };
    if (className == QLatin1String("SourceCUBEDefinitionFuseZoneRule"))
        return [](const QByteArray &a, const QByteArray &b, const CompareParams &p) {
            return readQuiet<SourceCUBEDefinitionFuseZoneRule>(a).compare(readQuiet<SourceCUBEDefinitionFuseZoneRule>(b), p);
        };
    return [](const QByteArray &a, const QByteArray &b, const CompareParams &p) {
        return readQuiet<SourceCUBEDefinitionFuseZoneParams>(a).compare(readQuiet<SourceCUBEDefinitionFuseZoneParams>(b), p);
    };
}

const QByteArray kZonesAB = R"("fuse_zones": [{"name": "A", "zone": [{"x": 0, "y": 0}]}, {"name": "B", "zone": [{"x": 1, "y": 1}]}])";

} // namespace

class tst_FuseZones : public QObject
{
    Q_OBJECT

private slots:
    void validity_data();
    void validity();
    void compare_data();
    void compare();
    void readConversions();
    void roundTrip_data();
    void roundTrip();
};

void tst_FuseZones::validity_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("condition"); // empty: valid

    const QString zone = QStringLiteral("SourceCUBEDefinitionFuseZone");
    const QString rule = QStringLiteral("SourceCUBEDefinitionFuseZoneRule");
    const QString params = QStringLiteral("SourceCUBEDefinitionFuseZoneParams");

    QTest::newRow("zone: single point, named") << zone << QByteArray(R"({"name": "A", "zone": [{"x": 2, "y": -1}]})") << QString();
    QTest::newRow("zone: no points") << zone << QByteArray(R"({"name": "A", "zone": []})") << "!getZone().isEmpty()";
    QTest::newRow("zone: no name") << zone << QByteArray(R"({"zone": [{"x": 0, "y": 0}]})") << "!getName().isEmpty()";
    QTest::newRow("zone: neither, zone first") << zone << QByteArray(R"({"enabled": false})") << "!getZone().isEmpty()";
    QTest::newRow("zone: polygon of wrong type") << zone << QByteArray(R"({"name": "A", "zone": {"x": 1}})") << "!getZone().isEmpty()";

    QTest::newRow("rule: empty") << rule << QByteArray("{}") << "!getSourceZoneName().isEmpty()";
    QTest::newRow("rule: two names suffice")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B"})") << QString();
    QTest::newRow("rule: same zone twice")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "A"})")
        << "getSourceZoneName() != getDestinationZoneName()";
    QTest::newRow("rule: tolerance 270 without direction")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "source_zone_direction_tolerance_deg": 270})") << QString();
    QTest::newRow("rule: tolerance 270 with direction")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "source_zone_directionality": true, "source_zone_direction_tolerance_deg": 270})")
        << "!getSourceZoneDirectionality() || (getSourceZoneDirectionToleranceDeg() >= 0 && getSourceZoneDirectionToleranceDeg() <= 180)";
    QTest::newRow("rule: tolerances 0 and 180 pass")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "source_zone_directionality": true, "source_zone_direction_tolerance_deg": 0, "destination_zone_directionality": true, "destination_zone_direction_tolerance_deg": 180})")
        << QString();
    QTest::newRow("rule: destination tolerance negative")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "destination_zone_directionality": true, "destination_zone_direction_tolerance_deg": -1})")
        << "!getDestinationZoneDirectionality() || (getDestinationZoneDirectionToleranceDeg() >= 0 && getDestinationZoneDirectionToleranceDeg() <= 180)";
    QTest::newRow("rule: durations equal")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "min_duration_ms": 100, "max_duration_ms": 100})")
        << "getMinDurationMS() < getMaxDurationMS()";
    QTest::newRow("rule: max duration 0 alone")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "max_duration_ms": 0})")
        << "getMinDurationMS() < getMaxDurationMS()";
    QTest::newRow("rule: FIFO weight checked while FIFO is off")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "fifo_enabled": false, "lp_enabled": true, "fifo_weight": 1.5})")
        << "getFIFOWeight() >= 0 && getFIFOWeight() <= 1";
    QTest::newRow("rule: embedding weight")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "embedding_weight": -0.1})")
        << "getEmbeddingWeight() >= 0 && getEmbeddingWeight() <= 1";
    QTest::newRow("rule: source quality")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "min_source_quality_for_embedding_use": 2})")
        << "getMinSourceQualityForEmbeddingUse() >= 0 && getMinSourceQualityForEmbeddingUse() <= 1";
    QTest::newRow("rule: LP weight")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "lp_weight": 3})")
        << "getLPWeight() >= 0 && getLPWeight() <= 1";
    QTest::newRow("rule: no method")
        << rule << QByteArray(R"({"source_zone_name": "A", "destination_zone_name": "B", "fifo_enabled": false})")
        << "getFIFOEnabled() || getEmbeddingEnabled() || getLPEnabled()";

    QTest::newRow("params: empty") << params << QByteArray("{}") << QString();
    QTest::newRow("params: zones and rules both ways")
        << params << QByteArray("{" + kZonesAB + R"(, "fuse_zone_rules": [
            {"source_zone_name": "A", "destination_zone_name": "B"}, {"source_zone_name": "B", "destination_zone_name": "A"}]})")
        << QString();
    QTest::newRow("params: duplicate zone name")
        << params << QByteArray(R"({"fuse_zones": [{"name": "A", "zone": [{"x": 0, "y": 0}]}, {"name": "A", "zone": [{"x": 1, "y": 1}]}]})")
        << "!fuseZoneNames.contains(fuseZone.getName())";
    QTest::newRow("params: invalid zone")
        << params << QByteArray(R"({"fuse_zones": [{"name": "A"}]})") << "fuseZone.isValid(skipWrn)";
    QTest::newRow("params: rule to an unknown zone")
        << params << QByteArray("{" + kZonesAB + R"(, "fuse_zone_rules": [{"source_zone_name": "A", "destination_zone_name": "C"}]})")
        << "fuseZoneNames.contains(fuseZoneRule.getSourceZoneName()) && fuseZoneNames.contains(fuseZoneRule.getDestinationZoneName())";
    QTest::newRow("params: repeated pair")
        << params << QByteArray("{" + kZonesAB + R"(, "fuse_zone_rules": [
            {"source_zone_name": "A", "destination_zone_name": "B"}, {"source_zone_name": "A", "destination_zone_name": "B", "rule_name": "again"}]})")
        << "!ruleCombinations.contains(ruleCombination)";
    QTest::newRow("params: rule from a zone to itself")
        << params << QByteArray("{" + kZonesAB + R"(, "fuse_zone_rules": [{"source_zone_name": "A", "destination_zone_name": "A"}]})")
        << "fuseZoneRule.isValid(skipWrn)";
}

void tst_FuseZones::validity()
{
    QFETCH(QString, className);
    QFETCH(QByteArray, input);
    QFETCH(QString, condition);

    const Check check = checkOf(className);
    {
        LogCapture capture;
        QCOMPARE(check(input, true), condition.isEmpty());
        QVERIFY2(capture.messages().empty(), qPrintable(logLines(capture).join('\n'))); // skipWrn is silent
    }
    LogCapture capture;
    QCOMPARE(check(input, false), condition.isEmpty());
    const QStringList lines = logLines(capture);
    if (condition.isEmpty()) {
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join('\n')));
        return;
    }
    // A nested failure logs its own lines first; the class's condition and the base's line close.
    QVERIFY(lines.size() >= 2);
    QCOMPARE(lines.at(lines.size() - 2), recordtest::condition(className + "::isValid_impl", condition));
    QCOMPARE(lines.last(), notValid(className));
}

void tst_FuseZones::compare_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<QStringList>("conditions"); // empty: equal

    const QString zone = QStringLiteral("SourceCUBEDefinitionFuseZone");
    const QString rule = QStringLiteral("SourceCUBEDefinitionFuseZoneRule");
    const QString params = QStringLiteral("SourceCUBEDefinitionFuseZoneParams");
    const QByteArray names = R"("source_zone_name": "A", "destination_zone_name": "B")";

    QTest::newRow("zone: same points within 1e-13")
        << zone << QByteArray(R"({"name": "A", "zone": [{"x": 0.5, "y": 0.25}]})")
        << QByteArray(R"({"name": "A", "zone": [{"x": 0.5000000000001, "y": 0.25}]})") << false << QStringList();
    QTest::newRow("zone: points in another order")
        << zone << QByteArray(R"({"name": "A", "zone": [{"x": 0, "y": 0}, {"x": 1, "y": 1}]})")
        << QByteArray(R"({"name": "A", "zone": [{"x": 1, "y": 1}, {"x": 0, "y": 0}]})") << false
        << QStringList{"getZone() == otherSD->getZone()"};
    QTest::newRow("zone: names differ")
        << zone << QByteArray(R"({"name": "A", "zone": [{"x": 0, "y": 0}]})")
        << QByteArray(R"({"name": "a", "zone": [{"x": 0, "y": 0}]})") << false << QStringList{"getName() == otherSD->getName()"};

    QTest::newRow("rule: tolerance ignored without direction")
        << rule << QByteArray("{" + names + R"(, "source_zone_direction_tolerance_deg": 10})")
        << QByteArray("{" + names + R"(, "source_zone_direction_tolerance_deg": 90})") << false << QStringList();
    QTest::newRow("rule: 180 with direction equals no direction")
        << rule << QByteArray("{" + names + R"(, "source_zone_directionality": true, "source_zone_direction_tolerance_deg": 180})")
        << QByteArray("{" + names + "}") << false << QStringList();
    QTest::newRow("rule: destination tolerance differs")
        << rule << QByteArray("{" + names + R"(, "destination_zone_directionality": true, "destination_zone_direction_tolerance_deg": 45})")
        << QByteArray("{" + names + "}") << false << QStringList{"qFuzzyCompare(thisTolerance + 1, otherTolerance + 1)"};
    QTest::newRow("rule: FIFO weight ignored when this FIFO is off")
        << rule << QByteArray("{" + names + R"(, "fifo_enabled": false, "lp_enabled": true, "fifo_weight": 0.2})")
        << QByteArray("{" + names + R"(, "fifo_enabled": false, "lp_enabled": true, "fifo_weight": 0.7})") << false << QStringList();
    QTest::newRow("rule: FIFO weight counts when on")
        << rule << QByteArray("{" + names + R"(, "fifo_weight": 0.2})") << QByteArray("{" + names + R"(, "fifo_weight": 0.7})")
        << false << QStringList{"!getFIFOEnabled() || qFuzzyCompare(getFIFOWeight() + 1, otherSD->getFIFOWeight() + 1)"};
    QTest::newRow("rule: classes as sets")
        << rule << QByteArray("{" + names + R"(, "classes": ["car", "car", "bus"]})")
        << QByteArray("{" + names + R"(, "classes": ["bus", "car"]})") << false << QStringList();
    QTest::newRow("rule: vectors compare exactly, all differences")
        << rule << QByteArray("{" + names + R"(, "rule_name": "x", "source_zone_direction_vector": {"x": 0.1, "y": 1}, "max_lp_edit_distance": 2})")
        << QByteArray("{" + names + R"(, "source_zone_direction_vector": {"x": 0.1000001, "y": 1}})") << true
        << QStringList{"getRuleName() == otherSD->getRuleName()",
                       "getSourceZoneDirectionVec() == otherSD->getSourceZoneDirectionVec()",
                       "getMaxLPEditDistance() == otherSD->getMaxLPEditDistance()"};

    QTest::newRow("params: sizes differ, first difference only")
        << params << QByteArray("{" + kZonesAB + "}") << QByteArray(R"({"fuse_zones": [{"name": "A", "zone": [{"x": 0, "y": 0}]}]})")
        << false << QStringList{"aC.size() == bC.size()"};
    QTest::newRow("params: sizes differ, all differences")
        << params << QByteArray("{" + kZonesAB + R"(, "decision_delay_ms": 100})")
        << QByteArray(R"({"fuse_zones": [{"name": "B", "zone": [{"x": 0, "y": 0}]}]})") << true
        << QStringList{"aC.size() == bC.size()", "aC[i].compare(bC[i], compareParams)",
                       "getDecisionDelayMS() == otherSD->getDecisionDelayMS()"};
    QTest::newRow("params: default delay equals 2000")
        << params << QByteArray("{}") << QByteArray(R"({"decision_delay_ms": 2000})") << false << QStringList();
}

void tst_FuseZones::compare()
{
    QFETCH(QString, className);
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, allDifferences);
    QFETCH(QStringList, conditions);

    const Compare compare = compareOf(className);
    {
        LogCapture capture;
        QCOMPARE(compare(a, b, CompareParams::logic(true, allDifferences)).equal, conditions.isEmpty());
        QVERIFY(capture.messages().empty());
    }
    LogCapture capture;
    const CompareResult result = compare(a, b, CompareParams::logic(false, allDifferences));
    QCOMPARE(result.equal, conditions.isEmpty());
    QVERIFY(!result.first);
    // Only this class's own lines (nested records log under their own names).
    const QString prefix = recordtest::condition(className + "::compare_logic", QString());
    QStringList own;
    for (const QString &line : logLines(capture)) {
        if (line.startsWith(prefix))
            own << line.mid(prefix.size());
    }
    QCOMPARE(own, conditions);
}

void tst_FuseZones::readConversions()
{
    const auto zone = readQuiet<SourceCUBEDefinitionFuseZone>(R"({"zone": [{"x": 1}], "name": 5})");
    QCOMPARE(zone.getZone(), QPolygonF(QVector<QPointF>{{1, 0}}));
    QCOMPARE(zone.getName(), QString());

    const auto rule = readQuiet<SourceCUBEDefinitionFuseZoneRule>(R"({
        "classes": ["car", 5, true, null, {"a": 1}], "max_lp_edit_distance": 2.5, "min_duration_ms": "7",
        "source_zone_direction_vector": {"x": "0.5", "y": true}, "destination_zone_direction_vector": 3,
        "fifo_weight": "0.5", "lp_enabled": 1})");
    QCOMPARE(rule.getClasses(), (QSet<QString>{"car", "5", "true", ""}));
    QCOMPARE(rule.getMaxLPEditDistance(), 0u);
    QCOMPARE(rule.getMinDurationMS(), 0u);
    QCOMPARE(rule.getSourceZoneDirectionVec(), QVector2D(0.5f, 1.0f));
    QCOMPARE(rule.getDestinationZoneDirectionVec(), QVector2D());
    QCOMPARE(rule.getFIFOWeight(), 0.0);
    QCOMPARE(rule.getLPEnabled(), false);
    // Absent keys keep their defaults.
    QCOMPARE(rule.getMaxDurationMS(), 5000u);
    QCOMPARE(rule.getEmbeddingWeight(), 1.0);
    QCOMPARE(rule.getMinSourceQualityForEmbeddingUse(), 0.5);

    const QJsonObject written = rule.toJsonObject().value("data").toObject();
    QCOMPARE(written.value("source_zone_direction_vector").toObject().value("x").toDouble(), 0.5);
    QCOMPARE(written.value("classes").toArray().size(), 4);

    const auto vector = readQuiet<SourceCUBEDefinitionFuseZoneRule>(R"({"source_zone_direction_vector": {"x": 0.1, "y": 1}})");
    QCOMPARE(vector.toJsonObject().value("data").toObject().value("source_zone_direction_vector").toObject().value("x").toDouble(),
             double(0.1f));

    const auto params = readQuiet<SourceCUBEDefinitionFuseZoneParams>(R"({"decision_delay_ms": "x", "fuse_zones": {}})");
    QCOMPARE(params.getDecisionDelayMS(), 0u);
    QVERIFY(params.getFuseZones().isEmpty());
    QCOMPARE(SourceCUBEDefinitionFuseZoneParams().getDecisionDelayMS(), 2000u);
    QVERIFY(SourceCUBEDefinitionFuseZoneParams().toJsonObject().value("data").toObject().isEmpty());
}

void tst_FuseZones::roundTrip_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::newRow("zones, rules and delay") << QStringLiteral("fuse_zone_params.json");
}

void tst_FuseZones::roundTrip()
{
    QFETCH(QString, fixture);
    QFile file(QStringLiteral(ORVA_TEST_DATA_DIR "/definitions/") + fixture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject in = QJsonDocument::fromJson(file.readAll()).object();

    LogCapture capture;
    SourceCUBEDefinitionFuseZoneParams params;
    params.read(in);
    QVERIFY(params.isValid());
    QVERIFY2(capture.messages().empty(), qPrintable(logLines(capture).join('\n')));
    QCOMPARE(params.getFuseZones().size(), 3);
    QCOMPARE(params.getFuseZoneRules().size(), 2);
    QCOMPARE(params.getFuseZoneRules().at(1).getClasses(), (QSet<QString>{"car", "truck"}));

    const QJsonObject out = params.toJsonObject();
    // The zones keep their order; every element carries its full record form.
    const QJsonArray zones = out.value("data").toObject().value("fuse_zones").toArray();
    QCOMPARE(zones.at(0).toObject().value("data").toObject().value("name").toString(), QStringLiteral("north"));
    QCOMPARE(zones.at(2).toObject().value("version").toInt(), 1);

    SourceCUBEDefinitionFuseZoneParams back;
    back.read(out);
    QVERIFY(back.compare(params, CompareParams::logic(false, true)).equal);
    QVERIFY(back.compare(params, CompareParams::data()).equal);
    QCOMPARE(back.toJsonObject(), out);
}

QTEST_GUILESS_MAIN(tst_FuseZones)
#include "tst_FuseZones.moc"
