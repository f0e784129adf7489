#pragma once

#include "devices/mdns/AbstractServer.h"

namespace mdns {

class Transport;

// The mDNS socket layer: encodes outgoing messages, decodes incoming datagrams and drops
// the ones that are malformed or that RFC 6762 says to ignore. The transport is opened on
// the first send, so a server that never sends never touches the network.
class Server : public AbstractServer
{
    Q_OBJECT

public:
    // Real multicast on 224.0.0.251 / ff02::fb port 5353.
    explicit Server(QObject *parent = nullptr);
    // Takes ownership of the transport.
    explicit Server(Transport *transport, QObject *parent = nullptr);
    ~Server() override;

    void sendMessage(const Message &message) override;

private slots:
    void onDatagramReceived(const QByteArray &datagram, const QHostAddress &sender, quint16 port);

private:
    void send(const Message &message);

    Transport *m_transport;
};

} // namespace mdns
