#pragma once

#include "core/data/SourceData.h"

#include <QSize>

namespace kvr::tracker::common {

// Static runtime information of a source, as a node reports it.
class SourceInfoStatic : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QSize sourceResolution READ getSourceResolution WRITE setSourceResolution)
    Q_PROPERTY(QSize displayResolution READ getDisplayResolution WRITE setDisplayResolution)
    Q_PROPERTY(QSize detectionResolution READ getDetectionResolution WRITE setDetectionResolution)
    Q_PROPERTY(double sourceFPS READ getSourceFPS WRITE setSourceFPS)
    Q_PROPERTY(double mapToWorkScale READ getMapToWorkScale WRITE setMapToWorkScale)
    Q_PROPERTY(bool isGeoregistered READ getIsGeoregistered WRITE setIsGeoregistered)

public:
    SourceInfoStatic();

    // Sizes are invalid (-1 x -1) and numbers 0 / false when absent.
    QSize getSourceResolution() const;
    void setSourceResolution(const QSize &size);
    QSize getDisplayResolution() const;
    void setDisplayResolution(const QSize &size);
    QSize getDetectionResolution() const;
    void setDetectionResolution(const QSize &size);
    double getSourceFPS() const;
    void setSourceFPS(double fps);
    double getMapToWorkScale() const;
    void setMapToWorkScale(double scale);
    bool getIsGeoregistered() const;
    void setIsGeoregistered(bool georegistered);

protected:
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceInfoStatic)
