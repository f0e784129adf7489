#include "devices/mdns/Record.h"

#include "devices/mdns/DnsName.h"

namespace mdns {

namespace {

bool sameAttributes(const QMap<QByteArray, QByteArray> &a, const QMap<QByteArray, QByteArray> &b)
{
    if (a != b)
        return false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (it.value().isNull() != b.value(it.key()).isNull())
            return false;
    }
    return true;
}

} // namespace

Record::Record(const QByteArray &name, quint16 type, quint32 ttl)
    : m_name(name)
    , m_type(type)
    , m_ttl(ttl)
{
}

bool Record::sameData(const Record &other) const
{
    if (m_type != other.m_type || !DnsName::equal(m_name, other.m_name))
        return false;
    switch (m_type) {
    case A:
    case AAAA:
        return m_address == other.m_address;
    case PTR:
        return DnsName::equal(m_target, other.m_target);
    case SRV:
        return DnsName::equal(m_target, other.m_target) && m_port == other.m_port
            && m_priority == other.m_priority && m_weight == other.m_weight;
    case TXT:
        return m_attributes == other.m_attributes;
    default:
        return true;
    }
}

bool Record::operator==(const Record &other) const
{
    // Exact comparison, case and null TXT values included: round trips must keep them.
    return m_name == other.m_name && m_type == other.m_type && m_flushCache == other.m_flushCache
        && m_ttl == other.m_ttl && m_address == other.m_address && m_target == other.m_target
        && m_port == other.m_port && m_priority == other.m_priority && m_weight == other.m_weight
        && sameAttributes(m_attributes, other.m_attributes);
}

} // namespace mdns
