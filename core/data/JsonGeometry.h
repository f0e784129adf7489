#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QSize>
#include <QStringList>
#include <QVariantList>

namespace kvr::tracker::common {

// A polygon from an array of {"x": ..., "y": ...} objects: one point per element, in order.
// Each coordinate goes through QVariant's conversion to double (numbers and numeric texts give
// their value, true 1, false 0); anything else (missing, null, non-numeric text, array, object,
// an element that is no object) gives 0. Never fails, logs nothing.
QPolygonF polygonFromJson(const QJsonArray &array);
// The same rule into a list of points.
QList<QPointF> pointListFromJson(const QJsonArray &array);

// Arrays of {"x": x, "y": y} objects, in order.
QJsonArray polygonToJson(const QPolygonF &polygon);
QJsonArray pointListToJson(const QList<QPointF> &points);

// A size as {"width": w, "height": h}; a member that is no whole number reads as 0.
QSize sizeFromJson(const QJsonValue &value);
QJsonObject sizeToJson(const QSize &size);

// Same length and order; a string unchanged, anything else converted to text, or empty when
// it has no text form.
QStringList stringListFromVariantList(const QVariantList &list);

} // namespace kvr::tracker::common
