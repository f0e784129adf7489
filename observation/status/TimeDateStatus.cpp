#include "observation/status/TimeDateStatus.h"

#include "core/property/AssignProperty.h"

#include <QJsonArray>
#include <QJsonValue>

namespace kvr {

TimeDateStatus::TimeDateStatus(QObject *parent)
    : QObject(parent)
{
}

TimeDateStatus::TimeDateStatus(const TimeDateStatus &other)
    : QObject()
{
    *this = other;
}

TimeDateStatus &TimeDateStatus::operator=(const TimeDateStatus &other)
{
    setNtpActive(other.m_ntpActive);
    setServers(other.m_servers);
    setNtpSynchronized(other.m_ntpSynchronized);
    setValid(other.m_valid);
    return *this;
}

TimeDateStatus::~TimeDateStatus() = default;

bool TimeDateStatus::operator==(const TimeDateStatus &other) const
{
    return m_ntpActive == other.m_ntpActive && m_servers == other.m_servers
        && m_ntpSynchronized == other.m_ntpSynchronized && m_valid == other.m_valid;
}

void TimeDateStatus::read(const QJsonObject &object)
{
    setNtpActive(object.value(QLatin1String("ntp_enabled")).toBool());
    QStringList servers;
    const QJsonArray array = object.value(QLatin1String("ntp_servers")).toArray();
    servers.reserve(array.size());
    for (const QJsonValue &server : array)
        servers << server.toString();
    setServers(servers);
    setNtpSynchronized(object.value(QLatin1String("ntp_synced")).toBool());
    setValid(object.value(QLatin1String("valid")).toBool());
}

void TimeDateStatus::setNtpActive(bool active)
{
    assignProperty(this, m_ntpActive, active, &TimeDateStatus::ntpActiveChanged);
}

void TimeDateStatus::setServers(const QStringList &servers)
{
    assignProperty(this, m_servers, servers, &TimeDateStatus::serversChanged);
}

void TimeDateStatus::setNtpSynchronized(bool synchronized)
{
    assignProperty(this, m_ntpSynchronized, synchronized, &TimeDateStatus::ntpSynchronizedChanged);
}

void TimeDateStatus::setValid(bool valid)
{
    assignProperty(this, m_valid, valid, &TimeDateStatus::validChanged);
}

} // namespace kvr
