#pragma once

#include "core/data/EnumKeys.h"
#include "core/data/SourceData.h"

#include <QColor>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace kvr::tracker::common {

// Conversions of the frame-format records that the shared field table does not cover. Works
// through the record's public map access, so a record mixes it freely with readFields.
struct FrameField
{
    enum class Type {
        Bits8,      // JSON integer (0 when not a whole number), low 8 bits, stored as int
        Bits16,     // the same with the low 16 bits
        Color,      // JSON text parsed as a colour name, stored as "#aarrggbb"
        StringList, // array; each element as text (its text form, or empty)
        Polygon,    // array of {"x", "y"}, stored as QPolygonF
        Point,      // {"x", "y"}, stored as QPointF
        Size,       // {"width", "height"}, stored as QSize; a missing member is 0
        Int64,      // a number or a numeric text as qint64, anything else 0
        UIntText,   // a decimal text as quint32 (a JSON number or other text is 0); written as text
    };

    QString key;
    Type type;
};

// Stores every field whose key `data` holds; absent keys keep their value.
void readFrameField(SourceData &record, const QJsonObject &data, const FrameField &field);
// Writes the field when the map holds its key (a colour as the parsed stored text).
void writeFrameField(const SourceData &record, QJsonObject &data, const FrameField &field);

template <class Fields>
void readFrameFields(SourceData &record, const QJsonObject &data, const Fields &fields)
{
    for (const FrameField &field : fields)
        readFrameField(record, data, field);
}

template <class Fields>
void writeFrameFields(const SourceData &record, QJsonObject &data, const Fields &fields)
{
    for (const FrameField &field : fields)
        writeFrameField(record, data, field);
}

// A number or a numeric text as a signed 64-bit integer; anything else 0.
qint64 int64FromJson(const QJsonValue &value);

// A colour's alpha-first lower-case hex name, "#aarrggbb": the stored form of every colour.
QString colorText(const QColor &color);
// The colour named by the stored text; `fallback` (a colour name) when the key is absent, and
// also for an empty text when `emptyIsFallback`.
QColor storedColor(const SourceData &record, const QString &key, const QString &fallback,
                   bool emptyIsFallback = false);

// Same texts regardless of order and repetition.
bool sameStringSet(const QStringList &a, const QStringList &b);

// An enumeration under `key` as key text: the JSON text turned into E (exact key, else
// `fallback`) and that value's key stored, so a misspelt text is stored in its corrected form.
template <class E>
void readEnumKey(SourceData &record, const QJsonObject &data, const QString &key, E fallback)
{
    const auto it = data.constFind(key);
    if (it != data.constEnd())
        record.setValue(key, enumToKey(enumFromKey(it.value().toString(), fallback)));
}

// Writes the key text of the enumeration's getter value, when the map holds the key.
template <class E>
void writeEnumKey(const SourceData &record, QJsonObject &data, const QString &key, E value)
{
    if (record.contains(key))
        data.insert(key, enumToKey(value));
}

} // namespace kvr::tracker::common
