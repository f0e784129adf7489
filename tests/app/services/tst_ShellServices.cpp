#include "app/services/LauncherConfig.h"
#include "app/services/OrvaGlobal.h"
#include "app/services/StringUtils.h"
#include "app/services/TimeConverter.h"
#include "support/LogCapture.h"

#include <QtTest>

using utils::gui::TimeConverter;
using namespace kvr::log;

class tst_ShellServices : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TimeConverter::resetClock(); }

    void splitAddress_data();
    void splitAddress();
    void versionAtLeast_data();
    void versionAtLeast();
    void lastVersionPart_data();
    void lastVersionPart();
    void keyCase_data();
    void keyCase();
    void durations_data();
    void durations();
    void timeWindow_data();
    void timeWindow();
    void timeSettingsCompare();
    void states_data();
    void states();
};

void tst_ShellServices::splitAddress_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("split");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QList<int>>("ports");
    QTest::newRow("no colon") << "10.0.0.1" << false << "10.0.0.1" << QList<int>{-1, -1, -1};
    QTest::newRow("one port") << "host:8088" << true << "host" << QList<int>{8088, -1, -1};
    QTest::newRow("three ports") << "h:1:2:3" << true << "h" << QList<int>{1, 2, 3};
    QTest::newRow("not a number") << "h:abc:7" << true << "h" << QList<int>{0, 7, -1};
    QTest::newRow("empty port") << "h:" << true << "h" << QList<int>{0, -1, -1};
    QTest::newRow("extra parts ignored") << "h:1:2:3:4" << true << "h" << QList<int>{1, 2, 3};
}

void tst_ShellServices::splitAddress()
{
    QFETCH(QString, input);
    QFETCH(bool, split);
    QFETCH(QString, address);
    QFETCH(QList<int>, ports);
    int p[3] = {-1, -1, -1};
    QCOMPARE(splitAddressPorts(input, &p[0], &p[1], &p[2]), split);
    QCOMPARE(input, address);
    QCOMPARE((QList<int>{p[0], p[1], p[2]}), ports);
}

void tst_ShellServices::versionAtLeast_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<bool>("atLeast");
    QTest::newRow("empty") << "" << "1.17" << false;
    QTest::newRow("equal") << "1.17" << "1.17" << true;
    QTest::newRow("patch ignored") << "1.17.0" << "1.17.9" << true;
    QTest::newRow("older minor") << "1.16.9" << "1.17" << false;
    QTest::newRow("newer major") << "2.0" << "1.17" << true;
    QTest::newRow("numeric, not text") << "1.9" << "1.17" << false;
    QTest::newRow("major only") << "2" << "1.17" << true;
}

void tst_ShellServices::versionAtLeast()
{
    QFETCH(QString, version);
    QFETCH(QString, minimum);
    QFETCH(bool, atLeast);
    QCOMPARE(LauncherConfig::isVersionAtLeast(version, minimum), atLeast);
}

void tst_ShellServices::lastVersionPart_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three parts") << "1.19.11" << "1.19";
    QTest::newRow("two parts") << "1.19" << "1";
    QTest::newRow("no dot") << "119" << "";
}

void tst_ShellServices::lastVersionPart()
{
    QFETCH(QString, version);
    QFETCH(QString, expected);
    QCOMPARE(removeLastVersionPart(version), expected);
}

void tst_ShellServices::keyCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("expected");
    QTest::newRow("snake from words") << "Version check period" << 0 << "version_check_period";
    QTest::newRow("snake, extra blanks") << "  map   zoom level " << 0 << "map_zoom_level";
    QTest::newRow("snake with digits") << "dbg 2 level" << 0 << "dbg2_level";
    QTest::newRow("camel") << "version check period" << 1 << "VersionCheckPeriod";
    QTest::newRow("camel lowers the rest") << "HTTP server" << 1 << "HttpServer";
    QTest::newRow("other style unchanged") << "Keep Me" << 7 << "Keep Me";
    QTest::newRow("empty") << "" << 0 << "";
}

void tst_ShellServices::keyCase()
{
    QFETCH(QString, text);
    QFETCH(int, style);
    QFETCH(QString, expected);
    QCOMPARE(convertKeyCase(text, style), expected);
}

void tst_ShellServices::durations_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<bool>("zeros");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << qint64(0) << false << "0d0h0m0s";
    QTest::newRow("mixed") << qint64(((2 * 24 + 3) * 3600 + 4 * 60 + 5) * 1000LL + 999) << false << "2d3h4m5s";
    QTest::newRow("padded") << qint64((3600 + 60 + 1) * 1000LL) << true << "0d01h01m01s";
    QTest::newRow("negative clamps") << qint64(-5000) << false << "0d0h0m0s";
}

void tst_ShellServices::durations()
{
    QFETCH(qint64, ms);
    QFETCH(bool, zeros);
    QFETCH(QString, expected);
    QCOMPARE(TimeConverter::millisecondsToDHMS(ms, zeros), expected);
}

void tst_ShellServices::timeWindow_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<bool>("offset");
    QTest::addColumn<QStringList>("expected");
    // The clock stands at 2026-03-15 10:20:30.
    QTest::newRow("default window") << QStringList{"-", "00:00:00", "+1d", "00:00:00"} << true
                                    << QStringList{"2026-03-15", "00:00:00", "2026-03-16", "00:00:00"};
    QTest::newRow("months from start") << QStringList{"2026-01-31", "08:00:00", "+1m", "18:00:00"} << true
                                       << QStringList{"2026-01-31", "08:00:00", "2026-02-28", "18:00:00"};
    QTest::newRow("years") << QStringList{"2024-02-29", "x", " +2y ", "bad"} << true
                           << QStringList{"2024-02-29", "10:20:30", "2026-02-28", "10:20:30"};
    QTest::newRow("offset off") << QStringList{"2026-01-01", "00:00:00", "+1d", "00:00:00"} << false
                                << QStringList{"2026-01-01", "00:00:00", "2026-03-15", "00:00:00"};
    QTest::newRow("explicit dates kept") << QStringList{" 2026-01-01 ", "12:00:00", "2027-01-01", "12:00:00"} << true
                                         << QStringList{"2026-01-01", "12:00:00", "2027-01-01", "12:00:00"};
    QTest::newRow("impossible date") << QStringList{"2026-02-30", "25:00:00", "x", "00:00:00"} << true
                                     << QStringList{"2026-03-15", "10:20:30", "2026-03-15", "00:00:00"};
}

void tst_ShellServices::timeWindow()
{
    QFETCH(QStringList, input);
    QFETCH(bool, offset);
    QFETCH(QStringList, expected);
    TimeConverter::setClock([] { return QDateTime(QDate(2026, 3, 15), QTime(10, 20, 30)); });
    QString a = input[0], b = input[1], c = input[2], d = input[3];
    TimeConverter::processTimeFormat(a, b, c, d, offset);
    QCOMPARE((QStringList{a, b, c, d}), expected);
}

void tst_ShellServices::timeSettingsCompare()
{
    using W = TimeConverter::TimeSettings;
    const W standard;
    QCOMPARE(standard.days, QStringLiteral("0000011"));
    W other;
    other.days = QStringLiteral("1111111");
    QVERIFY(TimeConverter::compareTimeSettings({}, {}));
    QVERIFY(TimeConverter::compareTimeSettings({standard, other}, {standard, other}));
    QVERIFY(!TimeConverter::compareTimeSettings({standard, other}, {other, standard}));
    QVERIFY(!TimeConverter::compareTimeSettings({standard}, {standard, standard}));
}

void tst_ShellServices::states_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("processing");
    QTest::addColumn<int>("visibility");
    QTest::newRow("exact") << "Idle" << 0 << -1;
    QTest::newRow("case and blanks") << " processing " << 1 << -1;
    QTest::newRow("visibility") << "POOR" << -1 << 1;
    QTest::newRow("unknown text") << "Running" << -1 << -1;
    QTest::newRow("empty") << "" << -1 << -1;
}

void tst_ShellServices::states()
{
    QFETCH(QString, text);
    QFETCH(int, processing);
    QFETCH(int, visibility);
    QCOMPARE(int(kvr::orva::processingStateFromString(text)), processing);
    QCOMPARE(int(kvr::orva::visibilityStateFromString(text)), visibility);
}

QTEST_GUILESS_MAIN(tst_ShellServices)
#include "tst_ShellServices.moc"
