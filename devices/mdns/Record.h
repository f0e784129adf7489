#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QMetaType>

namespace mdns {

// Record types the layer understands; others are skipped when a message is read.
enum RecordType : quint16 {
    A = 1,
    PTR = 12,
    TXT = 16,
    AAAA = 28,
    SRV = 33,
    ANY = 255,
};

// One resource record. Which data fields count depends on the type:
// A/AAAA address, PTR target, SRV target/port/priority/weight, TXT attributes.
class Record
{
public:
    Record() = default;
    Record(const QByteArray &name, quint16 type, quint32 ttl = 120);

    QByteArray name() const { return m_name; }
    void setName(const QByteArray &name) { m_name = name; }
    quint16 type() const { return m_type; }
    void setType(quint16 type) { m_type = type; }
    // mDNS cache-flush bit: this set replaces older records of the same name and type.
    bool flushCache() const { return m_flushCache; }
    void setFlushCache(bool flushCache) { m_flushCache = flushCache; }
    // Seconds; 0 is a goodbye.
    quint32 ttl() const { return m_ttl; }
    void setTtl(quint32 ttl) { m_ttl = ttl; }

    QHostAddress address() const { return m_address; }
    void setAddress(const QHostAddress &address) { m_address = address; }
    QByteArray target() const { return m_target; }
    void setTarget(const QByteArray &target) { m_target = target; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    quint16 priority() const { return m_priority; }
    void setPriority(quint16 priority) { m_priority = priority; }
    quint16 weight() const { return m_weight; }
    void setWeight(quint16 weight) { m_weight = weight; }
    // TXT "key=value" strings; a key without "=" holds a null value.
    QMap<QByteArray, QByteArray> attributes() const { return m_attributes; }
    void setAttributes(const QMap<QByteArray, QByteArray> &attributes) { m_attributes = attributes; }

    // Same name, type and data: the same record for a cache, whatever its TTL and flags.
    bool sameData(const Record &other) const;

    bool operator==(const Record &other) const;
    bool operator!=(const Record &other) const { return !(*this == other); }

private:
    QByteArray m_name;
    quint16 m_type = 0;
    bool m_flushCache = false;
    quint32 m_ttl = 0;
    QHostAddress m_address;
    QByteArray m_target;
    quint16 m_port = 0;
    quint16 m_priority = 0;
    quint16 m_weight = 0;
    QMap<QByteArray, QByteArray> m_attributes;
};

} // namespace mdns

Q_DECLARE_METATYPE(mdns::Record)
