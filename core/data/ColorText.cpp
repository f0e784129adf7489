#include "core/data/ColorText.h"

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

QString colorText(const QColor &color)
{
    return color.name(QColor::HexArgb);
}

QColor storedColor(const SourceData &record, const QString &key, const QString &fallback, bool emptyIsFallback)
{
    const auto it = record.valueMap().constFind(key);
    if (it == record.valueMap().constEnd())
        return QColor(fallback);
    const QString text = it->toString();
    return QColor(text.isEmpty() && emptyIsFallback ? fallback : text);
}

} // namespace kvr::tracker::common
