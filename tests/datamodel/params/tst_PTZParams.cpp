#include "datamodel/params/SourceDefinitionPTZParams.h"
#include "support/RecordTestSupport.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Params = SourceDefinitionPTZParams;

class tst_PTZParams : public QObject
{
    Q_OBJECT

private slots:
    void readDefaults();
    void roundTrip_data();
    void roundTrip();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
};

void tst_PTZParams::readDefaults()
{
    const Params params = readQuiet<Params>("{}");
    QVERIFY(!params.getEnabled());
    QVERIFY(params.isValid(true));
    QVERIFY(params.compare(Params()).equal);
    QCOMPARE(params.getPTZConnectionString(), QString());
    QCOMPARE(params.getHomeSet(), false);
    QCOMPARE(params.getHomePan(), 0.0f);
    QCOMPARE(params.getToleranceZoom(), float(0.001));
    QCOMPARE(written(params), json(R"({"data": {}})"));
}

void tst_PTZParams::roundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("only what was read")
        << QByteArray(R"({"enabled": true, "data": {"home_pan": 0.5}})")
        << QByteArray(R"({"enabled": true, "data": {"home_pan": 0.5}})");
    QTest::newRow("all keys, floats widened")
        << QByteArray(R"({"data": {"ptz_connection_string": "onvif://cam", "home_set": true, "home_pan": -1,
                                    "home_tilt": 0.25, "home_zoom": 1, "tolerance_pan": 0, "tolerance_tilt": 0.5,
                                    "tolerance_zoom": 0.125}})")
        << QByteArray(R"({"data": {"ptz_connection_string": "onvif://cam", "home_set": true, "home_pan": -1,
                                    "home_tilt": 0.25, "home_zoom": 1, "tolerance_pan": 0, "tolerance_tilt": 0.5,
                                    "tolerance_zoom": 0.125}})");
    QTest::newRow("wrong types store neutral values")
        << QByteArray(R"({"data": {"ptz_connection_string": 5, "home_set": "true", "home_pan": "0.5", "tolerance_pan": null}})")
        << QByteArray(R"({"data": {"ptz_connection_string": "", "home_set": false, "home_pan": 0, "tolerance_pan": 0}})");
}

void tst_PTZParams::roundTrip()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);

    const Params params = readQuiet<Params>("{\"version\": 1, " + input.mid(1));
    QCOMPARE(written(params), json(output));
}

void tst_PTZParams::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("failed");

    const QByteArray head = R"("enabled": true, "ptz_connection_string": "c", "home_set": true, )";
    QTest::newRow("disabled") << QByteArray(R"({"home_set": true, "home_pan": 9})") << QString();
    QTest::newRow("no connection string")
        << QByteArray(R"({"enabled": true, "home_set": true, "home_pan": 9})") << "!getPTZConnectionString().isEmpty()";
    QTest::newRow("home not set: nothing else checked")
        << QByteArray(R"({"enabled": true, "ptz_connection_string": "c", "home_pan": 5, "tolerance_tilt": -1})") << QString();
    QTest::newRow("pan -1 and tilt 1") << "{" + head + R"("home_pan": -1, "home_tilt": 1})" << QString();
    QTest::newRow("pan 1.0001") << "{" + head + R"("home_pan": 1.0001})" << "getHomePan() >= -1 && getHomePan() <= 1";
    QTest::newRow("tilt -1.5") << "{" + head + R"("home_tilt": -1.5})" << "getHomeTilt() >= -1 && getHomeTilt() <= 1";
    QTest::newRow("zoom 0 and tolerance 0") << "{" + head + R"("home_zoom": 0, "tolerance_pan": 0})" << QString();
    QTest::newRow("zoom 1") << "{" + head + R"("home_zoom": 1})" << QString();
    QTest::newRow("zoom -0.1") << "{" + head + R"("home_zoom": -0.1})" << "getHomeZoom() >= 0 && getHomeZoom() <= 1";
    QTest::newRow("zoom 1.5") << "{" + head + R"("home_zoom": 1.5})" << "getHomeZoom() >= 0 && getHomeZoom() <= 1";
    QTest::newRow("pan tolerance -0.001") << "{" + head + R"("tolerance_pan": -0.001})" << "getTolerancePan() >= 0";
    QTest::newRow("tilt tolerance") << "{" + head + R"("tolerance_tilt": -1})" << "getToleranceTilt() >= 0";
    QTest::newRow("zoom tolerance, first failure only")
        << "{" + head + R"("tolerance_zoom": -1, "tolerance_tilt": -1})" << "getToleranceTilt() >= 0";
}

void tst_PTZParams::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, failed);

    QStringList logged;
    QCOMPARE(validate(readQuiet<Params>(input), &logged), failed.isEmpty());
    const QStringList expected = failed.isEmpty()
        ? QStringList()
        : QStringList{condition("SourceDefinitionPTZParams::isValid_impl", failed), notValid("SourceDefinitionPTZParams")};
    QCOMPARE(logged, expected);
}

void tst_PTZParams::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("allDifferences");
    QTest::addColumn<QStringList>("failed");

    const QByteArray unset = R"("enabled": true, "ptz_connection_string": "c", )";
    const QByteArray set = R"("enabled": true, "ptz_connection_string": "c", "home_set": true, )";
    QTest::newRow("home not set: home values ignored")
        << "{" + unset + R"("home_pan": 0.1})" << "{" + unset + R"("home_pan": 0.9})" << false << QStringList();
    QTest::newRow("home set: pans differ")
        << "{" + set + R"("home_pan": 0.1})" << "{" + set + R"("home_pan": 0.9})" << false
        << QStringList{"qFuzzyCompare(getHomePan() + 2, otherSD->getHomePan() + 2)"};
    QTest::newRow("pans 0 and 0.000001 (shifted by 2)")
        << "{" + set + R"("home_pan": 0})" << "{" + set + R"("home_pan": 0.000001})" << false << QStringList();
    QTest::newRow("pans 0.1 and 0.1001")
        << "{" + set + R"("home_pan": 0.1})" << "{" + set + R"("home_pan": 0.1001})" << false
        << QStringList{"qFuzzyCompare(getHomePan() + 2, otherSD->getHomePan() + 2)"};
    QTest::newRow("connection string differs in case")
        << QByteArray(R"({"enabled": true, "ptz_connection_string": "C"})") << "{" + unset + R"("home_set": false})"
        << false << QStringList{"getPTZConnectionString() == otherSD->getPTZConnectionString()"};
    QTest::newRow("home set on one side only")
        << "{" + set + R"("home_pan": 0})" << "{" + unset + R"("home_pan": 0})" << false
        << QStringList{"getHomeSet() == otherSD->getHomeSet()"};
    QTest::newRow("all differences, tolerances shifted by 1")
        << "{" + set + R"("home_tilt": 0.5, "home_zoom": 0.5, "tolerance_pan": 0.1, "tolerance_tilt": 0.2, "tolerance_zoom": 0.3})"
        << "{" + set + R"("home_tilt": -0.5, "home_zoom": 0.25})" << true
        << QStringList{"qFuzzyCompare(getHomeTilt() + 2, otherSD->getHomeTilt() + 2)",
                       "qFuzzyCompare(getHomeZoom() + 2, otherSD->getHomeZoom() + 2)",
                       "qFuzzyCompare(getTolerancePan() + 1, otherSD->getTolerancePan() + 1)",
                       "qFuzzyCompare(getToleranceTilt() + 1, otherSD->getToleranceTilt() + 1)",
                       "qFuzzyCompare(getToleranceZoom() + 1, otherSD->getToleranceZoom() + 1)"};
    QTest::newRow("disabled with values equals a default block")
        << QByteArray(R"({"enabled": false, "ptz_connection_string": "c", "home_set": true})")
        << QByteArray("{}") << false << QStringList();
}

void tst_PTZParams::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, allDifferences);
    QFETCH(QStringList, failed);

    QStringList expected;
    for (const QString &text : failed)
        expected << condition("SourceDefinitionPTZParams::compare_logic", text);
    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<Params>(a), readQuiet<Params>(b), allDifferences, &logged).equal, failed.isEmpty());
    QCOMPARE(logged, expected);
}

QTEST_GUILESS_MAIN(tst_PTZParams)
#include "tst_PTZParams.moc"
