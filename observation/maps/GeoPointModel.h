#pragma once

#include "devices/models/ListModelBase.h"
#include "observation/maps/GeoPoint.h"

// A lighter table of points that also carries their UTM form, a normalised position and an
// error value, each editable by role. GUI thread only.
class GeoPointModel : public ListModelBase<GeoPoint>
{
    Q_OBJECT

public:
    enum Roles {
        WSG84CoordinateLatitudeRole = Qt::UserRole + 1,
        WSG84CoordinateLongitudeRole,
        UTMXCoordinateRole,
        UTMYCoordinateRole,
        NormalizedPositionRole,
        ErrorRole
    };
    Q_ENUM(Roles)

    explicit GeoPointModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    // An unchanged value is refused; the normalised position compares fuzzily.
    Q_INVOKABLE bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Q_INVOKABLE bool setData(const QModelIndex &index, const QVariant &value);

public slots:
    void setZone(int zone);
    void setSouthHemisphere(bool southHemisphere);

private:
    int m_zone = 0;
    bool m_southHemisphere = false;
};
