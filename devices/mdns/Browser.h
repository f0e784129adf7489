#pragma once

#include "devices/mdns/Query.h"
#include "devices/mdns/Record.h"
#include "devices/mdns/Service.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

namespace mdns {

class AbstractServer;
class Cache;
class Message;

// Browses one service type (RFC 6763 4). With the enumeration type
// "_services._dns-sd._udp.local." it first learns the service types on the link and then
// browses each of them, so every service on the link is reported.
// A type learnt later is browsed from the cache at once: its services heard before are
// reported without waiting for answers that known-answer suppression withholds.
// A service is added once its PTR and SRV records are known, updated when its SRV or TXT
// data change, and removed when its PTR or SRV record expires or says goodbye.
// Queries are repeated at growing intervals (1 s doubling up to one hour, RFC 6762 5.2)
// with known answers, and records about to expire are asked for again.
class Browser : public QObject
{
    Q_OBJECT

public:
    static const QByteArray EnumerationType;
    // Limits against a peer that announces without end.
    static constexpr int MaxTypes = 512;
    static constexpr int MaxKnownAnswers = 64;

    // Without a cache the browser keeps one of its own. Neither server nor cache is owned.
    Browser(AbstractServer *server, const QByteArray &type, Cache *cache = nullptr, QObject *parent = nullptr);

    QByteArray type() const { return m_type; }

signals:
    void serviceAdded(const mdns::Service &service);
    void serviceUpdated(const mdns::Service &service);
    void serviceRemoved(const mdns::Service &service);

private slots:
    void start();
    void queryTypes();
    void onMessageReceived(const mdns::Message &message);
    void onShouldQuery(const mdns::Record &record);
    void onRecordExpired(const mdns::Record &record);

private:
    bool isEnumerating() const { return m_enumerating; }
    bool isBrowsedType(const QByteArray &name) const;
    bool addType(const QByteArray &type);
    bool findType(const QByteArray &instance, QByteArray &type, QByteArray &label) const;
    bool isTracked(const QByteArray &instance) const;
    // Reports every service of the type that the cache holds (with its SRV and TXT).
    void reportCached(const QByteArray &type);
    void evaluate(const QByteArray &instance);
    void removeService(const QByteArray &key);
    void queryInstance(const QByteArray &instance);
    void sendQueries(const QList<Query> &queries);

    AbstractServer *m_server;
    Cache *m_cache;
    QByteArray m_type;
    bool m_enumerating;
    QList<QByteArray> m_types;
    QHash<QByteArray, Service> m_services;          // by instance name key
    QHash<QByteArray, qint64> m_instanceQueries;     // last SRV/TXT query per instance key
    QElapsedTimer m_clock;
    QTimer m_queryTimer;
    int m_queryInterval;
};

} // namespace mdns
