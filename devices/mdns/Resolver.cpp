#include "devices/mdns/Resolver.h"

#include "devices/mdns/AbstractServer.h"
#include "devices/mdns/DnsName.h"
#include "devices/mdns/Message.h"

namespace mdns {

namespace {
constexpr int FirstQueryIntervalMs = 1000;
constexpr int MaxQueryIntervalMs = 60 * 1000;
} // namespace

Resolver::Resolver(AbstractServer *server, const QByteArray &name, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_name(DnsName::normalized(name))
    , m_timer(this)
    , m_interval(FirstQueryIntervalMs)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Resolver::query);
    connect(m_server, &AbstractServer::messageReceived, this, &Resolver::onMessageReceived);
    QTimer::singleShot(0, this, &Resolver::query);
}

void Resolver::query()
{
    Message message;
    message.addQuery(Query(m_name, A));
    message.addQuery(Query(m_name, AAAA));
    m_server->sendMessage(message);
    m_timer.start(m_interval);
    m_interval = qMin(m_interval * 2, MaxQueryIntervalMs);
}

void Resolver::onMessageReceived(const Message &message)
{
    if (!message.isResponse())
        return;
    const QList<Record> records = message.records() + message.additionalRecords();
    for (const Record &record : records) {
        if ((record.type() != A && record.type() != AAAA) || record.ttl() == 0
            || !DnsName::equal(record.name(), m_name)) {
            continue;
        }
        const QHostAddress address = record.address();
        if (address.isNull() || m_reported.contains(address))
            continue;
        m_reported.insert(address);
        emit resolved(address);
    }
}

} // namespace mdns
