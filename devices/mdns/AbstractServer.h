#pragma once

#include "devices/mdns/Message.h"

#include <QObject>

namespace mdns {

// What browsers and resolvers need of a server: messages in, messages out.
class AbstractServer : public QObject
{
    Q_OBJECT

public:
    explicit AbstractServer(QObject *parent = nullptr);

    // Sends the message to the mDNS groups. Safe from any thread.
    virtual void sendMessage(const Message &message) = 0;

signals:
    // Every well-formed message that arrives; receivers in other threads get it queued.
    void messageReceived(const mdns::Message &message);
};

} // namespace mdns
