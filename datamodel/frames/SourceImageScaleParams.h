#pragma once

#include "core/data/SourceData.h"

#include <QSize>

namespace kvr::tracker::common {

// At which size a node sends the image of a frame format: a fixed canvas, else a target
// vertical and/or horizontal resolution, else a scale value. 0 in a resolution means not set.
class SourceImageScaleParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(quint8 scale READ getScale WRITE setScale)
    Q_PROPERTY(ushort verticalResolution READ getVerticalResolution WRITE setVerticalResolution)
    Q_PROPERTY(ushort horizontalResolution READ getHorizontalResolution WRITE setHorizontalResolution)
    Q_PROPERTY(bool allowVHResolutionUpscale READ getAllowVHResolutionUpscale WRITE setAllowVHResolutionUpscale)
    Q_PROPERTY(QSize canvasSize READ getCanvasSize WRITE setCanvasSize)

public:
    SourceImageScaleParams();

    quint8 getScale() const;                 // 100 when absent
    void setScale(quint8 scale);
    quint16 getVerticalResolution() const;   // 0 when absent
    void setVerticalResolution(quint16 resolution);
    quint16 getHorizontalResolution() const; // 0 when absent
    void setHorizontalResolution(quint16 resolution);
    bool getAllowVHResolutionUpscale() const;
    void setAllowVHResolutionUpscale(bool allow);
    QSize getCanvasSize() const;             // the null size (no canvas) when absent
    void setCanvasSize(const QSize &size);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceImageScaleParams)
