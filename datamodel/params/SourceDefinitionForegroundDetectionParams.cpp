#include "datamodel/params/SourceDefinitionForegroundDetectionParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>
#include <limits>

namespace kvr::tracker::common {

namespace {

const QString kMaskDownsample = QStringLiteral("mask_downsample");
const QString kAnnealingSaturation = QStringLiteral("annealing_saturation");
const QString kAnnealingSpeed = QStringLiteral("annealing_speed");

// The mask size is read as a whole 32-bit number (else 0) and range-checked by maskInRange.
const std::array<SourceDataField, 3> &fields()
{
    static const std::array<SourceDataField, 3> table{{
        {kMaskDownsample, SourceDataField::Type::Int},
        {kAnnealingSaturation, SourceDataField::Type::Double},
        {kAnnealingSpeed, SourceDataField::Type::Double},
    }};
    return table;
}

// Out of the 16-bit range is 0, which validation rejects; cutting to the low bits would turn
// 65636 into a plausible 100.
quint16 maskInRange(int stored)
{
    return stored < 0 || stored > std::numeric_limits<quint16>::max() ? 0 : quint16(stored);
}

} // namespace

SourceDefinitionForegroundDetectionParams::SourceDefinitionForegroundDetectionParams()
{
    registerRecordComparator<SourceDefinitionForegroundDetectionParams>(Q_FUNC_INFO);
}

quint16 SourceDefinitionForegroundDetectionParams::getMaskDownsample() const
{
    return maskInRange(valueAs<int>(kMaskDownsample, 100));
}

void SourceDefinitionForegroundDetectionParams::setMaskDownsample(quint16 maskDownsample)
{
    setValue(kMaskDownsample, int(maskDownsample));
}

double SourceDefinitionForegroundDetectionParams::getAnnealingSaturation() const { return valueAs<double>(kAnnealingSaturation, 800.0); }
void SourceDefinitionForegroundDetectionParams::setAnnealingSaturation(double annealingSaturation) { setValue(kAnnealingSaturation, annealingSaturation); }
double SourceDefinitionForegroundDetectionParams::getAnnealingSpeed() const { return valueAs<double>(kAnnealingSpeed, 5.0); }
void SourceDefinitionForegroundDetectionParams::setAnnealingSpeed(double annealingSpeed) { setValue(kAnnealingSpeed, annealingSpeed); }

bool SourceDefinitionForegroundDetectionParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(SourceStateWatcherParams::isValid_impl(skipWrn), "SourceStateWatcherParams::isValid_impl(skipWrn)")
        && v.each(getStateWatchers(),
                  [](const SourceStateWatcher &sw) {
                      return sw.getStateWatcherType() == SourceStateWatcher::StateWatcherType::Foreground;
                  },
                  "sw.getStateWatcherType() == SourceStateWatcher::StateWatcherType::Foreground")
        && v(getMaskDownsample() > 0, "getMaskDownsample() > 0")
        && v(getAnnealingSaturation() > 0, "getAnnealingSaturation() > 0")
        && v(getAnnealingSpeed() > 0, "getAnnealingSpeed() > 0");
}

void SourceDefinitionForegroundDetectionParams::read_impl(const QJsonObject &data, quint32 version,
                                                          const SourceDataReadOptions &options)
{
    SourceStateWatcherParams::read_impl(data, version, options);
    readFields(data, fields());
    if (contains(kMaskDownsample))
        setMaskDownsample(getMaskDownsample());
}

void SourceDefinitionForegroundDetectionParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    SourceStateWatcherParams::write_impl(data, options);
    writeFields(data, fields());
}

CompareResult SourceDefinitionForegroundDetectionParams::compare_logic(const SourceData &other,
                                                                       const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    if (!c(SourceStateWatcherParams::compare_logic(other, params),
           "SourceStateWatcherParams::compare_logic(other, compareParams)"))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionForegroundDetectionParams>(other);
    if (!otherSD)
        return c;
    c(getMaskDownsample() == otherSD->getMaskDownsample(), "getMaskDownsample() == otherSD->getMaskDownsample()")
        && c(qFuzzyCompare(getAnnealingSaturation() + 1, otherSD->getAnnealingSaturation() + 1),
             "qFuzzyCompare(getAnnealingSaturation() + 1, otherSD->getAnnealingSaturation() + 1)")
        && c(qFuzzyCompare(getAnnealingSpeed() + 1, otherSD->getAnnealingSpeed() + 1),
             "qFuzzyCompare(getAnnealingSpeed() + 1, otherSD->getAnnealingSpeed() + 1)");
    return c;
}

} // namespace kvr::tracker::common
