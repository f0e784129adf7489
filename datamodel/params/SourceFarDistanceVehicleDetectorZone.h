#pragma once

#include "core/data/SourceData.h"

#include <QPolygonF>

namespace kvr::tracker::common {

// One zone of the far-distance vehicle detector: a normalised polygon and the detector score
// a detection in it must reach. A disabled zone is validated like an enabled one.
class SourceFarDistanceVehicleDetectorZone : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QPolygonF zone READ getZone WRITE setZone)
    Q_PROPERTY(double minConfidence READ getMinConfidence WRITE setMinConfidence)

public:
    SourceFarDistanceVehicleDetectorZone();

    QPolygonF getZone() const;          // empty when absent
    void setZone(const QPolygonF &zone);
    double getMinConfidence() const;    // 0 when absent
    void setMinConfidence(double minConfidence);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceFarDistanceVehicleDetectorZone)
