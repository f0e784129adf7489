#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

namespace mdns {

// Carries datagrams for a Server. The real one is MulticastTransport; tests hand the
// server a fake so that nothing leaves the process. Lives in the server's thread.
class Transport : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens the sockets; the server calls it before its first send. False when nothing
    // could be opened; it is tried again on the next send.
    virtual bool open() = 0;
    virtual bool isOpen() const = 0;

    // Sends to the mDNS groups on every joined interface.
    virtual void send(const QByteArray &datagram) = 0;

signals:
    void datagramReceived(const QByteArray &datagram, const QHostAddress &sender, quint16 port);
};

} // namespace mdns
