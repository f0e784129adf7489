#include "datamodel/params/SourceDefinitionVisibilityParams.h"
#include "support/RecordTestSupport.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Params = SourceDefinitionVisibilityParams;

class tst_VisibilityParams : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
};

void tst_VisibilityParams::roundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("contrastCount");
    QTest::addColumn<int>("trajectoryCount");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("empty: disabled, no list written") << QByteArray("{}") << 0 << 0 << QByteArray("{}");
    QTest::newRow("non-array list is written back empty")
        << QByteArray(R"({"contrast_indicators": 1})") << 0 << 0 << QByteArray(R"({"contrast_indicators": []})");
    QTest::newRow("both lists in order, each element only its held keys")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{"min_std": 1}, 4, {"enabled": false}],
                          "trajectory_indicators": [{"categories": ["car"]}]})")
        << 3 << 1
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{"min_std": 1}, {}, {"enabled": false}],
                          "trajectory_indicators": [{"categories": ["car"]}]})");
}

void tst_VisibilityParams::roundTrip()
{
    QFETCH(QByteArray, input);
    QFETCH(int, contrastCount);
    QFETCH(int, trajectoryCount);
    QFETCH(QByteArray, output);

    const Params params = readQuiet<Params>(input);
    QCOMPARE(params.getContrastIndicators().size(), contrastCount);
    QCOMPARE(params.getTrajectoryIndicators().size(), trajectoryCount);
    SourceDataWriteOptions flat;
    flat.flat = true;
    flat.noVersion = true;
    QCOMPARE(params.toJsonObject(flat), json(output));
}

void tst_VisibilityParams::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    const QString listFailed = condition("SourceDefinitionVisibilityParams::isValid_impl", "ci.isValid(skipWrn)");
    const QString invalid = notValid("SourceDefinitionVisibilityParams");
    QTest::newRow("enabled without indicators") << QByteArray(R"({"enabled": true})") << QStringList();
    QTest::newRow("second contrast indicator invalid, trajectories not examined")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{}, {"evaluation_period_s": 0}, {"evaluation_period_s": -1}],
                          "trajectory_indicators": [{"timeframe_s": 0}]})")
        << QStringList{condition("SourceVisibilityContrastIndicator::isValid_impl", "getEvaluationPeriodS() > 0"),
                       notValid("SourceVisibilityContrastIndicator"), listFailed, invalid};
    QTest::newRow("trajectory indicator invalid")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{}], "trajectory_indicators": [{"timeframe_s": 0}]})")
        << QStringList{condition("SourceVisibilityTrajectoryIndicator::isValid_impl", "getTimeframeS() > 0"),
                       notValid("SourceVisibilityTrajectoryIndicator"), listFailed, invalid};
    QTest::newRow("disabled with invalid indicators")
        << QByteArray(R"({"contrast_indicators": [{"evaluation_period_s": 0}]})") << QStringList();
}

void tst_VisibilityParams::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);

    QStringList logged;
    QCOMPARE(validate(readQuiet<Params>(input), &logged), lines.isEmpty());
    QCOMPARE(logged, lines);
}

void tst_VisibilityParams::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<QStringList>("lines");

    const QString f = QStringLiteral("SourceDefinitionVisibilityParams::compare_logic");
    const QString sizes = condition(f, "aC.size() == bC.size()");
    const QString pair = condition(f, "aC[i].compare(bC[i], compareParams)");
    const QString minStd = condition("SourceVisibilityContrastIndicator::compare_logic",
                                     "qFuzzyCompare(getMinStd() + 1, otherSD->getMinStd() + 1)");
    QTest::newRow("same indicators in another order")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{"min_std": 1}, {"min_std": 2}]})")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{"min_std": 2}, {"min_std": 1}]})") << false
        << QStringList{minStd, pair};
    QTest::newRow("sizes 2 and 3, all differences: the first two pairs still compared")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{"min_std": 1}, {"min_std": 2}]})")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{"min_std": 1}, {"min_std": 3}, {}]})") << true
        << QStringList{sizes, minStd, pair};
    QTest::newRow("sizes differ, first difference ends it")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [{}], "trajectory_indicators": [{}]})")
        << QByteArray(R"({"enabled": true, "contrast_indicators": [], "trajectory_indicators": []})") << false
        << QStringList{sizes};
    QTest::newRow("trajectory lists with the same texts")
        << QByteArray(R"({"enabled": true, "trajectory_indicators": [{"categories": ["a"]}]})")
        << QByteArray(R"({"enabled": true, "trajectory_indicators": [{"categories": ["b"]}]})") << false
        << QStringList{condition("SourceVisibilityTrajectoryIndicator::compare_logic",
                                 "getCategories() == otherSD->getCategories()"),
                       pair};
    QTest::newRow("disabled with values against an enabled empty block")
        << QByteArray(R"({"enabled": false, "contrast_indicators": [{"min_std": 1}]})")
        << QByteArray(R"({"enabled": true})") << false << QStringList();
}

void tst_VisibilityParams::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, allDifferences);
    QFETCH(QStringList, lines);

    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<Params>(a), readQuiet<Params>(b), allDifferences, &logged).equal, lines.isEmpty());
    QCOMPARE(logged, lines);
}

QTEST_GUILESS_MAIN(tst_VisibilityParams)
#include "tst_VisibilityParams.moc"
