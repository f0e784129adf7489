#pragma once

// Fakes shared by the mDNS and discovery tests: nothing here touches a socket.

#include "devices/mdns/AbstractServer.h"
#include "devices/mdns/Message.h"
#include "devices/mdns/Transport.h"

#include <QList>
#include <QMutex>
#include <QThread>

namespace mdnstest {

// A server that records what is sent and delivers crafted messages.
class FakeServer : public mdns::AbstractServer
{
public:
    using mdns::AbstractServer::AbstractServer;

    void sendMessage(const mdns::Message &message) override
    {
        QMutexLocker lock(&m_mutex);
        m_sent.append(message);
    }

    QList<mdns::Message> sent() const
    {
        QMutexLocker lock(&m_mutex);
        return m_sent;
    }

    void clearSent()
    {
        QMutexLocker lock(&m_mutex);
        m_sent.clear();
    }

    // Queries of the given name and type sent so far.
    int queriesFor(const QByteArray &name, quint16 type) const
    {
        int count = 0;
        for (const mdns::Message &message : sent()) {
            for (const mdns::Query &query : message.queries())
                count += (query.name() == name && query.type() == type) ? 1 : 0;
        }
        return count;
    }

    void deliver(const mdns::Message &message) { emit messageReceived(message); }

private:
    mutable QMutex m_mutex;
    QList<mdns::Message> m_sent;
};

// A transport that keeps its datagrams in memory.
class FakeTransport : public mdns::Transport
{
public:
    bool open() override
    {
        ++opens;
        m_open = openSucceeds;
        return m_open;
    }
    bool isOpen() const override { return m_open; }
    void send(const QByteArray &datagram) override
    {
        QMutexLocker lock(&m_mutex);
        m_sent.append(datagram);
        m_sendThreads.append(QThread::currentThread());
    }

    QList<QByteArray> sent() const
    {
        QMutexLocker lock(&m_mutex);
        return m_sent;
    }
    QList<QThread *> sendThreads() const
    {
        QMutexLocker lock(&m_mutex);
        return m_sendThreads;
    }

    void receive(const QByteArray &datagram, const QHostAddress &sender = QHostAddress(QStringLiteral("192.0.2.7")),
                 quint16 port = 5353)
    {
        emit datagramReceived(datagram, sender, port);
    }

    bool openSucceeds = true;
    int opens = 0;

private:
    bool m_open = false;
    mutable QMutex m_mutex;
    QList<QByteArray> m_sent;
    QList<QThread *> m_sendThreads;
};

inline mdns::Record ptrRecord(const QByteArray &name, const QByteArray &target, quint32 ttl = 120)
{
    mdns::Record record(name, mdns::PTR, ttl);
    record.setTarget(target);
    return record;
}

inline mdns::Record srvRecord(const QByteArray &name, const QByteArray &host, quint16 port, quint32 ttl = 120,
                              bool flush = true)
{
    mdns::Record record(name, mdns::SRV, ttl);
    record.setTarget(host);
    record.setPort(port);
    record.setFlushCache(flush);
    return record;
}

inline mdns::Record txtRecord(const QByteArray &name, const QMap<QByteArray, QByteArray> &attributes,
                              quint32 ttl = 120, bool flush = true)
{
    mdns::Record record(name, mdns::TXT, ttl);
    record.setAttributes(attributes);
    record.setFlushCache(flush);
    return record;
}

inline mdns::Record addressRecord(const QByteArray &name, const QString &address, quint32 ttl = 120)
{
    const QHostAddress host(address);
    mdns::Record record(name, host.protocol() == QAbstractSocket::IPv4Protocol ? mdns::A : mdns::AAAA, ttl);
    record.setAddress(host);
    record.setFlushCache(true);
    return record;
}

inline mdns::Message response(const QList<mdns::Record> &records)
{
    mdns::Message message;
    message.setResponse(true);
    message.setRecords(records);
    message.setAddress(QHostAddress(QStringLiteral("192.0.2.7")));
    message.setPort(5353);
    return message;
}

} // namespace mdnstest
