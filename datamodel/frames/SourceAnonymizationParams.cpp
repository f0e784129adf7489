#include "datamodel/frames/SourceAnonymizationParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kZones = QStringLiteral("anonymization_zones");

} // namespace

SourceAnonymizationParams::SourceAnonymizationParams()
    : SourceData(2)
{
    registerRecordComparator<SourceAnonymizationParams>(Q_FUNC_INFO);
}

QVector<SourceAnonymizationZone> SourceAnonymizationParams::getAnonymizationZones() const
{
    return getList<SourceAnonymizationZone>(kZones);
}

void SourceAnonymizationParams::setAnonymizationZones(const QVector<SourceAnonymizationZone> &zones)
{
    setList(kZones, zones);
}

bool SourceAnonymizationParams::defaultEnabled() const
{
    return false;
}

bool SourceAnonymizationParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getAnonymizationZones(),
                  [skipWrn](const SourceAnonymizationZone &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceAnonymizationParams::read_impl(const QJsonObject &data, quint32 version,
                                          const SourceDataReadOptions &options)
{
    // Version-1 data had no switch of its own: zones that were sent were meant to apply.
    if (version == 1)
        setEnabled(true);
    readList<SourceAnonymizationZone>(data, kZones, options);
}

void SourceAnonymizationParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeList<SourceAnonymizationZone>(data, kZones, options);
}

CompareResult SourceAnonymizationParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceAnonymizationParams>(other);
    if (!otherSD)
        return c;
    c.lists(getAnonymizationZones(), otherSD->getAnonymizationZones());
    return c;
}

} // namespace kvr::tracker::common
