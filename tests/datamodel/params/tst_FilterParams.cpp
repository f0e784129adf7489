#include "support/RecordTestSupport.h"

#include "datamodel/params/SourceDefinitionFilterClass.h"
#include "datamodel/params/SourceDefinitionFilterNoDetZone.h"
#include "datamodel/params/SourceDefinitionFilterParams.h"
#include "datamodel/params/SourceDefinitionPostProcessorParams.h"

#include <QDebug>

using namespace kvr::tracker::common;
using namespace recordtest;

// Lines name their functions without the namespace.
constexpr FunctionNames kNames = FunctionNames::Unqualified;
using Block = SourceDefinitionFilterParams;
using Zone = SourceDefinitionFilterNoDetZone;
using ClassFilter = SourceDefinitionFilterClass;
using PostProcessor = SourceDefinitionPostProcessorParams;

namespace {

const QByteArray kTriangle = R"([{"x": 0.1, "y": 0.1}, {"x": 0.9, "y": 0.1}, {"x": 0.5, "y": 0.9}])";

QByteArray zone(const QByteArray &polygon, const QByteArray &filters = QByteArray())
{
    QByteArray text = R"({"version": 1, "data": {"zone": )" + polygon;
    if (!filters.isEmpty())
        text += R"(, "class_filters": [)" + filters + ']';
    return text + "}}";
}

QByteArray filter(const char *name, int confidence = 50, int minSize = 1, int maxSize = 100)
{
    return QStringLiteral(R"({"class_name": "%1", "min_confidence": %2, "min_size": %3, "max_size": %4})")
        .arg(QLatin1String(name))
        .arg(confidence)
        .arg(minSize)
        .arg(maxSize)
        .toUtf8();
}

// A version-2 block with the zones.
QByteArray block(const QByteArray &zones, bool enabled = true)
{
    return QByteArray(R"({"version": 2, "enabled": )") + (enabled ? "true" : "false")
        + R"(, "data": {"no_detection_zones": [)" + zones + "]}}";
}

QByteArray points(int count)
{
    QByteArrayList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral(R"({"x": %1, "y": 0.5})").arg(i).toUtf8();
    return '[' + list.join(", ") + ']';
}

QByteArray postProcessor(int pointCount, const char *extra = nullptr)
{
    QByteArray text = R"({"enabled": true, "transformation_points": )" + points(pointCount);
    if (extra)
        text += QByteArray(", ") + extra;
    return text + '}';
}

QString sizeWarning(int size)
{
    return QStringLiteral("SourceDefinitionPostProcessorParams::setTransformationPoints|Invalid transformation points size ")
        + QString::number(size) + QStringLiteral("! This might lead to undefined behaviour...");
}

QString mapText(const QVariantMap &map)
{
    QString text;
    QDebug(&text).nospace() << map;
    return text;
}

} // namespace

class tst_FilterParams : public QObject
{
    Q_OBJECT

private slots:
    // No-detection filter
    void filterRead_data();
    void filterRead();
    void filterConflictingClasses();
    void filterValidity_data();
    void filterValidity();
    void filterCompare_data();
    void filterCompare();

    // Post-processor
    void postRead_data();
    void postRead();
    void postValidity_data();
    void postValidity();
    void postCompare_data();
    void postCompare();
};

// --- No-detection filter ---

void tst_FilterParams::filterRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QPolygonF>("firstZone");

    const QPolygonF none;
    const QPolygonF twoPoints(QVector<QPointF>{QPointF(0.1, 0.2), QPointF(0.3, 0.4)});

    QTest::newRow("new block writes nothing") << QByteArray(R"({"version": 2, "data": {}})") << QByteArray("{}")
                                              << false << none;
    QTest::newRow("version 1 is always on")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"no_detection_zones": []}})")
        << QByteArray(R"({"no_detection_zones": []})") << true << none;
    QTest::newRow("version 2 keeps its switch")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"no_detection_zones": []}})")
        << QByteArray(R"({"no_detection_zones": []})") << false << none;
    QTest::newRow("flat legacy zone of numbers")
        << QByteArray(R"({"version": 2, "data": {"no_detection_zones": [{"zone": [0.1, 0.2, 0.3, 0.4]}]}})")
        << QByteArray(R"({"no_detection_zones": [{"version": 1, "data": {"zone": [{"x": 0.1, "y": 0.2}, {"x": 0.3, "y": 0.4}]}}]})")
        << false << twoPoints;
    QTest::newRow("odd legacy zone is dropped")
        << QByteArray(R"({"version": 2, "data": {"no_detection_zones": [{"zone": [0.1, 0.2, 0.3]}]}})")
        << QByteArray(R"({"no_detection_zones": [{"version": 1, "data": {}}]})") << false << none;
    QTest::newRow("objects in a legacy zone are no numbers")
        << QByteArray(R"({"version": 2, "data": {"no_detection_zones": [{"zone": [{"x": 0.5, "y": 0.5}, {"x": 1, "y": 1}]}]}})")
        << QByteArray(R"({"no_detection_zones": [{"version": 1, "data": {"zone": [{"x": 0, "y": 0}]}}]})") << false
        << QPolygonF(QVector<QPointF>{QPointF(0, 0)});
    QTest::newRow("zone of points with class filters by name")
        << block(zone(R"([{"x": 0.1, "y": 0.2}, {"x": 0.3, "y": 0.4}])", filter("car") + ',' + filter("bus", 7, 2, 3)))
        << QByteArray(R"({"no_detection_zones": [{"version": 1, "data": {
               "zone": [{"x": 0.1, "y": 0.2}, {"x": 0.3, "y": 0.4}],
               "class_filters": [
                   {"version": 1, "data": {"class_name": "bus", "min_confidence": 7, "min_size": 2, "max_size": 3}},
                   {"version": 1, "data": {"class_name": "car", "min_confidence": 50, "min_size": 1, "max_size": 100}}]}}]})")
        << true << twoPoints;
    QTest::newRow("confidence keeps 8 bits, sizes 32")
        << block(zone("[]", filter("car", 300, -1, -2) + ',' + filter("bus", -1, 0, 0)))
        << QByteArray(R"({"no_detection_zones": [{"version": 1, "data": {"zone": [], "class_filters": [
               {"version": 1, "data": {"class_name": "bus", "min_confidence": 255, "min_size": 0, "max_size": 0}},
               {"version": 1, "data": {"class_name": "car", "min_confidence": 44, "min_size": 4294967295,
                                      "max_size": 4294967294}}]}}]})")
        << true << none;
    QTest::newRow("largest size reads back")
        << block(zone("[]", R"({"class_name": "car", "max_size": 4294967295, "min_confidence": "x"})"))
        << QByteArray(R"({"no_detection_zones": [{"version": 1, "data": {"zone": [], "class_filters": [
               {"version": 1, "data": {"class_name": "car", "max_size": 4294967295, "min_confidence": 0}}]}}]})")
        << true << none;
}

void tst_FilterParams::filterRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(bool, enabled);
    QFETCH(QPolygonF, firstZone);

    checkRoundTrip<Block>(input, written);
    const Block record = fromJson<Block>(input);
    QCOMPARE(record.getEnabled(), enabled);
    const auto zones = record.getNoDetZones();
    QCOMPARE(zones.isEmpty() ? QPolygonF() : zones.first().getZone(), firstZone);
}

void tst_FilterParams::filterConflictingClasses()
{
    const ClassFilter car1 = fromJson<ClassFilter>(filter("car", 10));
    const ClassFilter bus = fromJson<ClassFilter>(filter("bus", 20));
    const ClassFilter car2 = fromJson<ClassFilter>(filter("car", 30));

    Zone set;
    LogCapture capture;
    set.setClassFilters({car1, bus, car2});
    QCOMPARE(linesOf(capture, kNames),
             QStringList{QStringLiteral("SourceDefinitionFilterNoDetZone::setClassFilters|Conflicting class filters for class car: ")
                         + mapText(car1.valueMap()) + QStringLiteral(" vs. ") + mapText(car2.valueMap())});
    const auto filters = set.getClassFilters();
    QCOMPARE(filters.size(), 2);
    QCOMPARE(filters.at(0).getClassName(), QStringLiteral("bus"));
    QCOMPARE(filters.at(1).getClassName(), QStringLiteral("car"));
    QCOMPARE(filters.at(1).getMinConfidence(), quint8(30));

    // Reading resolves duplicates the same way.
    capture.clear();
    const Zone read = fromJson<Zone>(zone(kTriangle, filter("car", 10) + ',' + filter("bus", 20) + ',' + filter("car", 30)));
    const QStringList lines = linesOf(capture, kNames);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().startsWith(
        QStringLiteral("SourceDefinitionFilterNoDetZone::setClassFilters|Conflicting class filters for class car: ")));
    QCOMPARE(read.getClassFilters().size(), 2);
    QCOMPARE(read.getClassFilters().at(1).getMinConfidence(), quint8(30));
}

void tst_FilterParams::filterValidity_data()
{
    addValidityColumns();

    const QStringList emptyZone{conditionLine("SourceDefinitionFilterNoDetZone::isValid_impl", "!getZone().isEmpty()", kNames),
                                notValidLine("SourceDefinitionFilterNoDetZone", kNames)};
    const QStringList blockFails{conditionLine("SourceDefinitionFilterParams::isValid_impl", "ci.isValid(skipWrn)", kNames),
                                 notValidLine("SourceDefinitionFilterParams", kNames)};

    QTest::newRow("new block") << QByteArray(R"({"version": 2, "data": {}})") << true << QStringList();
    QTest::newRow("disabled block with an empty zone") << block(zone("[]"), false) << true << QStringList();
    QTest::newRow("zone without points") << block(zone(kTriangle) + ',' + zone("[]")) << false << emptyZone + blockFails;
    QTest::newRow("one point is enough, any range")
        << block(zone(R"([{"x": 5, "y": -5}])")) << true << QStringList();
    QTest::newRow("class filter without a name")
        << block(zone(kTriangle, filter("car") + R"(, {"min_size": 1})")) << false
        << QStringList{conditionLine("SourceDefinitionFilterClass::isValid_impl", "!getClassName().isEmpty()", kNames),
                       notValidLine("SourceDefinitionFilterClass", kNames),
                       conditionLine("SourceDefinitionFilterNoDetZone::isValid_impl", "ci.isValid(skipWrn)", kNames),
                       notValidLine("SourceDefinitionFilterNoDetZone", kNames)}
               + blockFails;
    QTest::newRow("minimum above maximum is accepted") << block(zone(kTriangle, filter("car", 0, 10, 1))) << true
                                                        << QStringList();
    QTest::newRow("disabled zone without points")
        << block(R"({"version": 1, "enabled": false, "data": {"zone": []}})") << true << QStringList();
}

void tst_FilterParams::filterValidity()
{
    checkValidity<Block>(kNames);
}

void tst_FilterParams::filterCompare_data()
{
    addCompareColumns();

    const QByteArray square = R"([{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}])";
    const QString blockDiffers = conditionLine("SourceDefinitionFilterParams::compare_logic", "aC[i].compare(bC[i], compareParams)", kNames);
    const QString zoneDiffers = conditionLine("SourceDefinitionFilterNoDetZone::compare_logic", "getZone() == otherSD->getZone()", kNames);
    const QString zoneFilterDiffers =
        conditionLine("SourceDefinitionFilterNoDetZone::compare_logic", "aC[i].compare(bC[i], compareParams)", kNames);
    const auto classDiffers = [](const char *text) { return conditionLine("SourceDefinitionFilterClass::compare_logic", text, kNames); };

    QTest::newRow("same zones") << block(zone(kTriangle) + ',' + zone(square)) << block(zone(kTriangle) + ',' + zone(square))
                                << false << true << QStringList();
    QTest::newRow("zones in swapped order")
        << block(zone(kTriangle) + ',' + zone(square)) << block(zone(square) + ',' + zone(kTriangle)) << false << false
        << QStringList{zoneDiffers, blockDiffers};
    QTest::newRow("swapped zones, every difference")
        << block(zone(kTriangle) + ',' + zone(square)) << block(zone(square) + ',' + zone(kTriangle)) << true << false
        << QStringList{zoneDiffers, blockDiffers, zoneDiffers, blockDiffers};
    QTest::newRow("zone counts")
        << block(zone(kTriangle)) << block(zone(kTriangle) + ',' + zone(square)) << false << false
        << QStringList{conditionLine("SourceDefinitionFilterParams::compare_logic", "aC.size() == bC.size()", kNames)};
    QTest::newRow("filters given in another order")
        << block(zone(kTriangle, filter("car") + ',' + filter("bus"))) << block(zone(kTriangle, filter("bus") + ',' + filter("car")))
        << false << true << QStringList();
    QTest::newRow("every field of a class filter")
        << block(zone(kTriangle, filter("car", 1, 2, 3))) << block(zone(kTriangle, filter("Car", 4, 5, 6))) << true << false
        << QStringList{classDiffers("getClassName() == otherSD->getClassName()"),
                       classDiffers("getMinConfidence() == otherSD->getMinConfidence()"),
                       classDiffers("getMinSize() == otherSD->getMinSize()"),
                       classDiffers("getMaxSize() == otherSD->getMaxSize()"), zoneFilterDiffers, blockDiffers};
    QTest::newRow("first class-filter difference only")
        << block(zone(kTriangle, filter("car", 1, 2, 3))) << block(zone(kTriangle, filter("car", 1, 9, 9))) << false << false
        << QStringList{classDiffers("getMinSize() == otherSD->getMinSize()"), zoneFilterDiffers, blockDiffers};
    QTest::newRow("confidences equal in their low 8 bits")
        << block(zone(kTriangle, filter("car", 300))) << block(zone(kTriangle, filter("car", 44))) << false << true
        << QStringList();
    QTest::newRow("disabled block holding zones compares as default")
        << block(zone(kTriangle), false) << block(QByteArray()) << false << true << QStringList();
}

void tst_FilterParams::filterCompare()
{
    checkCompare<Block>(kNames);
}

// --- Post-processor ---

void tst_FilterParams::postRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<double>("scale");

    QTest::newRow("new block writes nothing") << QByteArray("{}") << QByteArray("{}") << QStringList() << 1.0;
    QTest::newRow("empty list warns")
        << QByteArray(R"({"transformation_points": []})") << QByteArray(R"({"transformation_points": []})")
        << QStringList{sizeWarning(0)} << 1.0;
    QTest::newRow("not an array reads empty")
        << QByteArray(R"({"transformation_points": {"x": 1}})") << QByteArray(R"({"transformation_points": []})")
        << QStringList{sizeWarning(0)} << 1.0;
    QTest::newRow("eight points are quiet") << QByteArray(R"({"transformation_points": )" + points(8) + '}')
                                            << QByteArray(R"({"transformation_points": )" + points(8) + '}')
                                            << QStringList() << 1.0;
    QTest::newRow("nine points warn") << QByteArray(R"({"transformation_points": )" + points(9) + '}')
                                      << QByteArray(R"({"transformation_points": )" + points(9) + '}')
                                      << QStringList{sizeWarning(9)} << 1.0;
    QTest::newRow("loose point members")
        << QByteArray(R"({"transformation_points": [{"x": "2.5"}, 7, {"x": true, "y": null}]})")
        << QByteArray(R"({"transformation_points": [{"x": 2.5, "y": 0}, {"x": 0, "y": 0}, {"x": 1, "y": 0}]})")
        << QStringList{sizeWarning(3)} << 1.0;
    QTest::newRow("scale") << QByteArray(R"({"map_to_work_scale": 0.25})") << QByteArray(R"({"map_to_work_scale": 0.25})")
                           << QStringList() << 0.25;
    QTest::newRow("scale that is no number") << QByteArray(R"({"map_to_work_scale": "2"})")
                                             << QByteArray(R"({"map_to_work_scale": 0})") << QStringList() << 0.0;
}

void tst_FilterParams::postRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(QStringList, lines);
    QFETCH(double, scale);

    checkRoundTrip<PostProcessor>(input, written, lines, kNames);
    const PostProcessor record = fromJson<PostProcessor>(input);
    QCOMPARE(record.getMapToWorkScale(), scale);
    QVERIFY(!record.getEnabled());
}

void tst_FilterParams::postValidity_data()
{
    addValidityColumns();

    const QString sizeText = conditionLine("SourceDefinitionPostProcessorParams::isValid_impl",
                                  "tPoints.size() >= TRANSFORMATION_POINTS_MIN_SIZE || tPoints.size() % 2 == 0", kNames);
    const QString invalid = notValidLine("SourceDefinitionPostProcessorParams", kNames);

    QTest::newRow("enabled, nothing stored") << QByteArray(R"({"enabled": true})") << true << QStringList();
    QTest::newRow("disabled with 7 points") << QByteArray(R"({"transformation_points": )" + points(7) + '}') << true
                                            << QStringList();
    for (int count : {0, 2, 4, 6, 8, 9, 10, 11})
        QTest::addRow("%d points", count) << postProcessor(count) << true << QStringList();
    for (int count : {1, 3, 5, 7})
        QTest::addRow("%d points", count) << postProcessor(count) << false << QStringList{sizeText, invalid};
    QTest::newRow("zero scale") << postProcessor(8, R"("map_to_work_scale": 0)") << false
                                << QStringList{conditionLine("SourceDefinitionPostProcessorParams::isValid_impl", "getMapToWorkScale() > 0", kNames),
                                               invalid};
    QTest::newRow("odd points before the scale") << postProcessor(7, R"("map_to_work_scale": -1)") << false
                                                 << QStringList{sizeText, invalid};
}

void tst_FilterParams::postValidity()
{
    checkValidity<PostProcessor>(kNames);
}

void tst_FilterParams::postCompare_data()
{
    addCompareColumns();

    const QString pointsDiffer = conditionLine("SourceDefinitionPostProcessorParams::compare_logic",
                                      "getTransformationPoints() == otherSD->getTransformationPoints()", kNames);
    const QString scaleDiffers = conditionLine("SourceDefinitionPostProcessorParams::compare_logic",
                                      "qFuzzyCompare(1 + getMapToWorkScale(), 1 + otherSD->getMapToWorkScale())", kNames);

    QTest::newRow("same points") << postProcessor(8) << postProcessor(8) << false << true << QStringList();
    QTest::newRow("points in another order")
        << QByteArray(R"({"enabled": true, "transformation_points": [{"x": 0, "y": 0}, {"x": 1, "y": 1}]})")
        << QByteArray(R"({"enabled": true, "transformation_points": [{"x": 1, "y": 1}, {"x": 0, "y": 0}]})") << false
        << false << QStringList{pointsDiffer};
    QTest::newRow("zero and 1e-13")
        << QByteArray(R"({"enabled": true, "transformation_points": [{"x": 0, "y": 0.5}, {"x": 1, "y": 1}]})")
        << QByteArray(R"({"enabled": true, "transformation_points": [{"x": 1e-13, "y": 0.5}, {"x": 1, "y": 1}]})")
        << false << true << QStringList();
    QTest::newRow("scales 1 and 1 + 1e-13")
        << QByteArray(R"({"enabled": true, "map_to_work_scale": 1})")
        << QByteArray(R"({"enabled": true, "map_to_work_scale": 1.0000000000001})") << false << true << QStringList();
    QTest::newRow("scales 1 and 1.001")
        << QByteArray(R"({"enabled": true})") << QByteArray(R"({"enabled": true, "map_to_work_scale": 1.001})") << false
        << false << QStringList{scaleDiffers};
    QTest::newRow("both differences") << postProcessor(8, R"("map_to_work_scale": 2)") << postProcessor(10) << true
                                      << false << QStringList{pointsDiffer, scaleDiffers};
    QTest::newRow("first difference only") << postProcessor(8, R"("map_to_work_scale": 2)") << postProcessor(10) << false
                                           << false << QStringList{pointsDiffer};
    QTest::newRow("disabled side holding values compares as default")
        << QByteArray(R"({"enabled": false, "map_to_work_scale": 3})") << QByteArray(R"({"enabled": true})") << false
        << true << QStringList();
}

void tst_FilterParams::postCompare()
{
    checkCompare<PostProcessor>(kNames);
}

QTEST_GUILESS_MAIN(tst_FilterParams)
#include "tst_FilterParams.moc"
