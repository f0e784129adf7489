#pragma once

#include "observation/video/FrameReceiverKey.h"

#include <QMap>

namespace kvr::QMTClient {

class SourceFrameReceiver;

// The process's frame receivers, one per node address and port. Used from the GUI thread
// only. Receivers have no parent; they are deleted by releaseFrameReceivers, which the
// registry also runs when the process ends.
class FrameReceiverRegistry
{
public:
    FrameReceiverRegistry() = default;
    FrameReceiverRegistry(const FrameReceiverRegistry &) = delete;
    FrameReceiverRegistry &operator=(const FrameReceiverRegistry &) = delete;
    ~FrameReceiverRegistry();

    QMap<FrameReceiverKey, SourceFrameReceiver *> receivers;
};

FrameReceiverRegistry &frameReceiverRegistry();

// The receiver of (address, port), made and registered on first use. The caller connects to
// its signals and calls connect().
SourceFrameReceiver *acquireFrameReceiver(const QHostAddress &address, quint16 port);

// Stops, disconnects and deletes every receiver in key order, then empties the registry.
void releaseFrameReceivers(FrameReceiverRegistry &registry);

} // namespace kvr::QMTClient
