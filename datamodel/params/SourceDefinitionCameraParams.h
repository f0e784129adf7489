#pragma once

#include "core/data/SourceData.h"
#include "datamodel/params/SourceDataMat.h"

#include <QSize>

namespace kvr::tracker::common {

// Intrinsic calibration of a video source's camera ("camera_parameters"); disabled when
// "enabled" is absent. The matrices are held as the nested matrix records' value maps.
class SourceDefinitionCameraParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QSize frameSize READ getFrameSize WRITE setFrameSize)

public:
    SourceDefinitionCameraParams();

    // The normalised 3x3 matrix (focal lengths and principal point 0.5) when absent or empty.
    SourceDataMat getCameraMat() const;
    void setCameraMat(const SourceDataMat &mat);
    // getCameraMat() when absent or empty.
    SourceDataMat getNewCameraMat() const;
    void setNewCameraMat(const SourceDataMat &mat);
    // 14 x 1 zeros when absent or empty.
    SourceDataMat getDistortionCoefficients() const;
    void setDistortionCoefficients(const SourceDataMat &mat);
    // Invalid (-1 x -1) when absent.
    QSize getFrameSize() const;
    void setFrameSize(const QSize &frameSize);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionCameraParams)
