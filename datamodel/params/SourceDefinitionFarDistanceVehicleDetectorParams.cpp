#include "datamodel/params/SourceDefinitionFarDistanceVehicleDetectorParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kDetectorZones = QStringLiteral("detector_zones");

using Zone = SourceFarDistanceVehicleDetectorZone;

} // namespace

SourceDefinitionFarDistanceVehicleDetectorParams::SourceDefinitionFarDistanceVehicleDetectorParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionFarDistanceVehicleDetectorParams>(Q_FUNC_INFO);
}

QList<Zone> SourceDefinitionFarDistanceVehicleDetectorParams::getDetectorZones() const
{
    return getList<Zone, QList<Zone>>(kDetectorZones);
}

void SourceDefinitionFarDistanceVehicleDetectorParams::setDetectorZones(const QList<Zone> &detectorZones)
{
    setList(kDetectorZones, detectorZones);
}

bool SourceDefinitionFarDistanceVehicleDetectorParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getDetectorZones(), [skipWrn](const Zone &ci) { return ci.isValid(skipWrn); },
                  "ci.isValid(skipWrn)");
}

void SourceDefinitionFarDistanceVehicleDetectorParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                                 const SourceDataReadOptions &options)
{
    readList<Zone>(data, kDetectorZones, options);
}

void SourceDefinitionFarDistanceVehicleDetectorParams::write_impl(QJsonObject &data,
                                                                  const SourceDataWriteOptions &options) const
{
    writeList<Zone>(data, kDetectorZones, options);
}

CompareResult SourceDefinitionFarDistanceVehicleDetectorParams::compare_logic(const SourceData &other,
                                                                              const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionFarDistanceVehicleDetectorParams>(other);
    if (!otherSD)
        return c;
    c.lists(getDetectorZones(), otherSD->getDetectorZones());
    return c;
}

} // namespace kvr::tracker::common
