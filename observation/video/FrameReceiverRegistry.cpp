#include "observation/video/FrameReceiverRegistry.h"

#include "observation/video/SourceFrameReceiver.h"

#include <QCoreApplication>

namespace kvr::QMTClient {

FrameReceiverRegistry::~FrameReceiverRegistry()
{
    releaseFrameReceivers(*this);
}

FrameReceiverRegistry &frameReceiverRegistry()
{
    static FrameReceiverRegistry registry;
    return registry;
}

SourceFrameReceiver *acquireFrameReceiver(const QHostAddress &address, quint16 port)
{
    FrameReceiverRegistry &registry = frameReceiverRegistry();
    const FrameReceiverKey key{address, port};
    SourceFrameReceiver *&receiver = registry.receivers[key];
    if (!receiver)
        receiver = new SourceFrameReceiver(address, port);
    return receiver;
}

void releaseFrameReceivers(FrameReceiverRegistry &registry)
{
    if (registry.receivers.isEmpty())
        return;
    // After the application object is gone no event loop would run deleteLater; the
    // receiver's destructor still stops its thread cleanly.
    const bool eventLoopLeft = QCoreApplication::instance() != nullptr;
    for (SourceFrameReceiver *receiver : qAsConst(registry.receivers)) {
        receiver->stopRequest();
        receiver->disconnect();
        if (eventLoopLeft)
            receiver->deleteLater();
        else
            delete receiver;
    }
    registry.receivers.clear();
}

} // namespace kvr::QMTClient
