#include "devices/entries/NetworkDevice.h"

#include "core/log/Log.h"

#include <atomic>

namespace {

void registerComparator()
{
    static std::atomic<bool> registered{false};
    if (registered.load(std::memory_order_acquire))
        return;
    if (QMetaType::hasRegisteredComparators<NetworkDevice>() || QMetaType::registerEqualsComparator<NetworkDevice>()) {
        registered.store(true, std::memory_order_release);
        return;
    }
    KVR_LOG_AT(kvr::log::ERR, QStringLiteral("NetworkDevice::NetworkDevice"),
               QStringLiteral("Failed to register comparator. This will result in undefined behaviour."));
}

} // namespace

NetworkDevice::NetworkDevice(const QString &address, const QString &addressIPv6)
    : DeviceBase(address)
    , m_addressIPv6(addressIPv6)
{
    registerComparator();
}

void NetworkDevice::read(const QJsonObject &object)
{
    DeviceBase::read(object);
    if (object.contains(QLatin1String("address_v6")))
        m_addressIPv6 = object.value(QLatin1String("address_v6")).toString();
}

void NetworkDevice::write(QJsonObject &object) const
{
    DeviceBase::write(object);
    if (!m_addressIPv6.isEmpty())
        object.insert(QLatin1String("address_v6"), m_addressIPv6);
}

void NetworkDevice::setInterfaces(const QList<ORVAmDNSDeviceInterface> &interfaces)
{
    m_interfaceRows.clear();
    for (const ORVAmDNSDeviceInterface &item : interfaces) {
        m_interfaceRows.append(tr("name") + QLatin1String(": ") + item.name + QLatin1String(", ")
                               + tr("mac") + QLatin1String(": ") + item.mac + QLatin1String(", ")
                               + tr("ipv4") + QLatin1String(": ") + item.ipv4 + QLatin1String(", ")
                               + tr("ipv6") + QLatin1String(": ") + item.ipv6);
    }
    m_interfaces = interfaces;
}

bool NetworkDevice::operator==(const NetworkDevice &other) const
{
    return baseEquals(other) && m_orvaUnit == other.m_orvaUnit && m_addressIPv6 == other.m_addressIPv6
        && m_attributes == other.m_attributes && m_interfaceRows == other.m_interfaceRows;
}
