#include "datamodel/definitions/SourceCUBEElementDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/data/StringSets.h"

namespace kvr::tracker::common {

namespace {

const QString kSourceConnectionDefinition = QStringLiteral("source_connection_definition");
const QString kTransformationParams = QStringLiteral("transformation_parameters");
const QString kAssignedFuseZoneNames = QStringLiteral("assigned_fuse_zone_names");

} // namespace

SourceCUBEElementDefinition::SourceCUBEElementDefinition()
    : SourceData(1)
{
    registerRecordComparator<SourceCUBEElementDefinition>(Q_FUNC_INFO);
}

SourceConnectionDefinition SourceCUBEElementDefinition::getSourceConnectionDefinition() const
{
    return getRecord<SourceConnectionDefinition>(kSourceConnectionDefinition);
}

void SourceCUBEElementDefinition::setSourceConnectionDefinition(const SourceConnectionDefinition &definition)
{
    setRecord(kSourceConnectionDefinition, definition);
}

TransformationParams SourceCUBEElementDefinition::getTransformationParams() const
{
    return getRecord<TransformationParams>(kTransformationParams);
}

void SourceCUBEElementDefinition::setTransformationParams(const TransformationParams &params)
{
    setRecord(kTransformationParams, params);
}

bool SourceCUBEElementDefinition::hasTransformationParams() const
{
    return hasEnabledRecord<TransformationParams>(kTransformationParams);
}

QSet<QString> SourceCUBEElementDefinition::getAssignedFuseZoneNames() const
{
    return stringSetFromVariantList(value(kAssignedFuseZoneNames).toList());
}

void SourceCUBEElementDefinition::setAssignedFuseZoneNames(const QSet<QString> &names)
{
    setValue(kAssignedFuseZoneNames, stringSetToVariantList(names));
}

bool SourceCUBEElementDefinition::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const SourceConnectionDefinition connection = getSourceConnectionDefinition();
    if (!v(connection.isValid(skipWrn), "getSourceConnectionDefinition().isValid(skipWrn)"))
        return false;
    const auto srcDef = connection.getSourceDefinition();
    return v(srcDef->hasReferenceFrameParams() && srcDef->getReferenceFrameParams().hasGeoregistrationParams(),
             "srcDef->hasReferenceFrameParams() && srcDef->getReferenceFrameParams().hasGeoregistrationParams()")
        && v(!hasTransformationParams() || getTransformationParams().isValid(skipWrn),
             "!hasTransformationParams() || getTransformationParams().isValid(skipWrn)");
}

void SourceCUBEElementDefinition::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &options)
{
    readRecord<SourceConnectionDefinition>(data, kSourceConnectionDefinition, options);
    readRecord<TransformationParams>(data, kTransformationParams, options);
    const auto names = data.constFind(kAssignedFuseZoneNames);
    if (names != data.constEnd())
        setAssignedFuseZoneNames(stringSetFromVariantList(names.value().toArray().toVariantList()));
}

void SourceCUBEElementDefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeRecord<SourceConnectionDefinition>(data, kSourceConnectionDefinition, options);
    writeRecord<TransformationParams>(data, kTransformationParams, options);
    if (contains(kAssignedFuseZoneNames))
        data.insert(kAssignedFuseZoneNames, stringSetToJson(getAssignedFuseZoneNames()));
}

CompareResult SourceCUBEElementDefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceCUBEElementDefinition>(other);
    if (!otherSD)
        return c;
    c(getSourceConnectionDefinition().compare(otherSD->getSourceConnectionDefinition(), params),
      "getSourceConnectionDefinition().compare(otherSD->getSourceConnectionDefinition(), compareParams)")
        && c(getTransformationParams().compare(otherSD->getTransformationParams(), params),
             "getTransformationParams().compare(otherSD->getTransformationParams(), compareParams)")
        && c(getAssignedFuseZoneNames() == otherSD->getAssignedFuseZoneNames(),
             "getAssignedFuseZoneNames() == otherSD->getAssignedFuseZoneNames()");
    return c;
}

} // namespace kvr::tracker::common
