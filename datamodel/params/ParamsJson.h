#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QRectF>
#include <QString>
#include <QVariantMap>

namespace kvr::tracker::common {

// Conversions the record field tables cannot express, shared by the processing-parameter records.

// A JSON value that must be a whole number within 32 bits (else 0), widened to 64 bits so that
// later values of the key may exceed the 32-bit range without a type change.
qint64 int32AsInt64FromJson(const QJsonValue &value);

// A rectangle as {"x", "y", "width", "height"}; each member through QVariant's conversion to
// double, a missing or unconvertible member giving 0. A non-object reads as all zeros.
QRectF rectFromJson(const QJsonValue &value);
QJsonObject rectToJson(const QRectF &rect);

// The text form a record's value map has in log lines.
QString variantMapText(const QVariantMap &map);

} // namespace kvr::tracker::common
