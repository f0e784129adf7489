#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QPointF>
#include <QPolygonF>

namespace kvr::tracker::common {

// Zones and positions of the records are normalised image coordinates.

// x and y within [0, 1], bounds included; a coordinate that is not a number is outside.
bool isInUnitSquare(const QPointF &point);

// Same number of points and every coordinate equal without tolerance (QPolygonF's == is fuzzy).
bool samePointsExactly(const QPolygonF &a, const QPolygonF &b);

// One {"x", "y"} object by the polygon reader's coordinate rule; a non-object reads as (0, 0).
QPointF pointFromJson(const QJsonValue &value);
QJsonObject pointToJson(const QPointF &point);

} // namespace kvr::tracker::common
