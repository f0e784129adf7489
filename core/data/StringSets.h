#pragma once

#include <QJsonArray>
#include <QSet>
#include <QString>
#include <QVariantList>

namespace kvr::tracker::common {

// Sets of names kept in a value map as a variant list (rule classes, assigned zone names).

// Each entry as text (stringListFromVariantList's rule); duplicates collapse.
QSet<QString> stringSetFromVariantList(const QVariantList &list);
// The set's own iteration order.
QVariantList stringSetToVariantList(const QSet<QString> &set);
QJsonArray stringSetToJson(const QSet<QString> &set);

} // namespace kvr::tracker::common
