#pragma once

#include "devices/models/ListModelBase.h"
#include "observation/maps/GeoTableCoordinate.h"

#include <QGeoPath>
#include <QList>
#include <QPointer>

class QAbstractItemModel;

// A table of geographic points (a QML element): one row per point with its id, type and WGS 84
// coordinate, the coordinate editable by role. On the map it holds one row per observed cube,
// kept in step with the cube model it is given. GUI thread only.
class GeoTableModel : public ListModelBase<GeoTableCoordinate>
{
    Q_OBJECT
    Q_PROPERTY(QGeoPath focusRegion READ focusRegion WRITE setFocusRegion NOTIFY focusRegionChanged)
    Q_PROPERTY(QAbstractItemModel *cubeModel READ cubeModel WRITE setCubeModel NOTIFY cubeModelChanged)

public:
    enum Roles {
        IdRole = Qt::UserRole + 1,
        TypeRole,
        ColorRole,
        IconRole,
        WSG84CoordinateLatitudeRole,
        WSG84CoordinateLongitudeRole
    };
    Q_ENUM(Roles)

    explicit GeoTableModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    // Only the latitude and longitude roles are editable; an unchanged value is refused.
    Q_INVOKABLE bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Q_INVOKABLE bool setData(const QModelIndex &index, const QVariant &value);

    QGeoPath focusRegion() const { return m_focusRegion; }

    // The cube model whose rows the table mirrors: one row per cube, its observer id and its
    // camera's position (an invalid coordinate while the cube has no camera). Not owned.
    QAbstractItemModel *cubeModel() const { return m_cubeModel; }
    void setCubeModel(QAbstractItemModel *model);

    // Replaces every row (one model reset); nothing happens when the counts differ.
    Q_INVOKABLE void loadCoordinates(const QList<int> &ids, const QGeoPath &geoPath);
    // The path of every row's coordinate; rows without a position are left out.
    Q_INVOKABLE void updateFocusRegion();

    // A copy of the first row with that id, or a default row (id -1, coordinate (0, 0)).
    GeoTableCoordinate itemById(int id) const;

public slots:
    void setFocusRegion(const QGeoPath &region);
    void setZone(int zone);
    void setSouthHemisphere(bool southHemisphere);

signals:
    void focusRegionChanged();
    void cubeModelChanged();

private:
    void reloadCubes();

    int m_zone = 0;
    bool m_southHemisphere = false;
    QGeoPath m_focusRegion;
    QPointer<QAbstractItemModel> m_cubeModel;
    QList<QMetaObject::Connection> m_cubeConnections;
    int m_cubeIdRole = -1;
    int m_cubeLatitudeRole = -1;
    int m_cubeLongitudeRole = -1;
};
