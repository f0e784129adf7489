#include "datamodel/params/SourceDefinitionCortexParams.h"
#include "datamodel/params/SourceDefinitionForegroundDetectionParams.h"
#include "support/RecordTestSupport.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Cortex = SourceDefinitionCortexParams;
using Foreground = SourceDefinitionForegroundDetectionParams;

namespace {

// compare_logic is reached for another class only when called directly (compare() stops earlier).
class CortexProbe : public Cortex
{
public:
    using Cortex::compare_logic;
};

QByteArray watcher(const char *type, double x = 0.5)
{
    return R"({"state_watcher_type": ")" + QByteArray(type) + R"(", "polygon": [{"x": 0, "y": 0}, {"x": )"
        + QByteArray::number(x) + R"(, "y": 0}, {"x": 1, "y": 1}, {"x": 0, "y": 1}]})";
}

QByteArray block(const QByteArray &fields, const QList<QByteArray> &watchers)
{
    QByteArray list;
    for (const QByteArray &w : watchers)
        list += (list.isEmpty() ? "" : ", ") + w;
    return "{" + fields + (fields.isEmpty() ? "" : ", ") + "\"state_watchers\": [" + list + "]}";
}

} // namespace

class tst_CortexForegroundParams : public QObject
{
    Q_OBJECT

private slots:
    void foregroundRead_data();
    void foregroundRead();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
    void differentBlockClasses();
};

void tst_CortexForegroundParams::foregroundRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("mask");
    QTest::addColumn<double>("saturation");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("empty: defaults") << QByteArray("{}") << 100 << 800.0 << 5.0 << QByteArray("{}");
    QTest::newRow("all keys")
        << QByteArray(R"({"mask_downsample": 65535, "annealing_saturation": 10.5, "annealing_speed": 0.25})") << 65535
        << 10.5 << 0.25 << QByteArray(R"({"mask_downsample": 65535, "annealing_saturation": 10.5, "annealing_speed": 0.25})");
    // Out of the 16-bit range is 0 (which validation rejects), never a wrapped plausible size.
    QTest::newRow("65536 is 0") << QByteArray(R"({"mask_downsample": 65536})") << 0 << 800.0 << 5.0
                                << QByteArray(R"({"mask_downsample": 0})");
    QTest::newRow("65636 is 0, not 100") << QByteArray(R"({"mask_downsample": 65636})") << 0 << 800.0 << 5.0
                                         << QByteArray(R"({"mask_downsample": 0})");
    QTest::newRow("-1 is 0") << QByteArray(R"({"mask_downsample": -1})") << 0 << 800.0 << 5.0
                             << QByteArray(R"({"mask_downsample": 0})");
    QTest::newRow("fraction and wrong types")
        << QByteArray(R"({"mask_downsample": 1.5, "annealing_saturation": "800", "annealing_speed": null})") << 0 << 0.0
        << 0.0 << QByteArray(R"({"mask_downsample": 0, "annealing_saturation": 0, "annealing_speed": 0})");
    QTest::newRow("watchers written before the own keys")
        << block(R"("mask_downsample": 4)", {watcher("Foreground")}) << 4 << 800.0 << 5.0
        << block(R"("mask_downsample": 4)", {watcher("Foreground")});
}

void tst_CortexForegroundParams::foregroundRead()
{
    QFETCH(QByteArray, input);
    QFETCH(int, mask);
    QFETCH(double, saturation);
    QFETCH(double, speed);
    QFETCH(QByteArray, output);

    const Foreground params = readQuiet<Foreground>(input);
    QCOMPARE(int(params.getMaskDownsample()), mask);
    QCOMPARE(params.getAnnealingSaturation(), saturation);
    QCOMPARE(params.getAnnealingSpeed(), speed);
    SourceDataWriteOptions flat;
    flat.flat = true;
    flat.noVersion = true;
    QCOMPARE(params.toJsonObject(flat), json(output));
}

void tst_CortexForegroundParams::validity_data()
{
    QTest::addColumn<bool>("cortex");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    const QString c = QStringLiteral("SourceDefinitionCortexParams::isValid_impl");
    const QString f = QStringLiteral("SourceDefinitionForegroundDetectionParams::isValid_impl");
    const QString cortexType = QStringLiteral("sw.getStateWatcherType() == SourceStateWatcher::StateWatcherType::Cortex");
    const QString foregroundType =
        QStringLiteral("sw.getStateWatcherType() == SourceStateWatcher::StateWatcherType::Foreground");

    QTest::newRow("foreground defaults") << false << QByteArray("{}") << QStringList();
    QTest::newRow("cortex with cortex watchers") << true << block({}, {watcher("Cortex"), watcher("Cortex")}) << QStringList();
    QTest::newRow("cortex holding a foreground watcher")
        << true << block({}, {watcher("Cortex"), watcher("Foreground")})
        << QStringList{condition(c, cortexType), notValid("SourceDefinitionCortexParams")};
    QTest::newRow("foreground holding a cortex watcher")
        << false << block({}, {watcher("Cortex")})
        << QStringList{condition(f, foregroundType), notValid("SourceDefinitionForegroundDetectionParams")};
    QTest::newRow("disabled cortex") << true << block(R"("enabled": false)", {watcher("Foreground")}) << QStringList();
    QTest::newRow("disabled foreground") << false << block(R"("enabled": false, "mask_downsample": 0)", {watcher("Cortex")})
                                         << QStringList();
    QTest::newRow("invalid watcher fails the base first")
        << false << block({}, {watcher("Foreground", 2)})
        << QStringList{condition("SourceStateWatcher::isValid_impl", "p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1"),
                       notValid("SourceStateWatcher"),
                       condition("SourceStateWatcherParams::isValid_impl", "ci.isValid(skipWrn)"),
                       condition(f, "SourceStateWatcherParams::isValid_impl(skipWrn)"),
                       notValid("SourceDefinitionForegroundDetectionParams")};
    QTest::newRow("mask 0") << false << QByteArray(R"({"mask_downsample": 0})")
                            << QStringList{condition(f, "getMaskDownsample() > 0"), notValid("SourceDefinitionForegroundDetectionParams")};
    QTest::newRow("saturation 0") << false << QByteArray(R"({"annealing_saturation": 0})")
                                  << QStringList{condition(f, "getAnnealingSaturation() > 0"),
                                                 notValid("SourceDefinitionForegroundDetectionParams")};
    QTest::newRow("speed negative") << false << QByteArray(R"({"annealing_speed": -1})")
                                    << QStringList{condition(f, "getAnnealingSpeed() > 0"),
                                                   notValid("SourceDefinitionForegroundDetectionParams")};
}

void tst_CortexForegroundParams::validity()
{
    QFETCH(bool, cortex);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);

    QStringList logged;
    const bool valid = cortex ? validate(readQuiet<Cortex>(input), &logged) : validate(readQuiet<Foreground>(input), &logged);
    QCOMPARE(valid, lines.isEmpty());
    QCOMPARE(logged, lines);
}

void tst_CortexForegroundParams::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("lines");

    const QString f = QStringLiteral("SourceDefinitionForegroundDetectionParams::compare_logic");
    const QString base = condition(f, "SourceStateWatcherParams::compare_logic(other, compareParams)");
    QTest::newRow("speeds 5.0 and 5.0000000000001")
        << QByteArray(R"({"annealing_speed": 5.0})") << QByteArray(R"({"annealing_speed": 5.0000000000001})") << QStringList();
    QTest::newRow("absent equals default") << QByteArray("{}")
                                           << QByteArray(R"({"mask_downsample": 100, "annealing_saturation": 800})")
                                           << QStringList();
    QTest::newRow("mask exact") << QByteArray(R"({"mask_downsample": 99})") << QByteArray("{}")
                                << QStringList{condition(f, "getMaskDownsample() == otherSD->getMaskDownsample()")};
    QTest::newRow("saturation")
        << QByteArray(R"({"annealing_saturation": 801})") << QByteArray("{}")
        << QStringList{condition(f, "qFuzzyCompare(getAnnealingSaturation() + 1, otherSD->getAnnealingSaturation() + 1)")};
    QTest::newRow("watcher lists first")
        << block(R"("mask_downsample": 1)", {watcher("Foreground")}) << block({}, {})
        << QStringList{condition("SourceStateWatcherParams::compare_logic", "aC.size() == bC.size()"), base};
    QTest::newRow("disabled with values equals a default block")
        << block(R"("enabled": false, "mask_downsample": 3)", {watcher("Cortex")}) << QByteArray("{}") << QStringList();
}

void tst_CortexForegroundParams::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, lines);

    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<Foreground>(a), readQuiet<Foreground>(b), false, &logged).equal, lines.isEmpty());
    QCOMPARE(logged, lines);
}

void tst_CortexForegroundParams::differentBlockClasses()
{
    const QByteArray input = block({}, {});
    CortexProbe cortex;
    cortex.setQVariantData(readQuiet<Cortex>(input).getQVariantData());
    const Foreground foreground = readQuiet<Foreground>(input);

    LogCapture capture;
    const CompareResult result = cortex.compare_logic(foreground, CompareParams::logic());
    QVERIFY(!result.equal);
    QVERIFY(!result.first);
    QCOMPARE(logLines(capture), QStringList{"WRN SourceDefinitionCortexParams::compare_logic: Comparing different types!"});

    // Through compare() the family base stops at the class difference.
    capture.clear();
    QVERIFY(!readQuiet<Cortex>(input).compare(foreground).equal);
    QVERIFY(capture.contains("Comparing different types: SourceDefinitionCortexParams and SourceDefinitionForegroundDetectionParams"));
}

QTEST_GUILESS_MAIN(tst_CortexForegroundParams)
#include "tst_CortexForegroundParams.moc"
