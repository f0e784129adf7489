#pragma once

#include "core/data/SourceData.h"
#include "datamodel/params/SourceDefinitionInputParamsImageCrop.h"
#include "datamodel/params/SourceStateWatcherParams.h"

namespace kvr::tracker::common {

// The input block of a video source ("input_parameters"). Unlike most blocks, a disabled input
// is invalid.
class SourceDefinitionInputParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString connectionString READ getConnectionString WRITE setConnectionString)
    Q_PROPERTY(bool rtspTCP READ getRtspTCP WRITE setRtspTCP)
    Q_PROPERTY(double FPSOverride READ getFPSOverride WRITE setFPSOverride_dep)
    Q_PROPERTY(double FPSCap READ getFPSCap WRITE setFPSCap)
    Q_PROPERTY(int maxLatencyMS READ getMaxLatencyMS WRITE setMaxLatencyMS)
    Q_PROPERTY(bool liveFlag READ getLiveFlag WRITE setLiveFlag)
    Q_PROPERTY(int frameIDOffset READ getFrameIDOffset WRITE setFrameIDOffset)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionInputParamsImageCrop imageCrop READ getImageCrop WRITE setImageCrop)
    Q_PROPERTY(uint computeTickMS READ getComputeTickMS WRITE setComputeTickMS)
    Q_PROPERTY(bool LP READ getLP WRITE setLP)
    Q_PROPERTY(LPAnonymization LPAnonymization READ getLPAnonymization WRITE setLPAnonymization)
    Q_PROPERTY(bool obstacle READ getObstacle WRITE setObstacle)
    Q_PROPERTY(TimeSource timeSource READ getTimeSource WRITE setTimeSource)
    Q_PROPERTY(kvr::tracker::common::SourceStateWatcherParams stateWatcherParams READ getStateWatcherParams WRITE setStateWatcherParams)
    Q_PROPERTY(bool recordingEnabled READ isRecordingEnabled WRITE setRecordingEnabled)
    Q_PROPERTY(bool retransmitterEnabled READ isRetransmitterEnabled WRITE setRetransmitterEnabled)
    Q_PROPERTY(QString retransmitterTimeSource READ getRetransmitterTimeSource WRITE setRetransmitterTimeSource)
    Q_PROPERTY(QString sourceConnectionString READ getSourceConnectionString WRITE setSourceConnectionString)

public:
    enum class TimeSource { PTSOffset = 0, Current = 1, NTP = 2 };
    Q_ENUM(TimeSource)
    enum class LPAnonymization { None = 0, Hash = 2 };
    Q_ENUM(LPAnonymization)

    static constexpr int MAX_LATENCY_MS_MIN = 50;

    SourceDefinitionInputParams();

    QString getConnectionString() const;
    void setConnectionString(const QString &connectionString);
    bool getRtspTCP() const;                 // true when absent
    void setRtspTCP(bool rtspTCP);
    // Deprecated: always 0; the setter only warns.
    double getFPSOverride() const;
    void setFPSOverride_dep(double fpsOverride);
    double getFPSCap() const;                // below 1 means no cap
    void setFPSCap(double fpsCap);
    int getMaxLatencyMS() const;             // 1000 when absent
    void setMaxLatencyMS(int maxLatencyMS);
    bool getLiveFlag() const;                // true when absent
    void setLiveFlag(bool liveFlag);
    int getFrameIDOffset() const;
    void setFrameIDOffset(int frameIDOffset);
    SourceDefinitionInputParamsImageCrop getImageCrop() const;
    void setImageCrop(const SourceDefinitionInputParamsImageCrop &imageCrop);
    uint getComputeTickMS() const;           // 333 when absent
    void setComputeTickMS(uint computeTickMS);
    bool getLP() const;
    void setLP(bool lp);
    LPAnonymization getLPAnonymization() const; // None for an absent or unknown text
    void setLPAnonymization(LPAnonymization lpAnonymization);
    bool getObstacle() const;
    void setObstacle(bool obstacle);
    TimeSource getTimeSource() const;        // PTSOffset for an absent or unknown text
    void setTimeSource(TimeSource timeSource);
    SourceStateWatcherParams getStateWatcherParams() const;
    void setStateWatcherParams(const SourceStateWatcherParams &stateWatcherParams);
    bool isRecordingEnabled() const;
    void setRecordingEnabled(bool recordingEnabled);
    bool isRetransmitterEnabled() const;
    void setRetransmitterEnabled(bool retransmitterEnabled);
    QString getRetransmitterTimeSource() const;
    void setRetransmitterTimeSource(const QString &retransmitterTimeSource);
    QString getSourceConnectionString() const;
    void setSourceConnectionString(const QString &sourceConnectionString);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionInputParams)
