#include "datamodel/params/SourceDefinitionVisibilityParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kContrastIndicators = QStringLiteral("contrast_indicators");
const QString kTrajectoryIndicators = QStringLiteral("trajectory_indicators");

using Contrast = SourceVisibilityContrastIndicator;
using Trajectory = SourceVisibilityTrajectoryIndicator;

} // namespace

SourceDefinitionVisibilityParams::SourceDefinitionVisibilityParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionVisibilityParams>(Q_FUNC_INFO);
}

QList<Contrast> SourceDefinitionVisibilityParams::getContrastIndicators() const
{
    return getList<Contrast, QList<Contrast>>(kContrastIndicators);
}

void SourceDefinitionVisibilityParams::setContrastIndicators(const QList<Contrast> &indicators)
{
    setList(kContrastIndicators, indicators);
}

QList<Trajectory> SourceDefinitionVisibilityParams::getTrajectoryIndicators() const
{
    return getList<Trajectory, QList<Trajectory>>(kTrajectoryIndicators);
}

void SourceDefinitionVisibilityParams::setTrajectoryIndicators(const QList<Trajectory> &indicators)
{
    setList(kTrajectoryIndicators, indicators);
}

bool SourceDefinitionVisibilityParams::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionVisibilityParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getContrastIndicators(), [skipWrn](const Contrast &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)")
        && v.each(getTrajectoryIndicators(), [skipWrn](const Trajectory &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceDefinitionVisibilityParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                 const SourceDataReadOptions &options)
{
    readList<Contrast>(data, kContrastIndicators, options);
    readList<Trajectory>(data, kTrajectoryIndicators, options);
}

void SourceDefinitionVisibilityParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeList<Contrast>(data, kContrastIndicators, options);
    writeList<Trajectory>(data, kTrajectoryIndicators, options);
}

CompareResult SourceDefinitionVisibilityParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionVisibilityParams>(other);
    if (!otherSD)
        return c;
    c.lists(getContrastIndicators(), otherSD->getContrastIndicators())
        && c.lists(getTrajectoryIndicators(), otherSD->getTrajectoryIndicators());
    return c;
}

} // namespace kvr::tracker::common
