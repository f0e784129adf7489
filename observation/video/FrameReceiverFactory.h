#pragma once

#include <QHostAddress>

namespace kvr::QMTClient {

class FrameReceiver;

// Where a camera gets the receiver of its node. The process's default hands out the shared
// receivers of the registry (acquireFrameReceiver); a test installs its own to see what the
// cameras ask for without a node. GUI thread only.
class FrameReceiverFactory
{
public:
    FrameReceiverFactory() = default;
    FrameReceiverFactory(const FrameReceiverFactory &) = delete;
    FrameReceiverFactory &operator=(const FrameReceiverFactory &) = delete;
    virtual ~FrameReceiverFactory();

    // The receiver of (address, port); it stays the factory's.
    virtual FrameReceiver *receiver(const QHostAddress &address, quint16 port) = 0;

    // The installed factory, else the registry's.
    static FrameReceiverFactory &current();
    // Not owned; null puts the registry's back.
    static void install(FrameReceiverFactory *factory);
};

} // namespace kvr::QMTClient
