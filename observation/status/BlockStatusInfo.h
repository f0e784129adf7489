#pragma once

#include "observation/status/TimeDateStatus.h"

#include <QJsonObject>
#include <QObject>

namespace kvr {

// The clock, start time, uptime and NTP state of an observed block ("/block_status_info").
// The three times are passed on as the block reports them; their unit is the block's.
class BlockStatusInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qulonglong currentBlockTime READ currentBlockTime WRITE setCurrentBlockTime NOTIFY currentBlockTimeChanged)
    Q_PROPERTY(qulonglong onlineSince READ onlineSince WRITE setOnlineSince NOTIFY onlineSinceChanged)
    Q_PROPERTY(qulonglong uptime READ uptime WRITE setUptime NOTIFY uptimeChanged)
    Q_PROPERTY(kvr::TimeDateStatus *timeDateStatus READ timeDateStatus NOTIFY timeDateStatusChanged)

public:
    explicit BlockStatusInfo(QObject *parent = nullptr);

    qulonglong currentBlockTime() const { return m_currentBlockTime; }
    void setCurrentBlockTime(qulonglong timestamp);
    qulonglong onlineSince() const { return m_onlineSince; }
    void setOnlineSince(qulonglong timestamp);
    qulonglong uptime() const { return m_uptime; }
    void setUptime(qulonglong timestamp);
    // The member object; it lives as long as this record.
    TimeDateStatus *timeDateStatus() { return &m_timeDateStatus; }

    // Applies a "/block_status_info" reply: times as strings of digits (anything else is 0),
    // the NTP state only when "time_status" is present.
    void read(const QJsonObject &object);

signals:
    void currentBlockTimeChanged(qulonglong timestamp);
    void onlineSinceChanged(qulonglong timestamp);
    void uptimeChanged(qulonglong timestamp);
    void timeDateStatusChanged(kvr::TimeDateStatus status);

private:
    qulonglong m_currentBlockTime = 0;
    qulonglong m_onlineSince = 0;
    qulonglong m_uptime = 0;
    TimeDateStatus m_timeDateStatus;
};

} // namespace kvr
