#include "app/services/OrvaGlobal.h"

#include <QMetaEnum>

namespace kvr::orva {

namespace {

QString normalised(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

template <typename Enum>
Enum fromKey(const QString &text)
{
    const QMetaEnum meta = QMetaEnum::fromType<Enum>();
    const QString wanted = normalised(text);
    for (int i = 0; i < meta.keyCount(); ++i) {
        if (normalised(QString::fromLatin1(meta.key(i))) == wanted)
            return static_cast<Enum>(meta.value(i));
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
