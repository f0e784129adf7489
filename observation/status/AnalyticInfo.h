#pragma once

#include "observation/camera/SourceLocation.h"
#include "observation/status/AnalyticState.h"
#include "observation/status/TimeZoneConfig.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimeZone>

#include <array>

// The analytics state of one cube ("analytic_info" of the analytics poll) for QML. Every value
// signals when it really changes, also when it drops to 0; the PTZ home properties read NaN
// while no home position is set.
class AnalyticInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(AnalyticState state READ state NOTIFY stateChanged)
    Q_PROPERTY(int cacheCapacity READ cacheCapacity NOTIFY cacheCapacityChanged)
    Q_PROPERTY(int trajectoriesCount READ cacheCount NOTIFY cacheCountChanged)
    Q_PROPERTY(qulonglong cacheStartTimestamp READ cacheStartTimestamp NOTIFY cacheStartTimestampChanged)
    Q_PROPERTY(qulonglong timestamp READ timestamp NOTIFY timestampChanged)
    Q_PROPERTY(bool georegistered READ georegistered NOTIFY georegisteredChanged)
    Q_PROPERTY(qulonglong firstCachedTrajectoryTimestamp READ firstCachedTrajectoryTimestamp NOTIFY firstCachedTrajectoryTimestampChanged)
    Q_PROPERTY(qulonglong lastCachedTrajectoryTimestamp READ lastCachedTrajectoryTimestamp NOTIFY lastCachedTrajectoryTimestampChanged)
    Q_PROPERTY(float homePositionEnabled READ homePositionEnabled NOTIFY homePositionEnabledChanged)
    Q_PROPERTY(float homePositionPan READ homePositionPan NOTIFY homePositionChanged)
    Q_PROPERTY(float homePositionTilt READ homePositionTilt NOTIFY homePositionChanged)
    Q_PROPERTY(float homePositionZoom READ homePositionZoom NOTIFY homePositionChanged)
    Q_PROPERTY(float homeTolerancePan READ homeTolerancePan NOTIFY homeToleranceChanged)
    Q_PROPERTY(float homeToleranceTilt READ homeToleranceTilt NOTIFY homeToleranceChanged)
    Q_PROPERTY(float homeToleranceZoom READ homeToleranceZoom NOTIFY homeToleranceChanged)
    Q_PROPERTY(TimeZoneConfig *timeZoneConfig READ timeZoneConfig CONSTANT)

public:
    explicit AnalyticInfo(QObject *parent = nullptr);

    AnalyticState state() const { return m_state; }
    int cacheCapacity() const { return m_cacheCapacity; }
    int cacheCount() const { return m_cacheCount; }
    qulonglong cacheStartTimestamp() const { return m_cacheStartTimestamp; }
    qulonglong timestamp() const { return m_timestamp; }
    bool georegistered() const { return m_georegistered; }
    qulonglong firstCachedTrajectoryTimestamp() const { return m_firstCachedTrajectoryTimestamp; }
    qulonglong lastCachedTrajectoryTimestamp() const { return m_lastCachedTrajectoryTimestamp; }
    // 1 when a home position is set, else 0.
    float homePositionEnabled() const { return m_homeSet ? 1.0f : 0.0f; }
    bool isHomePositionSet() const { return m_homeSet; }
    float homePositionPan() const { return homeValue(m_homePosition, 0); }
    float homePositionTilt() const { return homeValue(m_homePosition, 1); }
    float homePositionZoom() const { return homeValue(m_homePosition, 2); }
    float homeTolerancePan() const { return homeValue(m_homeTolerance, 0); }
    float homeToleranceTilt() const { return homeValue(m_homeTolerance, 1); }
    float homeToleranceZoom() const { return homeValue(m_homeTolerance, 2); }
    SourceLocation sourceLocation() const { return m_sourceLocation; }
    uint logicSequenceNumber() const { return m_logicSequenceNumber; }
    QString vmsStreamSourceUuid() const { return m_vmsStreamSourceUuid; }
    // The member object; it lives as long as this one.
    TimeZoneConfig *timeZoneConfig() { return &m_timeZoneConfig; }

    // Applies a cube's "analytic_info" object; missing or mistyped values read as 0, false,
    // empty or Unknown (time stamps sent as JSON numbers read as 0).
    void read(const QJsonObject &object);

public slots:
    void setState(AnalyticState state);
    void setCapacity(int capacity);
    void setCacheCount(int count);
    void setCacheStartTimestamp(qulonglong timestamp);
    void setTimestamp(qulonglong timestamp);
    void setIsGeoregistered(bool registered);
    void setFirstCachedTrajectoryTimestamp(qulonglong timestamp);
    void setLastCachedTrajectoryTimestamp(qulonglong timestamp);
    // Sets a home position; the first one comes with a tolerance of 0.001 on each axis.
    void setHomePosition(float pan, float tilt, float zoom);
    // Only while a home position is set.
    void setHomeTolerance(float pan, float tilt, float zoom);
    void setSourceLocation(SourceLocation location);
    void removeHomePosition();
    void setLogicSequenceNumber(uint logicSequenceNumber);
    void setVmsStreamSourceUuid(QString vmsStreamSourceUuid);
    void setSelectedTimeZone(QTimeZone zone);

signals:
    void stateChanged(AnalyticState state);
    void cacheCapacityChanged(int capacity);
    void cacheCountChanged(int count);
    void cacheStartTimestampChanged(qulonglong timestamp);
    void georegisteredChanged(bool georegistered);
    void timestampChanged(qulonglong timestamp);
    void firstCachedTrajectoryTimestampChanged(qulonglong timestamp);
    void lastCachedTrajectoryTimestampChanged(qulonglong timestamp);
    void homePositionEnabledChanged(bool homePositionEnabled);
    void homePositionChanged(float pan, float tilt, float zoom);
    void homeToleranceChanged(float pan, float tilt, float zoom);
    void logicSequenceNumberChanged(uint logicSequenceNumber);
    void sourceLocationChanged(SourceLocation sourceLocation);
    void vmsStreamSourceUuidChanged(QString vmsStreamSourceUuid);
    void timeZoneConfigChanged();

private:
    using Axes = std::array<float, 3>; // pan, tilt, zoom

    float homeValue(const Axes &axes, std::size_t axis) const;
    // Stores a set home position with its tolerance; signals what the properties show differently.
    void setHome(const Axes &position, const Axes &tolerance);

    AnalyticState m_state;
    bool m_georegistered = false;
    int m_cacheCapacity = 0;
    int m_cacheCount = 0;
    qulonglong m_cacheStartTimestamp = 0;
    qulonglong m_timestamp = 0;
    qulonglong m_firstCachedTrajectoryTimestamp = 0;
    qulonglong m_lastCachedTrajectoryTimestamp = 0;
    bool m_homeSet = false;
    Axes m_homePosition{};
    Axes m_homeTolerance{};
    SourceLocation m_sourceLocation;
    uint m_logicSequenceNumber = 0;
    QString m_vmsStreamSourceUuid;
    TimeZoneConfig m_timeZoneConfig;
};
