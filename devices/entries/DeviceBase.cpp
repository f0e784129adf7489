#include "devices/entries/DeviceBase.h"

#include "devices/entries/Configuration.h"

DeviceBase::DeviceBase(const QString &address)
    : m_device(deviceTypeToString(Configuration::UnknownDevice))
    , m_address(address)
{
}

void DeviceBase::read(const QJsonObject &object)
{
    if (object.contains(QLatin1String("name")))
        m_name = object.value(QLatin1String("name")).toString();
    if (object.contains(QLatin1String("address")))
        m_address = object.value(QLatin1String("address")).toString();
    if (object.contains(QLatin1String("device"))) {
        // An unknown text is still shown as the kind text; its type reads as unknown.
        m_device = object.value(QLatin1String("device")).toString();
        m_type = deviceTypeFromString(m_device);
    }
}

void DeviceBase::write(QJsonObject &object) const
{
    if (!m_name.isEmpty())
        object.insert(QLatin1String("name"), m_name);
    if (!m_address.isEmpty())
        object.insert(QLatin1String("address"), m_address);
    if (m_type != 0)
        object.insert(QLatin1String("device"), deviceTypeToString(m_type));
}

bool DeviceBase::baseEquals(const DeviceBase &other) const
{
    return m_name == other.m_name && m_address == other.m_address;
}
