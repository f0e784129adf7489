#include "datamodel/frames/SourceImageScaleParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kScale = QStringLiteral("scale");
const QString kVerticalResolution = QStringLiteral("vertical_resolution");
const QString kHorizontalResolution = QStringLiteral("horizontal_resolution");
const QString kAllowUpscale = QStringLiteral("allow_vh_resolution_upscale");
const QString kCanvasSize = QStringLiteral("canvas_size");

const std::array<SourceDataField, 5> &fields()
{
    static const std::array<SourceDataField, 5> table{{
        {kScale, SourceDataField::Type::Bits8},
        {kVerticalResolution, SourceDataField::Type::Bits16},
        {kHorizontalResolution, SourceDataField::Type::Bits16},
        {kAllowUpscale, SourceDataField::Type::Bool},
        {kCanvasSize, SourceDataField::Type::Size},
    }};
    return table;
}

} // namespace

SourceImageScaleParams::SourceImageScaleParams()
    : SourceData(1)
{
    registerRecordComparator<SourceImageScaleParams>(Q_FUNC_INFO);
}

quint8 SourceImageScaleParams::getScale() const { return quint8(valueAs<uint>(kScale, 100)); }
void SourceImageScaleParams::setScale(quint8 scale) { setValue(kScale, int(scale)); }
quint16 SourceImageScaleParams::getVerticalResolution() const { return quint16(valueAs<uint>(kVerticalResolution, 0)); }
void SourceImageScaleParams::setVerticalResolution(quint16 resolution) { setValue(kVerticalResolution, int(resolution)); }
quint16 SourceImageScaleParams::getHorizontalResolution() const { return quint16(valueAs<uint>(kHorizontalResolution, 0)); }
void SourceImageScaleParams::setHorizontalResolution(quint16 resolution) { setValue(kHorizontalResolution, int(resolution)); }
bool SourceImageScaleParams::getAllowVHResolutionUpscale() const { return valueAs<bool>(kAllowUpscale, false); }
void SourceImageScaleParams::setAllowVHResolutionUpscale(bool allow) { setValue(kAllowUpscale, allow); }
QSize SourceImageScaleParams::getCanvasSize() const { return valueAs<QSize>(kCanvasSize); }
void SourceImageScaleParams::setCanvasSize(const QSize &size) { setValue(kCanvasSize, size); }

bool SourceImageScaleParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getCanvasSize().isEmpty() || getVerticalResolution() || getHorizontalResolution() || getScale(),
             "!getCanvasSize().isEmpty() || getVerticalResolution() || getHorizontalResolution() || getScale()");
}

void SourceImageScaleParams::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
}

void SourceImageScaleParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
}

CompareResult SourceImageScaleParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceImageScaleParams>(other);
    if (!otherSD)
        return c;
    // Only the way of scaling in effect counts: canvas, else resolutions, else the scale.
    if (!getCanvasSize().isEmpty() || !otherSD->getCanvasSize().isEmpty()) {
        c(getCanvasSize() == otherSD->getCanvasSize(), "getCanvasSize() == otherSD->getCanvasSize()");
    } else if (getVerticalResolution() || getHorizontalResolution() || otherSD->getVerticalResolution()
               || otherSD->getHorizontalResolution()) {
        c(getVerticalResolution() == otherSD->getVerticalResolution(),
          "getVerticalResolution() == otherSD->getVerticalResolution()")
            && c(getHorizontalResolution() == otherSD->getHorizontalResolution(),
                 "getHorizontalResolution() == otherSD->getHorizontalResolution()")
            && c(getAllowVHResolutionUpscale() == otherSD->getAllowVHResolutionUpscale(),
                 "getAllowVHResolutionUpscale() == otherSD->getAllowVHResolutionUpscale()");
    } else {
        c(getScale() == otherSD->getScale(), "getScale() == otherSD->getScale()");
    }
    return c;
}

} // namespace kvr::tracker::common
