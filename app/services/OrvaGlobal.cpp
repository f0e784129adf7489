#include "app/services/OrvaGlobal.h"

#include <QMetaEnum>
#include <QPair>
#include <QVector>

namespace kvr::orva {

namespace {

QString normalised(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

template <typename Enum>
Enum fromKey(const QString &text)
{
    // Every poll of every cube reads these: the keys are normalised once, in key order.
    static const QVector<QPair<QString, int>> keys = [] {
        const QMetaEnum meta = QMetaEnum::fromType<Enum>();
        QVector<QPair<QString, int>> table;
        for (int i = 0; i < meta.keyCount(); ++i)
            table.append({normalised(QString::fromLatin1(meta.key(i))), meta.value(i)});
        return table;
    }();
    const QString wanted = normalised(text);
    for (const auto &key : keys) {
        if (key.first == wanted)
            return static_cast<Enum>(key.second);
    }
    return static_cast<Enum>(-1);
}

} // namespace

ProcessingState processingStateFromString(const QString &text)
{
    return fromKey<ProcessingState>(text);
}

VisibilityState visibilityStateFromString(const QString &text)
{
    return fromKey<VisibilityState>(text);
}

} // namespace kvr::orva
