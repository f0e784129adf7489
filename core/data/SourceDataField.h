#pragma once

#include <QString>

namespace kvr::tracker::common {

// One plain field of a record's field table, for SourceData::readFields/writeFields.
// The type decides the conversion of a present JSON value; a value of another JSON type
// (null included) is stored as the type's neutral value (false, 0, empty text).
struct SourceDataField
{
    enum class Type {
        Variant, // QJsonValue::toVariant, stored as is
        Bool,    // JSON bool, else false
        Int,     // whole number in int range, else 0
        UInt,    // whole number, else 0; stored unsigned
        Int64,   // whole number, else 0; stored as qint64
        Double,  // JSON number, else 0
        Float,   // JSON number narrowed to float, else 0
        String,  // JSON string, else empty
    };

    QString key; // build with QStringLiteral: no allocation per lookup
    Type type = Type::Variant;
};

} // namespace kvr::tracker::common
