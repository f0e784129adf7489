#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kBandwidth = QStringLiteral("image_data_bandwidth_parameters");
const QString kTransformation = QStringLiteral("image_transformation_parameters");
const QString kAnonymization = QStringLiteral("anonymization_parameters");
const QString kVisualization = QStringLiteral("visualization_parameters");

// Flat keys of class versions 0 and 1.
const QString kFrameLengthMul = QStringLiteral("flength_mul");
const QString kScale = QStringLiteral("scale");
const QString kCompressionType = QStringLiteral("compression_type");
const QString kCompressionQuality = QStringLiteral("compression_quality");

// The bandwidth of a legacy definition, from its flat keys.
SourceImageDataBandwidthParams legacyBandwidth(const QJsonObject &data)
{
    SourceImageDataBandwidthParams bandwidth;
    if (data.contains(kFrameLengthMul))
        bandwidth.setFrameLengthMul(quint32(data.value(kFrameLengthMul).toInt()));
    if (data.contains(kScale)) {
        SourceImageScaleParams scale;
        scale.setScale(quint8(data.value(kScale).toInt()));
        bandwidth.setImageScaleParams(scale);
    }
    // The text setter forgives case and takes "jpeg" for JPG.
    if (data.contains(kCompressionType))
        bandwidth.setCompressionType(data.value(kCompressionType).toString());
    if (data.contains(kCompressionQuality))
        bandwidth.setCompression(quint8(data.value(kCompressionQuality).toInt()));
    return bandwidth;
}

} // namespace

SourceFrameFormatDefinition::SourceFrameFormatDefinition()
    : SourceData(2)
{
    registerRecordComparator<SourceFrameFormatDefinition>(Q_FUNC_INFO);
}

SourceImageDataBandwidthParams SourceFrameFormatDefinition::getImageDataBandwidthParams() const
{
    return getRecord<SourceImageDataBandwidthParams>(kBandwidth);
}

void SourceFrameFormatDefinition::setImageDataBandwidthParams(const SourceImageDataBandwidthParams &params)
{
    setRecord(kBandwidth, params);
}

SourceImageTransformationParams SourceFrameFormatDefinition::getImageTransformationParams() const
{
    return getRecord<SourceImageTransformationParams>(kTransformation);
}

void SourceFrameFormatDefinition::setImageTransformationParams(const SourceImageTransformationParams &params)
{
    setRecord(kTransformation, params);
}

SourceAnonymizationParams SourceFrameFormatDefinition::getAnonymizationParams() const
{
    return getRecord<SourceAnonymizationParams>(kAnonymization);
}

void SourceFrameFormatDefinition::setAnonymizationParams(const SourceAnonymizationParams &params)
{
    setRecord(kAnonymization, params);
}

SourceVisualizationParams SourceFrameFormatDefinition::getVisualizationParams() const
{
    return getRecord<SourceVisualizationParams>(kVisualization);
}

void SourceFrameFormatDefinition::setVisualizationParams(const SourceVisualizationParams &params)
{
    setRecord(kVisualization, params);
}

bool SourceFrameFormatDefinition::isValid_impl(bool skipWrn) const
{
    // No shortcut for a disabled definition: a node is asked with it all the same.
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(getImageDataBandwidthParams().isValid(skipWrn), "getImageDataBandwidthParams().isValid(skipWrn)")
        && v(getImageTransformationParams().isValid(skipWrn), "getImageTransformationParams().isValid(skipWrn)")
        && v(getAnonymizationParams().isValid(skipWrn), "getAnonymizationParams().isValid(skipWrn)")
        && v(getVisualizationParams().isValid(skipWrn), "getVisualizationParams().isValid(skipWrn)");
}

void SourceFrameFormatDefinition::read_impl(const QJsonObject &data, quint32 version,
                                            const SourceDataReadOptions &options)
{
    if (version >= 2) {
        readRecord<SourceImageDataBandwidthParams>(data, kBandwidth, options);
        readRecord<SourceImageTransformationParams>(data, kTransformation, options);
    } else {
        // Older nodes sent the bandwidth flat and knew no transformation.
        const SourceImageDataBandwidthParams bandwidth = legacyBandwidth(data);
        if (!bandwidth.valueMap().isEmpty())
            setImageDataBandwidthParams(bandwidth);
    }
    readRecord<SourceAnonymizationParams>(data, kAnonymization, options);
    readRecord<SourceVisualizationParams>(data, kVisualization, options);
}

void SourceFrameFormatDefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeRecord<SourceImageDataBandwidthParams>(data, kBandwidth, options);
    writeRecord<SourceImageTransformationParams>(data, kTransformation, options);
    writeRecord<SourceAnonymizationParams>(data, kAnonymization, options);
    writeRecord<SourceVisualizationParams>(data, kVisualization, options);
}

CompareResult SourceFrameFormatDefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceFrameFormatDefinition>(other);
    if (!otherSD)
        return c;
    c(getImageDataBandwidthParams().compare(otherSD->getImageDataBandwidthParams(), params),
      "getImageDataBandwidthParams().compare(otherSD->getImageDataBandwidthParams(), compareParams)")
        && c(getImageTransformationParams().compare(otherSD->getImageTransformationParams(), params),
             "getImageTransformationParams().compare(otherSD->getImageTransformationParams(), compareParams)")
        && c(getAnonymizationParams().compare(otherSD->getAnonymizationParams(), params),
             "getAnonymizationParams().compare(otherSD->getAnonymizationParams(), compareParams)")
        && c(getVisualizationParams().compare(otherSD->getVisualizationParams(), params),
             "getVisualizationParams().compare(otherSD->getVisualizationParams(), compareParams)");
    return c;
}

} // namespace kvr::tracker::common
