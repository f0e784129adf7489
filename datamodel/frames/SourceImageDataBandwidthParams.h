#pragma once

#include "core/data/SourceData.h"
#include "datamodel/frames/SourceImageScaleParams.h"

namespace kvr::tracker::common {

// How much image data a node sends per frame of a frame format: compression with its quality
// or level, the scaling, and the frame-length multiplier (0: send once).
class SourceImageDataBandwidthParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(uint frameLengthMul READ getFrameLengthMul WRITE setFrameLengthMul)
    Q_PROPERTY(kvr::tracker::common::SourceImageScaleParams imageScaleParams READ getImageScaleParams WRITE setImageScaleParams)
    Q_PROPERTY(CompressionType compressionType READ getCompressionType WRITE setCompressionType)
    Q_PROPERTY(quint8 compression READ getCompression WRITE setCompression)

public:
    enum class CompressionType { RAW = 0, JPG = 1, PNG = 2 };
    Q_ENUM(CompressionType)

    SourceImageDataBandwidthParams();

    quint32 getFrameLengthMul() const;     // 1 when absent
    void setFrameLengthMul(quint32 frameLengthMul);
    SourceImageScaleParams getImageScaleParams() const; // a copy; set it back to change it
    void setImageScaleParams(const SourceImageScaleParams &params);
    CompressionType getCompressionType() const; // JPG for an absent or unknown text
    void setCompressionType(CompressionType type);
    // Case-insensitive, "JPEG" taken as "JPG"; anything else is JPG.
    void setCompressionType(const QString &type);
    // The stored quality bounded by the type (RAW and JPG 1..100, PNG 1..9); when absent
    // RAW 100, JPG 50, PNG 7.
    quint8 getCompression() const;
    void setCompression(quint8 compression); // stored unbounded

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceImageDataBandwidthParams)
