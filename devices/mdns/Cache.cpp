#include "devices/mdns/Cache.h"

#include "devices/mdns/DnsName.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>
#include <utility>

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
    connect(&m_timer, &QTimer::timeout, this, &Cache::processDue);
}

void Cache::setClock(Clock clock)
{
    m_customClock = std::move(clock);
    m_wakeAt = -1;
    restartTimer();
}

QByteArray Cache::setKey(const QByteArray &nameKey, quint16 type)
{
    return nameKey + '\0' + QByteArray::number(type);
}

QByteArray Cache::dataKey(const Record &record)
{
    switch (record.type()) {
    case A:
    case AAAA: {
        const Q_IPV6ADDR ipv6 = record.address().toIPv6Address();
        return QByteArray(reinterpret_cast<const char *>(ipv6.c), 16);
    }
    case PTR:
        return DnsName::key(record.target());
    case SRV:
        return QByteArray::number(record.priority()) + ' ' + QByteArray::number(record.weight()) + ' '
            + QByteArray::number(record.port()) + ' ' + DnsName::key(record.target());
    case TXT: {
        QByteArray key;
        const auto attributes = record.attributes();
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
            key += QByteArray::number(it.key().size()) + ':' + it.key() + QByteArray::number(it.value().size()) + ':'
                + it.value();
        return key;
    }
    default:
        return QByteArray();
    }
}

qint64 Cache::nextEvent(const Entry &entry)
{
    return entry.queryTimes.isEmpty() ? entry.expires : qMin(entry.expires, entry.queryTimes.first());
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
    const QByteArray key = DnsName::key(record.name());
    const QByteArray set = setKey(key, record.type());
    auto found = m_sets.find(set);
    if (found == m_sets.end()) {
        if (record.ttl() == 0 || m_count >= MaxEntries)
            return;
        found = m_sets.insert(set, {});
    }
    QHash<QByteArray, Entry> &entries = found.value();
    const QByteArray data = dataKey(record);
    if (record.flushCache() && record.ttl() > 0) {
        // Older members of the set go after one second; ones from the last second belong
        // to the same announcement and stay.
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it.key() != data && it->received < t - GraceMs) {
                expireSoon(*it, t);
                wakeAt(it->expires);
            }
        }
    }
    const auto existing = entries.find(data);
    if (record.ttl() == 0) {
        if (existing != entries.end()) {
            expireSoon(*existing, t);
            wakeAt(existing->expires);
        }
        return;
    }
    if (existing == entries.end() && m_count >= MaxEntries) {
        if (entries.isEmpty())
            m_sets.erase(found);
        return;
    }
    if (existing == entries.end())
        ++m_count;
    Entry &entry = entries[data];
    entry.record = record;
    entry.key = key;
    entry.sequence = ++m_sequence;   // the newest answer is the one looked up
    schedule(entry, t, record.ttl());
    wakeAt(nextEvent(entry));
}

Record Cache::withRemainingTtl(const Entry &entry, qint64 now) const
{
    Record record = entry.record;
    record.setTtl(quint32(qMax<qint64>(0, (entry.expires - now + 999) / 1000)));
    return record;
}

void Cache::collect(const QByteArray &name, quint16 type, const std::function<void(const Entry &)> &visit) const
{
    const QByteArray key = DnsName::key(name);
    QList<const Entry *> found;
    if (type != ANY) {
        const auto set = m_sets.constFind(setKey(key, type));
        if (set != m_sets.cend()) {
            for (const Entry &entry : set.value())
                found.append(&entry);
        }
    } else {
        for (const QHash<QByteArray, Entry> &entries : m_sets) {
            for (const Entry &entry : entries) {
                if (entry.key == key)
                    found.append(&entry);
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Entry *a, const Entry *b) { return a->sequence < b->sequence; });
    for (const Entry *entry : found)
        visit(*entry);
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
    collect(name, type, [&](const Entry &entry) { records.append(withRemainingTtl(entry, t)); });
    return !records.isEmpty();
}

bool Cache::contains(const Record &record) const
{
    const auto set = m_sets.constFind(setKey(DnsName::key(record.name()), record.type()));
    return set != m_sets.cend() && set.value().contains(dataKey(record));
}

QList<Record> Cache::knownAnswers(const QByteArray &name, quint16 type) const
{
    QList<Record> records;
    const qint64 t = now();
    collect(name, type, [&](const Entry &entry) {
        if ((entry.expires - t) * 2 >= qint64(entry.record.ttl()) * 1000)
            records.append(withRemainingTtl(entry, t));
    });
    return records;
}

void Cache::processDue()
{
    m_wakeAt = -1;
    const qint64 t = now();
    QList<Record> expired;
    QList<Record> toQuery;
    for (auto set = m_sets.begin(); set != m_sets.end();) {
        QHash<QByteArray, Entry> &entries = set.value();
        for (auto it = entries.begin(); it != entries.end();) {
            if (it->expires <= t) {
                expired.append(it->record);
                it = entries.erase(it);
                --m_count;
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
        set = entries.isEmpty() ? m_sets.erase(set) : std::next(set);
    }
    restartTimer();
    // Signals last: a receiver may add records or look them up.
    for (const Record &record : toQuery)
        emit shouldQuery(record);
    for (const Record &record : expired)
        emit recordExpired(record);
}

void Cache::wakeAt(qint64 time)
{
    if (m_wakeAt >= 0 && m_wakeAt <= time)
        return;
    m_wakeAt = time;
    m_timer.start(int(qBound<qint64>(0, time - now(), std::numeric_limits<int>::max())));
}

void Cache::restartTimer()
{
    qint64 next = std::numeric_limits<qint64>::max();
    for (const QHash<QByteArray, Entry> &entries : qAsConst(m_sets)) {
        for (const Entry &entry : entries)
            next = qMin(next, nextEvent(entry));
    }
    if (next == std::numeric_limits<qint64>::max()) {
        m_timer.stop();
        m_wakeAt = -1;
        return;
    }
    wakeAt(next);
}

} // namespace mdns
