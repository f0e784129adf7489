#include "datamodel/definitions/ConnectionParams.h"
#include "datamodel/definitions/SourceConnectionDefinition.h"
#include "datamodel/definitions/SourceQMTDefinition.h"
#include "datamodel/definitions/SourceRADARDefinition.h"
#include "support/LogCapture.h"
#include "support/RecordTestSupport.h"

#include <QJsonDocument>
#include <QtTest>

using namespace kvr::tracker::common;
using namespace recordtest;


class tst_ConnectionParams : public QObject
{
    Q_OBJECT

private slots:
    void port_data();
    void port();
    void connectionValidity_data();
    void connectionValidity();
    void connectionCompare();
    void radarIds_data();
    void radarIds();
    void definitionValidity_data();
    void definitionValidity();
    void definitionCompare_data();
    void definitionCompare();
    void sourceConnectionDefinition();
};

void tst_ConnectionParams::port_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("port");
    QTest::addColumn<QJsonValue>("written"); // undefined: not written

    QTest::newRow("absent: default, not written") << QByteArray("{}") << 5556 << QJsonValue(QJsonValue::Undefined);
    QTest::newRow("ordinary") << QByteArray(R"({"port": 8080})") << 8080 << QJsonValue(8080);
    QTest::newRow("highest") << QByteArray(R"({"port": 65535})") << 65535 << QJsonValue(65535);
    QTest::newRow("zero") << QByteArray(R"({"port": 0})") << 0 << QJsonValue(0);
    // Out of range is no port at all: never wrapped onto another port (70000 would be 4464).
    QTest::newRow("65536") << QByteArray(R"({"port": 65536})") << 0 << QJsonValue(0);
    QTest::newRow("70000") << QByteArray(R"({"port": 70000})") << 0 << QJsonValue(0);
    QTest::newRow("-1") << QByteArray(R"({"port": -1})") << 0 << QJsonValue(0);
    QTest::newRow("huge") << QByteArray(R"({"port": 1e300})") << 0 << QJsonValue(0);
    QTest::newRow("text") << QByteArray(R"({"port": "5556"})") << 0 << QJsonValue(0);
    QTest::newRow("fraction") << QByteArray(R"({"port": 80.5})") << 0 << QJsonValue(0);
    QTest::newRow("null") << QByteArray(R"({"port": null})") << 0 << QJsonValue(0);
}

void tst_ConnectionParams::port()
{
    QFETCH(QByteArray, input);
    QFETCH(int, port);
    QFETCH(QJsonValue, written);

    const auto params = readQuiet<ConnectionParams>(input);
    QCOMPARE(int(params.getPort()), port);
    QCOMPARE(params.toJsonObject().value("data").toObject().value("port"), written);
    // A stored value that is no port reads as 0 as well.
    ConnectionParams stored;
    stored.setValue(QStringLiteral("port"), 70000);
    QCOMPARE(int(stored.getPort()), 0);
}

void tst_ConnectionParams::connectionValidity_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("condition");

    QTest::newRow("empty object: defaults are valid") << QByteArray("{}") << QString();
    QTest::newRow("host name") << QByteArray(R"({"address": "node-1.local", "port": 5557})") << QString();
    QTest::newRow("empty address") << QByteArray(R"({"address": ""})") << "!getAddress().isEmpty()";
    QTest::newRow("empty address while disabled") << QByteArray(R"({"enabled": false, "address": ""})") << "!getAddress().isEmpty()";
    QTest::newRow("address not text") << QByteArray(R"({"address": 10})") << "!getAddress().isEmpty()";
    QTest::newRow("port out of range") << QByteArray(R"({"port": 65536})") << "getPort() > 0";
}

void tst_ConnectionParams::connectionValidity()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, condition);

    QStringList lines;
    QCOMPARE(validate(readQuiet<ConnectionParams>(input), &lines), condition.isEmpty());
    if (condition.isEmpty())
        QVERIFY(lines.isEmpty());
    else
        QCOMPARE(lines, (QStringList{recordtest::condition("ConnectionParams::isValid_impl", condition), notValid("ConnectionParams")}));
}

void tst_ConnectionParams::connectionCompare()
{
    const auto host = readQuiet<ConnectionParams>(R"({"address": "localhost"})");
    const auto ip = readQuiet<ConnectionParams>(R"({"address": "127.0.0.1", "port": 5557})");
    QStringList lines;
    QVERIFY(!compareLogic(host, ip, true, &lines).equal);
    QCOMPARE(lines, (QStringList{condition("ConnectionParams::compare_logic", "getAddress() == otherSD->getAddress()"),
                                 condition("ConnectionParams::compare_logic", "getPort() == otherSD->getPort()")}));
    QVERIFY(readQuiet<ConnectionParams>("{}") == readQuiet<ConnectionParams>(R"({"address": "127.0.0.1", "port": 5556})"));
}

void tst_ConnectionParams::radarIds_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<quint32>("host");
    QTest::addColumn<quint32>("radar");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("neither key") << QByteArray("{}") << 0u << 0u << QByteArray("{}");
    QTest::newRow("largest") << QByteArray(R"({"host_client_id": "4294967295", "radar_client_id": "17"})")
                             << 4294967295u << 17u << QByteArray(R"({"host_client_id": "4294967295", "radar_client_id": "17"})");
    QTest::newRow("too large") << QByteArray(R"({"host_client_id": "4294967296"})") << 0u << 0u << QByteArray(R"({"host_client_id": "0"})");
    QTest::newRow("negative") << QByteArray(R"({"host_client_id": "-1"})") << 0u << 0u << QByteArray(R"({"host_client_id": "0"})");
    QTest::newRow("letters and empty") << QByteArray(R"({"host_client_id": "abc", "radar_client_id": ""})")
                                       << 0u << 0u << QByteArray(R"({"host_client_id": "0", "radar_client_id": "0"})");
    QTest::newRow("JSON number") << QByteArray(R"({"radar_client_id": 12})") << 0u << 0u << QByteArray(R"({"radar_client_id": "0"})");
}

void tst_ConnectionParams::radarIds()
{
    QFETCH(QByteArray, input);
    QFETCH(quint32, host);
    QFETCH(quint32, radar);
    QFETCH(QByteArray, written);

    const auto definition = readQuiet<SourceRADARDefinition>(input);
    QCOMPARE(definition.getHostClientID(), host);
    QCOMPARE(definition.getRadarClientID(), radar);
    QCOMPARE(definition.toJsonObject().value("data").toObject(), json(written));
}

void tst_ConnectionParams::definitionValidity_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("conditions"); // the class's own line after the base's

    QTest::newRow("radar: any type is fine")
        << "SourceRADARDefinition" << QByteArray(R"({"source_definition_type": "Video"})") << QStringList();
    QTest::newRow("radar: disabled")
        << "SourceRADARDefinition" << QByteArray(R"({"enabled": false, "source_definition_type": "Radar"})")
        << QStringList{"SourceDefinition::isValid_impl|getEnabled()", "SourceRADARDefinition::isValid_impl|SourceDefinition::isValid_impl(skipWrn)"};
    QTest::newRow("QMT: path") << "SourceQMTDefinition" << QByteArray(R"({"source_definition_type": "QMT", "log_file_path": "a.tlg"})") << QStringList();
    QTest::newRow("QMT: no path") << "SourceQMTDefinition" << QByteArray(R"({"source_definition_type": "QMT"})")
                                  << QStringList{"SourceQMTDefinition::isValid_impl|!getLogFilePath().isEmpty()"};
    QTest::newRow("QMT: path not text") << "SourceQMTDefinition" << QByteArray(R"({"source_definition_type": "QMT", "log_file_path": 3})")
                                        << QStringList{"SourceQMTDefinition::isValid_impl|!getLogFilePath().isEmpty()"};
    QTest::newRow("QMT: unknown type")
        << "SourceQMTDefinition" << QByteArray(R"({"source_definition_type": "Other", "log_file_path": "a.tlg"})")
        << QStringList{"SourceDefinition::isValid_impl|getType() != SourceDefinitionType::Unknown",
                       "SourceQMTDefinition::isValid_impl|SourceDefinition::isValid_impl(skipWrn)"};
}

void tst_ConnectionParams::definitionValidity()
{
    QFETCH(QString, className);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, conditions);

    QStringList lines;
    const bool valid = className == QLatin1String("SourceQMTDefinition") ? validate(readQuiet<SourceQMTDefinition>(input), &lines)
                                                                          : validate(readQuiet<SourceRADARDefinition>(input), &lines);
    QCOMPARE(valid, conditions.isEmpty());
    QStringList expected;
    for (const QString &line : conditions)
        expected << condition(line.section('|', 0, 0), line.section('|', 1));
    if (!valid)
        expected << notValid(className);
    QCOMPARE(lines, expected);
}

void tst_ConnectionParams::definitionCompare_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("radar: client ids")
        << QByteArray(R"({"source_definition_type": "Radar", "host_client_id": "1", "radar_client_id": "2"})")
        << QByteArray(R"({"source_definition_type": "Radar", "host_client_id": "1", "radar_client_id": "3"})")
        << QStringList{"SourceRADARDefinition::compare_logic|getRadarClientID() == otherSD->getRadarClientID()"};
    QTest::newRow("QMT: letter case matters")
        << QByteArray(R"({"source_definition_type": "QMT", "log_file_path": "/rec/A.tlg"})")
        << QByteArray(R"({"source_definition_type": "QMT", "log_file_path": "/rec/a.tlg"})")
        << QStringList{"SourceQMTDefinition::compare_logic|getLogFilePath() == otherSD->getLogFilePath()"};
    QTest::newRow("QMT: base difference reported, then own")
        << QByteArray(R"({"source_definition_type": "QMT", "log_file_path": "x"})")
        << QByteArray(R"({"source_definition_type": "Radar", "log_file_path": "y"})")
        << QStringList{"SourceDefinition::compare_logic|getType() == otherSD->getType()",
                       "SourceQMTDefinition::compare_logic|SourceDefinition::compare_logic(other, compareParams)",
                       "SourceQMTDefinition::compare_logic|getLogFilePath() == otherSD->getLogFilePath()"};
}

void tst_ConnectionParams::definitionCompare()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, lines);

    const bool radar = a.contains("Radar");
    QStringList logged;
    const CompareResult result = radar
        ? compareLogic(readQuiet<SourceRADARDefinition>(a), readQuiet<SourceRADARDefinition>(b), true, &logged)
        : compareLogic(readQuiet<SourceQMTDefinition>(a), readQuiet<SourceQMTDefinition>(b), true, &logged);
    QVERIFY(!result.equal);
    QStringList expected;
    for (const QString &line : lines)
        expected << condition(line.section('|', 0, 0), line.section('|', 1));
    QCOMPARE(logged, expected);

    // Different classes never compare equal.
    LogCapture other;
    QVERIFY(!SourceQMTDefinition().compare(SourceRADARDefinition(), CompareParams::logic(true)).equal);
}

void tst_ConnectionParams::sourceConnectionDefinition()
{
    const QJsonObject in = json(R"({"version": 1, "data": {
        "source_definition": {"version": 2, "data": {"source_definition_type": "QMT", "log_file_path": "/rec/day.tlg"}},
        "connection_params": {"version": 1, "data": {"address": "10.0.0.5", "port": 5557}},
        "track_type": "vehicle"}})");
    LogCapture capture;
    SourceConnectionDefinition connection;
    connection.read(in);
    QVERIFY(connection.isValid());
    QVERIFY(capture.messages().empty());

    const auto definition = connection.getSourceDefinition();
    QVERIFY(dynamic_cast<SourceQMTDefinition *>(definition.get()));
    QCOMPARE(connection.getConnectionParams().getAddress(), QStringLiteral("10.0.0.5"));
    QCOMPARE(connection.getTrackType().toString(), QStringLiteral("vehicle"));
    QCOMPARE(connection.toJsonObject(), in);

    // An absent definition is a base one of type Unknown, which makes an enabled record invalid.
    SourceConnectionDefinition empty;
    QVERIFY(empty.getSourceDefinition());
    QCOMPARE(empty.getSourceDefinition()->getType(), SourceDefinition::SourceDefinitionType::Unknown);
    QVERIFY(!empty.isValid(true));
    empty.setEnabled(false);
    QVERIFY(empty.isValid(true));

    // A bad port in the connection fails after the definition.
    SourceConnectionDefinition badPort = connection;
    ConnectionParams params = badPort.getConnectionParams();
    params.setPort(0);
    badPort.setConnectionParams(params);
    capture.clear();
    QVERIFY(!badPort.isValid());
    QVERIFY(capture.contains("Condition is false: getConnectionParams().isValid(skipWrn)"));
    QVERIFY(!badPort.compare(connection, CompareParams::logic(true)).equal);
}

QTEST_GUILESS_MAIN(tst_ConnectionParams)
#include "tst_ConnectionParams.moc"
