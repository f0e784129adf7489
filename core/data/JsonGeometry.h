#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
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

// One point from {"x": ..., "y": ...} by the same coordinate rule (a non-object gives 0, 0).
QPointF pointFromJson(const QJsonValue &value);
QJsonObject pointToJson(const QPointF &point);

// Arrays of {"x": x, "y": y} objects, in order.
QJsonArray polygonToJson(const QPolygonF &polygon);
QJsonArray pointListToJson(const QList<QPointF> &points);

// A size as {"width": w, "height": h}; a member that is no whole number reads as 0.
QSize sizeFromJson(const QJsonValue &value);
QJsonObject sizeToJson(const QSize &size);

// A rectangle as {"x", "y", "width", "height"}, each member by the coordinate rule of the
// points (missing or unconvertible gives 0); a non-object reads as all zeros.
QRectF rectFromJson(const QJsonValue &value);
QJsonObject rectToJson(const QRectF &rect);

// Same length and order; a string unchanged, anything else converted to text, or empty when
// it has no text form.
QStringList stringListFromVariantList(const QVariantList &list);

// Same texts regardless of order and repetition.
bool sameStringSet(const QStringList &a, const QStringList &b);

namespace detail {
// Records keep Gui value types (QPolygonF, QVector2D) in QVariants. QtGui registers their QVariant
// handler when the library loads, and a linker that drops unreferenced libraries would leave it
// out of programs without a QGuiApplication (tests, tools): such a QVariant would come out empty.
// Referencing a QtGui symbol keeps the library loaded. Always true.
bool linkGuiVariantHandler();
} // namespace detail

// x and y within [0, 1], bounds included: zones and positions are normalised image coordinates.
bool isInUnitSquare(const QPointF &point);

// Same number of points and every coordinate equal without tolerance (QPolygonF's == is fuzzy).
bool samePointsExactly(const QPolygonF &a, const QPolygonF &b);

} // namespace kvr::tracker::common
