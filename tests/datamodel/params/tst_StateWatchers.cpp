#include "support/RecordTestSupport.h"

#include "datamodel/params/SourceStateWatcher.h"
#include "datamodel/params/SourceStateWatcherParams.h"

using namespace kvr::tracker::common;
using namespace recordtest;

// Lines name their functions without the namespace.
constexpr FunctionNames kNames = FunctionNames::Unqualified;
using Type = SourceStateWatcher::StateWatcherType;

namespace {

const QByteArray kSquare = R"([{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}])";

// A watcher object: the square polygon, the given type and extra members ("" for none).
QByteArray watcher(const char *type, const QByteArray &extra = QByteArray(), const QByteArray &polygon = kSquare)
{
    QByteArray text = R"({"polygon": )" + polygon;
    if (type)
        text += ", \"state_watcher_type\": \"" + QByteArray(type) + '"';
    if (!extra.isEmpty())
        text += ", " + extra;
    return text + '}';
}

QString watcherFails(const char *text)
{
    return conditionLine("SourceStateWatcher::isValid_impl", text, kNames);
}

QString watcherDiffers(const char *text)
{
    return conditionLine("SourceStateWatcher::compare_logic", text, kNames);
}

QString listDiffers(const char *text)
{
    return conditionLine("SourceStateWatcherParams::compare_logic", text, kNames);
}

const char *const kPointText = "p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1";

} // namespace

Q_DECLARE_METATYPE(Type)

class tst_StateWatchers : public QObject
{
    Q_OBJECT

private slots:
    void watcherRead_data();
    void watcherRead();
    void watcherValidity_data();
    void watcherValidity();
    void watcherCompare_data();
    void watcherCompare();
    void watcherSetters();

    void listRead_data();
    void listRead();
    void listValidity_data();
    void listValidity();
    void listCompare_data();
    void listCompare();
};

// --- One watcher ---

void tst_StateWatchers::watcherRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<Type>("type");
    QTest::addColumn<qint64>("period");
    QTest::addColumn<qint64>("providerId");

    QTest::newRow("empty") << QByteArray("{}") << QByteArray("{}") << Type::Unknown << qint64(15000) << qint64(0);
    QTest::newRow("polygon only: no type written, default period")
        << QByteArray(R"({"polygon": [{"x": 0.5, "y": "0.25"}]})")
        << QByteArray(R"({"polygon": [{"x": 0.5, "y": 0.25}]})") << Type::Unknown << qint64(15000) << qint64(0);
    QTest::newRow("legacy traffic_light")
        << QByteArray(R"({"state_watcher_type": "traffic_light"})")
        << QByteArray(R"({"state_watcher_type": "TrafficLight"})") << Type::TrafficLight << qint64(15000) << qint64(0);
    QTest::newRow("key differing in case")
        << QByteArray(R"({"state_watcher_type": "foreground"})")
        << QByteArray(R"({"state_watcher_type": "Unknown"})") << Type::Unknown << qint64(15000) << qint64(0);
    QTest::newRow("empty type text")
        << QByteArray(R"({"state_watcher_type": ""})")
        << QByteArray(R"({"state_watcher_type": "Unknown"})") << Type::Unknown << qint64(15000) << qint64(0);
    QTest::newRow("all cortex keys")
        << QByteArray(R"({"state_watcher_type": "Cortex", "cortex_prompt": "a bus?", "cortex_provider_id": 7,
                          "cortex_period_ms": 60000, "cortex_img_width": 640, "cortex_img_height": 480})")
        << QByteArray(R"({"state_watcher_type": "Cortex", "cortex_prompt": "a bus?", "cortex_provider_id": 7,
                          "cortex_period_ms": 60000, "cortex_img_width": 640, "cortex_img_height": 480})")
        << Type::Cortex << qint64(60000) << qint64(7);
    QTest::newRow("provider id beyond 32 bits")
        << QByteArray(R"({"cortex_provider_id": 1099511627776})") << QByteArray(R"({"cortex_provider_id": 1099511627776})")
        << Type::Unknown << qint64(15000) << qint64(1099511627776);
    QTest::newRow("negative provider id")
        << QByteArray(R"({"cortex_provider_id": -5000000000})") << QByteArray(R"({"cortex_provider_id": -5000000000})")
        << Type::Unknown << qint64(15000) << qint64(-5000000000);
    QTest::newRow("fractional period reads 0")
        << QByteArray(R"({"cortex_period_ms": 2.5})") << QByteArray(R"({"cortex_period_ms": 0})") << Type::Unknown
        << qint64(0) << qint64(0);
    QTest::newRow("period beyond 32 bits reads 0")
        << QByteArray(R"({"cortex_period_ms": 5000000000})") << QByteArray(R"({"cortex_period_ms": 0})")
        << Type::Unknown << qint64(0) << qint64(0);
    QTest::newRow("null and wrong types are neutral")
        << QByteArray(R"({"polygon": {}, "min_confidence": null, "diag_size": "0.5", "cortex_prompt": 3})")
        << QByteArray(R"({"polygon": [], "min_confidence": 0, "diag_size": 0, "cortex_prompt": ""})") << Type::Unknown
        << qint64(15000) << qint64(0);
}

void tst_StateWatchers::watcherRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(Type, type);
    QFETCH(qint64, period);
    QFETCH(qint64, providerId);

    checkRoundTrip<SourceStateWatcher>(input, written);
    const auto record = fromJson<SourceStateWatcher>(input);
    QCOMPARE(record.getStateWatcherType(), type);
    QCOMPARE(record.getCortexPeriod(), period);
    QCOMPARE(record.getCortexProviderId(), providerId);
    // The bounding rectangle goes with the polygon, and is never written.
    QCOMPARE(record.contains(QStringLiteral("polygon_bounding_rect")), record.contains(QStringLiteral("polygon")));
}

void tst_StateWatchers::watcherValidity_data()
{
    addValidityColumns();

    const QString invalid = notValidLine("SourceStateWatcher", kNames);

    QTest::newRow("traffic light on the unit square") << watcher("TrafficLight") << true << QStringList();
    QTest::newRow("disabled with nothing") << QByteArray(R"({"enabled": false})") << true << QStringList();
    QTest::newRow("disabled with three points")
        << QByteArray(R"({"enabled": false, "polygon": [{"x": 5, "y": 5}]})") << true << QStringList();
    QTest::newRow("unknown type comes first")
        << watcher("Bogus", QByteArray(), "[]") << false
        << QStringList{watcherFails("getStateWatcherType() != StateWatcherType::Unknown"), invalid};
    QTest::newRow("three points")
        << watcher("TrafficLight", QByteArray(), R"([{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 1, "y": 1}])") << false
        << QStringList{watcherFails("tmpPoylgon.size() >= POLYGON_MIN_SIZE"), invalid};
    QTest::newRow("point just outside")
        << watcher("TrafficLight", QByteArray(),
                   R"([{"x": 0, "y": 0}, {"x": 1.0001, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}])")
        << false << QStringList{watcherFails(kPointText), invalid};
    QTest::newRow("negative point")
        << watcher("Cortex", QByteArray(), R"([{"x": 0, "y": -0.1}, {"x": 1, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}])")
        << false << QStringList{watcherFails(kPointText), invalid};
    QTest::newRow("foreground confidence above 1")
        << watcher("Foreground", R"("min_confidence": 1.5)") << false
        << QStringList{watcherFails("getMinConfidence() <= 1"), invalid};
    QTest::newRow("foreground confidence below 0")
        << watcher("Foreground", R"("min_confidence": -0.5, "diag_size": 2)") << false
        << QStringList{watcherFails("getMinConfidence() >= 0"), invalid};
    QTest::newRow("foreground diagonal below 0")
        << watcher("Foreground", R"("min_confidence": 0.5, "diag_size": -1)") << false
        << QStringList{watcherFails("getDiagSize() >= 0"), invalid};
    QTest::newRow("foreground diagonal above 1")
        << watcher("Foreground", R"("min_confidence": 1, "diag_size": 1.01)") << false
        << QStringList{watcherFails("getDiagSize() <= 1"), invalid};
    QTest::newRow("confidence ignored for traffic lights")
        << watcher("TrafficLight", R"("min_confidence": 1.5)") << true << QStringList();
    QTest::newRow("confidence ignored for cortex")
        << watcher("Cortex", R"("min_confidence": 1.5, "cortex_period_ms": -1)") << true << QStringList();
}

void tst_StateWatchers::watcherValidity()
{
    checkValidity<SourceStateWatcher>(kNames);
}

void tst_StateWatchers::watcherCompare_data()
{
    addCompareColumns();

    const QByteArray cortex = watcher("Cortex", R"("cortex_prompt": "p", "cortex_provider_id": 1)");

    QTest::newRow("same") << cortex << cortex << false << true << QStringList();
    QTest::newRow("legacy and current type text")
        << watcher("traffic_light") << watcher("TrafficLight") << false << true << QStringList();
    QTest::newRow("type differs")
        << watcher("TrafficLight") << watcher("Cortex") << false << false
        << QStringList{watcherDiffers("getStateWatcherType() == otherSD->getStateWatcherType()")};
    QTest::newRow("polygon order matters")
        << watcher("TrafficLight")
        << watcher("TrafficLight", QByteArray(), R"([{"x": 1, "y": 0}, {"x": 0, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}])")
        << false << false << QStringList{watcherDiffers("getPolygon() == otherSD->getPolygon()")};
    QTest::newRow("cortex prompt differs")
        << cortex << watcher("Cortex", R"("cortex_prompt": "q", "cortex_provider_id": 1)") << false << false
        << QStringList{watcherDiffers("getCortexPrompt() == otherSD->getCortexPrompt()")};
    QTest::newRow("cortex: every difference")
        << cortex
        << watcher("Cortex", R"("cortex_prompt": "q", "cortex_provider_id": 4294967297, "cortex_period_ms": 1,
                               "cortex_img_width": 2, "cortex_img_height": 3)")
        << true << false
        << QStringList{watcherDiffers("getCortexPrompt() == otherSD->getCortexPrompt()"),
                       watcherDiffers("getCortexProviderId() == otherSD->getCortexProviderId()"),
                       watcherDiffers("getCortexPeriod() == otherSD->getCortexPeriod()"),
                       watcherDiffers("getCortexReqImgWidth() == otherSD->getCortexReqImgWidth()"),
                       watcherDiffers("getCortexReqImgHeight() == otherSD->getCortexReqImgHeight()")};
    QTest::newRow("provider ids differing above 32 bits")
        << watcher("Cortex", R"("cortex_provider_id": 4294967297)") << watcher("Cortex", R"("cortex_provider_id": 1)")
        << false << false << QStringList{watcherDiffers("getCortexProviderId() == otherSD->getCortexProviderId()")};
    QTest::newRow("traffic lights ignore cortex and foreground keys")
        << watcher("TrafficLight", R"("cortex_prompt": "x", "min_confidence": 0.1)")
        << watcher("TrafficLight", R"("cortex_prompt": "y", "min_confidence": 0.2)") << false << true << QStringList();
    QTest::newRow("foreground: both differences")
        << watcher("Foreground", R"("min_confidence": 0.1, "diag_size": 0.1)")
        << watcher("Foreground", R"("min_confidence": 0.2, "diag_size": 0.2)") << true << false
        << QStringList{watcherDiffers("getMinConfidence() == otherSD->getMinConfidence()"),
                       watcherDiffers("getDiagSize() == otherSD->getDiagSize()")};
    QTest::newRow("foreground ignores cortex keys")
        << watcher("Foreground", R"("cortex_prompt": "x")") << watcher("Foreground", R"("cortex_prompt": "y")") << false
        << true << QStringList();
    // The validity of the two sides still differs, so the records stay unequal, but no field is
    // reported: the disabled Cortex watcher was compared as a default one.
    QTest::newRow("disabled side holding values compares as default")
        << QByteArray(R"({"enabled": false, "state_watcher_type": "Cortex"})") << QByteArray(R"({"enabled": true})")
        << true << false << QStringList();
}

void tst_StateWatchers::watcherCompare()
{
    checkCompare<SourceStateWatcher>(kNames);
}

void tst_StateWatchers::watcherSetters()
{
    SourceStateWatcher record;
    record.setStateWatcherType(static_cast<Type>(9)); // no key text
    QCOMPARE(record.valueMap().value(QStringLiteral("state_watcher_type")).toString(), QString());
    QCOMPARE(record.getStateWatcherType(), Type::Unknown);

    const QPolygonF polygon(QVector<QPointF>{QPointF(0.1, 0.2), QPointF(0.5, 0.9)});
    record.setPolygon(polygon);
    QCOMPARE(record.getPolygon(), polygon);
    QCOMPARE(record.valueMap().value(QStringLiteral("polygon_bounding_rect")).toRectF(), polygon.boundingRect());
    QVERIFY(!writtenFields(record).contains(QStringLiteral("polygon_bounding_rect")));
}

// --- The list ---

void tst_StateWatchers::listRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QList<Type>>("types");

    QTest::newRow("no key, nothing written") << QByteArray("{}") << QByteArray("{}") << QList<Type>();
    QTest::newRow("an object instead of an array")
        << QByteArray(R"({"state_watchers": {"polygon": []}})") << QByteArray(R"({"state_watchers": []})")
        << QList<Type>();
    QTest::newRow("two watchers in order")
        << QByteArray(R"({"state_watchers": [{"state_watcher_type": "Cortex"}, {"state_watcher_type": "traffic_light"}]})")
        << QByteArray(R"({"state_watchers": [{"version": 1, "data": {"state_watcher_type": "Cortex"}},
                                            {"version": 1, "data": {"state_watcher_type": "TrafficLight"}}]})")
        << QList<Type>{Type::Cortex, Type::TrafficLight};
    QTest::newRow("a non-object element is an empty watcher")
        << QByteArray(R"({"state_watchers": [5]})") << QByteArray(R"({"state_watchers": [{"version": 1, "data": {}}]})")
        << QList<Type>{Type::Unknown};
}

void tst_StateWatchers::listRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(QList<Type>, types);

    checkRoundTrip<SourceStateWatcherParams>(input, written);
    QList<Type> read;
    for (const SourceStateWatcher &w : fromJson<SourceStateWatcherParams>(input).getStateWatchers())
        read << w.getStateWatcherType();
    QCOMPARE(read, types);
}

void tst_StateWatchers::listValidity_data()
{
    addValidityColumns();

    QTest::newRow("empty list") << QByteArray(R"({"state_watchers": []})") << true << QStringList();
    QTest::newRow("valid watchers")
        << QByteArray(R"({"state_watchers": [)" + watcher("TrafficLight") + "," + watcher("Cortex") + "]}") << true
        << QStringList();
    QTest::newRow("second watcher invalid, third never asked")
        << QByteArray(R"({"state_watchers": [)" + watcher("TrafficLight") + "," + watcher("Bogus") + ","
                      + watcher("Bogus") + "]}")
        << false
        << QStringList{watcherFails("getStateWatcherType() != StateWatcherType::Unknown"), notValidLine("SourceStateWatcher", kNames),
                       conditionLine("SourceStateWatcherParams::isValid_impl", "ci.isValid(skipWrn)", kNames),
                       notValidLine("SourceStateWatcherParams", kNames)};
    QTest::newRow("disabled list with invalid watcher")
        << QByteArray(R"({"enabled": false, "state_watchers": [)" + watcher("Bogus") + "]}") << true << QStringList();
}

void tst_StateWatchers::listValidity()
{
    checkValidity<SourceStateWatcherParams>(kNames);
}

void tst_StateWatchers::listCompare_data()
{
    addCompareColumns();

    const QByteArray light = watcher("TrafficLight");
    const QByteArray cortex = watcher("Cortex");
    const auto list = [](const QList<QByteArray> &items) {
        return R"({"state_watchers": [)" + items.toVector().toList().join(',') + "]}";
    };

    QTest::newRow("same order") << list({light, cortex}) << list({light, cortex}) << false << true << QStringList();
    QTest::newRow("swapped order")
        << list({light, cortex}) << list({cortex, light}) << false << false
        << QStringList{watcherDiffers("getStateWatcherType() == otherSD->getStateWatcherType()"),
                       listDiffers("aC[i].compare(bC[i], compareParams)")};
    QTest::newRow("sizes 2 and 3, size first")
        << list({light, cortex}) << list({cortex, cortex, light}) << true << false
        << QStringList{listDiffers("aC.size() == bC.size()"),
                       watcherDiffers("getStateWatcherType() == otherSD->getStateWatcherType()"),
                       listDiffers("aC[i].compare(bC[i], compareParams)")};
    QTest::newRow("disabled list holding values compares as default")
        << QByteArray(R"({"enabled": false, "state_watchers": [)" + light + "]}") << QByteArray("{}") << false << true
        << QStringList();
}

void tst_StateWatchers::listCompare()
{
    checkCompare<SourceStateWatcherParams>(kNames);
}

QTEST_GUILESS_MAIN(tst_StateWatchers)
#include "tst_StateWatchers.moc"
