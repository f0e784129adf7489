#pragma once

#include "datamodel/params/SourceStateWatcherParams.h"

namespace kvr::tracker::common {

// The foreground-detection state watchers of a video source (every watcher of type Foreground)
// with the detector's mask downsampling and annealing saturation and speed.
class SourceDefinitionForegroundDetectionParams : public SourceStateWatcherParams
{
    Q_GADGET
    Q_PROPERTY(quint16 maskDownsample READ getMaskDownsample WRITE setMaskDownsample)
    Q_PROPERTY(double annealingSaturation READ getAnnealingSaturation WRITE setAnnealingSaturation)
    Q_PROPERTY(double annealingSpeed READ getAnnealingSpeed WRITE setAnnealingSpeed)

public:
    SourceDefinitionForegroundDetectionParams();

    // 100 when absent; a stored value outside 0..65535 reads as 0 (invalid), never wrapped.
    quint16 getMaskDownsample() const;
    void setMaskDownsample(quint16 maskDownsample);
    double getAnnealingSaturation() const;  // 800 when absent
    void setAnnealingSaturation(double annealingSaturation);
    double getAnnealingSpeed() const;       // 5 when absent
    void setAnnealingSpeed(double annealingSpeed);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionForegroundDetectionParams)
