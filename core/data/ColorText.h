#pragma once

#include <QColor>
#include <QString>

namespace kvr::tracker::common {

class SourceData;

// A colour's alpha-first lower-case hex name, "#aarrggbb": the stored form of every colour.
QString colorText(const QColor &color);

// The colour named by the stored text under `key`; `fallback` (a colour name) when the key is
// absent, and also for an empty text when `emptyIsFallback`.
QColor storedColor(const SourceData &record, const QString &key, const QString &fallback,
                   bool emptyIsFallback = false);

} // namespace kvr::tracker::common
