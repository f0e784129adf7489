#pragma once

#include "core/data/SourceData.h"
#include "datamodel/params/SourceFarDistanceVehicleDetectorZone.h"

#include <QList>

namespace kvr::tracker::common {

// The far-distance vehicle detector of a video source: the image zones it works in, in order.
class SourceDefinitionFarDistanceVehicleDetectorParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QList<kvr::tracker::common::SourceFarDistanceVehicleDetectorZone> detectorZones READ getDetectorZones WRITE setDetectorZones)

public:
    SourceDefinitionFarDistanceVehicleDetectorParams();

    QList<SourceFarDistanceVehicleDetectorZone> getDetectorZones() const;
    // An empty list is stored as such: the key stays and is written as [].
    void setDetectorZones(const QList<SourceFarDistanceVehicleDetectorZone> &detectorZones);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionFarDistanceVehicleDetectorParams)
