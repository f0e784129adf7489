#pragma once

#include "core/data/SourceData.h"
#include "core/data/SourceDataField.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMetaEnum>
#include <QString>
#include <QVariant>

namespace kvr::tracker::common {

// Enumerations of the records are stored as their key text (Q_ENUM / Q_ENUM_NS required).

template <class E>
QString enumToKey(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(static_cast<int>(value)));
}

// The enumerator whose key is `key`; `fallback` for an empty or unknown text.
template <class E>
E enumFromKey(const QString &key, E fallback)
{
    if (key.isEmpty())
        return fallback;
    bool ok = false;
    const int value = QMetaEnum::fromType<E>().keyToValue(key.toLatin1().constData(), &ok);
    return ok ? static_cast<E>(value) : fallback;
}

// A stored value (normally the key text); anything without that text gives `fallback`.
template <class E>
E enumFromVariant(const QVariant &stored, E fallback)
{
    return stored.isValid() ? enumFromKey<E>(stored.toString(), fallback) : fallback;
}

// An enumeration under `key` read from JSON is stored normalised: the text turned into E (exact
// key, else `fallback`) and that value's key stored, so a misspelt text is stored as the
// fallback's key. An absent key leaves the record alone.
template <class E>
void readEnumKey(SourceData &record, const QJsonObject &data, const QString &key, E fallback)
{
    readIfPresent(data, key, [&](const QJsonValue &value) {
        record.setValue(key, enumToKey(enumFromKey(value.toString(), fallback)));
    });
}

// Writes the key text of `value` (the getter's value) when the map holds the key.
template <class E>
void writeEnumKey(const SourceData &record, QJsonObject &data, const QString &key, E value)
{
    if (record.contains(key))
        data.insert(key, enumToKey(value));
}

} // namespace kvr::tracker::common
