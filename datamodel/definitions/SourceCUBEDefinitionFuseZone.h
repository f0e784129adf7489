#pragma once

#include "core/data/SourceData.h"

#include <QPolygonF>

namespace kvr::tracker::common {

// One named zone of a cube; the rules and the elements' assignments refer to it by name.
class SourceCUBEDefinitionFuseZone : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QPolygonF zone READ getZone WRITE setZone)
    Q_PROPERTY(QString name READ getName WRITE setName)

public:
    SourceCUBEDefinitionFuseZone();

    // Points as given, neither normalised nor range-tested.
    QPolygonF getZone() const;
    void setZone(const QPolygonF &zone);
    QString getName() const;
    void setName(const QString &name);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceCUBEDefinitionFuseZone)
