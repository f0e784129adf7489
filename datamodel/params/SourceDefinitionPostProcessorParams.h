#pragma once

#include "core/data/SourceData.h"

#include <QList>
#include <QPointF>

namespace kvr::tracker::common {

// Post-processing of a video source ("postproc_parameters"): transformation points and the
// scale between map and working image. Disabled when "enabled" is absent.
class SourceDefinitionPostProcessorParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QList<QPointF> transformationPoints READ getTransformationPoints WRITE setTransformationPoints)
    Q_PROPERTY(double mapToWorkScale READ getMapToWorkScale WRITE setMapToWorkScale)

public:
    static constexpr int TRANSFORMATION_POINTS_MIN_SIZE = 8;

    SourceDefinitionPostProcessorParams();

    QList<QPointF> getTransformationPoints() const;
    // Warns unless there are at least 8 points and an even number; stores the list in any case.
    void setTransformationPoints(const QList<QPointF> &points);
    double getMapToWorkScale() const; // 1.0 when absent
    void setMapToWorkScale(double scale);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionPostProcessorParams)
