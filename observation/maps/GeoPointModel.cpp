#include "observation/maps/GeoPointModel.h"

#include "core/log/Log.h"

namespace {

// Stores value into field unless it is already equal; true when it changed.
template <typename T>
bool assignChanged(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

GeoPointModel::GeoPointModel(QObject *parent)
    : ListModelBase<GeoPoint>(parent)
{
}

QVariant GeoPointModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const GeoPoint &point = m_items.at(index.row());
    switch (role) {
    case WSG84CoordinateLatitudeRole: return point.coordinate.latitude();
    case WSG84CoordinateLongitudeRole: return point.coordinate.longitude();
    case UTMXCoordinateRole: return point.utm.x();
    case UTMYCoordinateRole: return point.utm.y();
    case NormalizedPositionRole: return point.normalizedPosition;
    case ErrorRole: return point.error;
    default: return QVariant();
    }
}

QHash<int, QByteArray> GeoPointModel::roleNames() const
{
    return {
        {WSG84CoordinateLatitudeRole, "WSG84CoordinateLatitudeRole"},
        {WSG84CoordinateLongitudeRole, "WSG84CoordinateLongitudeRole"},
        {UTMXCoordinateRole, "UTMXCoordinateRole"},
        {UTMYCoordinateRole, "UTMYCoordinateRole"},
        {NormalizedPositionRole, "NormalizedPositionRole"},
        {ErrorRole, "ErrorRole"},
    };
}

bool GeoPointModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isRow(index)) {
        LOG_ERR(QStringLiteral("Invalid index!"));
        return false;
    }
    GeoPoint &point = m_items[index.row()];
    const double number = value.toDouble();
    bool changed = false;
    switch (role) {
    case WSG84CoordinateLatitudeRole:
        changed = point.coordinate.latitude() != number;
        point.coordinate.setLatitude(number);
        break;
    case WSG84CoordinateLongitudeRole:
        changed = point.coordinate.longitude() != number;
        point.coordinate.setLongitude(number);
        break;
    case UTMXCoordinateRole: changed = point.utm.x() != number; point.utm.setX(number); break;
    case UTMYCoordinateRole: changed = point.utm.y() != number; point.utm.setY(number); break;
    // QPointF's == is Qt's fuzzy comparison per coordinate.
    case NormalizedPositionRole: changed = assignChanged(point.normalizedPosition, value.toPointF()); break;
    case ErrorRole: changed = assignChanged(point.error, number); break;
    default: return false;
    }
    if (!changed)
        return false;
    emit dataChanged(index, index, {role});
    return true;
}

bool GeoPointModel::setData(const QModelIndex &index, const QVariant &value)
{
    return setData(index, value, Qt::EditRole);
}

void GeoPointModel::setZone(int zone)
{
    m_zone = zone;
}

void GeoPointModel::setSouthHemisphere(bool southHemisphere)
{
    m_southHemisphere = southHemisphere;
}
