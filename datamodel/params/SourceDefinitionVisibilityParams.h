#pragma once

#include "core/data/SourceData.h"
#include "datamodel/definitions/SourceVisibilityContrastIndicator.h"
#include "datamodel/definitions/SourceVisibilityTrajectoryIndicator.h"

#include <QList>

namespace kvr::tracker::common {

// The visibility estimation of a video source: its contrast and trajectory indicators, each list
// in a significant order. Disabled unless its JSON says "enabled": true.
class SourceDefinitionVisibilityParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QList<kvr::tracker::common::SourceVisibilityContrastIndicator> contrastIndicators READ getContrastIndicators WRITE setContrastIndicators)
    Q_PROPERTY(QList<kvr::tracker::common::SourceVisibilityTrajectoryIndicator> trajectoryIndicators READ getTrajectoryIndicators WRITE setTrajectoryIndicators)

public:
    SourceDefinitionVisibilityParams();

    QList<SourceVisibilityContrastIndicator> getContrastIndicators() const;
    void setContrastIndicators(const QList<SourceVisibilityContrastIndicator> &indicators);
    QList<SourceVisibilityTrajectoryIndicator> getTrajectoryIndicators() const;
    void setTrajectoryIndicators(const QList<SourceVisibilityTrajectoryIndicator> &indicators);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionVisibilityParams)
