#include "observation/status/BlockStatusInfo.h"

#include "core/data/JsonValues.h"

namespace kvr {

using tracker::common::uint64FromDecimalText;

BlockStatusInfo::BlockStatusInfo(QObject *parent)
    : QObject(parent)
    , m_timeDateStatus(this)
{
    static const int registered = [] {
        qRegisterMetaType<kvr::BlockStatusInfo *>();
        return qRegisterMetaType<kvr::TimeDateStatus>();
    }();
    Q_UNUSED(registered)
}

void BlockStatusInfo::setCurrentBlockTime(qulonglong timestamp)
{
    if (m_currentBlockTime == timestamp)
        return;
    m_currentBlockTime = timestamp;
    emit currentBlockTimeChanged(timestamp);
}

void BlockStatusInfo::setOnlineSince(qulonglong timestamp)
{
    if (m_onlineSince == timestamp)
        return;
    m_onlineSince = timestamp;
    emit onlineSinceChanged(timestamp);
}

void BlockStatusInfo::setUptime(qulonglong timestamp)
{
    if (m_uptime == timestamp)
        return;
    m_uptime = timestamp;
    emit uptimeChanged(timestamp);
}

void BlockStatusInfo::read(const QJsonObject &object)
{
    setCurrentBlockTime(uint64FromDecimalText(object.value(QLatin1String("current_block_time"))));
    setOnlineSince(uint64FromDecimalText(object.value(QLatin1String("online_since"))));
    setUptime(uint64FromDecimalText(object.value(QLatin1String("uptime"))));

    const auto timeStatus = object.constFind(QLatin1String("time_status"));
    if (timeStatus == object.constEnd())
        return;
    TimeDateStatus status;
    status.read(timeStatus.value().toObject());
    if (status == m_timeDateStatus)
        return;
    m_timeDateStatus = status;
    emit timeDateStatusChanged(m_timeDateStatus);
}

} // namespace kvr
