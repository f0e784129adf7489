#pragma once

#include "core/data/SourceData.h"

#include <QPolygonF>
#include <QStringList>

namespace kvr::tracker::common {

// A zone of the image in which trajectories of the given categories must reach a minimum
// length (used as it stands only when defined manually) within a time frame.
// A disabled indicator is validated like an enabled one.
class SourceVisibilityTrajectoryIndicator : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QStringList categories READ getCategories WRITE setCategories)
    Q_PROPERTY(QPolygonF zone READ getZone WRITE setZone)
    Q_PROPERTY(double timeframeS READ getTimeframeS WRITE setTimeframeS)
    Q_PROPERTY(MinLengthDefType minLengthDefinition READ getMinLengthDefinition WRITE setMinLengthDefinition)
    Q_PROPERTY(double minLength READ getMinLength WRITE setMinLength)

public:
    enum class MinLengthDefType { manual = 0, automatic = 1 };
    Q_ENUM(MinLengthDefType)

    SourceVisibilityTrajectoryIndicator();

    QStringList getCategories() const;          // in order, case-sensitive
    void setCategories(const QStringList &categories);
    QPolygonF getZone() const;
    void setZone(const QPolygonF &zone);
    double getTimeframeS() const;               // seconds, 300 when absent
    void setTimeframeS(double timeframeS);
    MinLengthDefType getMinLengthDefinition() const;  // automatic for an absent or unknown text
    void setMinLengthDefinition(MinLengthDefType definition);
    double getMinLength() const;                // 0 when absent
    void setMinLength(double minLength);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceVisibilityTrajectoryIndicator)
