#pragma once

#include "core/data/SourceData.h"
#include "datamodel/params/SourceDefinitionFilterClass.h"

#include <QList>
#include <QPolygonF>

namespace kvr::tracker::common {

// A zone of the image where detections are filtered out, with per-class filters kept one per
// class name, ordered by name.
class SourceDefinitionFilterNoDetZone : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QPolygonF zone READ getZone WRITE setZone)
    Q_PROPERTY(QList<kvr::tracker::common::SourceDefinitionFilterClass> classFilters READ getClassFilters WRITE setClassFilters)

public:
    SourceDefinitionFilterNoDetZone();

    QPolygonF getZone() const;
    void setZone(const QPolygonF &zone);
    QList<SourceDefinitionFilterClass> getClassFilters() const;
    // Ordered by class name; of two filters of one class the later wins, with a warning.
    void setClassFilters(const QList<SourceDefinitionFilterClass> &classFilters);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionFilterNoDetZone)
