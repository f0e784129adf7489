#include "datamodel/definitions/DefinitionTestSupport.h"
#include "observation/status/BlockStatusInfo.h"
#include "observation/status/TimeDateStatus.h"
#include "observation/status/TimeZoneConfig.h"
#include "support/LogCapture.h"
#include "support/RecordTestSupport.h"
#include "support/SignalRecorder.h"

#include <QJsonDocument>
#include <QtTest>

#include <limits>

using kvr::BlockStatusInfo;
using kvr::TimeDateStatus;

using recordtest::json;

namespace {

const QByteArray kBaseStatus = R"({"current_block_time": "100", "online_since": "50", "uptime": "20",
    "time_status": {"ntp_enabled": true, "ntp_servers": ["a", "b"], "ntp_synced": true, "valid": true}})";

} // namespace

class tst_BlockStatusRecords : public QObject
{
    Q_OBJECT

private slots:
    void blockStatus_data();
    void blockStatus();
    void timeDateStatusCopies();
    void zoneFromJson_data();
    void zoneFromJson();
    void displayText_data();
    void displayText();
    void selectionByTextAndPosition_data();
    void selectionByTextAndPosition();
    void anyValueAnywhere_data();
    void anyValueAnywhere();
};

void tst_BlockStatusRecords::blockStatus_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("emissions");
    QTest::addColumn<qulonglong>("currentBlockTime");

    // Every row starts from kBaseStatus.
    QTest::newRow("same reply: nothing") << kBaseStatus << QStringList() << qulonglong(100);
    QTest::newRow("without time_status the NTP state stays")
        << QByteArray(R"({"current_block_time": "101", "online_since": "50", "uptime": "21"})")
        << textList({"currentBlockTimeChanged(101)", "uptimeChanged(21)"}) << qulonglong(101);
    QTest::newRow("a number where digits belong reads 0")
        << QByteArray(R"({"current_block_time": 100, "online_since": "50", "uptime": "20"})")
        << textList({"currentBlockTimeChanged(0)"}) << qulonglong(0);
    QTest::newRow("texts that are no decimal numbers read 0")
        << QByteArray(R"({"current_block_time": "0x10", "online_since": "-5", "uptime": "12abc"})")
        << textList({"currentBlockTimeChanged(0)", "onlineSinceChanged(0)", "uptimeChanged(0)"}) << qulonglong(0);
    QTest::newRow("the whole unsigned range")
        << QByteArray(R"({"current_block_time": "18446744073709551615", "online_since": "50", "uptime": "20"})")
        << textList({"currentBlockTimeChanged(18446744073709551615)"}) << std::numeric_limits<qulonglong>::max();
    QTest::newRow("equal time_status: nothing")
        << QByteArray(R"({"current_block_time": "100", "online_since": "50", "uptime": "20",
                          "time_status": {"valid": true, "ntp_synced": true, "ntp_servers": ["a", "b"], "ntp_enabled": true}})")
        << QStringList() << qulonglong(100);
    QTest::newRow("only valid differs")
        << QByteArray(R"({"current_block_time": "100", "online_since": "50", "uptime": "20",
                          "time_status": {"ntp_enabled": true, "ntp_servers": ["a", "b"], "ntp_synced": true, "valid": false}})")
        << textList({"validChanged(false)", "timeDateStatusChanged(kvr::TimeDateStatus)"}) << qulonglong(100);
    QTest::newRow("server order counts, non-texts are empty")
        << QByteArray(R"({"current_block_time": "100", "online_since": "50", "uptime": "20",
                          "time_status": {"ntp_enabled": true, "ntp_servers": ["b", 5, "a"], "ntp_synced": true, "valid": true}})")
        << textList({"serversChanged([b,,a])", "timeDateStatusChanged(kvr::TimeDateStatus)"}) << qulonglong(100);
    QTest::newRow("time_status not an object resets it")
        << QByteArray(R"({"current_block_time": "100", "online_since": "50", "uptime": "20", "time_status": "ok"})")
        << textList({"ntpActiveChanged(false)", "serversChanged([])", "ntpSynchronizedChanged(false)",
                       "validChanged(false)", "timeDateStatusChanged(kvr::TimeDateStatus)"})
        << qulonglong(100);
}

void tst_BlockStatusRecords::blockStatus()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, emissions);
    QFETCH(qulonglong, currentBlockTime);

    BlockStatusInfo status;
    status.read(json(kBaseStatus));
    QCOMPARE(status.timeDateStatus()->servers(), textList({"a", "b"}));
    SignalRecorder recorder;
    recorder.watch(&status);
    recorder.watch(status.timeDateStatus());
    QSignalSpy changed(&status, &BlockStatusInfo::timeDateStatusChanged);

    status.read(json(input));
    QCOMPARE(recorder.emissions(), emissions);
    QCOMPARE(status.currentBlockTime(), currentBlockTime);
    QCOMPARE(status.property("currentBlockTime").toULongLong(), currentBlockTime);
    if (!changed.isEmpty()) // the value handed out is the new state
        QVERIFY(changed.last().first().value<TimeDateStatus>() == *status.timeDateStatus());
}

void tst_BlockStatusRecords::timeDateStatusCopies()
{
    QObject owner;
    TimeDateStatus original(&owner);
    original.read(json(R"({"ntp_enabled": true, "ntp_servers": ["pool"], "valid": true})"));
    const TimeDateStatus copy(original);
    QVERIFY(!copy.parent());
    QVERIFY(copy == original);

    TimeDateStatus target;
    target.read(json(R"({"ntp_enabled": true, "ntp_synced": true})"));
    SignalRecorder recorder;
    recorder.watch(&target);
    target = original;
    QCOMPARE(recorder.emissions(), (textList({"serversChanged([pool])", "ntpSynchronizedChanged(false)", "validChanged(true)"})));
    QVERIFY(target == original);
}

void tst_BlockStatusRecords::zoneFromJson_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("zoneId");
    QTest::addColumn<int>("changes");
    QTest::addColumn<QStringList>("warnings");

    // Every row starts from Europe/Vienna.
    QTest::newRow("no key: nothing") << QByteArray(R"({"other": 1})") << QByteArray("Europe/Vienna") << 0 << QStringList();
    QTest::newRow("same zone: no signal") << QByteArray(R"({"time_zone": "Europe/Vienna"})")
                                          << QByteArray("Europe/Vienna") << 0 << QStringList();
    QTest::newRow("known zone") << QByteArray(R"({"time_zone": "America/New_York"})") << QByteArray("America/New_York")
                                << 1 << QStringList();
    QTest::newRow("unknown zone selects UTC") << QByteArray(R"({"time_zone": "Mars/Olympus"})") << QByteArray("UTC")
                                              << 1 << textList({"Unknown QTimeZone ID: Mars/Olympus"});
    QTest::newRow("not a text selects UTC") << QByteArray(R"({"time_zone": 3600})") << QByteArray("UTC") << 1
                                            << textList({"Unknown QTimeZone ID: "});
}

void tst_BlockStatusRecords::zoneFromJson()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, zoneId);
    QFETCH(int, changes);
    QFETCH(QStringList, warnings);

    TimeZoneConfig config;
    QCOMPARE(config.selectedTimeZone(), QTimeZone::utc());
    config.setSelectedTimezone(QTimeZone("Europe/Vienna"));
    QSignalSpy changed(&config, &TimeZoneConfig::selectedTimezoneChanged);
    LogCapture capture;
    config.read(json(input));
    QCOMPARE(config.selectedTimeZone().id(), zoneId);
    QCOMPARE(changed.count(), changes);
    QCOMPARE(capture.texts(kvr::log::WRN), warnings);
    if (!warnings.isEmpty())
        QCOMPARE(capture.messages().front().function(), QStringLiteral("TimeZoneConfig::read"));
}

void tst_BlockStatusRecords::displayText_data()
{
    QTest::addColumn<QByteArray>("zoneId");

    for (const char *id : {"UTC", "Etc/GMT+5", "Europe/London", "Europe/Vienna", "America/New_York", "Asia/Kolkata"})
        QTest::newRow(id) << QByteArray(id);
}

// The rule is checked against the names QTimeZone itself gives on this platform.
void tst_BlockStatusRecords::displayText()
{
    QFETCH(QByteArray, zoneId);

    const QTimeZone zone(zoneId);
    QVERIFY(zone.isValid());
    for (const QDateTime &at : {QDateTime(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC),
                                QDateTime(QDate(2026, 7, 15), QTime(12, 0), Qt::UTC)}) {
        const QString shortName = zone.displayName(at, QTimeZone::ShortName);
        const QString longName = zone.displayName(at, QTimeZone::LongName);
        const QString offsetName = zone.displayName(at, QTimeZone::OffsetName);
        const QString text = TimeZoneConfig::timeZoneText(zone, at);
        const QString prefix = QString::fromLatin1(zoneId) + QStringLiteral(" - ") + longName + QStringLiteral(" (")
            + offsetName + QLatin1Char(')');
        if (shortName.left(3) == QLatin1String("GMT"))
            QCOMPARE(text, prefix);
        else if (shortName.left(3) == QLatin1String("UTC"))
            QCOMPARE(text, longName);
        else
            QCOMPARE(text, prefix + QStringLiteral(" (") + shortName + QLatin1Char(')'));
    }
}

void tst_BlockStatusRecords::selectionByTextAndPosition_data()
{
    QTest::addColumn<QString>("text");      // empty: select by position
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("zoneId"); // afterwards
    QTest::addColumn<QStringList>("warnings");

    const TimeZoneConfig config;
    const int vienna = QTimeZone::availableTimeZoneIds().indexOf("Europe/Vienna");
    QVERIFY(vienna >= 0);
    QTest::newRow("text of the list") << config.timezones().at(vienna) << -1 << QByteArray("Europe/Vienna") << QStringList();
    QTest::newRow("text not in the list")
        << QStringLiteral("Mars/Olympus - Olympus Time") << -1 << QByteArray("UTC")
        << textList({"TimeZoneConfig doesn't contain the option \"Mars/Olympus - Olympus Time\""});
    QTest::newRow("position in the list") << QString() << vienna << QByteArray("Europe/Vienna") << QStringList();
    QTest::newRow("position past the list")
        << QString() << config.timezones().size() << QByteArray("UTC")
        << QStringList{QStringLiteral("TimeZoneConfig doesn't contain the position %1").arg(config.timezones().size())};
}

void tst_BlockStatusRecords::selectionByTextAndPosition()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QByteArray, zoneId);
    QFETCH(QStringList, warnings);

    TimeZoneConfig config;
    QSignalSpy changed(&config, &TimeZoneConfig::selectedTimezoneChanged);
    LogCapture capture;
    if (text.isEmpty())
        QVERIFY(config.setProperty("selectedTimezoneIdx", position));
    else
        QVERIFY(config.setProperty("selectedTimezone", text));
    QCOMPARE(config.selectedTimeZone().id(), zoneId);
    QCOMPARE(changed.count(), zoneId == "UTC" ? 0 : 1);
    QCOMPARE(capture.texts(kvr::log::WRN), warnings);
    QCOMPARE(config.selectedTimezoneIdx(), QTimeZone::availableTimeZoneIds().indexOf(zoneId));
    QCOMPARE(config.property("selectedTimezone").toString(),
             TimeZoneConfig::timeZoneText(QTimeZone(zoneId), QDateTime::currentDateTimeUtc()));
}

void tst_BlockStatusRecords::anyValueAnywhere_data()
{
    definitiontest::addAnyValueRows();
}

// A block's status reply is a peer's data: any value anywhere is taken.
void tst_BlockStatusRecords::anyValueAnywhere()
{
    QFETCH(QJsonValue, replacement);

    QJsonObject original = json(kBaseStatus);
    original.insert(QStringLiteral("time_zone"), QStringLiteral("Europe/Vienna"));
    LogCapture quiet(0);
    for (const QString &path : definitiontest::allPaths(original)) {
        const QJsonObject broken = definitiontest::patched(original, path, replacement);
        BlockStatusInfo status;
        status.read(original);
        status.read(broken);
        TimeZoneConfig config;
        config.read(broken);
        QVERIFY2(config.selectedTimezoneIdx() >= 0, qPrintable(path));
    }
}

QTEST_GUILESS_MAIN(tst_BlockStatusRecords)
#include "tst_BlockStatusRecords.moc"
