#pragma once

#include "core/data/SourceData.h"

#include <QPolygonF>

namespace kvr::tracker::common {

// A zone of the image whose contrast tells how far the camera sees: the minimum standard
// deviation (used as it stands only when defined manually) over an evaluation period.
// A disabled indicator is validated like an enabled one.
class SourceVisibilityContrastIndicator : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QPolygonF zone READ getZone WRITE setZone)
    Q_PROPERTY(MinStdDefType minStdDefinition READ getMinStdDefinition WRITE setMinStdDefinition)
    Q_PROPERTY(double minStd READ getMinStd WRITE setMinStd)
    Q_PROPERTY(double evaluationPeriodS READ getEvaluationPeriodS WRITE setEvaluationPeriodS)

public:
    enum class MinStdDefType { manual = 0, automatic = 1 };
    Q_ENUM(MinStdDefType)

    SourceVisibilityContrastIndicator();

    QPolygonF getZone() const;
    void setZone(const QPolygonF &zone);
    MinStdDefType getMinStdDefinition() const;  // automatic for an absent or unknown text
    void setMinStdDefinition(MinStdDefType definition);
    double getMinStd() const;                   // 0 when absent
    void setMinStd(double minStd);
    double getEvaluationPeriodS() const;        // seconds, 30 when absent
    void setEvaluationPeriodS(double evaluationPeriodS);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceVisibilityContrastIndicator)
