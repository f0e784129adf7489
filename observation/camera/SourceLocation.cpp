#include "observation/camera/SourceLocation.h"

#include <QJsonValue>
#include <QtGlobal>

namespace {

const QString kName = QStringLiteral("name");
const QString kLongitude = QStringLiteral("longitude");
const QString kLatitude = QStringLiteral("latitude");

// Shifted by one so that coordinates near 0 compare by absolute, not relative, difference.
bool sameCoordinate(double a, double b)
{
    return qFuzzyCompare(a + 1.0, b + 1.0);
}

} // namespace

void SourceLocation::read(const QJsonObject &object)
{
    const QJsonValue name = object.value(kName);
    if (name.isString())
        m_name = name.toString();
    const QJsonValue longitude = object.value(kLongitude);
    if (longitude.isDouble())
        m_longitude = longitude.toDouble();
    const QJsonValue latitude = object.value(kLatitude);
    if (latitude.isDouble())
        m_latitude = latitude.toDouble();
}

bool SourceLocation::operator==(const SourceLocation &other) const
{
    return m_name == other.m_name && sameCoordinate(m_longitude, other.m_longitude)
        && sameCoordinate(m_latitude, other.m_latitude);
}
