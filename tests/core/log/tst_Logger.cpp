#include "core/log/Log.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <vector>

using namespace kvr::log;

namespace demo {
struct Widget
{
    void paint() { LOG_WRN(QStringLiteral("painted")); }
};
} // namespace demo

class tst_Logger : public QObject
{
    Q_OBJECT

private slots:
    void lineFormat_data();
    void lineFormat();
    void timeAndThread_data();
    void timeAndThread();
    void everyDayAsQDateTimeWritesIt();
    void functionNames_data();
    void functionNames();
    void levelFilter_data();
    void levelFilter();
    void filteredMessageIsNotBuilt();
    void fileNames();
    void fileOutputAndMessageLog();
    void unopenableFileIsSkipped();
    void options_data();
    void options();
    void concurrentWriters();
};

void tst_Logger::lineFormat_data()
{
    QTest::addColumn<quint32>("level");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("expected");

    // 2026-12-07 05:01:02.034 UTC
    const QString stamp = QStringLiteral("[2026-12-07 05:01:02.034: ");
    QTest::newRow("padded to column 80") << quint32(ERR) << QStringLiteral("A::b")
        << stamp + QStringLiteral("ERR - A::b] ") + QString(80 - 38, QLatin1Char(' ')) + QStringLiteral("hello (0xbeef).");
    QTest::newRow("debug level name") << quint32(DBG2) << QStringLiteral("A::b")
        << stamp + QStringLiteral("DBG2 - A::b] ") + QString(80 - 39, QLatin1Char(' ')) + QStringLiteral("hello (0xbeef).");
    const QString longName(70, QLatin1Char('f'));
    QTest::newRow("long function, no padding") << quint32(INF) << longName
        << stamp + QStringLiteral("INF - ") + longName + QStringLiteral("] hello (0xbeef).");
}

void tst_Logger::lineFormat()
{
    QFETCH(quint32, level);
    QFETCH(QString, function);
    QFETCH(QString, expected);
    const qint64 ms = QDateTime(QDate(2026, 12, 7), QTime(5, 1, 2, 34), Qt::UTC).toMSecsSinceEpoch();
    const LogMessage message(ms, level, 0xbeef, function, QStringLiteral("hello"));
    QCOMPARE(message.format(), expected);
}

void tst_Logger::timeAndThread_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<quintptr>("threadId");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QString>("thread");

    const auto utc = [](int y, int mo, int d, int h, int mi, int s, int ms) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC).toMSecsSinceEpoch();
    };
    QTest::newRow("epoch, thread 0") << qint64(0) << quintptr(0) << "1970-01-01 00:00:00.000" << "0x0";
    QTest::newRow("last ms of a century") << utc(1999, 12, 31, 23, 59, 59, 999) << quintptr(0xa) << "1999-12-31 23:59:59.999"
                                         << "0xa";
    QTest::newRow("leap day of a 400th year") << utc(2000, 2, 29, 12, 0, 0, 5) << quintptr(0x10) << "2000-02-29 12:00:00.005"
                                              << "0x10";
    QTest::newRow("no leap day in 2100") << utc(2100, 3, 1, 0, 0, 0, 0) << quintptr(0x7f00deadbeef)
                                         << "2100-03-01 00:00:00.000" << "0x7f00deadbeef";
    QTest::newRow("last four-digit year") << utc(9999, 12, 31, 23, 59, 59, 999) << ~quintptr(0)
                                          << "9999-12-31 23:59:59.999" << "0x" + QString(int(2 * sizeof(quintptr)), QLatin1Char('f'));
    QTest::newRow("before 1970, milliseconds as zeros") << qint64(-1) << quintptr(1) << "1969-12-31 23:59:59.000" << "0x1";
}

void tst_Logger::timeAndThread()
{
    QFETCH(qint64, ms);
    QFETCH(quintptr, threadId);
    QFETCH(QString, stamp);
    QFETCH(QString, thread);
    const QString line = LogMessage(ms, INF, threadId, QStringLiteral("A::b"), QStringLiteral("t")).format();
    const QString head = QLatin1Char('[') + stamp + QStringLiteral(": INF - A::b] ");
    QCOMPARE(line, head + QString(80 - head.size(), QLatin1Char(' ')) + QStringLiteral("t (") + thread + QStringLiteral(")."));
}

void tst_Logger::everyDayAsQDateTimeWritesIt()
{
    // A different time of day on each day from 1970 to 2401.
    const qint64 day = 86400000;
    for (qint64 ms = 0; ms < 157000 * day; ms += day + 3671001) {
        const QString stamp = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        const QString line = LogMessage(ms, INF, 1, QString(), QString()).format();
        if (line.mid(1, 23) != stamp)
            QFAIL(qPrintable(QStringLiteral("%1 ms: %2, not %3").arg(ms).arg(line.mid(1, 23), stamp)));
    }
}

void tst_Logger::functionNames_data()
{
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QString>("expected");
    QTest::newRow("method") << "void kvr::tracker::common::SourceData::isValid(bool) const"
                            << "kvr::tracker::common::SourceData::isValid";
    QTest::newRow("constructor") << "kvr::tracker::common::Zone::Zone()" << "kvr::tracker::common::Zone::Zone";
    QTest::newRow("pointer return") << "QObject* Foo::make(int)" << "Foo::make";
    QTest::newRow("template return") << "std::vector<int, std::allocator<int> > Foo::list()" << "Foo::list";
    QTest::newRow("anonymous namespace") << "void {anonymous}::helper()" << "{anonymous}::helper";
    QTest::newRow("free function") << "int main(int, char**)" << "main";
}

void tst_Logger::functionNames()
{
    QFETCH(QString, signature);
    QFETCH(QString, expected);
    QCOMPARE(functionName(signature.toLatin1().constData()), expected);
    LogCapture capture(WRN);
    demo::Widget().paint();
    QCOMPARE(capture.messages().at(0).function(), QStringLiteral("demo::Widget::paint"));
}

void tst_Logger::levelFilter_data()
{
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<quint32>("level");
    QTest::addColumn<bool>("passes");
    QTest::newRow("own flag") << quint32(INF) << quint32(INF) << true;
    QTest::newRow("other flag") << quint32(ERR) << quint32(WRN) << false;
    QTest::newRow("all lets debug through") << quint32(ALL) << quint32(DBG3) << true;
    QTest::newRow("without debug lets errors through") << quint32(WITHOUT_DEBUG) << quint32(ERR) << true;
    QTest::newRow("without debug lets warnings through") << quint32(WITHOUT_DEBUG) << quint32(WRN) << true;
    QTest::newRow("without debug keeps debug out") << quint32(WITHOUT_DEBUG) << quint32(DBG0) << false;
    QTest::newRow("without debug keeps info out") << quint32(WITHOUT_DEBUG) << quint32(INF) << false;
    QTest::newRow("nothing") << quint32(0) << quint32(ERR) << false;
}

void tst_Logger::levelFilter()
{
    QFETCH(quint32, flags);
    QFETCH(quint32, level);
    QFETCH(bool, passes);
    QCOMPARE(Logger::passes(flags, level), passes);
    LogCapture capture(flags);
    KVR_LOG(level, QStringLiteral("x"));
    QCOMPARE(capture.messages().size(), size_t(passes ? 1 : 0));
}

void tst_Logger::filteredMessageIsNotBuilt()
{
    LogCapture capture(ERR);
    int built = 0;
    auto build = [&built] { ++built; return QStringLiteral("costly"); };
    LOG_DBG0(build());
    QCOMPARE(built, 0);
    LOG_ERR(build());
    QCOMPARE(built, 1);
}

void tst_Logger::fileNames()
{
    const QDateTime t(QDate(2026, 1, 2), QTime(3, 4, 5, 6));
    QCOMPARE(Logger::logFileName(QString(), t), QStringLiteral("log_20260102030405006.txt"));
    QCOMPARE(Logger::logFileName(QStringLiteral("night"), t), QStringLiteral("log_night_20260102030405006.txt"));
    QCOMPARE(Logger::messageLogFileName(t), QStringLiteral("log_message_20260102030405006.txt"));
}

void tst_Logger::fileOutputAndMessageLog()
{
    QTemporaryDir dir;
    LogCapture capture(ALL);
    Logger &logger = Logger::instance();
    QVERIFY(logger.setFileOutput(true, dir.path(), QStringLiteral("unit")));
    QVERIFY(QFileInfo(logger.logFilePath()).fileName().startsWith(QStringLiteral("log_unit_")));
    logger.write(LogMessage(INF, QStringLiteral("F::g"), QStringLiteral("to main")));
    logger.write(LogMessage(INF, QStringLiteral("F::g"), QStringLiteral("to messages"), true));
    const QString mainPath = logger.logFilePath();
    const QString messagePath = logger.messageLogFilePath();
    QVERIFY(QFileInfo(messagePath).fileName().startsWith(QStringLiteral("log_message_")));
    logger.setFileOutput(false);

    QFile main(mainPath);
    QVERIFY(main.open(QIODevice::ReadOnly));
    const QByteArray mainText = main.readAll();
    QVERIFY(mainText.contains("to main"));
    QVERIFY(!mainText.contains("to messages"));
    QFile messages(messagePath);
    QVERIFY(messages.open(QIODevice::ReadOnly));
    QVERIFY(messages.readAll().contains("to messages"));
}

void tst_Logger::unopenableFileIsSkipped()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    LogCapture capture(ALL);
    // A regular file where the directory should be: the file cannot be made.
    QVERIFY(!Logger::instance().setFileOutput(true, blocker.fileName() + QStringLiteral("/sub")));
    LOG_INF(QStringLiteral("still logged"));
    QVERIFY(capture.contains(QStringLiteral("still logged")));
    QVERIFY(Logger::instance().logFilePath().isEmpty());
}

void tst_Logger::options_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<bool>("ok");
    QTest::newRow("levels") << "err=1,wrn=1,inf=0" << quint32(ERR | WRN) << true;
    QTest::newRow("spaces and words") << " all = true , dbg1=on" << quint32(ALL | DBG1) << true;
    QTest::newRow("bare key") << "dbg3" << quint32(DBG3) << true;
    QTest::newRow("unknown key skipped") << "err=1,colour=5" << quint32(ERR) << false;
    QTest::newRow("bad value skipped") << "err=maybe,wrn=1" << quint32(WRN) << false;
    QTest::newRow("empty") << "" << quint32(0) << true;
}

void tst_Logger::options()
{
    QFETCH(QString, options);
    QFETCH(quint32, flags);
    QFETCH(bool, ok);
    LogCapture capture(0);
    QString error;
    QCOMPARE(Logger::instance().applyOptions(options, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    QCOMPARE(Logger::instance().flags(), flags);
}

void tst_Logger::concurrentWriters()
{
    QTemporaryDir dir;
    LogCapture capture(ALL);
    QVERIFY(Logger::instance().setFileOutput(true, dir.path()));
    constexpr int threads = 8;
    constexpr int perThread = 500;
    std::vector<QThread *> workers;
    for (int t = 0; t < threads; ++t) {
        workers.push_back(QThread::create([t] {
            for (int i = 0; i < perThread; ++i)
                LOG_INF(QStringLiteral("writer %1 line %2 end").arg(t).arg(i));
        }));
        workers.back()->start();
    }
    for (QThread *w : workers) {
        QVERIFY(w->wait(30000));
        delete w;
    }
    const QString path = Logger::instance().logFilePath();
    Logger::instance().setFileOutput(false);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QList<QByteArray> lines = file.readAll().split('\n');
    static const QRegularExpression whole(QStringLiteral("^\\[.{23}: INF - .*\\] +writer (\\d) line (\\d+) end \\(0x[0-9a-f]+\\)\\.$"));
    QSet<QString> seen;
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        const auto m = whole.match(QString::fromUtf8(line));
        QVERIFY2(m.hasMatch(), line.constData());
        seen.insert(m.captured(1) + QLatin1Char('/') + m.captured(2));
    }
    QCOMPARE(seen.size(), threads * perThread);
    QCOMPARE(int(capture.messages().size()), threads * perThread);
}

QTEST_GUILESS_MAIN(tst_Logger)
#include "tst_Logger.moc"
