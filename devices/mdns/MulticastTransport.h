#pragma once

#include "devices/mdns/Transport.h"

#include <QList>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

namespace mdns {

// UDP port 5353 shared with the other responders on the machine, IPv4 group 224.0.0.251
// and, where the system allows, IPv6 group ff02::fb; joined on every up, multicast-capable
// interface and re-joined periodically so that interfaces that come up later are served.
class MulticastTransport : public Transport
{
    Q_OBJECT

public:
    static constexpr int RejoinIntervalMs = 60000;

    explicit MulticastTransport(QObject *parent = nullptr);

    bool open() override;
    bool isOpen() const override;
    void send(const QByteArray &datagram) override;

private slots:
    void rejoin();

private:
    void readPending(QUdpSocket *socket);
    bool bindSocket(QUdpSocket &socket, const QHostAddress &any);
    void joinAll(QUdpSocket &socket, const QHostAddress &group, QList<QNetworkInterface> &joined);

    QUdpSocket m_ipv4;
    QUdpSocket m_ipv6;
    QList<QNetworkInterface> m_ipv4Interfaces;
    QList<QNetworkInterface> m_ipv6Interfaces;
    QTimer m_rejoinTimer;
    bool m_failureReported = false;
};

} // namespace mdns
