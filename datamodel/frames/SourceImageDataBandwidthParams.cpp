#include "datamodel/frames/SourceImageDataBandwidthParams.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kFrameLengthMul = QStringLiteral("flength_mul");
const QString kImageScaleParams = QStringLiteral("image_scale_parameters");
const QString kCompressionType = QStringLiteral("compression_type");
const QString kCompressionQuality = QStringLiteral("compression_quality");

// Flat scale keys of class versions 0 and 1.
const QString kScale = QStringLiteral("scale");
const QString kVerticalResolution = QStringLiteral("vertical_resolution");
const QString kHorizontalResolution = QStringLiteral("horizontal_resolution");
const QString kAllowUpscale = QStringLiteral("allow_vh_resolution_upscale");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kFrameLengthMul, SourceDataField::Type::UInt},
    }};
    return table;
}

const std::array<SourceDataField, 1> &qualityFields()
{
    static const std::array<SourceDataField, 1> table{{
        {kCompressionQuality, SourceDataField::Type::Bits8},
    }};
    return table;
}

SourceImageScaleParams legacyScale(const QJsonObject &data)
{
    SourceImageScaleParams scale;
    if (data.contains(kScale))
        scale.setScale(quint8(data.value(kScale).toInt()));
    if (data.contains(kVerticalResolution))
        scale.setVerticalResolution(quint16(data.value(kVerticalResolution).toInt()));
    if (data.contains(kHorizontalResolution))
        scale.setHorizontalResolution(quint16(data.value(kHorizontalResolution).toInt()));
    if (data.contains(kAllowUpscale))
        scale.setAllowVHResolutionUpscale(data.value(kAllowUpscale).toBool());
    return scale;
}

} // namespace

SourceImageDataBandwidthParams::SourceImageDataBandwidthParams()
    : SourceData(2)
{
    registerRecordComparator<SourceImageDataBandwidthParams>(Q_FUNC_INFO);
}

quint32 SourceImageDataBandwidthParams::getFrameLengthMul() const { return valueAs<uint>(kFrameLengthMul, 1); }
void SourceImageDataBandwidthParams::setFrameLengthMul(quint32 frameLengthMul) { setValue(kFrameLengthMul, frameLengthMul); }

SourceImageScaleParams SourceImageDataBandwidthParams::getImageScaleParams() const
{
    return getRecord<SourceImageScaleParams>(kImageScaleParams);
}

void SourceImageDataBandwidthParams::setImageScaleParams(const SourceImageScaleParams &params)
{
    setRecord(kImageScaleParams, params);
}

SourceImageDataBandwidthParams::CompressionType SourceImageDataBandwidthParams::getCompressionType() const
{
    return enumFromVariant(value(kCompressionType), CompressionType::JPG);
}

void SourceImageDataBandwidthParams::setCompressionType(CompressionType type)
{
    setValue(kCompressionType, enumToKey(type));
}

void SourceImageDataBandwidthParams::setCompressionType(const QString &type)
{
    QString key = type.toUpper();
    if (key == QLatin1String("JPEG"))
        key = QStringLiteral("JPG");
    setCompressionType(enumFromKey(key, CompressionType::JPG));
}

quint8 SourceImageDataBandwidthParams::getCompression() const
{
    const auto it = valueMap().constFind(kCompressionQuality);
    const bool stored = it != valueMap().constEnd();
    const int quality = stored ? int(quint8(it->toUInt())) : 0;
    switch (getCompressionType()) {
    case CompressionType::RAW:
        return quint8(stored ? qBound(1, quality, 100) : 100);
    case CompressionType::JPG:
        return quint8(stored ? qBound(1, quality, 100) : 50);
    case CompressionType::PNG:
        return quint8(stored ? qBound(1, quality, 9) : 7);
    }
    return 100;
}

void SourceImageDataBandwidthParams::setCompression(quint8 compression)
{
    setValue(kCompressionQuality, int(compression));
}

void SourceImageDataBandwidthParams::read_impl(const QJsonObject &data, quint32 version,
                                               const SourceDataReadOptions &options)
{
    // Up to class version 1 the scale keys sat flat beside the compression keys.
    SourceImageScaleParams scale;
    if (version <= 1) {
        scale = legacyScale(data);
    } else {
        const auto nested = data.constFind(kImageScaleParams);
        if (nested != data.constEnd())
            scale.read(nested.value().toObject(), options);
    }
    if (!scale.valueMap().isEmpty())
        setImageScaleParams(scale);

    readFields(data, fields());
    // Exact key text here; only the text setter forgives case and "JPEG".
    readEnumKey(*this, data, kCompressionType, CompressionType::JPG);
    readFields(data, qualityFields());
}

void SourceImageDataBandwidthParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeFields(data, fields());
    writeRecord<SourceImageScaleParams>(data, kImageScaleParams, options);
    writeEnumKey(*this, data, kCompressionType, getCompressionType());
    if (contains(kCompressionQuality))
        data.insert(kCompressionQuality, int(getCompression()));
}

CompareResult SourceImageDataBandwidthParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceImageDataBandwidthParams>(other);
    if (!otherSD)
        return c;
    c(getFrameLengthMul() == otherSD->getFrameLengthMul(), "getFrameLengthMul() == otherSD->getFrameLengthMul()")
        && c(getImageScaleParams().compare(otherSD->getImageScaleParams(), params),
             "getImageScaleParams().compare(otherSD->getImageScaleParams(), compareParams)")
        && c(getCompressionType() == otherSD->getCompressionType(),
             "getCompressionType() == otherSD->getCompressionType()")
        && c(getCompression() == otherSD->getCompression(), "getCompression() == otherSD->getCompression()");
    return c;
}

} // namespace kvr::tracker::common
