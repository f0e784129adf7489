#pragma once

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

// Dynamic runtime information of a source, as a node reports it.
class SourceInfoDynamic : public SourceData
{
    Q_GADGET
    Q_PROPERTY(bool recordingFlag READ getRecordingFlag WRITE setRecordingFlag)
    Q_PROPERTY(QString recordingMessage READ getRecordingMessage WRITE setRecordingMessage)
    Q_PROPERTY(double detectorFPS READ getDetectorFPS WRITE setDetectorFPS)
    Q_PROPERTY(double trackerFPS READ getTrackerFPS WRITE setTrackerFPS)
    Q_PROPERTY(float ptzPan READ getPTZPan WRITE setPTZPan)
    Q_PROPERTY(float ptzTilt READ getPTZTilt WRITE setPTZTilt)
    Q_PROPERTY(float ptzZoom READ getPTZZoom WRITE setPTZZoom)

public:
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

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceInfoDynamic)
