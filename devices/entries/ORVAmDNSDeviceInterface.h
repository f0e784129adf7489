#pragma once

#include <QMetaType>
#include <QString>

// One network interface that a block announces.
struct ORVAmDNSDeviceInterface
{
    QString name;
    QString ipv4;
    QString ipv6;
    QString mac;

    bool operator==(const ORVAmDNSDeviceInterface &other) const
    {
        return name == other.name && ipv4 == other.ipv4 && ipv6 == other.ipv6 && mac == other.mac;
    }
    bool operator!=(const ORVAmDNSDeviceInterface &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(ORVAmDNSDeviceInterface)
