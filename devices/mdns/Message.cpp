#include "devices/mdns/Message.h"

namespace mdns {

void Message::setResponse(bool response)
{
    if (response)
        m_flags |= ResponseFlag | AuthoritativeFlag;
    else
        m_flags &= quint16(~(ResponseFlag | AuthoritativeFlag));
}

bool Message::operator==(const Message &other) const
{
    return m_transactionId == other.m_transactionId && m_flags == other.m_flags && m_queries == other.m_queries
        && m_records == other.m_records && m_authorityRecords == other.m_authorityRecords
        && m_additionalRecords == other.m_additionalRecords;
}

} // namespace mdns
