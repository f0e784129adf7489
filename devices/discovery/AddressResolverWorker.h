#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QString>

#include <functional>

namespace mdns {
class AbstractServer;
class Resolver;
} // namespace mdns

// Resolves one host name in the thread of its AddressResolver: by the operating system's
// host lookup and by mDNS at the same time; every address either finds is reported.
class AddressResolverWorker : public QObject
{
    Q_OBJECT

public:
    // Starts a host lookup answered by receiver's member slot (a QHostInfo argument); returns its id.
    using HostLookup = std::function<int(const QString &hostName, QObject *receiver, const char *member)>;

    explicit AddressResolverWorker(mdns::AbstractServer *server, QObject *parent = nullptr);
    // Runs in the worker's thread: aborts a pending lookup; the mDNS resolver goes with it.
    ~AddressResolverWorker() override;

    // Replaces QHostInfo::lookupHost for every worker (tests keep lookups off the network);
    // an empty function restores it.
    static void setHostLookup(HostLookup lookup);
    // The text a row shows and whether it is IPv4: an IPv4-mapped IPv6 address counts as
    // IPv4 and is given in dotted form.
    static QString addressText(const QHostAddress &address, bool *isIPv4);

public slots:
    // Only the first call does anything.
    void startResolve(const QByteArray &hostname, const QString &serviceId);

signals:
    void resolved(const QString &serviceId, const QString &address, bool flagIPv4);

private slots:
    void handleHost(const QHostInfo &info);
    void handleMdnsAddress(const QHostAddress &address);

private:
    QString m_serviceId;
    int m_lookupId = -1;
    mdns::Resolver *m_resolver = nullptr;
    mdns::AbstractServer *m_server;
};
