#include "observation/status/AnalyticInfo.h"

#include "core/data/JsonValues.h"
#include "core/property/AssignProperty.h"
#include "observation/status/FuzzyEqual.h"

#include <QJsonValue>

#include <cmath>
#include <limits>

using kvr::tracker::common::uint64FromDecimalText;

namespace {

constexpr float kDefaultTolerance = 0.001f;

bool sameAxes(const std::array<float, 3> &a, const std::array<float, 3> &b)
{
    return fuzzyEqual(a[0], b[0]) && fuzzyEqual(a[1], b[1]) && fuzzyEqual(a[2], b[2]);
}

// "pan", "tilt", "zoom" of an object as floats, 0 when missing or not numbers.
std::array<float, 3> axesFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    return {float(object.value(QLatin1String("pan")).toDouble()), float(object.value(QLatin1String("tilt")).toDouble()),
            float(object.value(QLatin1String("zoom")).toDouble())};
}

// A whole number in the 32-bit unsigned range, else 0.
uint uintFromJson(const QJsonValue &value)
{
    const double number = value.toDouble();
    const bool fits = std::isfinite(number) && std::floor(number) == number && number >= 0
        && number <= double(std::numeric_limits<uint>::max());
    return fits ? uint(number) : 0u;
}

} // namespace

AnalyticInfo::AnalyticInfo(QObject *parent)
    : QObject(parent)
{
    static const int registered = [] {
        qRegisterMetaType<SourceLocation>("SourceLocation");
        return qRegisterMetaType<AnalyticState>("AnalyticState");
    }();
    Q_UNUSED(registered)
    connect(&m_timeZoneConfig, &TimeZoneConfig::selectedTimezoneChanged, this, &AnalyticInfo::timeZoneConfigChanged);
}

void AnalyticInfo::read(const QJsonObject &object)
{
    const QJsonObject state = object.value(QLatin1String("state")).toObject();
    setState(AnalyticState(kvr::orva::processingStateFromString(state.value(QLatin1String("processing_state")).toString()),
                           kvr::orva::visibilityStateFromString(state.value(QLatin1String("visibility_state")).toString())));
    setIsGeoregistered(object.value(QLatin1String("georegistered")).toBool());
    setCacheStartTimestamp(uint64FromDecimalText(object.value(QLatin1String("cache_start_timestamp"))));
    setCapacity(object.value(QLatin1String("cache_capacity")).toInt());
    setCacheCount(object.value(QLatin1String("cache_count")).toInt());
    setTimestamp(uint64FromDecimalText(object.value(QLatin1String("timestamp"))));
    setFirstCachedTrajectoryTimestamp(uint64FromDecimalText(object.value(QLatin1String("first_cached_trajectory_timestamp"))));
    setLastCachedTrajectoryTimestamp(uint64FromDecimalText(object.value(QLatin1String("last_cached_trajectory_timestamp"))));

    const auto home = object.constFind(QLatin1String("home_position"));
    if (home != object.constEnd()) {
        const auto tolerance = object.constFind(QLatin1String("home_tolerance"));
        setHome(axesFromJson(home.value()), tolerance != object.constEnd()
                                                ? axesFromJson(tolerance.value())
                                                : Axes{kDefaultTolerance, kDefaultTolerance, kDefaultTolerance});
    } else {
        removeHomePosition();
    }

    // An absent location leaves the stored one; the block's location is not announced.
    m_sourceLocation.read(object.value(QLatin1String("camera_location")).toObject());
    setLogicSequenceNumber(uintFromJson(object.value(QLatin1String("sequence_number"))));
    setVmsStreamSourceUuid(object.value(QLatin1String("vms_stream_source_uuid")).toString());
    m_timeZoneConfig.read(object);
}

void AnalyticInfo::setState(AnalyticState state)
{
    assignProperty(this, m_state, state, &AnalyticInfo::stateChanged);
}

void AnalyticInfo::setCapacity(int capacity)
{
    assignProperty(this, m_cacheCapacity, capacity, &AnalyticInfo::cacheCapacityChanged);
}

void AnalyticInfo::setCacheCount(int count)
{
    assignProperty(this, m_cacheCount, count, &AnalyticInfo::cacheCountChanged);
}

void AnalyticInfo::setCacheStartTimestamp(qulonglong timestamp)
{
    assignProperty(this, m_cacheStartTimestamp, timestamp, &AnalyticInfo::cacheStartTimestampChanged);
}

void AnalyticInfo::setTimestamp(qulonglong timestamp)
{
    assignProperty(this, m_timestamp, timestamp, &AnalyticInfo::timestampChanged);
}

void AnalyticInfo::setIsGeoregistered(bool registered)
{
    assignProperty(this, m_georegistered, registered, &AnalyticInfo::georegisteredChanged);
}

void AnalyticInfo::setFirstCachedTrajectoryTimestamp(qulonglong timestamp)
{
    assignProperty(this, m_firstCachedTrajectoryTimestamp, timestamp,
                   &AnalyticInfo::firstCachedTrajectoryTimestampChanged);
}

void AnalyticInfo::setLastCachedTrajectoryTimestamp(qulonglong timestamp)
{
    assignProperty(this, m_lastCachedTrajectoryTimestamp, timestamp,
                   &AnalyticInfo::lastCachedTrajectoryTimestampChanged);
}

void AnalyticInfo::setHomePosition(float pan, float tilt, float zoom)
{
    setHome({pan, tilt, zoom},
            m_homeSet ? m_homeTolerance : Axes{kDefaultTolerance, kDefaultTolerance, kDefaultTolerance});
}

void AnalyticInfo::setHomeTolerance(float pan, float tilt, float zoom)
{
    if (m_homeSet)
        setHome(m_homePosition, {pan, tilt, zoom});
}

void AnalyticInfo::setSourceLocation(SourceLocation location)
{
    assignProperty(this, m_sourceLocation, location, &AnalyticInfo::sourceLocationChanged);
}

void AnalyticInfo::removeHomePosition()
{
    if (!m_homeSet)
        return;
    m_homeSet = false;
    emit homePositionEnabledChanged(false);
    // The six properties now read NaN: QML must not keep showing the old position.
    const float none = std::numeric_limits<float>::quiet_NaN();
    emit homePositionChanged(none, none, none);
    emit homeToleranceChanged(none, none, none);
}

void AnalyticInfo::setLogicSequenceNumber(uint logicSequenceNumber)
{
    assignProperty(this, m_logicSequenceNumber, logicSequenceNumber,
                   &AnalyticInfo::logicSequenceNumberChanged);
}

void AnalyticInfo::setVmsStreamSourceUuid(QString vmsStreamSourceUuid)
{
    assignProperty(this, m_vmsStreamSourceUuid, vmsStreamSourceUuid,
                   &AnalyticInfo::vmsStreamSourceUuidChanged);
}

void AnalyticInfo::setSelectedTimeZone(QTimeZone zone)
{
    m_timeZoneConfig.setSelectedTimezone(zone);
}

float AnalyticInfo::homeValue(const Axes &axes, std::size_t axis) const
{
    return m_homeSet ? axes[axis] : std::numeric_limits<float>::quiet_NaN();
}

void AnalyticInfo::setHome(const Axes &position, const Axes &tolerance)
{
    // Compared with what the properties showed, so that a first position of 0, 0, 0 (or a
    // first tolerance) is announced like any other.
    const bool wasSet = m_homeSet;
    const Axes shownPosition{homePositionPan(), homePositionTilt(), homePositionZoom()};
    const Axes shownTolerance{homeTolerancePan(), homeToleranceTilt(), homeToleranceZoom()};
    const bool positionChanged = !sameAxes(position, shownPosition);
    const bool toleranceChanged = !sameAxes(tolerance, shownTolerance);
    m_homeSet = true;
    if (positionChanged || !wasSet)
        m_homePosition = position;
    if (toleranceChanged || !wasSet)
        m_homeTolerance = tolerance;
    if (positionChanged)
        emit homePositionChanged(position[0], position[1], position[2]);
    if (!wasSet)
        emit homePositionEnabledChanged(true);
    if (toleranceChanged)
        emit homeToleranceChanged(tolerance[0], tolerance[1], tolerance[2]);
}
