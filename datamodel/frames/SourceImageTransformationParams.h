#pragma once

#include "core/data/SourceData.h"
#include "datamodel/frames/SourceImageCropParams.h"

namespace kvr::tracker::common {

// The geometric corrections a node applies before sending the image of a frame format.
class SourceImageTransformationParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(bool undistortFlag READ getUndistortFlag WRITE setUndistortFlag)
    Q_PROPERTY(bool transformToRefFlag READ getTransformToRefFlag WRITE setTransformToRefFlag)
    Q_PROPERTY(kvr::tracker::common::SourceImageCropParams imageCropParams READ getImageCropParams WRITE setImageCropParams)

public:
    SourceImageTransformationParams();

    bool getUndistortFlag() const;       // true when absent
    void setUndistortFlag(bool flag);
    bool getTransformToRefFlag() const;  // true when absent
    void setTransformToRefFlag(bool flag);
    SourceImageCropParams getImageCropParams() const; // a copy (disabled default when absent)
    void setImageCropParams(const SourceImageCropParams &params);

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceImageTransformationParams)
