#include "datamodel/params/DEP_SourceDefinitionStabParams.h"

#include "core/data/CompareChain.h"
#include "core/log/Log.h"

namespace kvr::tracker::common {

namespace {

const QString kImageSignature = QStringLiteral("image_signature");
const QString kSourceTimestamp = QStringLiteral("source_timestamp");
const QString kImageData = QStringLiteral("image_data");

} // namespace

DEP_SourceDefinitionStabParams::DEP_SourceDefinitionStabParams()
    : SourceData(1)
{
}

QString DEP_SourceDefinitionStabParams::getImageSignature() const { return valueAs<QString>(kImageSignature); }

void DEP_SourceDefinitionStabParams::setImageSignature(const QString &signature, bool noWarning)
{
    setValue(kImageSignature, signature);
    if (!noWarning && contains(kImageData))
        LOG_WRN(QStringLiteral("Image data not empty! New stab. image signature might invalidate existing stab. image data..."));
}

SourceTimestamp DEP_SourceDefinitionStabParams::getImageTimestamp() const
{
    return getRecord<SourceTimestamp>(kSourceTimestamp);
}

void DEP_SourceDefinitionStabParams::setImageTimestamp(const SourceTimestamp &timestamp)
{
    setRecord(kSourceTimestamp, timestamp);
}

bool DEP_SourceDefinitionStabParams::defaultEnabled() const
{
    return false;
}

// Logs no condition of its own: only the timestamp's lines and the base's class line appear.
bool DEP_SourceDefinitionStabParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    return !getImageSignature().isEmpty() && getImageTimestamp().isValid(skipWrn);
}

void DEP_SourceDefinitionStabParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                               const SourceDataReadOptions &options)
{
    const auto signature = data.constFind(kImageSignature);
    if (signature != data.constEnd())
        setImageSignature(signature.value().toString());
    readRecord<SourceTimestamp>(data, kSourceTimestamp, options);
}

void DEP_SourceDefinitionStabParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeField(data, kImageSignature);
    writeRecord<SourceTimestamp>(data, kSourceTimestamp, options);
}

CompareResult DEP_SourceDefinitionStabParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<DEP_SourceDefinitionStabParams>(other);
    if (!otherSD)
        return c;
    c(getImageSignature() == otherSD->getImageSignature(), "getImageSignature() == otherSD->getImageSignature()")
        && c(getImageTimestamp().compare(otherSD->getImageTimestamp(), params),
             "getImageTimestamp().compare(otherSD->getImageTimestamp(), compareParams)");
    return c;
}

} // namespace kvr::tracker::common
