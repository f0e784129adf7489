#include "devices/mdns/Query.h"

namespace mdns {

Query::Query(const QByteArray &name, quint16 type, bool unicastResponse)
    : m_name(name)
    , m_type(type)
    , m_unicastResponse(unicastResponse)
{
}

bool Query::operator==(const Query &other) const
{
    return m_name == other.m_name && m_type == other.m_type && m_unicastResponse == other.m_unicastResponse;
}

} // namespace mdns
