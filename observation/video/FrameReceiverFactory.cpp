#include "observation/video/FrameReceiverFactory.h"

#include "observation/video/FrameReceiverRegistry.h"
#include "observation/video/SourceFrameReceiver.h"

namespace kvr::QMTClient {

namespace {

class RegistryFactory : public FrameReceiverFactory
{
public:
    FrameReceiver *receiver(const QHostAddress &address, quint16 port) override
    {
        return acquireFrameReceiver(address, port);
    }
};

FrameReceiverFactory *installed = nullptr;

} // namespace

FrameReceiverFactory::~FrameReceiverFactory()
{
    if (installed == this)
        installed = nullptr;
}

FrameReceiverFactory &FrameReceiverFactory::current()
{
    static RegistryFactory registry;
    return installed ? *installed : registry;
}

void FrameReceiverFactory::install(FrameReceiverFactory *factory)
{
    installed = factory;
}

} // namespace kvr::QMTClient
