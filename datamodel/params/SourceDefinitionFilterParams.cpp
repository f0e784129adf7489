#include "datamodel/params/SourceDefinitionFilterParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kNoDetectionZones = QStringLiteral("no_detection_zones");

} // namespace

SourceDefinitionFilterParams::SourceDefinitionFilterParams()
    : SourceData(2)
{
    registerRecordComparator<SourceDefinitionFilterParams>(Q_FUNC_INFO);
}

QList<SourceDefinitionFilterNoDetZone> SourceDefinitionFilterParams::getNoDetZones() const
{
    return getList<SourceDefinitionFilterNoDetZone, QList<SourceDefinitionFilterNoDetZone>>(kNoDetectionZones);
}

void SourceDefinitionFilterParams::setNoDetZones(const QList<SourceDefinitionFilterNoDetZone> &zones)
{
    setList(kNoDetectionZones, zones);
}

bool SourceDefinitionFilterParams::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionFilterParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getNoDetZones(),
                  [skipWrn](const SourceDefinitionFilterNoDetZone &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceDefinitionFilterParams::read_impl(const QJsonObject &data, quint32 version,
                                             const SourceDataReadOptions &options)
{
    // Version 1 had no switch: its filters were always applied.
    if (version == 1)
        setEnabled(true);
    readList<SourceDefinitionFilterNoDetZone>(data, kNoDetectionZones, options);
}

void SourceDefinitionFilterParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeList<SourceDefinitionFilterNoDetZone>(data, kNoDetectionZones, options);
}

CompareResult SourceDefinitionFilterParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionFilterParams>(other);
    if (!otherSD)
        return c;
    c.lists(getNoDetZones(), otherSD->getNoDetZones());
    return c;
}

} // namespace kvr::tracker::common
