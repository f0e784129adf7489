#pragma once

#include "devices/mdns/Record.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

namespace mdns {

// Records heard on the link, each until its TTL runs out (RFC 6762 5.2, 10). Before a
// record expires the cache asks its users to query it again, at 80, 85, 90 and 95 % of
// its TTL (plus up to 2 % at random). A goodbye (TTL 0) and a cache-flush answer leave
// the old records one more second, as RFC 6762 10.1 and 10.2 ask.
class Cache : public QObject
{
    Q_OBJECT

public:
    explicit Cache(QObject *parent = nullptr);

    void addRecord(const Record &record);

    // The most recently received record of that name and type (any type for ANY).
    bool lookupRecord(const QByteArray &name, quint16 type, Record &record) const;
    // All of them, oldest first, each with its remaining TTL.
    bool lookupRecords(const QByteArray &name, quint16 type, QList<Record> &records) const;
    // Known answers for a query: the records that still have at least half their TTL
    // (RFC 6762 7.1), each with its remaining TTL.
    QList<Record> knownAnswers(const QByteArray &name, quint16 type) const;

    int count() const { return m_entries.size(); }

signals:
    void shouldQuery(const mdns::Record &record);
    void recordExpired(const mdns::Record &record);

private slots:
    void onTimeout();

private:
    struct Entry
    {
        Record record;
        qint64 received = 0;          // ms on the cache's clock
        qint64 expires = 0;
        QList<qint64> queryTimes;     // still to come, ascending
    };

    qint64 now() const { return m_clock.elapsed(); }
    void schedule(Entry &entry, qint64 received, quint32 ttl);
    void expireSoon(Entry &entry, qint64 now);
    void restartTimer();
    Record withRemainingTtl(const Entry &entry, qint64 now) const;

    QList<Entry> m_entries;
    QElapsedTimer m_clock;
    QTimer m_timer;
};

} // namespace mdns
