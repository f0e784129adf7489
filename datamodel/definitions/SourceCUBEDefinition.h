#pragma once

#include "datamodel/definitions/SourceCUBEDefinitionFuseZoneParams.h"
#include "datamodel/definitions/SourceCUBEElementDefinition.h"
#include "datamodel/definitions/SourceDefinition.h"

#include <QVector>

namespace kvr::tracker::common {

// One logical source fused from several cameras (the elements). Only read, written, compared
// and validated here; the fusion runs elsewhere.
class SourceCUBEDefinition : public SourceDefinition
{
    Q_GADGET
    Q_PROPERTY(FuseType fuseType READ getFuseType WRITE setFuseType)
    Q_PROPERTY(QVector<kvr::tracker::common::SourceCUBEElementDefinition> sourceCUBEElementDefinitions READ getSourceCUBEElementDefinitions WRITE setSourceCUBEElementDefinitions)
    Q_PROPERTY(kvr::tracker::common::SourceCUBEDefinitionFuseZoneParams fuseZoneParams READ getFuseZoneParams WRITE setFuseZoneParams)
    Q_PROPERTY(kvr::tracker::common::SourceCUBEDefinition self READ self)

public:
    enum class FuseType { space = 0, lp = 1, zone = 2 };
    Q_ENUM(FuseType)

    SourceCUBEDefinition();

    FuseType getFuseType() const; // zone for an absent or unknown text
    void setFuseType(FuseType fuseType);
    QVector<SourceCUBEElementDefinition> getSourceCUBEElementDefinitions() const;
    void setSourceCUBEElementDefinitions(const QVector<SourceCUBEElementDefinition> &elements);
    SourceCUBEDefinitionFuseZoneParams getFuseZoneParams() const;
    void setFuseZoneParams(const SourceCUBEDefinitionFuseZoneParams &params);

    SourceCUBEDefinition self() const { return *this; }

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;

private:
    bool elementsValid(const QVector<SourceCUBEElementDefinition> &cubeElDefs, bool skipWrn) const;
    bool zoneAssignmentsValid(const QVector<SourceCUBEElementDefinition> &cubeElDefs, bool skipWrn) const;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceCUBEDefinition)
