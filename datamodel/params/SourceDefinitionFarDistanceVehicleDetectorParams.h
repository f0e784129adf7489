#pragma once

#include "core/data/RecordList.h"
#include "datamodel/params/SourceFarDistanceVehicleDetectorZone.h"

#include <QList>

namespace kvr::tracker::common {

// The far-distance vehicle detector of a video source: the image zones it works in, in order.
class SourceDefinitionFarDistanceVehicleDetectorParams
    : public RecordList<SourceDefinitionFarDistanceVehicleDetectorParams, SourceFarDistanceVehicleDetectorZone>
{
    Q_GADGET
    Q_PROPERTY(QList<kvr::tracker::common::SourceFarDistanceVehicleDetectorZone> detectorZones READ getDetectorZones WRITE setDetectorZones)

public:
    static constexpr const char *ClassName = "kvr::tracker::common::SourceDefinitionFarDistanceVehicleDetectorParams";

    SourceDefinitionFarDistanceVehicleDetectorParams();

    QList<SourceFarDistanceVehicleDetectorZone> getDetectorZones() const;
    // An empty list is stored as such: the key stays and is written as [].
    void setDetectorZones(const QList<SourceFarDistanceVehicleDetectorZone> &detectorZones);
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionFarDistanceVehicleDetectorParams)
