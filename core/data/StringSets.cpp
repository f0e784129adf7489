#include "core/data/StringSets.h"

#include "core/data/JsonGeometry.h"

namespace kvr::tracker::common {

QSet<QString> stringSetFromVariantList(const QVariantList &list)
{
    const QStringList names = stringListFromVariantList(list);
    return QSet<QString>(names.cbegin(), names.cend());
}

QVariantList stringSetToVariantList(const QSet<QString> &set)
{
    QVariantList list;
    list.reserve(set.size());
    for (const QString &name : set)
        list.append(name);
    return list;
}

QJsonArray stringSetToJson(const QSet<QString> &set)
{
    QJsonArray array;
    for (const QString &name : set)
        array.append(name);
    return array;
}

} // namespace kvr::tracker::common
