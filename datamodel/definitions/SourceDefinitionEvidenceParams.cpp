#include "datamodel/definitions/SourceDefinitionEvidenceParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/log/Log.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace kvr::tracker::common {

namespace {

const QString kMovingTimeWindowMS = QStringLiteral("moving_time_window_ms");
const QString kMovingTimeWindowGranualityMS = QStringLiteral("moving_time_window_granuality_ms");
const QString kPostponedTimeWindowMS = QStringLiteral("postponed_time_window_ms");
const QString kMaxFramePostponeMS = QStringLiteral("max_frame_postpone_ms");
const QString kMaxFramePickToleranceMS = QStringLiteral("max_frame_pick_tolerance_ms");

// The values travel as decimal text; anything else, or text that is no number, reads as 0.
template <class T>
bool textFromJson(const QJsonObject &data, const QString &key, T *value)
{
    const auto it = data.constFind(key);
    if (it == data.constEnd())
        return false;
    bool ok = false;
    const QString text = it.value().toString();
    if constexpr (std::is_signed<T>::value)
        *value = text.toInt(&ok, 10);
    else
        *value = text.toUInt(&ok, 10);
    if (!ok)
        *value = 0;
    return true;
}

template <class T>
void textToJson(QJsonObject &data, const QString &key, bool held, T value)
{
    if (held)
        data.insert(key, QString::number(value));
}

} // namespace

SourceDefinitionEvidenceParams::SourceDefinitionEvidenceParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionEvidenceParams>(Q_FUNC_INFO);
}

template <class T>
void SourceDefinitionEvidenceParams::setBounded(const QString &key, T value, bool inBounds, const char *function)
{
    if (!inBounds) {
        KVR_LOG_AT(log::WRN, log::functionName(function),
                   QString::number(value) + QStringLiteral(" is out of bound! No value will be set..."));
        return;
    }
    setValue(key, value);
}

quint32 SourceDefinitionEvidenceParams::getMovingTimeWindowMS() const { return valueAs<quint32>(kMovingTimeWindowMS, 1000); }
quint32 SourceDefinitionEvidenceParams::getMovingTimeWindowGranualityMS() const { return valueAs<quint32>(kMovingTimeWindowGranualityMS, 300); }
qint32 SourceDefinitionEvidenceParams::getPostponedTimeWindowMS() const { return valueAs<qint32>(kPostponedTimeWindowMS, 500); }
qint32 SourceDefinitionEvidenceParams::getMaxFramePostponeMS() const { return valueAs<qint32>(kMaxFramePostponeMS, 900000); }
quint32 SourceDefinitionEvidenceParams::getMaxFramePickToleranceMS() const { return valueAs<quint32>(kMaxFramePickToleranceMS, 400); }

void SourceDefinitionEvidenceParams::setMovingTimeWindowMS(const quint32 &value)
{
    setBounded(kMovingTimeWindowMS, value, value >= MOVING_TIME_WINDOW_MS_MIN && value <= MOVING_TIME_WINDOW_MS_MAX, Q_FUNC_INFO);
}

void SourceDefinitionEvidenceParams::setMovingTimeWindowGranualityMS(const quint32 &value)
{
    setBounded(kMovingTimeWindowGranualityMS, value,
               value >= MOVING_TIME_WINDOW_GRANUALITY_MS_MIN && value <= MOVING_TIME_WINDOW_GRANUALITY_MS_MAX, Q_FUNC_INFO);
}

void SourceDefinitionEvidenceParams::setPostponedTimeWindowMS(const qint32 &value)
{
    setBounded(kPostponedTimeWindowMS, value, value >= POSTPONED_TIME_WINDOW_MS_MIN || value < 0, Q_FUNC_INFO);
}

void SourceDefinitionEvidenceParams::setMaxFramePostponeMS(const qint32 &value)
{
    setBounded(kMaxFramePostponeMS, value, value >= MAX_FRAME_POSTPONE_MS_MIN || value < 0, Q_FUNC_INFO);
}

void SourceDefinitionEvidenceParams::setMaxFramePickToleranceMS(const quint32 &value)
{
    setBounded(kMaxFramePickToleranceMS, value, value <= MAX_FRAME_PICK_TOLERANCE_MS_MAX, Q_FUNC_INFO);
}

quint32 SourceDefinitionEvidenceParams::estimateMemOccupancyMB(double fps, QSize frameSize) const
{
    const qint32 postponedWindow = getPostponedTimeWindowMS();
    if (!(fps > 0) || postponedWindow < 0 || frameSize.width() < 1 || frameSize.height() < 1)
        return NO_ESTIMATE;
    const double period = 1000.0 / fps;
    // Truncated toward zero, saturated so that a tiny frame rate cannot overflow the cast.
    const quint32 wholePeriod = period >= double(NO_ESTIMATE) ? NO_ESTIMATE : quint32(period);
    const quint32 divisor = std::max(wholePeriod, getMovingTimeWindowGranualityMS());
    if (divisor == 0) // only a granularity stored around the setter, above 1000 frames a second
        return NO_ESTIMATE;
    const double sampled = double(getMovingTimeWindowMS() / divisor);
    const double postponed = std::trunc(double(postponedWindow) / period);
    // In double precision instead of 32-bit bytes, which wrap above some 690 full-HD frames;
    // exact while the result fits 32 bits.
    const double bytes = double(frameSize.height()) * double(frameSize.width()) * (postponed + sampled) * 3.0;
    const double mebibytes = std::floor(bytes / 1048576.0);
    return mebibytes >= double(NO_ESTIMATE) ? NO_ESTIMATE : quint32(mebibytes);
}

bool SourceDefinitionEvidenceParams::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionEvidenceParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(MOVING_TIME_WINDOW_MS_MIN <= getMovingTimeWindowMS() && getMovingTimeWindowMS() <= MOVING_TIME_WINDOW_MS_MAX,
             "MOVING_TIME_WINDOW_MS_MIN <= getMovingTimeWindowMS() && getMovingTimeWindowMS() <= MOVING_TIME_WINDOW_MS_MAX")
        && v(MOVING_TIME_WINDOW_GRANUALITY_MS_MIN <= getMovingTimeWindowGranualityMS()
                 && getMovingTimeWindowGranualityMS() <= MOVING_TIME_WINDOW_GRANUALITY_MS_MAX,
             "MOVING_TIME_WINDOW_GRANUALITY_MS_MIN <= getMovingTimeWindowGranualityMS() && getMovingTimeWindowGranualityMS() <= MOVING_TIME_WINDOW_GRANUALITY_MS_MAX")
        && v(POSTPONED_TIME_WINDOW_MS_MIN <= getPostponedTimeWindowMS() || getPostponedTimeWindowMS() < 0,
             "POSTPONED_TIME_WINDOW_MS_MIN <= getPostponedTimeWindowMS() || getPostponedTimeWindowMS() < 0")
        && v(MAX_FRAME_POSTPONE_MS_MIN <= getMaxFramePostponeMS() || getMaxFramePostponeMS() < 0,
             "MAX_FRAME_POSTPONE_MS_MIN <= getMaxFramePostponeMS() || getMaxFramePostponeMS() < 0")
        && v(MAX_FRAME_PICK_TOLERANCE_MS_MAX >= getMaxFramePickToleranceMS(),
             "MAX_FRAME_PICK_TOLERANCE_MS_MAX >= getMaxFramePickToleranceMS()");
}

// Through the bounded setters, so an out-of-range value is logged and the earlier one kept.
void SourceDefinitionEvidenceParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                               const SourceDataReadOptions & /*options*/)
{
    quint32 unsignedValue = 0;
    qint32 signedValue = 0;
    if (textFromJson(data, kMovingTimeWindowMS, &unsignedValue))
        setMovingTimeWindowMS(unsignedValue);
    if (textFromJson(data, kMovingTimeWindowGranualityMS, &unsignedValue))
        setMovingTimeWindowGranualityMS(unsignedValue);
    if (textFromJson(data, kPostponedTimeWindowMS, &signedValue))
        setPostponedTimeWindowMS(signedValue);
    if (textFromJson(data, kMaxFramePostponeMS, &signedValue))
        setMaxFramePostponeMS(signedValue);
    if (textFromJson(data, kMaxFramePickToleranceMS, &unsignedValue))
        setMaxFramePickToleranceMS(unsignedValue);
}

void SourceDefinitionEvidenceParams::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    textToJson(data, kMovingTimeWindowMS, contains(kMovingTimeWindowMS), getMovingTimeWindowMS());
    textToJson(data, kMovingTimeWindowGranualityMS, contains(kMovingTimeWindowGranualityMS),
               getMovingTimeWindowGranualityMS());
    textToJson(data, kPostponedTimeWindowMS, contains(kPostponedTimeWindowMS), getPostponedTimeWindowMS());
    textToJson(data, kMaxFramePostponeMS, contains(kMaxFramePostponeMS), getMaxFramePostponeMS());
    textToJson(data, kMaxFramePickToleranceMS, contains(kMaxFramePickToleranceMS), getMaxFramePickToleranceMS());
}

CompareResult SourceDefinitionEvidenceParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionEvidenceParams>(other);
    if (!otherSD)
        return c;
    c(getMovingTimeWindowMS() == otherSD->getMovingTimeWindowMS(),
      "getMovingTimeWindowMS() == otherSD->getMovingTimeWindowMS()")
        && c(getMovingTimeWindowGranualityMS() == otherSD->getMovingTimeWindowGranualityMS(),
             "getMovingTimeWindowGranualityMS() == otherSD->getMovingTimeWindowGranualityMS()")
        && c(getPostponedTimeWindowMS() == otherSD->getPostponedTimeWindowMS(),
             "getPostponedTimeWindowMS() == otherSD->getPostponedTimeWindowMS()")
        && c(getMaxFramePostponeMS() == otherSD->getMaxFramePostponeMS(),
             "getMaxFramePostponeMS() == otherSD->getMaxFramePostponeMS()")
        && c(getMaxFramePickToleranceMS() == otherSD->getMaxFramePickToleranceMS(),
             "getMaxFramePickToleranceMS() == otherSD->getMaxFramePickToleranceMS()");
    return c;
}

} // namespace kvr::tracker::common
