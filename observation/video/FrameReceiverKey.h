#pragma once

#include <QHostAddress>

// The node a frame receiver talks to. Ordered by the address's text, then by port, so that the
// registry's order does not depend on how QHostAddress compares protocols.
struct FrameReceiverKey
{
    QHostAddress address;
    quint16 port = 0;

    bool operator<(const FrameReceiverKey &other) const;
    bool operator==(const FrameReceiverKey &other) const;
};
