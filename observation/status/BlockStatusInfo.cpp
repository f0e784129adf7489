#include "observation/status/BlockStatusInfo.h"

#include "core/data/JsonValues.h"
#include "core/property/AssignProperty.h"

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
    assignProperty(this, m_currentBlockTime, timestamp, &BlockStatusInfo::currentBlockTimeChanged);
}

void BlockStatusInfo::setOnlineSince(qulonglong timestamp)
{
    assignProperty(this, m_onlineSince, timestamp, &BlockStatusInfo::onlineSinceChanged);
}

void BlockStatusInfo::setUptime(qulonglong timestamp)
{
    assignProperty(this, m_uptime, timestamp, &BlockStatusInfo::uptimeChanged);
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
    assignProperty(this, m_timeDateStatus, status, &BlockStatusInfo::timeDateStatusChanged);
}

} // namespace kvr
