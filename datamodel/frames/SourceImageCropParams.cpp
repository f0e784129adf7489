#include "datamodel/frames/SourceImageCropParams.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kDynamicCrop = QStringLiteral("dynamic_crop");
const QString kMarginPX = QStringLiteral("margin_px");
const QString kSAOINames = QStringLiteral("saoi_names");

const std::array<SourceDataField, 3> &fields()
{
    static const std::array<SourceDataField, 3> table{{
        {kDynamicCrop, SourceDataField::Type::Bool},
        {kMarginPX, SourceDataField::Type::Bits16},
        {kSAOINames, SourceDataField::Type::StringList},
    }};
    return table;
}

} // namespace

SourceImageCropParams::SourceImageCropParams()
    : SourceData(1)
{
    registerRecordComparator<SourceImageCropParams>(Q_FUNC_INFO);
}

bool SourceImageCropParams::getDynamicCrop() const { return valueAs<bool>(kDynamicCrop, false); }
void SourceImageCropParams::setDynamicCrop(bool dynamicCrop) { setValue(kDynamicCrop, dynamicCrop); }
quint16 SourceImageCropParams::getMarginPX() const { return quint16(valueAs<uint>(kMarginPX, 0)); }
void SourceImageCropParams::setMarginPX(quint16 marginPX) { setValue(kMarginPX, int(marginPX)); }
QStringList SourceImageCropParams::getSAOINames() const { return valueAs<QStringList>(kSAOINames); }
void SourceImageCropParams::setSAOINames(const QStringList &names) { setValue(kSAOINames, names); }

bool SourceImageCropParams::defaultEnabled() const
{
    return false;
}

void SourceImageCropParams::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
}

void SourceImageCropParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
}

CompareResult SourceImageCropParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceImageCropParams>(other);
    if (!otherSD)
        return c;
    // The names only count while this side crops dynamically.
    c(getDynamicCrop() == otherSD->getDynamicCrop(), "getDynamicCrop() == otherSD->getDynamicCrop()")
        && c(getMarginPX() == otherSD->getMarginPX(), "getMarginPX() == otherSD->getMarginPX()")
        && (!getDynamicCrop()
            || c(sameStringSet(getSAOINames(), otherSD->getSAOINames()),
                 "getSAOINames().toSet() == otherSD->getSAOINames().toSet()"));
    return c;
}

} // namespace kvr::tracker::common
