#include "devices/discovery/AddressResolverWorker.h"

#include "devices/mdns/AbstractServer.h"
#include "devices/mdns/Resolver.h"

#include <QMutex>

namespace {

QMutex &lookupMutex()
{
    static QMutex mutex;
    return mutex;
}

AddressResolverWorker::HostLookup &lookupOverride()
{
    static AddressResolverWorker::HostLookup lookup;
    return lookup;
}

} // namespace

AddressResolverWorker::AddressResolverWorker(mdns::AbstractServer *server, QObject *parent)
    : QObject(parent)
    , m_server(server)
{
}

AddressResolverWorker::~AddressResolverWorker()
{
    if (m_lookupId != -1)
        QHostInfo::abortHostLookup(m_lookupId);
    delete m_resolver;
}

void AddressResolverWorker::setHostLookup(HostLookup lookup)
{
    QMutexLocker lock(&lookupMutex());
    lookupOverride() = std::move(lookup);
}

void AddressResolverWorker::startResolve(const QByteArray &hostname, const QString &serviceId)
{
    if (m_resolver)
        return;
    m_serviceId = serviceId;
    const QString name = QString::fromUtf8(hostname);
    HostLookup lookup;
    {
        QMutexLocker lock(&lookupMutex());
        lookup = lookupOverride();
    }
    m_lookupId = lookup ? lookup(name, this, SLOT(handleHost(QHostInfo)))
                        : QHostInfo::lookupHost(name, this, SLOT(handleHost(QHostInfo)));
    m_resolver = new mdns::Resolver(m_server, hostname, this);
    connect(m_resolver, &mdns::Resolver::resolved, this, &AddressResolverWorker::handleMdnsAddress);
}

void AddressResolverWorker::handleHost(const QHostInfo &info)
{
    m_lookupId = -1;
    if (info.error() != QHostInfo::NoError)
        return;
    for (const QHostAddress &address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            emit resolved(m_serviceId, address.toString(), true);
        else if (address.protocol() == QAbstractSocket::IPv6Protocol)
            emit resolved(m_serviceId, address.toString(), false);
    }
}

QString AddressResolverWorker::addressText(const QHostAddress &address, bool *isIPv4)
{
    const quint32 ipv4 = address.toIPv4Address(isIPv4);
    return *isIPv4 ? QHostAddress(ipv4).toString() : address.toString();
}

void AddressResolverWorker::handleMdnsAddress(const QHostAddress &address)
{
    bool isIPv4 = false;
    const QString text = addressText(address, &isIPv4);
    emit resolved(m_serviceId, text, isIPv4);
}
