#include "datamodel/params/SourceDefinitionFilterNoDetZone.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/log/Log.h"

#include <QMap>

namespace kvr::tracker::common {

namespace {

const QString kZone = QStringLiteral("zone");
const QString kClassFilters = QStringLiteral("class_filters");

// The oldest form: a flat array x0, y0, x1, y1, ... An odd count cannot be points and is ignored.
bool legacyZoneFromJson(const QJsonArray &array, QPolygonF &zone)
{
    if (array.size() % 2 != 0)
        return false;
    zone.clear();
    zone.reserve(array.size() / 2);
    for (int i = 0; i < array.size(); i += 2)
        zone.append(QPointF(array.at(i).toDouble(), array.at(i + 1).toDouble()));
    return true;
}

} // namespace

SourceDefinitionFilterNoDetZone::SourceDefinitionFilterNoDetZone()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionFilterNoDetZone>(Q_FUNC_INFO);
}

QPolygonF SourceDefinitionFilterNoDetZone::getZone() const { return valueAs<QPolygonF>(kZone); }
void SourceDefinitionFilterNoDetZone::setZone(const QPolygonF &zone) { setValue(kZone, QVariant::fromValue(zone)); }

QList<SourceDefinitionFilterClass> SourceDefinitionFilterNoDetZone::getClassFilters() const
{
    return getList<SourceDefinitionFilterClass, QList<SourceDefinitionFilterClass>>(kClassFilters);
}

void SourceDefinitionFilterNoDetZone::setClassFilters(const QList<SourceDefinitionFilterClass> &classFilters)
{
    QMap<QString, QVariant> byName;
    for (const SourceDefinitionFilterClass &filter : classFilters) {
        const QString name = filter.getClassName();
        const auto held = byName.constFind(name);
        if (held != byName.constEnd())
            LOG_WRN(QStringLiteral("Conflicting class filters for class ") + name + QStringLiteral(": ")
                    + variantMapText(held->toMap()) + QStringLiteral(" vs. ") + variantMapText(filter.valueMap()));
        byName.insert(name, filter.getQVariantData());
    }
    setValue(kClassFilters, QVariantList(byName.values()));
}

bool SourceDefinitionFilterNoDetZone::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getZone().isEmpty(), "!getZone().isEmpty()")
        && v.each(getClassFilters(), [skipWrn](const SourceDefinitionFilterClass &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceDefinitionFilterNoDetZone::read_impl(const QJsonObject &data, quint32 version,
                                                const SourceDataReadOptions &options)
{
    readIfPresent(data, kZone, [this, version](const QJsonValue &value) {
        QPolygonF legacy;
        if (version != 0)
            setZone(polygonFromJson(value.toArray()));
        else if (legacyZoneFromJson(value.toArray(), legacy))
            setZone(legacy);
    });
    readIfPresent(data, kClassFilters, [this, &options](const QJsonValue &value) {
        // Through the setter, so that duplicates read from a file are resolved and reported.
        setClassFilters(listFromJson<SourceDefinitionFilterClass, QList<SourceDefinitionFilterClass>>(value.toArray(),
                                                                                                       options));
    });
}

void SourceDefinitionFilterNoDetZone::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    if (contains(kZone))
        data.insert(kZone, polygonToJson(getZone()));
    writeList<SourceDefinitionFilterClass>(data, kClassFilters, options);
}

CompareResult SourceDefinitionFilterNoDetZone::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionFilterNoDetZone>(other);
    if (!otherSD)
        return c;
    c(getZone() == otherSD->getZone(), "getZone() == otherSD->getZone()")
        && c.lists(getClassFilters(), otherSD->getClassFilters());
    return c;
}

} // namespace kvr::tracker::common
