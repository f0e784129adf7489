#pragma once

#include <QGeoCoordinate>
#include <QMetaType>
#include <QPointF>
#include <QPolygonF>

// A geographic point of a table: WGS 84 coordinate, with its UTM form, a normalised position and
// an error value that editors fill in.
struct GeoPoint
{
    double error = 0.0;
    QGeoCoordinate coordinate{0.0, 0.0};
    QPointF utm;
    QPointF normalizedPosition;
    QPolygonF polygon;
};

Q_DECLARE_METATYPE(GeoPoint)
