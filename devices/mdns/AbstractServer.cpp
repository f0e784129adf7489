#include "devices/mdns/AbstractServer.h"

namespace mdns {

AbstractServer::AbstractServer(QObject *parent)
    : QObject(parent)
{
    // Resolvers live in worker threads; the message must travel through queued connections.
    qRegisterMetaType<mdns::Message>();
    qRegisterMetaType<mdns::Record>();
    qRegisterMetaType<mdns::Query>();
}

} // namespace mdns
