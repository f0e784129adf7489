#include "datamodel/definitions/SourceVisibilityContrastIndicator.h"
#include "datamodel/definitions/SourceVisibilityTrajectoryIndicator.h"
#include "support/RecordTestSupport.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Contrast = SourceVisibilityContrastIndicator;
using Trajectory = SourceVisibilityTrajectoryIndicator;

namespace {

const QString kInSquare = QStringLiteral("p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1");

SourceDataWriteOptions flatWrite()
{
    SourceDataWriteOptions options;
    options.flat = true;
    options.noVersion = true;
    return options;
}

} // namespace

class tst_VisibilityIndicators : public QObject
{
    Q_OBJECT

private slots:
    void contrastRead_data();
    void contrastRead();
    void trajectoryRead_data();
    void trajectoryRead();
    void contrastValidity_data();
    void contrastValidity();
    void trajectoryValidity_data();
    void trajectoryValidity();
    void contrastCompare_data();
    void contrastCompare();
    void trajectoryCompare_data();
    void trajectoryCompare();
};

void tst_VisibilityIndicators::contrastRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("definition");
    QTest::addColumn<double>("minStd");
    QTest::addColumn<double>("period");
    QTest::addColumn<QByteArray>("output");

    const int automatic = int(Contrast::MinStdDefType::automatic);
    const int manual = int(Contrast::MinStdDefType::manual);
    QTest::newRow("empty: defaults, nothing written") << QByteArray("{}") << automatic << 0.0 << 30.0 << QByteArray("{}");
    QTest::newRow("manual")
        << QByteArray(R"({"zone": [{"x": 0, "y": 1}], "min_std_definition": "manual", "min_std": 4.5, "evaluation_period_s": 60})")
        << manual << 4.5 << 60.0
        << QByteArray(R"({"zone": [{"x": 0, "y": 1}], "min_std_definition": "manual", "min_std": 4.5, "evaluation_period_s": 60})");
    QTest::newRow("unknown text and text numbers")
        << QByteArray(R"({"min_std_definition": "Manual", "evaluation_period_s": "30", "min_std": true})") << automatic
        << 0.0 << 0.0 << QByteArray(R"({"min_std_definition": "automatic", "evaluation_period_s": 0, "min_std": 0})");
}

void tst_VisibilityIndicators::contrastRead()
{
    QFETCH(QByteArray, input);
    QFETCH(int, definition);
    QFETCH(double, minStd);
    QFETCH(double, period);
    QFETCH(QByteArray, output);

    const Contrast indicator = readQuiet<Contrast>(input);
    QCOMPARE(int(indicator.getMinStdDefinition()), definition);
    QCOMPARE(indicator.getMinStd(), minStd);
    QCOMPARE(indicator.getEvaluationPeriodS(), period);
    QCOMPARE(indicator.toJsonObject(flatWrite()), json(output));
}

void tst_VisibilityIndicators::trajectoryRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<int>("definition");
    QTest::addColumn<double>("timeframe");
    QTest::addColumn<QByteArray>("output");

    const int automatic = int(Trajectory::MinLengthDefType::automatic);
    QTest::newRow("empty: defaults") << QByteArray("{}") << QStringList() << automatic << 300.0 << QByteArray("{}");
    QTest::newRow("categories of any JSON type")
        << QByteArray(R"({"categories": ["car", 5, true, null, [1], {"a": 1}, 2.5]})")
        << QStringList{"car", "5", "true", "", "", "", "2.5"} << automatic << 300.0
        << QByteArray(R"({"categories": ["car", "5", "true", "", "", "", "2.5"]})");
    QTest::newRow("manual with length")
        << QByteArray(R"({"zone": [], "timeframe_s": 60, "min_length_definition": "manual", "min_length": 25})")
        << QStringList() << int(Trajectory::MinLengthDefType::manual) << 60.0
        << QByteArray(R"({"zone": [], "timeframe_s": 60, "min_length_definition": "manual", "min_length": 25})");
    QTest::newRow("categories that are no array")
        << QByteArray(R"({"categories": "car", "min_length_definition": 0})") << QStringList() << automatic << 300.0
        << QByteArray(R"({"categories": [], "min_length_definition": "automatic"})");
}

void tst_VisibilityIndicators::trajectoryRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, categories);
    QFETCH(int, definition);
    QFETCH(double, timeframe);
    QFETCH(QByteArray, output);

    const Trajectory indicator = readQuiet<Trajectory>(input);
    QCOMPARE(indicator.getCategories(), categories);
    QCOMPARE(int(indicator.getMinLengthDefinition()), definition);
    QCOMPARE(indicator.getTimeframeS(), timeframe);
    QCOMPARE(indicator.toJsonObject(flatWrite()), json(output));
}

void tst_VisibilityIndicators::contrastValidity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("failed");

    QTest::newRow("empty object") << QByteArray("{}") << QString();
    QTest::newRow("corner point") << QByteArray(R"({"zone": [{"x": 1.0, "y": 1.0}, {"x": 0, "y": 0}]})") << QString();
    QTest::newRow("x just above 1") << QByteArray(R"({"zone": [{"x": 0.5, "y": 0.5}, {"x": 1.0000001, "y": 0.5}]})") << kInSquare;
    QTest::newRow("negative x, logged once")
        << QByteArray(R"({"zone": [{"x": -0.1, "y": 0.5}, {"x": -0.2, "y": 0.5}]})") << kInSquare;
    QTest::newRow("zero period") << QByteArray(R"({"evaluation_period_s": 0})") << "getEvaluationPeriodS() > 0";
    QTest::newRow("negative period") << QByteArray(R"({"evaluation_period_s": -5})") << "getEvaluationPeriodS() > 0";
    QTest::newRow("period as text reads 0") << QByteArray(R"({"evaluation_period_s": "30"})") << "getEvaluationPeriodS() > 0";
    QTest::newRow("no condition on the standard deviation") << QByteArray(R"({"min_std": -3})") << QString();
    QTest::newRow("disabled is still checked") << QByteArray(R"({"enabled": false, "evaluation_period_s": 0})")
                                               << "getEvaluationPeriodS() > 0";
}

void tst_VisibilityIndicators::contrastValidity()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, failed);

    QStringList logged;
    QCOMPARE(validate(readQuiet<Contrast>(input), &logged), failed.isEmpty());
    const QStringList expected = failed.isEmpty()
        ? QStringList()
        : QStringList{condition("SourceVisibilityContrastIndicator::isValid_impl", failed),
                      notValid("SourceVisibilityContrastIndicator")};
    QCOMPARE(logged, expected);
}

void tst_VisibilityIndicators::trajectoryValidity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("failed");

    const QString lengthCondition =
        QStringLiteral("getMinLengthDefinition() == MinLengthDefType::automatic || getMinLength() > 0");
    QTest::newRow("empty object") << QByteArray("{}") << QString();
    QTest::newRow("manual without length") << QByteArray(R"({"min_length_definition": "manual"})") << lengthCondition;
    QTest::newRow("manual with length") << QByteArray(R"({"min_length_definition": "manual", "min_length": 25})") << QString();
    QTest::newRow("automatic needs no length") << QByteArray(R"({"min_length_definition": "automatic"})") << QString();
    QTest::newRow("unknown text is automatic") << QByteArray(R"({"min_length_definition": "Manual"})") << QString();
    QTest::newRow("zone before time frame")
        << QByteArray(R"({"zone": [{"x": 0.5, "y": 2}], "timeframe_s": 0})") << kInSquare;
    QTest::newRow("disabled with zero time frame")
        << QByteArray(R"({"enabled": false, "timeframe_s": 0})") << "getTimeframeS() > 0";
}

void tst_VisibilityIndicators::trajectoryValidity()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, failed);

    QStringList logged;
    QCOMPARE(validate(readQuiet<Trajectory>(input), &logged), failed.isEmpty());
    const QStringList expected = failed.isEmpty()
        ? QStringList()
        : QStringList{condition("SourceVisibilityTrajectoryIndicator::isValid_impl", failed),
                      notValid("SourceVisibilityTrajectoryIndicator")};
    QCOMPARE(logged, expected);
}

void tst_VisibilityIndicators::contrastCompare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("failed");

    QTest::newRow("standard deviations 0 and 1e-13")
        << QByteArray(R"({"min_std": 0})") << QByteArray(R"({"min_std": 1e-13})") << QStringList();
    QTest::newRow("standard deviation compared while automatic")
        << QByteArray(R"({"min_std": 1})") << QByteArray(R"({"min_std": 2})")
        << QStringList{"qFuzzyCompare(getMinStd() + 1, otherSD->getMinStd() + 1)"};
    // Indicator zones compare exactly: a difference Qt's fuzzy point equality would hide counts.
    QTest::newRow("zones differ below the fuzzy tolerance")
        << QByteArray(R"({"zone": [{"x": 0.5, "y": 0}]})") << QByteArray(R"({"zone": [{"x": 0.5000000000000001, "y": 0}]})")
        << QStringList{"getZone() == otherSD->getZone()"};
    QTest::newRow("same zone") << QByteArray(R"({"zone": [{"x": 0.5, "y": 0}]})")
                               << QByteArray(R"({"zone": [{"x": 0.5, "y": 0}]})") << QStringList();
    QTest::newRow("definition") << QByteArray(R"({"min_std_definition": "manual"})") << QByteArray("{}")
                                << QStringList{"getMinStdDefinition() == otherSD->getMinStdDefinition()"};
    QTest::newRow("period") << QByteArray(R"({"evaluation_period_s": 30.0000001})") << QByteArray("{}")
                            << QStringList{"qFuzzyCompare(getEvaluationPeriodS() + 1, otherSD->getEvaluationPeriodS() + 1)"};
}

void tst_VisibilityIndicators::contrastCompare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, failed);

    QStringList expected;
    for (const QString &text : failed)
        expected << condition("SourceVisibilityContrastIndicator::compare_logic", text);
    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<Contrast>(a), readQuiet<Contrast>(b), true, &logged).equal, failed.isEmpty());
    QCOMPARE(logged, expected);
}

void tst_VisibilityIndicators::trajectoryCompare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("failed");

    QTest::newRow("categories in another order")
        << QByteArray(R"({"categories": ["car", "bus"]})") << QByteArray(R"({"categories": ["bus", "car"]})")
        << QStringList{"getCategories() == otherSD->getCategories()"};
    QTest::newRow("categories are case-sensitive")
        << QByteArray(R"({"categories": ["Car"]})") << QByteArray(R"({"categories": ["car"]})")
        << QStringList{"getCategories() == otherSD->getCategories()"};
    QTest::newRow("every field, in order")
        << QByteArray(R"({"categories": ["a"], "zone": [{"x": 0, "y": 0}], "timeframe_s": 10,
                          "min_length_definition": "manual", "min_length": 3})")
        << QByteArray(R"({"min_length": 4})")
        << QStringList{"getCategories() == otherSD->getCategories()", "getZone() == otherSD->getZone()",
                       "qFuzzyCompare(getTimeframeS() + 1, otherSD->getTimeframeS() + 1)",
                       "getMinLengthDefinition() == otherSD->getMinLengthDefinition()",
                       "qFuzzyCompare(getMinLength() + 1, otherSD->getMinLength() + 1)"};
    QTest::newRow("both disabled") << QByteArray(R"({"enabled": false, "min_length": 1})")
                                   << QByteArray(R"({"enabled": false, "min_length": 2})") << QStringList();
}

void tst_VisibilityIndicators::trajectoryCompare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, failed);

    QStringList expected;
    for (const QString &text : failed)
        expected << condition("SourceVisibilityTrajectoryIndicator::compare_logic", text);
    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<Trajectory>(a), readQuiet<Trajectory>(b), true, &logged).equal, failed.isEmpty());
    QCOMPARE(logged, expected);
}

QTEST_GUILESS_MAIN(tst_VisibilityIndicators)
#include "tst_VisibilityIndicators.moc"
