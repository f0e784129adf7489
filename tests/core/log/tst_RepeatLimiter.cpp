#include "core/log/RepeatLimiter.h"
#include "support/LogCapture.h"

#include <QtTest>

#include <algorithm>

using namespace kvr::log;

namespace {
struct Event
{
    qint64 ms = 0;
    quint32 level = WRN;
    QString text;
    qint64 times = 1;
};
} // namespace
Q_DECLARE_METATYPE(Event)

class tst_RepeatLimiter : public QObject
{
    Q_OBJECT

private slots:
    void limits_data();
    void limits();
};

void tst_RepeatLimiter::limits_data()
{
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<QVector<Event>>("events");
    QTest::addColumn<QStringList>("written");  // "LEVEL text" while the limiter lives
    QTest::addColumn<QStringList>("destroyed"); // and when it goes, in any order

    const QString a = QStringLiteral("a");
    const QString b = QStringLiteral("b");
    const quint32 errWrn = ERR | WRN;
    QTest::newRow("first message at once") << errWrn << QVector<Event>{{0, WRN, a}}
        << QStringList{QStringLiteral("WRN a")} << QStringList();
    const QString percent = QStringLiteral("100% of %1");
    QTest::newRow("repeats counted, written on destruction") << errWrn
        << QVector<Event>{{0, WRN, percent}, {1000, WRN, percent}, {2400, WRN, percent}}
        << QStringList{QStringLiteral("WRN 100% of %1")}
        << QStringList{QStringLiteral("WRN 100% of %1 (repeated 2 times in 2 s)")};
    QTest::newRow("repeat at the window's end writes the count") << errWrn
        << QVector<Event>{{0, WRN, a}, {4000, WRN, a}, {9999, WRN, a}, {10000, WRN, a}, {12000, WRN, a}}
        << QStringList{QStringLiteral("WRN a"), QStringLiteral("WRN a (repeated 3 times in 10 s)")}
        << QStringList{QStringLiteral("WRN a (repeated 1 time in 2 s)")};
    QVector<Event> stream;
    for (qint64 ms = 0; ms <= 25000; ms += 100)
        stream.append({ms, ERR, a});
    QTest::newRow("steady stream, one count a window") << errWrn << stream
        << QStringList{QStringLiteral("ERR a"), QStringLiteral("ERR a (repeated 100 times in 10 s)"),
                       QStringLiteral("ERR a (repeated 100 times in 10 s)")}
        << QStringList{QStringLiteral("ERR a (repeated 50 times in 5 s)")};
    QTest::newRow("many at once count as many") << errWrn
        << QVector<Event>{{0, WRN, a, 5}, {1000, WRN, a, 3}, {10000, WRN, a, 2}, {30000, WRN, a, 4}}
        << QStringList{QStringLiteral("WRN a"), QStringLiteral("WRN a (repeated 9 times in 10 s)"), QStringLiteral("WRN a")}
        << QStringList{QStringLiteral("WRN a (repeated 3 times in 1 s)")};
    QTest::newRow("back after a quiet window is news") << errWrn
        << QVector<Event>{{0, WRN, a}, {10000, WRN, a}}
        << QStringList{QStringLiteral("WRN a"), QStringLiteral("WRN a")} << QStringList();
    QTest::newRow("texts and levels apart") << quint32(ALL)
        << QVector<Event>{{0, WRN, a}, {0, WRN, b}, {0, DBG0, a}, {1, WRN, a}, {2, DBG0, a}}
        << QStringList{QStringLiteral("WRN a"), QStringLiteral("WRN b"), QStringLiteral("DBG0 a")}
        << QStringList{QStringLiteral("WRN a (repeated 1 time in 1 s)"), QStringLiteral("DBG0 a (repeated 1 time in 1 s)")};
    QTest::newRow("quiet kind counted at another's message") << errWrn
        << QVector<Event>{{0, WRN, a}, {1, WRN, a}, {10000, WRN, b}}
        << QStringList{QStringLiteral("WRN a"), QStringLiteral("WRN b"), QStringLiteral("WRN a (repeated 1 time in 10 s)")}
        << QStringList();
    QTest::newRow("filtered level neither written nor counted") << errWrn
        << QVector<Event>{{0, WRN, a}, {1, DBG0, b}, {2, DBG0, b}, {3, WRN, a}}
        << QStringList{QStringLiteral("WRN a")} << QStringList{QStringLiteral("WRN a (repeated 1 time in 1 s)")};
}

void tst_RepeatLimiter::limits()
{
    QFETCH(quint32, flags);
    QFETCH(QVector<Event>, events);
    QFETCH(QStringList, written);
    QFETCH(QStringList, destroyed);

    LogCapture capture(flags);
    const auto observed = [&capture] {
        QStringList lines;
        for (const LogMessage &message : capture.messages())
            lines << QLatin1String(levelName(message.level())) + QLatin1Char(' ') + message.text();
        return lines;
    };
    qint64 now = 0;
    {
        RepeatLimiter limiter([&now] { return now; });
        for (const Event &event : events) {
            now = event.ms;
            KVR_LOG_LIMITED_TIMES(limiter, event.level, event.text, event.times);
        }
        QCOMPARE(observed(), written);
    }
    QStringList tail = observed().mid(written.size());
    std::sort(tail.begin(), tail.end());
    std::sort(destroyed.begin(), destroyed.end());
    QCOMPARE(tail, destroyed);
    // Every line carries the call site's function, as LOG_WRN there would.
    for (const LogMessage &message : capture.messages())
        QCOMPARE(message.function(), QStringLiteral("tst_RepeatLimiter::limits"));
}

QTEST_GUILESS_MAIN(tst_RepeatLimiter)
#include "tst_RepeatLimiter.moc"
