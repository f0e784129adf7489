#pragma once

#include <QByteArray>
#include <QMetaType>

namespace mdns {

// One question of a message.
class Query
{
public:
    Query() = default;
    Query(const QByteArray &name, quint16 type, bool unicastResponse = false);

    QByteArray name() const { return m_name; }
    void setName(const QByteArray &name) { m_name = name; }
    quint16 type() const { return m_type; }
    void setType(quint16 type) { m_type = type; }
    // The QU bit: the asker prefers a unicast answer.
    bool unicastResponse() const { return m_unicastResponse; }
    void setUnicastResponse(bool unicastResponse) { m_unicastResponse = unicastResponse; }

    bool operator==(const Query &other) const;
    bool operator!=(const Query &other) const { return !(*this == other); }

private:
    QByteArray m_name;
    quint16 m_type = 0;
    bool m_unicastResponse = false;
};

} // namespace mdns

Q_DECLARE_METATYPE(mdns::Query)
