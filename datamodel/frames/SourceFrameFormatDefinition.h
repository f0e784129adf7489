#pragma once

#include "core/data/SourceData.h"
#include "datamodel/frames/SourceAnonymizationParams.h"
#include "datamodel/frames/SourceImageDataBandwidthParams.h"
#include "datamodel/frames/SourceImageTransformationParams.h"
#include "datamodel/frames/SourceVisualizationParams.h"

namespace kvr::tracker::common {

// The format in which a tracker node is asked to send the frames of a source: bandwidth,
// transformation, anonymization and overlays. Each getter returns a fresh copy of the nested
// record; store a changed one back with its setter. "source_id" names the node source.
class SourceFrameFormatDefinition : public SourceData
{
    Q_GADGET
    Q_PROPERTY(kvr::tracker::common::SourceImageDataBandwidthParams imageDataBandwidthParams
                   READ getImageDataBandwidthParams WRITE setImageDataBandwidthParams)
    Q_PROPERTY(kvr::tracker::common::SourceImageTransformationParams imageTransformationParams
                   READ getImageTransformationParams WRITE setImageTransformationParams)
    Q_PROPERTY(kvr::tracker::common::SourceAnonymizationParams anonymizationParams
                   READ getAnonymizationParams WRITE setAnonymizationParams)
    Q_PROPERTY(kvr::tracker::common::SourceVisualizationParams visualizationParams
                   READ getVisualizationParams WRITE setVisualizationParams)
    Q_PROPERTY(kvr::tracker::common::SourceFrameFormatDefinition self READ getSelf)

public:
    SourceFrameFormatDefinition();

    SourceImageDataBandwidthParams getImageDataBandwidthParams() const;
    void setImageDataBandwidthParams(const SourceImageDataBandwidthParams &params);
    SourceImageTransformationParams getImageTransformationParams() const;
    void setImageTransformationParams(const SourceImageTransformationParams &params);
    SourceAnonymizationParams getAnonymizationParams() const;
    void setAnonymizationParams(const SourceAnonymizationParams &params);
    SourceVisualizationParams getVisualizationParams() const;
    void setVisualizationParams(const SourceVisualizationParams &params);
    SourceFrameFormatDefinition getSelf() const { return *this; }

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceFrameFormatDefinition)
