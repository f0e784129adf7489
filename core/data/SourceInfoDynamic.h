#pragma once

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

// Dynamic runtime information of a source, as a node reports it.
class SourceInfoDynamic : public SourceData
{
    Q_GADGET
    // Two of the state enumerations share the key Error: QML names them in full
    // (SourceInfoDynamic.PTZControlState.Error).
    Q_CLASSINFO("RegisterEnumClassesUnscoped", "false")
    Q_PROPERTY(bool recordingFlag READ getRecordingFlag WRITE setRecordingFlag)
    Q_PROPERTY(QString recordingMessage READ getRecordingMessage WRITE setRecordingMessage)
    Q_PROPERTY(double detectorFPS READ getDetectorFPS WRITE setDetectorFPS)
    Q_PROPERTY(double trackerFPS READ getTrackerFPS WRITE setTrackerFPS)
    Q_PROPERTY(float ptzPan READ getPTZPan WRITE setPTZPan)
    Q_PROPERTY(float ptzTilt READ getPTZTilt WRITE setPTZTilt)
    Q_PROPERTY(float ptzZoom READ getPTZZoom WRITE setPTZZoom)
    Q_PROPERTY(StabilizationState stabilizationState READ getStabilizationState WRITE setStabilizationState)
    Q_PROPERTY(PTZPositionState ptzPositionState READ getPTZPositionState WRITE setPTZPositionState)
    Q_PROPERTY(PTZControlState ptzControlState READ getPTZControlState WRITE setPTZControlState)

public:
    // Stored as key text; an absent or unknown text reads as the first value, the one that
    // reports no problem.
    enum class StabilizationState { Off, On, Unstable, Error };
    Q_ENUM(StabilizationState)
    enum class PTZPositionState { In, Out };
    Q_ENUM(PTZPositionState)
    enum class PTZControlState { Idle, Moving, Error };
    Q_ENUM(PTZControlState)

    SourceInfoDynamic();

    // Absent values read as false, empty text and 0.
    bool getRecordingFlag() const;
    void setRecordingFlag(bool recording);
    QString getRecordingMessage() const;
    void setRecordingMessage(const QString &message);
    double getDetectorFPS() const;
    void setDetectorFPS(double fps);
    double getTrackerFPS() const;
    void setTrackerFPS(double fps);
    // A stored NaN stays NaN (no position known).
    float getPTZPan() const;
    void setPTZPan(float pan);
    float getPTZTilt() const;
    void setPTZTilt(float tilt);
    float getPTZZoom() const;
    void setPTZZoom(float zoom);
    StabilizationState getStabilizationState() const;
    void setStabilizationState(StabilizationState state);
    PTZPositionState getPTZPositionState() const;
    void setPTZPositionState(PTZPositionState state);
    PTZControlState getPTZControlState() const;
    void setPTZControlState(PTZControlState state);

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceInfoDynamic)
