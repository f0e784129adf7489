#include "datamodel/definitions/SourceCUBEDefinitionFuseZoneParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <QPair>
#include <QSet>

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kFuseZones = QStringLiteral("fuse_zones");
const QString kFuseZoneRules = QStringLiteral("fuse_zone_rules");
const QString kDecisionDelay = QStringLiteral("decision_delay_ms");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kDecisionDelay, SourceDataField::Type::UInt},
    }};
    return table;
}

} // namespace

SourceCUBEDefinitionFuseZoneParams::SourceCUBEDefinitionFuseZoneParams()
    : SourceData(1)
{
    registerRecordComparator<SourceCUBEDefinitionFuseZoneParams>(Q_FUNC_INFO);
}

QVector<SourceCUBEDefinitionFuseZone> SourceCUBEDefinitionFuseZoneParams::getFuseZones() const
{
    return getList<SourceCUBEDefinitionFuseZone>(kFuseZones);
}

void SourceCUBEDefinitionFuseZoneParams::setFuseZones(const QVector<SourceCUBEDefinitionFuseZone> &zones)
{
    setList(kFuseZones, zones);
}

QVector<SourceCUBEDefinitionFuseZoneRule> SourceCUBEDefinitionFuseZoneParams::getFuseZoneRules() const
{
    return getList<SourceCUBEDefinitionFuseZoneRule>(kFuseZoneRules);
}

void SourceCUBEDefinitionFuseZoneParams::setFuseZoneRules(const QVector<SourceCUBEDefinitionFuseZoneRule> &rules)
{
    setList(kFuseZoneRules, rules);
}

uint SourceCUBEDefinitionFuseZoneParams::getDecisionDelayMS() const { return valueAs<uint>(kDecisionDelay, 2000); }
void SourceCUBEDefinitionFuseZoneParams::setDecisionDelayMS(uint ms) { setValue(kDecisionDelay, ms); }

bool SourceCUBEDefinitionFuseZoneParams::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    QSet<QString> fuseZoneNames;
    const QVector<SourceCUBEDefinitionFuseZone> fuseZones = getFuseZones();
    for (const SourceCUBEDefinitionFuseZone &fuseZone : fuseZones) {
        if (!v(fuseZone.isValid(skipWrn), "fuseZone.isValid(skipWrn)")
            || !v(!fuseZoneNames.contains(fuseZone.getName()), "!fuseZoneNames.contains(fuseZone.getName())"))
            return false;
        fuseZoneNames.insert(fuseZone.getName());
    }
    QSet<QPair<QString, QString>> ruleCombinations;
    const QVector<SourceCUBEDefinitionFuseZoneRule> fuseZoneRules = getFuseZoneRules();
    for (const SourceCUBEDefinitionFuseZoneRule &fuseZoneRule : fuseZoneRules) {
        const QPair<QString, QString> ruleCombination(fuseZoneRule.getSourceZoneName(), fuseZoneRule.getDestinationZoneName());
        if (!v(fuseZoneRule.isValid(skipWrn), "fuseZoneRule.isValid(skipWrn)")
            || !v(fuseZoneNames.contains(fuseZoneRule.getSourceZoneName()) && fuseZoneNames.contains(fuseZoneRule.getDestinationZoneName()),
                  "fuseZoneNames.contains(fuseZoneRule.getSourceZoneName()) && fuseZoneNames.contains(fuseZoneRule.getDestinationZoneName())")
            || !v(!ruleCombinations.contains(ruleCombination), "!ruleCombinations.contains(ruleCombination)"))
            return false;
        ruleCombinations.insert(ruleCombination);
    }
    return true;
}

void SourceCUBEDefinitionFuseZoneParams::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &options)
{
    readList<SourceCUBEDefinitionFuseZone>(data, kFuseZones, options);
    readList<SourceCUBEDefinitionFuseZoneRule>(data, kFuseZoneRules, options);
    readFields(data, fields());
}

void SourceCUBEDefinitionFuseZoneParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    writeList<SourceCUBEDefinitionFuseZone>(data, kFuseZones, options);
    writeList<SourceCUBEDefinitionFuseZoneRule>(data, kFuseZoneRules, options);
    writeFields(data, fields());
}

CompareResult SourceCUBEDefinitionFuseZoneParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceCUBEDefinitionFuseZoneParams>(other);
    if (!otherSD)
        return c;
    c.lists(getFuseZones(), otherSD->getFuseZones())
        && c.lists(getFuseZoneRules(), otherSD->getFuseZoneRules())
        && c(getDecisionDelayMS() == otherSD->getDecisionDelayMS(), "getDecisionDelayMS() == otherSD->getDecisionDelayMS()");
    return c;
}

} // namespace kvr::tracker::common
