#include "datamodel/params/SourceDefinitionGroundPredictionParams.h"
#include "support/RecordTestSupport.h"

#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;

using Params = SourceDefinitionGroundPredictionParams;
using GroundClass = SourceDefinitionGroundPredictionClass;

class tst_GroundPredictionParams : public QObject
{
    Q_OBJECT

private slots:
    void classRead_data();
    void classRead();
    void classValidity_data();
    void classValidity();
    void classCompare_data();
    void classCompare();

    void builtInList();
    void readVersions_data();
    void readVersions();
    void setEmptyListRestoresDefaults();
    void validity_data();
    void validity();
    void compare_data();
    void compare();
};

void tst_GroundPredictionParams::classRead_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ai");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("name only") << QByteArray(R"({"class_name": "car"})") << "car" << true << QPointF(0, 0)
                               << QByteArray(R"({"class_name": "car"})");
    QTest::newRow("text and bool coordinates")
        << QByteArray(R"({"class_name": "truck trailer", "ai": false, "position": {"x": "0.5", "y": true}})")
        << "truck trailer" << false << QPointF(0.5, 1)
        << QByteArray(R"({"class_name": "truck trailer", "ai": false, "position": {"x": 0.5, "y": 1}})");
    QTest::newRow("position that is a number")
        << QByteArray(R"({"position": 3})") << QString() << true << QPointF(0, 0)
        << QByteArray(R"({"position": {"x": 0, "y": 0}})");
    QTest::newRow("wrong types store neutral values")
        << QByteArray(R"({"class_name": 7, "ai": "true", "position": {"x": null, "y": "a"}})") << QString() << false
        << QPointF(0, 0) << QByteArray(R"({"class_name": "", "ai": false, "position": {"x": 0, "y": 0}})");
}

void tst_GroundPredictionParams::classRead()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, name);
    QFETCH(bool, ai);
    QFETCH(QPointF, position);
    QFETCH(QByteArray, output);

    const GroundClass entry = readQuiet<GroundClass>(input);
    QCOMPARE(entry.getClassName(), name);
    QCOMPARE(entry.getAI(), ai);
    QCOMPARE(entry.getPosition(), position);
    SourceDataWriteOptions flat;
    flat.flat = true;
    flat.noVersion = true;
    QCOMPARE(entry.toJsonObject(flat), json(output));
}

void tst_GroundPredictionParams::classValidity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("failed");

    const QString inSquare =
        QStringLiteral("position.x() >= 0 && position.x() <= 1 && position.y() >= 0 && position.y() <= 1");
    QTest::newRow("name, (0, 0)") << QByteArray(R"({"class_name": "car"})") << QString();
    QTest::newRow("(1, 1)") << QByteArray(R"({"class_name": "car", "position": {"x": 1, "y": 1}})") << QString();
    QTest::newRow("just outside, whatever ai says")
        << QByteArray(R"({"class_name": "car", "ai": true, "position": {"x": 1.0000001, "y": 0.5}})") << inSquare;
    QTest::newRow("no name") << QByteArray(R"({"position": {"x": 5, "y": 0}})") << "!getClassName().isEmpty()";
    QTest::newRow("disabled with an empty name") << QByteArray(R"({"enabled": false})") << QString();
}

void tst_GroundPredictionParams::classValidity()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, failed);

    QStringList logged;
    QCOMPARE(validate(readQuiet<GroundClass>(input), &logged), failed.isEmpty());
    const QStringList expected = failed.isEmpty()
        ? QStringList()
        : QStringList{condition("SourceDefinitionGroundPredictionClass::isValid_impl", failed),
                      notValid("SourceDefinitionGroundPredictionClass")};
    QCOMPARE(logged, expected);
}

void tst_GroundPredictionParams::classCompare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("failed");

    QTest::newRow("ai: positions do not matter")
        << QByteArray(R"({"class_name": "car", "position": {"x": 0.1, "y": 0.1}})")
        << QByteArray(R"({"class_name": "car", "position": {"x": 0.9, "y": 0.9}})") << QStringList();
    QTest::newRow("fixed point: positions differ")
        << QByteArray(R"({"class_name": "car", "ai": false, "position": {"x": 0.1, "y": 0.1}})")
        << QByteArray(R"({"class_name": "car", "ai": false, "position": {"x": 0.9, "y": 0.1}})")
        << QStringList{"getPosition() == otherSD->getPosition()"};
    QTest::newRow("fixed point: fuzzy equality")
        << QByteArray(R"({"class_name": "car", "ai": false, "position": {"x": 0.5, "y": 0}})")
        << QByteArray(R"({"class_name": "car", "ai": false, "position": {"x": 0.5000000000000001, "y": 1e-13}})")
        << QStringList();
    QTest::newRow("names exact, then ai")
        << QByteArray(R"({"class_name": "car ", "ai": false})") << QByteArray(R"({"class_name": "car"})")
        << QStringList{"getClassName() == otherSD->getClassName()", "getAI() == otherSD->getAI()"};
}

void tst_GroundPredictionParams::classCompare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, failed);

    QStringList expected;
    for (const QString &text : failed)
        expected << condition("SourceDefinitionGroundPredictionClass::compare_logic", text);
    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<GroundClass>(a), readQuiet<GroundClass>(b), true, &logged).equal, failed.isEmpty());
    QCOMPARE(logged, expected);
}

void tst_GroundPredictionParams::builtInList()
{
    struct Entry
    {
        const char *name;
        double y;
    };
    const Entry expected[] = {
        {"unknown", 0.5},      {"car", 0.75},     {"light", 0.85},         {"heavy", 0.85},  {"bus", 0.85},
        {"motorcycle", 0.85},  {"bicycle", 0.85}, {"pedestrian", 1.0},     {"van", 0.8},     {"animal", 0.95},
        {"caravan", 0.8},      {"pram", 0.95},    {"car trailer", 0.75},   {"head", 0.5},    {"scooter", 0.95},
        {"skate", 0.75},       {"tractor", 0.8},  {"truck trailer", 0.85}, {"tuk-tuk", 0.75}, {"wheelchair", 0.95},
        {"tram", 0.85},        {"obstacle", 0.75}, {"articulated bus", 0.85},
    };
    const QList<GroundClass> defaults = Params().getGroundPredictionClasses();
    QCOMPARE(defaults.size(), 23);
    for (int i = 0; i < defaults.size(); ++i) {
        const GroundClass &entry = defaults.at(i);
        QCOMPARE(entry.getClassName(), QString::fromLatin1(expected[i].name));
        QCOMPARE(entry.getAI(), false);
        QCOMPARE(entry.getPosition().x(), 0.5);
        QCOMPARE(entry.getPosition().y(), expected[i].y);
        QCOMPARE(entry.valueMap().keys(), (QStringList{"ai", "class_name", "position"}));
    }
    QVERIFY(Params().isValid(false));
}

void tst_GroundPredictionParams::readVersions_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("names"); // empty: the built-in list
    QTest::addColumn<QByteArray>("output");

    const QStringList builtIn;
    QTest::newRow("version 2 without a list")
        << QByteArray(R"({"version": 2, "data": {}})") << true << builtIn << QByteArray(R"({"version": 2, "data": {}})");
    QTest::newRow("version 2 with a list")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"ground_prediction_classes": [
               {"version": 1, "data": {"class_name": "car", "ai": true}}, {"version": 1, "data": {"class_name": "bus"}}]}})")
        << false << QStringList{"car", "bus"}
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"ground_prediction_classes": [
               {"version": 1, "data": {"class_name": "car", "ai": true}}, {"version": 1, "data": {"class_name": "bus"}}]}})");
    QTest::newRow("version 2, empty array stores nothing")
        << QByteArray(R"({"version": 2, "data": {"ground_prediction_classes": []}})") << true << builtIn
        << QByteArray(R"({"version": 2, "data": {}})");
    QTest::newRow("version 2, non-array stores nothing")
        << QByteArray(R"({"version": 2, "data": {"ground_prediction_classes": {"class_name": "car"}}})") << true
        << builtIn << QByteArray(R"({"version": 2, "data": {}})");
    QTest::newRow("version 1 forgets enabled and list")
        << QByteArray(R"({"version": 1, "enabled": false, "data": {"ground_prediction_classes": [{"class_name": "car"}]}})")
        << true << builtIn << QByteArray(R"({"version": 2, "data": {}})");
    QTest::newRow("version 3 keeps enabled, not the list")
        << QByteArray(R"({"version": 3, "enabled": false, "data": {"ground_prediction_classes": [{"class_name": "car"}]}})")
        << false << builtIn << QByteArray(R"({"version": 2, "enabled": false, "data": {}})");
    QTest::newRow("no version: flat version 0")
        << QByteArray(R"({"enabled": false, "ground_prediction_classes": [{"class_name": "car"}]})") << true << builtIn
        << QByteArray(R"({"version": 2, "data": {}})");
}

void tst_GroundPredictionParams::readVersions()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, enabled);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, output);

    const Params params = readQuiet<Params>(input);
    QCOMPARE(params.getEnabled(), enabled);
    QStringList read;
    for (const GroundClass &entry : params.getGroundPredictionClasses())
        read << entry.getClassName();
    QStringList expected = names;
    if (expected.isEmpty()) {
        for (const GroundClass &entry : Params::defaultGroundPredictionClasses())
            expected << entry.getClassName();
    }
    QCOMPARE(read, expected);
    QCOMPARE(params.toJsonObject(), json(output));
}

void tst_GroundPredictionParams::setEmptyListRestoresDefaults()
{
    Params params;
    params.setGroundPredictionClasses({GroundClass("car", true, QPointF())});
    QCOMPARE(params.getGroundPredictionClasses().size(), 1);
    params.setGroundPredictionClasses({});
    QVERIFY(!params.contains("ground_prediction_classes"));
    QCOMPARE(params.getGroundPredictionClasses().size(), 23);
}

void tst_GroundPredictionParams::validity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    const QStringList emptyName{condition("SourceDefinitionGroundPredictionClass::isValid_impl", "!getClassName().isEmpty()"),
                                notValid("SourceDefinitionGroundPredictionClass"),
                                condition("SourceDefinitionGroundPredictionParams::isValid_impl", "ci.isValid(skipWrn)"),
                                notValid("SourceDefinitionGroundPredictionParams")};
    QTest::newRow("built-in list") << QByteArray(R"({"version": 2, "data": {}})") << QStringList();
    QTest::newRow("empty name")
        << QByteArray(R"({"version": 2, "data": {"ground_prediction_classes": [{"version": 1, "data": {"class_name": ""}}]}})")
        << emptyName;
    QTest::newRow("element that is no object")
        << QByteArray(R"({"version": 2, "data": {"ground_prediction_classes": ["car"]}})") << emptyName;
    QTest::newRow("invalid even when the block is disabled")
        << QByteArray(R"({"version": 2, "enabled": false, "data": {"ground_prediction_classes": [{"version": 1, "data": {}}]}})")
        << emptyName;
}

void tst_GroundPredictionParams::validity()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);

    QStringList logged;
    QCOMPARE(validate(readQuiet<Params>(input), &logged), lines.isEmpty());
    QCOMPARE(logged, lines);
}

void tst_GroundPredictionParams::compare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("lines");

    const QString f = QStringLiteral("SourceDefinitionGroundPredictionParams::compare_logic");
    const QByteArray carBus = R"({"version": 2, "data": {"ground_prediction_classes": [
        {"version": 1, "data": {"class_name": "car"}}, {"version": 1, "data": {"class_name": "bus"}}]}})";
    const QByteArray busCar = R"({"version": 2, "data": {"ground_prediction_classes": [
        {"version": 1, "data": {"class_name": "bus"}}, {"version": 1, "data": {"class_name": "car"}}]}})";
    QTest::newRow("order matters")
        << carBus << busCar
        << QStringList{condition("SourceDefinitionGroundPredictionClass::compare_logic",
                                 "getClassName() == otherSD->getClassName()"),
                       condition(f, "aC[i].compare(bC[i], compareParams)")};
    QTest::newRow("stored list against the built-in one")
        << carBus << QByteArray(R"({"version": 2, "data": {}})") << QStringList{condition(f, "aC.size() == bC.size()")};
    QTest::newRow("two blocks without lists") << QByteArray(R"({"version": 2, "data": {}})")
                                              << QByteArray(R"({"version": 2, "data": {}})") << QStringList();
}

void tst_GroundPredictionParams::compare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, lines);

    QStringList logged;
    QCOMPARE(compareLogic(readQuiet<Params>(a), readQuiet<Params>(b), false, &logged).equal, lines.isEmpty());
    QCOMPARE(logged, lines);

    // A stored copy of the built-in list equals no list at all.
    Params stored;
    stored.setGroundPredictionClasses(Params::defaultGroundPredictionClasses());
    QVERIFY(stored.contains("ground_prediction_classes"));
    QVERIFY(stored.compare(Params()).equal);
}

QTEST_GUILESS_MAIN(tst_GroundPredictionParams)
#include "tst_GroundPredictionParams.moc"
