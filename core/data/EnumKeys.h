#pragma once

#include <QByteArray>
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

} // namespace kvr::tracker::common
