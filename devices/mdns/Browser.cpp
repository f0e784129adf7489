#include "devices/mdns/Browser.h"

#include "devices/mdns/AbstractServer.h"
#include "devices/mdns/Cache.h"
#include "devices/mdns/DnsName.h"
#include "devices/mdns/Message.h"

#include <QSet>

#include <algorithm>

namespace mdns {

namespace {
constexpr int FirstQueryIntervalMs = 1000;
constexpr int MaxQueryIntervalMs = 3600 * 1000;
constexpr qint64 InstanceQueryGapMs = 1000;
// Questions per datagram, so that known answers keep a message well below the 9000-byte limit.
constexpr int QueriesPerMessage = 8;
} // namespace

const QByteArray Browser::EnumerationType = QByteArrayLiteral("_services._dns-sd._udp.local.");

Browser::Browser(AbstractServer *server, const QByteArray &type, Cache *cache, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_cache(cache ? cache : new Cache(this))
    , m_type(DnsName::normalized(type))
    , m_enumerating(DnsName::equal(m_type, EnumerationType))
    , m_queryTimer(this)
    , m_queryInterval(FirstQueryIntervalMs)
{
    m_clock.start();
    if (!m_enumerating)
        m_types.append(m_type);
    m_queryTimer.setSingleShot(true);
    connect(&m_queryTimer, &QTimer::timeout, this, &Browser::queryTypes);
    connect(m_server, &AbstractServer::messageReceived, this, &Browser::onMessageReceived);
    connect(m_cache, &Cache::shouldQuery, this, &Browser::onShouldQuery);
    connect(m_cache, &Cache::recordExpired, this, &Browser::onRecordExpired);
    // Deferred so that the owner can connect to the signals before cached services are reported.
    QTimer::singleShot(0, this, &Browser::start);
}

void Browser::start()
{
    QList<Record> records;
    if (m_enumerating && m_cache->lookupRecords(EnumerationType, PTR, records)) {
        for (const Record &record : records)
            addType(record.target());
    }
    for (const QByteArray &type : QList<QByteArray>(m_types))
        reportCached(type);
    queryTypes();
}

void Browser::reportCached(const QByteArray &type)
{
    QList<Record> records;
    if (m_cache->lookupRecords(type, PTR, records)) {
        for (const Record &record : records)
            evaluate(record.target());
    }
}

void Browser::queryTypes()
{
    QList<Query> queries;
    if (m_enumerating)
        queries.append(Query(EnumerationType, PTR));
    for (const QByteArray &type : m_types)
        queries.append(Query(type, PTR));
    sendQueries(queries);
    m_queryTimer.start(m_queryInterval);
    m_queryInterval = qMin(m_queryInterval * 2, MaxQueryIntervalMs);
}

bool Browser::isBrowsedType(const QByteArray &name) const
{
    return std::any_of(m_types.cbegin(), m_types.cend(),
                       [&name](const QByteArray &type) { return DnsName::equal(type, name); });
}

bool Browser::addType(const QByteArray &type)
{
    // "_services._dns-sd._udp.local." may list itself; browsing it as a type would loop.
    if (isBrowsedType(type) || DnsName::equal(type, EnumerationType) || m_types.size() >= MaxTypes)
        return false;
    QList<QByteArray> labels;
    if (!DnsName::labels(type, labels) || labels.isEmpty())
        return false;
    m_types.append(DnsName::normalized(type));
    return true;
}

bool Browser::findType(const QByteArray &instance, QByteArray &type, QByteArray &label) const
{
    for (const QByteArray &candidate : m_types) {
        if (DnsName::firstLabelUnder(instance, candidate, label)) {
            type = candidate;
            return true;
        }
    }
    return false;
}

bool Browser::isTracked(const QByteArray &instance) const
{
    QByteArray type;
    QByteArray label;
    return m_services.contains(DnsName::key(instance)) || findType(instance, type, label);
}

void Browser::onMessageReceived(const Message &message)
{
    if (!message.isResponse())
        return;
    const QList<Record> records = message.records() + message.additionalRecords();
    for (const Record &record : records)
        m_cache->addRecord(record);

    QList<QByteArray> newTypes;
    QList<QByteArray> instances;
    QSet<QByteArray> seen;
    const auto note = [&](const QByteArray &instance) {
        const QByteArray key = DnsName::key(instance);
        if (!seen.contains(key)) {
            seen.insert(key);
            instances.append(instance);
        }
    };
    for (const Record &record : records) {
        if (record.type() == PTR) {
            if (m_enumerating && DnsName::equal(record.name(), EnumerationType)) {
                if (record.ttl() > 0 && addType(record.target()))
                    newTypes.append(DnsName::normalized(record.target()));
            } else if (isBrowsedType(record.name())) {
                note(record.target());
            }
        } else if ((record.type() == SRV || record.type() == TXT) && isTracked(record.name())) {
            note(record.name());
        }
    }
    for (const QByteArray &instance : instances)
        evaluate(instance);
    if (!newTypes.isEmpty()) {
        QList<Query> queries;
        for (const QByteArray &type : newTypes)
            queries.append(Query(type, PTR));
        sendQueries(queries);
        // The query lists the cached services of the type as known answers, so a responder
        // stays silent about them (RFC 6762 7.1): they are reported from the cache, now.
        for (const QByteArray &type : newTypes)
            reportCached(type);
    }
}

void Browser::onShouldQuery(const Record &record)
{
    const bool wanted = record.type() == PTR
        ? (isBrowsedType(record.name()) || (m_enumerating && DnsName::equal(record.name(), EnumerationType)))
        : ((record.type() == SRV || record.type() == TXT) && m_services.contains(DnsName::key(record.name())));
    if (wanted)
        sendQueries({Query(record.name(), record.type())});
}

void Browser::onRecordExpired(const Record &record)
{
    if (record.type() == PTR && isBrowsedType(record.name()))
        evaluate(record.target());
    else if ((record.type() == SRV || record.type() == TXT) && m_services.contains(DnsName::key(record.name())))
        evaluate(record.name());
}

void Browser::evaluate(const QByteArray &instance)
{
    const QByteArray key = DnsName::key(instance);
    QByteArray type;
    QByteArray label;
    if (!findType(instance, type, label)) {
        removeService(key);
        return;
    }
    Record pointer(type, PTR);
    pointer.setTarget(instance);
    if (!m_cache->contains(pointer)) {
        removeService(key);
        return;
    }
    Record srv;
    if (!m_cache->lookupRecord(instance, SRV, srv)) {
        removeService(key);
        queryInstance(instance);
        return;
    }
    Record txt;
    if (!m_cache->lookupRecord(instance, TXT, txt))
        queryInstance(instance);

    Service service;
    service.setName(label);
    service.setType(type);
    service.setHostname(srv.target());
    service.setPort(srv.port());
    service.setAttributes(txt.attributes());

    const auto known = m_services.find(key);
    if (known == m_services.end()) {
        m_services.insert(key, service);
        emit serviceAdded(service);
    } else if (known.value() != service) {
        known.value() = service;
        emit serviceUpdated(service);
    }
}

void Browser::removeService(const QByteArray &key)
{
    const auto known = m_services.find(key);
    if (known == m_services.end())
        return;
    const Service service = known.value();
    m_services.erase(known);
    emit serviceRemoved(service);
}

void Browser::queryInstance(const QByteArray &instance)
{
    const QByteArray key = DnsName::key(instance);
    const qint64 now = m_clock.elapsed();
    const auto last = m_instanceQueries.constFind(key);
    if (last != m_instanceQueries.cend() && now - last.value() < InstanceQueryGapMs)
        return;
    m_instanceQueries.insert(key, now);
    sendQueries({Query(instance, SRV), Query(instance, TXT)});
}

void Browser::sendQueries(const QList<Query> &queries)
{
    for (int first = 0; first < queries.size(); first += QueriesPerMessage) {
        Message message;
        message.setQueries(queries.mid(first, QueriesPerMessage));
        QList<Record> knownAnswers;
        for (const Query &query : message.queries())
            knownAnswers += m_cache->knownAnswers(query.name(), query.type());
        message.setRecords(knownAnswers.mid(0, MaxKnownAnswers));
        m_server->sendMessage(message);
    }
}

} // namespace mdns
