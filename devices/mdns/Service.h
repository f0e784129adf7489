#pragma once

#include <QByteArray>
#include <QMap>
#include <QMetaType>

namespace mdns {

// One DNS-SD service instance: "name" is its own label, "type" the service type it was
// found under (ending in ".local."), "hostname" and "port" come from its SRV record and
// the attributes from its TXT record.
class Service
{
public:
    QByteArray name() const { return m_name; }
    void setName(const QByteArray &name) { m_name = name; }
    QByteArray type() const { return m_type; }
    void setType(const QByteArray &type) { m_type = type; }
    QByteArray hostname() const { return m_hostname; }
    void setHostname(const QByteArray &hostname) { m_hostname = hostname; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    QMap<QByteArray, QByteArray> attributes() const { return m_attributes; }
    void setAttributes(const QMap<QByteArray, QByteArray> &attributes) { m_attributes = attributes; }

    bool operator==(const Service &other) const;
    bool operator!=(const Service &other) const { return !(*this == other); }

private:
    QByteArray m_name;
    QByteArray m_type;
    QByteArray m_hostname;
    quint16 m_port = 0;
    QMap<QByteArray, QByteArray> m_attributes;
};

} // namespace mdns

Q_DECLARE_METATYPE(mdns::Service)
