#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace kvr::tracker::common {

// One plain field of a record's field table, for SourceData::readFields/writeFields.
// The type decides the conversion of a present JSON value; a value of another JSON type
// (null included) is stored as the type's neutral value (false, 0, empty text).
struct SourceDataField
{
    enum class Type {
        Variant,     // QJsonValue::toVariant, stored as is
        Bool,        // JSON bool, else false
        Int,         // whole number in int range, else 0
        UInt,        // whole number, else 0; stored unsigned
        Int64,       // whole number, else 0 (a numeric text too); stored as qint64
        Double,      // JSON number, else 0
        Float,       // JSON number narrowed to float, else 0
        String,      // JSON string, else empty
        // Written by their own conversion whatever the stored value's type:
        Bits8,       // whole number in int range (else 0), low 8 bits, stored as int
        Bits16,      // the same with the low 16 bits
        Color,       // text parsed as a colour name, stored as "#aarrggbb" (colorText)
        StringList,  // array; each element as text (its text form, or empty)
        Polygon,     // array of {"x", "y"}, stored as QPolygonF (polygonFromJson)
        Point,       // {"x", "y"}, stored as QPointF (pointFromJson)
        Size,        // {"width", "height"}, stored as QSize; a missing member is 0
        Int64OrText, // a number (truncated) or a numeric text as qint64, else 0 (int64FromJson)
        UIntText,    // a decimal text as quint32 (a JSON number or other text is 0); written as text
    };

    QString key; // build with QStringLiteral: no allocation per lookup
    Type type = Type::Variant;
};

// Calls `read` with the member's value when `data` has the key (null included); an absent key
// leaves the record alone. For the keys a field table cannot express.
template <class Read>
void readIfPresent(const QJsonObject &data, const QString &key, Read read)
{
    const auto it = data.constFind(key);
    if (it != data.constEnd())
        read(it.value());
}

} // namespace kvr::tracker::common
