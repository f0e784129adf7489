#include "devices/mdns/Cache.h"

#include "devices/mdns/DnsName.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace mdns {

namespace {
constexpr qint64 GraceMs = 1000;
constexpr int QueryPercents[] = {80, 85, 90, 95};
} // namespace

Cache::Cache(QObject *parent)
    : QObject(parent)
    , m_timer(this)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Cache::onTimeout);
}

void Cache::schedule(Entry &entry, qint64 received, quint32 ttl)
{
    const qint64 ttlMs = qint64(ttl) * 1000;
    entry.received = received;
    entry.expires = received + ttlMs;
    entry.queryTimes.clear();
    for (const int percent : QueryPercents) {
        const int jitter = QRandomGenerator::global()->bounded(20);   // tenths of a percent
        entry.queryTimes.append(received + ttlMs * (percent * 10 + jitter) / 1000);
    }
}

void Cache::expireSoon(Entry &entry, qint64 now)
{
    entry.expires = qMin(entry.expires, now + GraceMs);
    entry.queryTimes.clear();
}

void Cache::addRecord(const Record &record)
{
    const qint64 t = now();
    if (record.flushCache() && record.ttl() > 0) {
        // Older members of the same set go after one second; ones from the last second
        // belong to the same announcement and stay.
        for (Entry &entry : m_entries) {
            if (entry.record.type() == record.type() && DnsName::equal(entry.record.name(), record.name())
                && !entry.record.sameData(record) && entry.received < t - GraceMs) {
                expireSoon(entry, t);
            }
        }
    }
    auto existing = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&record](const Entry &entry) { return entry.record.sameData(record); });
    if (record.ttl() == 0) {
        if (existing != m_entries.end())
            expireSoon(*existing, t);
    } else if (existing != m_entries.end()) {
        // The newest answer is the one looked up: keep arrival order.
        Entry entry = *existing;
        m_entries.erase(existing);
        entry.record = record;
        schedule(entry, t, record.ttl());
        m_entries.append(entry);
    } else {
        Entry entry;
        entry.record = record;
        schedule(entry, t, record.ttl());
        m_entries.append(entry);
    }
    restartTimer();
}

Record Cache::withRemainingTtl(const Entry &entry, qint64 now) const
{
    Record record = entry.record;
    record.setTtl(quint32(qMax<qint64>(0, (entry.expires - now + 999) / 1000)));
    return record;
}

bool Cache::lookupRecord(const QByteArray &name, quint16 type, Record &record) const
{
    QList<Record> records;
    if (!lookupRecords(name, type, records))
        return false;
    record = records.last();
    return true;
}

bool Cache::lookupRecords(const QByteArray &name, quint16 type, QList<Record> &records) const
{
    records.clear();
    const qint64 t = now();
    for (const Entry &entry : m_entries) {
        if ((type == ANY || entry.record.type() == type) && DnsName::equal(entry.record.name(), name))
            records.append(withRemainingTtl(entry, t));
    }
    return !records.isEmpty();
}

QList<Record> Cache::knownAnswers(const QByteArray &name, quint16 type) const
{
    QList<Record> records;
    const qint64 t = now();
    for (const Entry &entry : m_entries) {
        if ((type == ANY || entry.record.type() == type) && DnsName::equal(entry.record.name(), name)
            && (entry.expires - t) * 2 >= qint64(entry.record.ttl()) * 1000) {
            records.append(withRemainingTtl(entry, t));
        }
    }
    return records;
}

void Cache::onTimeout()
{
    const qint64 t = now();
    QList<Record> expired;
    QList<Record> toQuery;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->expires <= t) {
            expired.append(it->record);
            it = m_entries.erase(it);
            continue;
        }
        bool due = false;
        while (!it->queryTimes.isEmpty() && it->queryTimes.first() <= t) {
            it->queryTimes.removeFirst();
            due = true;
        }
        if (due)
            toQuery.append(it->record);
        ++it;
    }
    restartTimer();
    // Signals last: a receiver may add records or look them up.
    for (const Record &record : toQuery)
        emit shouldQuery(record);
    for (const Record &record : expired)
        emit recordExpired(record);
}

void Cache::restartTimer()
{
    qint64 next = std::numeric_limits<qint64>::max();
    for (const Entry &entry : m_entries) {
        next = qMin(next, entry.expires);
        if (!entry.queryTimes.isEmpty())
            next = qMin(next, entry.queryTimes.first());
    }
    if (next == std::numeric_limits<qint64>::max()) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(qBound<qint64>(0, next - now(), std::numeric_limits<int>::max())));
}

} // namespace mdns
