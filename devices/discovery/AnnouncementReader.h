#pragma once

#include <QCoreApplication>

class NetworkDevice;

namespace mdns {
class Service;
} // namespace mdns

// Turns a service's announcement into what a row shows: for the product's own blocks (a
// service name starting with "ORVA") the block name, host type, interfaces and a one-line
// description; for any other service its raw text attributes.
class AnnouncementReader
{
    // The labels are translated under the model whose rows show them.
    Q_DECLARE_TR_FUNCTIONS(NetworkDeviceModel)

public:
    // More interface rows than this are not built, whatever a peer announces.
    static constexpr int MaxInterfaces = 256;

    // Sets the row's attributes; addresses, name, host name and kind text are left alone.
    static void fill(NetworkDevice &device, const mdns::Service &service);
};
