#pragma once

#include "core/data/SourceData.h"
#include "datamodel/definitions/SourceConnectionDefinition.h"
#include "datamodel/definitions/TransformationParams.h"

#include <QSet>

namespace kvr::tracker::common {

// One camera of a cube: its definition and connection, the transformation of its plane into the
// cube's plane, and the names of the cube's fuse zones it serves.
class SourceCUBEElementDefinition : public SourceData
{
    Q_GADGET
    Q_PROPERTY(kvr::tracker::common::SourceConnectionDefinition sourceConnectionDefinition READ getSourceConnectionDefinition WRITE setSourceConnectionDefinition)
    Q_PROPERTY(kvr::tracker::common::TransformationParams transformationParams READ getTransformationParams WRITE setTransformationParams)

public:
    SourceCUBEElementDefinition();

    SourceConnectionDefinition getSourceConnectionDefinition() const;
    void setSourceConnectionDefinition(const SourceConnectionDefinition &definition);
    TransformationParams getTransformationParams() const;
    void setTransformationParams(const TransformationParams &params);
    bool hasTransformationParams() const; // present and enabled
    // A set: duplicates collapse, order is not kept.
    QSet<QString> getAssignedFuseZoneNames() const;
    void setAssignedFuseZoneNames(const QSet<QString> &names);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceCUBEElementDefinition)
