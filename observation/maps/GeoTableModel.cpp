#include "observation/maps/GeoTableModel.h"

#include "core/log/Log.h"
#include "core/property/AssignProperty.h"

#include <QAbstractItemModel>

#include <algorithm>

namespace {

int roleNamed(const QAbstractItemModel *model, const QByteArray &name)
{
    const QHash<int, QByteArray> names = model->roleNames();
    return names.key(name, -1);
}

QVariant coordinateValue(const QGeoCoordinate &coordinate, int role)
{
    return role == GeoTableModel::WSG84CoordinateLatitudeRole ? coordinate.latitude() : coordinate.longitude();
}

} // namespace

GeoTableModel::GeoTableModel(QObject *parent)
    : ListModelBase<GeoTableCoordinate>(parent)
{
}

QVariant GeoTableModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index)) {
        LOG_ERR(QStringLiteral("Invalid index!"));
        return QVariant();
    }
    const GeoTableCoordinate &item = m_items.at(index.row());
    switch (role) {
    case IdRole: return item.id;
    case TypeRole: return item.type.typeName;
    case ColorRole: return item.type.color;
    case IconRole: return QStringLiteral("qrc:/images/icon_%1.svg").arg(item.type.icon);
    case WSG84CoordinateLatitudeRole:
    case WSG84CoordinateLongitudeRole: return coordinateValue(item.coordinate, role);
    default: return QVariant();
    }
}

QHash<int, QByteArray> GeoTableModel::roleNames() const
{
    return {
        {IdRole, "IdRole"},
        {TypeRole, "TypeRole"},
        {ColorRole, "ColorRole"},
        {IconRole, "IconRole"},
        {WSG84CoordinateLatitudeRole, "WSG84CoordinateLatitudeRole"},
        {WSG84CoordinateLongitudeRole, "WSG84CoordinateLongitudeRole"},
    };
}

bool GeoTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isRow(index)) {
        LOG_ERR(QStringLiteral("Invalid index!"));
        return false;
    }
    QGeoCoordinate &coordinate = m_items[index.row()].coordinate;
    const double number = value.toDouble();
    switch (role) {
    case WSG84CoordinateLatitudeRole:
        if (coordinate.latitude() == number)
            return false;
        coordinate.setLatitude(number);
        break;
    case WSG84CoordinateLongitudeRole:
        if (coordinate.longitude() == number)
            return false;
        coordinate.setLongitude(number);
        break;
    default: return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

bool GeoTableModel::setData(const QModelIndex &index, const QVariant &value)
{
    return setData(index, value, Qt::EditRole);
}

void GeoTableModel::setCubeModel(QAbstractItemModel *model)
{
    if (m_cubeModel == model)
        return;
    for (const QMetaObject::Connection &connection : qAsConst(m_cubeConnections))
        disconnect(connection);
    m_cubeConnections.clear();
    m_cubeModel = model;
    if (model) {
        m_cubeIdRole = roleNamed(model, "ObserverIdRole");
        m_cubeLatitudeRole = roleNamed(model, "CubeCameraPositionLatitude");
        m_cubeLongitudeRole = roleNamed(model, "CubeCameraPositionLongitude");
        // Cubes arrive one by one after log-in and their cameras later still: follow every change.
        const auto reload = [this] { reloadCubes(); };
        m_cubeConnections = {
            connect(model, &QAbstractItemModel::rowsInserted, this, reload),
            connect(model, &QAbstractItemModel::rowsRemoved, this, reload),
            connect(model, &QAbstractItemModel::rowsMoved, this, reload),
            connect(model, &QAbstractItemModel::modelReset, this, reload),
            connect(model, &QAbstractItemModel::layoutChanged, this, reload),
            connect(model, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex &, const QModelIndex &, const QVector<int> &roles) {
                        if (roles.isEmpty() || roles.contains(m_cubeIdRole) || roles.contains(m_cubeLatitudeRole)
                            || roles.contains(m_cubeLongitudeRole))
                            reloadCubes();
                    }),
            connect(model, &QObject::destroyed, this,
                    [this] {
                        m_cubeConnections.clear();
                        emit cubeModelChanged();
                    }),
        };
        reloadCubes();
    }
    emit cubeModelChanged();
}

void GeoTableModel::reloadCubes()
{
    if (!m_cubeModel)
        return;
    QVector<GeoTableCoordinate> rows;
    rows.reserve(m_cubeModel->rowCount());
    for (int row = 0; row < m_cubeModel->rowCount(); ++row) {
        const QModelIndex index = m_cubeModel->index(row, 0);
        const QVariant latitude = index.data(m_cubeLatitudeRole);
        const QVariant longitude = index.data(m_cubeLongitudeRole);
        GeoTableCoordinate item;
        item.id = index.data(m_cubeIdRole).toInt();
        // A cube without a camera keeps its row, so that its id still finds it.
        item.coordinate = latitude.isValid() && longitude.isValid()
                              ? QGeoCoordinate(latitude.toDouble(), longitude.toDouble())
                              : QGeoCoordinate();
        rows.append(item);
    }

    const bool sameIds = rows.size() == m_items.size()
                         && std::equal(rows.cbegin(), rows.cend(), m_items.cbegin(),
                                       [](const GeoTableCoordinate &a, const GeoTableCoordinate &b) {
                                           return a.id == b.id;
                                       });
    if (!sameIds) {
        resetItems(rows);
        return;
    }
    // A moved camera: change the row in place, so that the map keeps its other pins.
    for (int row = 0; row < rows.size(); ++row) {
        if (m_items.at(row).coordinate == rows.at(row).coordinate)
            continue;
        m_items[row].coordinate = rows.at(row).coordinate;
        const QModelIndex changed = index(row, 0);
        emit dataChanged(changed, changed, {WSG84CoordinateLatitudeRole, WSG84CoordinateLongitudeRole});
    }
}

void GeoTableModel::loadCoordinates(const QList<int> &ids, const QGeoPath &geoPath)
{
    const QList<QGeoCoordinate> path = geoPath.path();
    if (ids.size() != path.size())
        return;
    QVector<GeoTableCoordinate> rows;
    rows.reserve(ids.size());
    for (int i = 0; i < ids.size(); ++i) {
        GeoTableCoordinate item;
        item.id = ids.at(i);
        item.coordinate = path.at(i);
        rows.append(item);
    }
    resetItems(rows);
}

void GeoTableModel::updateFocusRegion()
{
    QGeoPath region;
    for (const GeoTableCoordinate &item : qAsConst(m_items)) {
        if (item.coordinate.isValid())
            region.addCoordinate(item.coordinate);
    }
    setFocusRegion(region);
}

GeoTableCoordinate GeoTableModel::itemById(int id) const
{
    for (const GeoTableCoordinate &item : m_items) {
        if (item.id == id)
            return item;
    }
    return GeoTableCoordinate();
}

void GeoTableModel::setFocusRegion(const QGeoPath &region)
{
    assignProperty(this, m_focusRegion, region, &GeoTableModel::focusRegionChanged);
}

void GeoTableModel::setZone(int zone)
{
    m_zone = zone;
}

void GeoTableModel::setSouthHemisphere(bool southHemisphere)
{
    m_southHemisphere = southHemisphere;
}
