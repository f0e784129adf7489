#include "datamodel/params/SourceDefinitionFarDistanceVehicleDetectorParams.h"

#include "core/data/RecordComparator.h"

namespace kvr::tracker::common {

SourceDefinitionFarDistanceVehicleDetectorParams::SourceDefinitionFarDistanceVehicleDetectorParams()
    : RecordList(1, QStringLiteral("detector_zones"))
{
    registerRecordComparator<SourceDefinitionFarDistanceVehicleDetectorParams>(Q_FUNC_INFO);
}

QList<SourceFarDistanceVehicleDetectorZone> SourceDefinitionFarDistanceVehicleDetectorParams::getDetectorZones() const
{
    return items();
}

void SourceDefinitionFarDistanceVehicleDetectorParams::setDetectorZones(const QList<SourceFarDistanceVehicleDetectorZone> &detectorZones)
{
    setItems(detectorZones);
}

} // namespace kvr::tracker::common
