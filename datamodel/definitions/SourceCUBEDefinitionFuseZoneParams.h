#pragma once

#include "core/data/SourceData.h"
#include "datamodel/definitions/SourceCUBEDefinitionFuseZone.h"
#include "datamodel/definitions/SourceCUBEDefinitionFuseZoneRule.h"

#include <QVector>

namespace kvr::tracker::common {

// A cube's named zones, the rules pairing them and the decision delay ("fuse_zone_params").
class SourceCUBEDefinitionFuseZoneParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QVector<kvr::tracker::common::SourceCUBEDefinitionFuseZone> fuseZones READ getFuseZones WRITE setFuseZones)
    Q_PROPERTY(QVector<kvr::tracker::common::SourceCUBEDefinitionFuseZoneRule> fuseZoneRules READ getFuseZoneRules WRITE setFuseZoneRules)
    Q_PROPERTY(uint decisionDelayMS READ getDecisionDelayMS WRITE setDecisionDelayMS)

public:
    SourceCUBEDefinitionFuseZoneParams();

    QVector<SourceCUBEDefinitionFuseZone> getFuseZones() const;
    void setFuseZones(const QVector<SourceCUBEDefinitionFuseZone> &zones);
    QVector<SourceCUBEDefinitionFuseZoneRule> getFuseZoneRules() const;
    void setFuseZoneRules(const QVector<SourceCUBEDefinitionFuseZoneRule> &rules);
    uint getDecisionDelayMS() const; // 2000 when absent
    void setDecisionDelayMS(uint ms);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceCUBEDefinitionFuseZoneParams)
