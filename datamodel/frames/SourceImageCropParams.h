#pragma once

#include "core/data/SourceData.h"

#include <QStringList>

namespace kvr::tracker::common {

// How a node crops the image of a frame format. Disabled when "enabled" is absent; the SAOI
// names count only while the dynamic crop is on.
class SourceImageCropParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(bool dynamicCrop READ getDynamicCrop WRITE setDynamicCrop)
    Q_PROPERTY(ushort marginPX READ getMarginPX WRITE setMarginPX)
    Q_PROPERTY(QStringList saoiNames READ getSAOINames WRITE setSAOINames)

public:
    SourceImageCropParams();

    bool getDynamicCrop() const;   // false when absent
    void setDynamicCrop(bool dynamicCrop);
    quint16 getMarginPX() const;   // 0 when absent
    void setMarginPX(quint16 marginPX);
    QStringList getSAOINames() const;
    void setSAOINames(const QStringList &names);

protected:
    bool defaultEnabled() const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceImageCropParams)
