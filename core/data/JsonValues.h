#pragma once

#include <QJsonValue>
#include <QtGlobal>

namespace kvr::tracker::common {

// Whole-number conversions the field table types do not cover by themselves.

// A number (truncated towards zero) or a numeric text as a signed 64-bit integer; anything else,
// and a number outside the 64-bit range, gives 0. The conversion of SourceDataField::Int64OrText.
qint64 int64FromJson(const QJsonValue &value);

// A JSON value that must be a whole number within 32 bits (else 0), widened to 64 bits so that
// later values of the key may exceed the 32-bit range without a type change.
qint64 int32AsInt64FromJson(const QJsonValue &value);

// A block's time values: a JSON string of decimal digits as an unsigned 64-bit number. A JSON
// number in its place, a text that is no decimal number and a missing value give 0.
quint64 uint64FromDecimalText(const QJsonValue &value);

} // namespace kvr::tracker::common
