#include "devices/mdns/Service.h"

namespace mdns {

bool Service::operator==(const Service &other) const
{
    return m_name == other.m_name && m_type == other.m_type && m_hostname == other.m_hostname
        && m_port == other.m_port && m_attributes == other.m_attributes;
}

} // namespace mdns
