#pragma once

#include "core/data/EnumKeys.h"
#include "core/data/SourceData.h"

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

// Calls `read` with the member's value when `data` has the key (null included); an absent key
// leaves the record alone.
template <class Read>
void readIfPresent(const QJsonObject &data, const QString &key, Read read)
{
    const auto it = data.constFind(key);
    if (it != data.constEnd())
        read(it.value());
}

// An enumeration key read from JSON is stored normalised: a text that is no key is stored as
// the fallback's key.
template <class E>
void readEnumKey(SourceData &record, const QJsonObject &data, const QString &key, E fallback)
{
    readIfPresent(data, key, [&](const QJsonValue &value) {
        record.setValue(key, enumToKey(enumFromKey(value.toString(), fallback)));
    });
}

// The text form a record's value map has in log lines.
QString variantMapText(const QVariantMap &map);

} // namespace kvr::tracker::common
