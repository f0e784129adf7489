#include "datamodel/frames/SourceImageTransformationParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kUndistortFlag = QStringLiteral("undistort_flag");
const QString kTransformToRefFlag = QStringLiteral("transform_to_ref_flag");
const QString kImageCropParams = QStringLiteral("image_crop_parameters");
const QString kLegacyCropFlag = QStringLiteral("crop_flag"); // class versions 0 and 1

const std::array<SourceDataField, 2> &fields()
{
    static const std::array<SourceDataField, 2> table{{
        {kUndistortFlag, SourceDataField::Type::Bool},
        {kTransformToRefFlag, SourceDataField::Type::Bool},
    }};
    return table;
}

} // namespace

SourceImageTransformationParams::SourceImageTransformationParams()
    : SourceData(2)
{
    registerRecordComparator<SourceImageTransformationParams>(Q_FUNC_INFO);
}

bool SourceImageTransformationParams::getUndistortFlag() const { return valueAs<bool>(kUndistortFlag, true); }
void SourceImageTransformationParams::setUndistortFlag(bool flag) { setValue(kUndistortFlag, flag); }
bool SourceImageTransformationParams::getTransformToRefFlag() const { return valueAs<bool>(kTransformToRefFlag, true); }
void SourceImageTransformationParams::setTransformToRefFlag(bool flag) { setValue(kTransformToRefFlag, flag); }

SourceImageCropParams SourceImageTransformationParams::getImageCropParams() const
{
    return getRecord<SourceImageCropParams>(kImageCropParams);
}

void SourceImageTransformationParams::setImageCropParams(const SourceImageCropParams &params)
{
    setRecord(kImageCropParams, params);
}

void SourceImageTransformationParams::read_impl(const QJsonObject &data, quint32 version,
                                                const SourceDataReadOptions &options)
{
    // Up to class version 1 the crop was only a flag; it becomes the crop record's "enabled".
    SourceImageCropParams crop;
    if (version <= 1) {
        const auto flag = data.constFind(kLegacyCropFlag);
        if (flag != data.constEnd())
            crop.setEnabled(flag.value().toBool());
    } else {
        const auto nested = data.constFind(kImageCropParams);
        if (nested != data.constEnd())
            crop.read(nested.value().toObject(), options);
    }
    if (!crop.valueMap().isEmpty())
        setImageCropParams(crop);
    readFields(data, fields());
}

void SourceImageTransformationParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeFields(data, fields());
    writeRecord<SourceImageCropParams>(data, kImageCropParams, options);
}

CompareResult SourceImageTransformationParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceImageTransformationParams>(other);
    if (!otherSD)
        return c;
    c(getUndistortFlag() == otherSD->getUndistortFlag(), "getUndistortFlag() == otherSD->getUndistortFlag()")
        && c(getTransformToRefFlag() == otherSD->getTransformToRefFlag(),
             "getTransformToRefFlag() == otherSD->getTransformToRefFlag()")
        && c(getImageCropParams().compare(otherSD->getImageCropParams(), params),
             "getImageCropParams().compare(otherSD->getImageCropParams(), compareParams)");
    return c;
}

} // namespace kvr::tracker::common
