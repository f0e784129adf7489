#pragma once

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

// The pan-tilt-zoom control of a camera: its connection text and an optional home position
// (pan and tilt in [-1, 1], zoom in [0, 1]) with a tolerance per axis. Disabled unless its JSON
// says "enabled": true.
class SourceDefinitionPTZParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString PTZConnectionString READ getPTZConnectionString WRITE setPTZConnectionString)
    Q_PROPERTY(bool homeSet READ getHomeSet WRITE setHomeSet)
    Q_PROPERTY(float homePan READ getHomePan WRITE setHomePan)
    Q_PROPERTY(float homeTilt READ getHomeTilt WRITE setHomeTilt)
    Q_PROPERTY(float homeZoom READ getHomeZoom WRITE setHomeZoom)
    Q_PROPERTY(float tolerancePan READ getTolerancePan WRITE setTolerancePan)
    Q_PROPERTY(float toleranceTilt READ getToleranceTilt WRITE setToleranceTilt)
    Q_PROPERTY(float toleranceZoom READ getToleranceZoom WRITE setToleranceZoom)

public:
    SourceDefinitionPTZParams();

    QString getPTZConnectionString() const;
    void setPTZConnectionString(const QString &connectionString);
    bool getHomeSet() const;            // false when absent
    void setHomeSet(const bool &homeSet);
    float getHomePan() const;           // 0 when absent
    void setHomePan(const float &homePan);
    float getHomeTilt() const;
    void setHomeTilt(const float &homeTilt);
    float getHomeZoom() const;
    void setHomeZoom(const float &homeZoom);
    float getTolerancePan() const;      // 0.001 when absent
    void setTolerancePan(const float &tolerancePan);
    float getToleranceTilt() const;
    void setToleranceTilt(const float &toleranceTilt);
    float getToleranceZoom() const;
    void setToleranceZoom(const float &toleranceZoom);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionPTZParams)
