#include "datamodel/definitions/SourceCUBEDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "datamodel/definitions/SourceVIDEODefinition.h"

namespace kvr::tracker::common {

namespace {

const QString kFuseType = QStringLiteral("fuse_type");
const QString kElements = QStringLiteral("cube_element_definitions");
const QString kFuseZoneParams = QStringLiteral("fuse_zone_params");

} // namespace

SourceCUBEDefinition::SourceCUBEDefinition()
    : SourceDefinition(SourceDefinitionType::Cube)
{
    registerRecordComparator<SourceCUBEDefinition>(Q_FUNC_INFO);
}

SourceCUBEDefinition::FuseType SourceCUBEDefinition::getFuseType() const
{
    return enumFromVariant(value(kFuseType), FuseType::zone);
}

void SourceCUBEDefinition::setFuseType(FuseType fuseType) { setValue(kFuseType, enumToKey(fuseType)); }

QVector<SourceCUBEElementDefinition> SourceCUBEDefinition::getSourceCUBEElementDefinitions() const
{
    return getList<SourceCUBEElementDefinition>(kElements);
}

void SourceCUBEDefinition::setSourceCUBEElementDefinitions(const QVector<SourceCUBEElementDefinition> &elements)
{
    setList(kElements, elements);
}

SourceCUBEDefinitionFuseZoneParams SourceCUBEDefinition::getFuseZoneParams() const
{
    return getRecord<SourceCUBEDefinitionFuseZoneParams>(kFuseZoneParams);
}

void SourceCUBEDefinition::setFuseZoneParams(const SourceCUBEDefinitionFuseZoneParams &params)
{
    setRecord(kFuseZoneParams, params);
}

bool SourceCUBEDefinition::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const bool ownValid = v(SourceDefinition::isValid_impl(skipWrn), "SourceDefinition::isValid_impl(skipWrn)")
        && v(getType() == SourceDefinitionType::Cube, "getType() == SourceDefinitionType::Cube")
        && v(hasReferenceFrameParams() && getReferenceFrameParams().hasGeoregistrationParams()
                 && getReferenceFrameParams().getGeoregistrationParams().isValid(skipWrn),
             "hasReferenceFrameParams() && getReferenceFrameParams().hasGeoregistrationParams() && getReferenceFrameParams().getGeoregistrationParams().isValid(skipWrn)");
    if (!ownValid)
        return false;
    const QVector<SourceCUBEElementDefinition> cubeElDefs = getSourceCUBEElementDefinitions();
    if (!v(!cubeElDefs.isEmpty(), "!cubeElDefs.isEmpty()") || !elementsValid(cubeElDefs, skipWrn))
        return false;
    // Zones only matter to a cube fused by zones.
    return getFuseType() != FuseType::zone || zoneAssignmentsValid(cubeElDefs, skipWrn);
}

bool SourceCUBEDefinition::elementsValid(const QVector<SourceCUBEElementDefinition> &cubeElDefs, bool skipWrn) const
{
    ValidityChain v(skipWrn, "kvr::tracker::common::SourceCUBEDefinition::isValid_impl");
    bool haveTimeWindow = false;
    qint64 trackerTimeWindowMS = 0;
    for (const SourceCUBEElementDefinition &cubeElDef : cubeElDefs) {
        if (!v(cubeElDef.isValid(skipWrn), "cubeElDef.isValid(skipWrn)"))
            return false;
        if (!cubeElDef.getEnabled())
            continue;
        const auto srcDef = cubeElDef.getSourceConnectionDefinition().getSourceDefinition();
        const auto video = srcDef->getType() == SourceDefinitionType::Video ? srcDef->toVIDEOSrcDefCPtr() : nullptr;
        if (!video)
            continue;
        // The cube's tracker works on one time window: the first video element sets it.
        const qint64 timeWindowMS = video->getTrackerParams().getTimeWindowMS();
        if (!haveTimeWindow) {
            trackerTimeWindowMS = timeWindowMS;
            haveTimeWindow = true;
        } else if (!v(trackerTimeWindowMS == timeWindowMS,
                      "trackerTimeWindowMS == srcDef->toVIDEOSrcDefCPtr()->getTrackerParams().getTimeWindowMS()")) {
            return false;
        }
    }
    return true;
}

bool SourceCUBEDefinition::zoneAssignmentsValid(const QVector<SourceCUBEElementDefinition> &cubeElDefs, bool skipWrn) const
{
    ValidityChain v(skipWrn, "kvr::tracker::common::SourceCUBEDefinition::isValid_impl");
    const SourceCUBEDefinitionFuseZoneParams fuseZoneParams = getFuseZoneParams();
    // Its warnings follow the caller's wish, so that a silent test stays silent.
    if (!v(fuseZoneParams.isValid(skipWrn), "fuseZoneParams.isValid()"))
        return false;
    QSet<QString> fuseZoneNames;
    const QVector<SourceCUBEDefinitionFuseZone> fuseZones = fuseZoneParams.getFuseZones();
    for (const SourceCUBEDefinitionFuseZone &fuseZone : fuseZones)
        fuseZoneNames.insert(fuseZone.getName());
    QSet<QString> allAssignedFuseZoneNames;
    for (const SourceCUBEElementDefinition &cubeElDef : cubeElDefs) {
        const QSet<QString> assignedFuseZoneNames = cubeElDef.getAssignedFuseZoneNames();
        if (!v(!allAssignedFuseZoneNames.intersects(assignedFuseZoneNames), "!allAssignedFuseZoneNames.intersects(assignedFuseZoneNames)")
            || !v(assignedFuseZoneNames.isEmpty() || fuseZoneNames.contains(assignedFuseZoneNames),
                  "assignedFuseZoneNames.isEmpty() || fuseZoneNames.contains(assignedFuseZoneNames)"))
            return false;
        allAssignedFuseZoneNames.unite(assignedFuseZoneNames);
    }
    return true;
}

void SourceCUBEDefinition::read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options)
{
    SourceDefinition::read_impl(data, version, options);
    readEnumKey(*this, data, kFuseType, FuseType::zone);
    readList<SourceCUBEElementDefinition>(data, kElements, options);
    readRecord<SourceCUBEDefinitionFuseZoneParams>(data, kFuseZoneParams, options);
}

void SourceCUBEDefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    SourceDefinition::write_impl(data, options);
    if (contains(kFuseType))
        data.insert(kFuseType, enumToKey(getFuseType()));
    writeList<SourceCUBEElementDefinition>(data, kElements, options);
    writeRecord<SourceCUBEDefinitionFuseZoneParams>(data, kFuseZoneParams, options);
}

CompareResult SourceCUBEDefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (!c(SourceDefinition::compare_logic(other, params), "SourceDefinition::compare_logic(other, compareParams)"))
        return c;
    const auto *otherSD = c.sameClass<SourceCUBEDefinition>(other);
    if (!otherSD)
        return c;
    c(getFuseType() == otherSD->getFuseType(), "getFuseType() == otherSD->getFuseType()")
        && c.lists(getSourceCUBEElementDefinitions(), otherSD->getSourceCUBEElementDefinitions())
        && (getFuseType() != FuseType::zone
            || c(getFuseZoneParams().compare(otherSD->getFuseZoneParams(), params),
                 "getFuseZoneParams().compare(otherSD->getFuseZoneParams(), compareParams)"));
    return c;
}

} // namespace kvr::tracker::common
