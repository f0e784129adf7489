#include "datamodel/params/SourceDefinitionInputParams.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/log/Log.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kConnectionString = QStringLiteral("connection_string");
const QString kRtspTcp = QStringLiteral("rtsp_tcp");
const QString kFpsCap = QStringLiteral("fps_cap");
const QString kMaxLatencyMs = QStringLiteral("max_latency_ms");
const QString kLive = QStringLiteral("live");
const QString kFrameIdOffset = QStringLiteral("frame_id_offset");
const QString kImageCrop = QStringLiteral("image_crop");
const QString kComputeTickMs = QStringLiteral("compute_tick_ms");
const QString kLp = QStringLiteral("lp");
const QString kLpAnonymization = QStringLiteral("lp_anonymization");
const QString kObstacle = QStringLiteral("obstacle");
const QString kTimeSource = QStringLiteral("time_source");
const QString kStateWatcherParams = QStringLiteral("state_watcher_params");
const QString kRecordingEnabled = QStringLiteral("recording_enabled");
const QString kRetransmitterEnabled = QStringLiteral("retransmitter_enabled");
const QString kRetransmitterTimeSource = QStringLiteral("retransmitter_time_source");
const QString kSourceConnectionString = QStringLiteral("source_connection_string");

// Plain fields; the nested records, the enumerations and "compute_tick_ms" (written with the
// bits of a signed 32-bit number) are handled by hand.
const std::array<SourceDataField, 12> &fields()
{
    static const std::array<SourceDataField, 12> table{{
        {kConnectionString, SourceDataField::Type::String},
        {kRtspTcp, SourceDataField::Type::Bool},
        {kFpsCap, SourceDataField::Type::Double},
        {kMaxLatencyMs, SourceDataField::Type::Int},
        {kLive, SourceDataField::Type::Bool},
        {kFrameIdOffset, SourceDataField::Type::Int},
        {kLp, SourceDataField::Type::Bool},
        {kObstacle, SourceDataField::Type::Bool},
        {kRecordingEnabled, SourceDataField::Type::Bool},
        {kRetransmitterEnabled, SourceDataField::Type::Bool},
        {kRetransmitterTimeSource, SourceDataField::Type::String},
        {kSourceConnectionString, SourceDataField::Type::String},
    }};
    return table;
}

} // namespace

SourceDefinitionInputParams::SourceDefinitionInputParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionInputParams>(Q_FUNC_INFO);
}

QString SourceDefinitionInputParams::getConnectionString() const { return valueAs<QString>(kConnectionString); }
void SourceDefinitionInputParams::setConnectionString(const QString &connectionString)
{
    setValue(kConnectionString, connectionString);
}
bool SourceDefinitionInputParams::getRtspTCP() const { return valueAs<bool>(kRtspTcp, true); }
void SourceDefinitionInputParams::setRtspTCP(bool rtspTCP) { setValue(kRtspTcp, rtspTCP); }

double SourceDefinitionInputParams::getFPSOverride() const
{
    return 0.0;
}

void SourceDefinitionInputParams::setFPSOverride_dep(double /*fpsOverride*/)
{
    LOG_WRN(QStringLiteral("FPS override is deprecated!"));
}

double SourceDefinitionInputParams::getFPSCap() const { return valueAs<double>(kFpsCap, 0.0); }
void SourceDefinitionInputParams::setFPSCap(double fpsCap) { setValue(kFpsCap, fpsCap); }
int SourceDefinitionInputParams::getMaxLatencyMS() const { return valueAs<int>(kMaxLatencyMs, 1000); }
void SourceDefinitionInputParams::setMaxLatencyMS(int maxLatencyMS) { setValue(kMaxLatencyMs, maxLatencyMS); }
bool SourceDefinitionInputParams::getLiveFlag() const { return valueAs<bool>(kLive, true); }
void SourceDefinitionInputParams::setLiveFlag(bool liveFlag) { setValue(kLive, liveFlag); }
int SourceDefinitionInputParams::getFrameIDOffset() const { return valueAs<int>(kFrameIdOffset, 0); }
void SourceDefinitionInputParams::setFrameIDOffset(int frameIDOffset) { setValue(kFrameIdOffset, frameIDOffset); }

SourceDefinitionInputParamsImageCrop SourceDefinitionInputParams::getImageCrop() const
{
    return getRecord<SourceDefinitionInputParamsImageCrop>(kImageCrop);
}
void SourceDefinitionInputParams::setImageCrop(const SourceDefinitionInputParamsImageCrop &imageCrop)
{
    setRecord(kImageCrop, imageCrop);
}

uint SourceDefinitionInputParams::getComputeTickMS() const { return valueAs<uint>(kComputeTickMs, 333); }
void SourceDefinitionInputParams::setComputeTickMS(uint computeTickMS) { setValue(kComputeTickMs, computeTickMS); }
bool SourceDefinitionInputParams::getLP() const { return valueAs<bool>(kLp, false); }
void SourceDefinitionInputParams::setLP(bool lp) { setValue(kLp, lp); }

SourceDefinitionInputParams::LPAnonymization SourceDefinitionInputParams::getLPAnonymization() const
{
    return enumFromVariant(value(kLpAnonymization), LPAnonymization::None);
}
void SourceDefinitionInputParams::setLPAnonymization(LPAnonymization lpAnonymization)
{
    setValue(kLpAnonymization, enumToKey(lpAnonymization));
}

bool SourceDefinitionInputParams::getObstacle() const { return valueAs<bool>(kObstacle, false); }
void SourceDefinitionInputParams::setObstacle(bool obstacle) { setValue(kObstacle, obstacle); }

SourceDefinitionInputParams::TimeSource SourceDefinitionInputParams::getTimeSource() const
{
    return enumFromVariant(value(kTimeSource), TimeSource::PTSOffset);
}
void SourceDefinitionInputParams::setTimeSource(TimeSource timeSource) { setValue(kTimeSource, enumToKey(timeSource)); }

SourceStateWatcherParams SourceDefinitionInputParams::getStateWatcherParams() const
{
    return getRecord<SourceStateWatcherParams>(kStateWatcherParams);
}
void SourceDefinitionInputParams::setStateWatcherParams(const SourceStateWatcherParams &stateWatcherParams)
{
    setRecord(kStateWatcherParams, stateWatcherParams);
}

bool SourceDefinitionInputParams::isRecordingEnabled() const { return valueAs<bool>(kRecordingEnabled, false); }
void SourceDefinitionInputParams::setRecordingEnabled(bool recordingEnabled)
{
    setValue(kRecordingEnabled, recordingEnabled);
}
bool SourceDefinitionInputParams::isRetransmitterEnabled() const { return valueAs<bool>(kRetransmitterEnabled, false); }
void SourceDefinitionInputParams::setRetransmitterEnabled(bool retransmitterEnabled)
{
    setValue(kRetransmitterEnabled, retransmitterEnabled);
}
QString SourceDefinitionInputParams::getRetransmitterTimeSource() const
{
    return valueAs<QString>(kRetransmitterTimeSource);
}
void SourceDefinitionInputParams::setRetransmitterTimeSource(const QString &retransmitterTimeSource)
{
    setValue(kRetransmitterTimeSource, retransmitterTimeSource);
}
QString SourceDefinitionInputParams::getSourceConnectionString() const
{
    return valueAs<QString>(kSourceConnectionString);
}
void SourceDefinitionInputParams::setSourceConnectionString(const QString &sourceConnectionString)
{
    setValue(kSourceConnectionString, sourceConnectionString);
}

bool SourceDefinitionInputParams::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(getEnabled(), "getEnabled()")
        && v(!getConnectionString().isEmpty(), "!getConnectionString().isEmpty()")
        && v(getImageCrop().isValid(skipWrn), "getImageCrop().isValid(skipWrn)")
        && v(getStateWatcherParams().isValid(skipWrn), "getStateWatcherParams().isValid(skipWrn)")
        && v(getMaxLatencyMS() >= MAX_LATENCY_MS_MIN, "getMaxLatencyMS() >= MAX_LATENCY_MS_MIN");
}

void SourceDefinitionInputParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                            const SourceDataReadOptions &options)
{
    readFields(data, fields());
    readRecord<SourceDefinitionInputParamsImageCrop>(data, kImageCrop, options);
    // A signed 32-bit number held with the same bits, so a negative tick is written back as it
    // came; anything beyond 32 bits is no tick a node would read and gives 0.
    readIfPresent(data, kComputeTickMs,
                  [this](const QJsonValue &value) { setValue(kComputeTickMs, uint(value.toInt())); });
    readEnumKey(*this, data, kLpAnonymization, LPAnonymization::None);
    readEnumKey(*this, data, kTimeSource, TimeSource::PTSOffset);
    readRecord<SourceStateWatcherParams>(data, kStateWatcherParams, options);
}

void SourceDefinitionInputParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeFields(data, fields());
    writeRecord<SourceDefinitionInputParamsImageCrop>(data, kImageCrop, options);
    if (contains(kComputeTickMs))
        data.insert(kComputeTickMs, qint32(getComputeTickMS()));
    if (contains(kLpAnonymization))
        data.insert(kLpAnonymization, enumToKey(getLPAnonymization()));
    if (contains(kTimeSource))
        data.insert(kTimeSource, enumToKey(getTimeSource()));
    writeRecord<SourceStateWatcherParams>(data, kStateWatcherParams, options);
}

CompareResult SourceDefinitionInputParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceDefinitionInputParams>(other);
    if (!otherSD)
        return c;
    c(getConnectionString() == otherSD->getConnectionString(), "getConnectionString() == otherSD->getConnectionString()")
        && c(getRtspTCP() == otherSD->getRtspTCP(), "getRtspTCP() == otherSD->getRtspTCP()")
        && c((getFPSCap() < 1 && otherSD->getFPSCap() < 1) || qFuzzyCompare(getFPSCap() + 1, otherSD->getFPSCap() + 1),
             "(getFPSCap() < 1 && otherSD->getFPSCap() < 1) || qFuzzyCompare(getFPSCap() + 1, otherSD->getFPSCap() + 1)")
        && c(getMaxLatencyMS() == otherSD->getMaxLatencyMS(), "getMaxLatencyMS() == otherSD->getMaxLatencyMS()")
        && c(getLiveFlag() == otherSD->getLiveFlag(), "getLiveFlag() == otherSD->getLiveFlag()")
        && c(getFrameIDOffset() == otherSD->getFrameIDOffset(), "getFrameIDOffset() == otherSD->getFrameIDOffset()")
        && c(getImageCrop().compare(otherSD->getImageCrop(), params),
             "getImageCrop().compare(otherSD->getImageCrop(), compareParams)")
        && c(getComputeTickMS() == otherSD->getComputeTickMS(), "getComputeTickMS() == otherSD->getComputeTickMS()")
        && c(getLP() == otherSD->getLP(), "getLP() == otherSD->getLP()")
        && c((getLPAnonymization() == otherSD->getLPAnonymization()) || (!getLP() && !otherSD->getLP()),
             "(getLPAnonymization() == otherSD->getLPAnonymization()) || (!getLP() && !otherSD->getLP())")
        && c(getObstacle() == otherSD->getObstacle(), "getObstacle() == otherSD->getObstacle()")
        && c(getTimeSource() == otherSD->getTimeSource(), "getTimeSource() == otherSD->getTimeSource()")
        && c(getStateWatcherParams().compare(otherSD->getStateWatcherParams(), params),
             "getStateWatcherParams().compare(otherSD->getStateWatcherParams(), compareParams)")
        && c(isRecordingEnabled() == otherSD->isRecordingEnabled(), "isRecordingEnabled() == otherSD->isRecordingEnabled()")
        && c(isRetransmitterEnabled() == otherSD->isRetransmitterEnabled(),
             "isRetransmitterEnabled() == otherSD->isRetransmitterEnabled()")
        && c(getRetransmitterTimeSource() == otherSD->getRetransmitterTimeSource(),
             "getRetransmitterTimeSource() == otherSD->getRetransmitterTimeSource()")
        && c(getSourceConnectionString() == otherSD->getSourceConnectionString(),
             "getSourceConnectionString() == otherSD->getSourceConnectionString()");
    return c;
}

} // namespace kvr::tracker::common
