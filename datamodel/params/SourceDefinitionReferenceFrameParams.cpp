#include "datamodel/params/SourceDefinitionReferenceFrameParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/log/Log.h"
#include "datamodel/params/DEP_SourceDefinitionStabParams.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kReferenceFrame = QStringLiteral("reference_frame");
const QString kStabilizationFlag = QStringLiteral("stabilization_flag");
const QString kGeoregistrationParams = QStringLiteral("georegistration_parameters");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kStabilizationFlag, SourceDataField::Type::Bool},
    }};
    return table;
}

} // namespace

SourceDefinitionReferenceFrameParams::SourceDefinitionReferenceFrameParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionReferenceFrameParams>(Q_FUNC_INFO);
}

ReferenceFrame SourceDefinitionReferenceFrameParams::getReferenceFrame() const
{
    return getRecord<ReferenceFrame>(kReferenceFrame);
}

void SourceDefinitionReferenceFrameParams::setReferenceFrame(const ReferenceFrame &referenceFrame)
{
    setRecord(kReferenceFrame, referenceFrame);
}

bool SourceDefinitionReferenceFrameParams::hasReferenceFrame() const
{
    return hasEnabledRecord<ReferenceFrame>(kReferenceFrame);
}

bool SourceDefinitionReferenceFrameParams::getStabilizationFlag() const { return valueAs<bool>(kStabilizationFlag, false); }
void SourceDefinitionReferenceFrameParams::setStabilizationFlag(bool stabilizationFlag) { setValue(kStabilizationFlag, stabilizationFlag); }

TransformationParams SourceDefinitionReferenceFrameParams::getGeoregistrationParams() const
{
    return getRecord<TransformationParams>(kGeoregistrationParams);
}

void SourceDefinitionReferenceFrameParams::setGeoregistrationParams(const TransformationParams &georegistrationParams)
{
    setRecord(kGeoregistrationParams, georegistrationParams);
}

bool SourceDefinitionReferenceFrameParams::hasGeoregistrationParams() const
{
    return hasEnabledRecord<TransformationParams>(kGeoregistrationParams);
}

bool SourceDefinitionReferenceFrameParams::foldLegacyStabParams(const DEP_SourceDefinitionStabParams &legacy,
                                                                const char *function)
{
    const QString name = log::functionName(function);
    bool changed = false;
    if (legacy.getEnabled()) {
        if (getEnabled())
            KVR_LOG_AT(log::WRN, name, QStringLiteral("SourceDefinitionReferenceFrameParams already enabled! This should not happen..."));
        if (getStabilizationFlag())
            KVR_LOG_AT(log::WRN, name, QStringLiteral("StabilizationFlag already enabled! This should not happen..."));
        setEnabled(true);
        setStabilizationFlag(true);
        changed = true;
    }
    if (!legacy.getImageSignature().isEmpty()) {
        ReferenceFrame frame = getReferenceFrame();
        if (!frame.getImageSignature().isEmpty())
            KVR_LOG_AT(log::WRN, name, QStringLiteral("Image signature already exists!  This should not happen..."));
        frame.setImageSignature(legacy.getImageSignature());
        frame.setImageTimestamp(legacy.getImageTimestamp());
        setReferenceFrame(frame);
        changed = true;
    }
    return changed;
}

bool SourceDefinitionReferenceFrameParams::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionReferenceFrameParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!hasReferenceFrame() || getReferenceFrame().isValid(skipWrn),
             "!hasReferenceFrame() || getReferenceFrame().isValid(skipWrn)")
        && v(!hasGeoregistrationParams() || (hasReferenceFrame() && getGeoregistrationParams().isValid(skipWrn)),
             "!hasGeoregistrationParams() || (hasReferenceFrame() && getGeoregistrationParams().isValid(skipWrn))")
        && v(!getStabilizationFlag() || hasReferenceFrame(), "!getStabilizationFlag() || hasReferenceFrame()");
}

void SourceDefinitionReferenceFrameParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                     const SourceDataReadOptions &options)
{
    readRecord<ReferenceFrame>(data, kReferenceFrame, options);
    readFields(data, fields());
    readRecord<TransformationParams>(data, kGeoregistrationParams, options);
}

void SourceDefinitionReferenceFrameParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeRecord<ReferenceFrame>(data, kReferenceFrame, options);
    writeFields(data, fields());
    writeRecord<TransformationParams>(data, kGeoregistrationParams, options);
}

CompareResult SourceDefinitionReferenceFrameParams::compare_logic(const SourceData &other,
                                                                  const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionReferenceFrameParams>(other);
    if (!otherSD)
        return c;
    c(getReferenceFrame().compare(otherSD->getReferenceFrame(), params),
      "getReferenceFrame().compare(otherSD->getReferenceFrame(), compareParams)")
        && c(getStabilizationFlag() == otherSD->getStabilizationFlag(),
             "getStabilizationFlag() == otherSD->getStabilizationFlag()")
        && c(getGeoregistrationParams().compare(otherSD->getGeoregistrationParams(), params),
             "getGeoregistrationParams().compare(otherSD->getGeoregistrationParams(), compareParams)");
    return c;
}

} // namespace kvr::tracker::common
