#pragma once

#include "devices/mdns/Record.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

namespace mdns {

// Records heard on the link, each until its TTL runs out (RFC 6762 5.2, 10). Before a
// record expires the cache asks its users to query it again, at 80, 85, 90 and 95 % of
// its TTL (plus up to 2 % at random). A goodbye (TTL 0) and a cache-flush answer leave
// the old records one more second, as RFC 6762 10.1 and 10.2 ask.
class Cache : public QObject
{
    Q_OBJECT

public:
    // A peer cannot make the cache grow without end: new records beyond this are dropped.
    static constexpr int MaxEntries = 10000;

    explicit Cache(QObject *parent = nullptr);

    void addRecord(const Record &record);

    // The most recently received record of that name and type (any type for ANY).
    bool lookupRecord(const QByteArray &name, quint16 type, Record &record) const;
    // All of them, oldest first, each with its remaining TTL.
    bool lookupRecords(const QByteArray &name, quint16 type, QList<Record> &records) const;
    // Whether a record with the same name, type and data is held.
    bool contains(const Record &record) const;
    // Known answers for a query: the records that still have at least half their TTL
    // (RFC 6762 7.1), each with its remaining TTL.
    QList<Record> knownAnswers(const QByteArray &name, quint16 type) const;

    int count() const { return m_count; }

    // The cache's time in milliseconds, by default a monotonic clock started with the cache.
    // Tests hand in a clock they move themselves and call processDue() after each move.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock);

signals:
    void shouldQuery(const mdns::Record &record);
    void recordExpired(const mdns::Record &record);

public slots:
    // Expires and asks for what is due at the clock's present time; the cache's timer calls it.
    void processDue();

private:
    struct Entry
    {
        Record record;
        QByteArray key;               // DnsName::key of the record's name
        quint64 sequence = 0;         // arrival order
        qint64 received = 0;          // ms on the cache's clock
        qint64 expires = 0;
        QList<qint64> queryTimes;     // still to come, ascending
    };

    // Records of one name and type form a set (RFC 6762 10.2); sets are found by hash.
    static QByteArray setKey(const QByteArray &nameKey, quint16 type);
    // Equal for records with the same data (Record::sameData), as a hash key.
    static QByteArray dataKey(const Record &record);
    static qint64 nextEvent(const Entry &entry);

    qint64 now() const { return m_customClock ? m_customClock() : m_clock.elapsed(); }
    void schedule(Entry &entry, qint64 received, quint32 ttl);
    void expireSoon(Entry &entry, qint64 now);
    void wakeAt(qint64 time);
    void restartTimer();
    Record withRemainingTtl(const Entry &entry, qint64 now) const;
    void collect(const QByteArray &name, quint16 type, const std::function<void(const Entry &)> &visit) const;

    QHash<QByteArray, QHash<QByteArray, Entry>> m_sets;
    int m_count = 0;
    quint64 m_sequence = 0;
    QElapsedTimer m_clock;
    Clock m_customClock;
    QTimer m_timer;
    qint64 m_wakeAt = -1;         // when the timer fires; -1 when it is idle
};

} // namespace mdns
