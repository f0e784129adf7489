#include "datamodel/definitions/SourceRADARDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kHostClientID = QStringLiteral("host_client_id");
const QString kRadarClientID = QStringLiteral("radar_client_id");

// Decimal text in JSON ("17"): a JSON number, a sign or anything beyond 32 bits reads as 0.
const std::array<SourceDataField, 2> &fields()
{
    static const std::array<SourceDataField, 2> table{{
        {kHostClientID, SourceDataField::Type::UIntText},
        {kRadarClientID, SourceDataField::Type::UIntText},
    }};
    return table;
}

} // namespace

SourceRADARDefinition::SourceRADARDefinition()
    : SourceDefinition(SourceDefinitionType::Radar)
{
    registerRecordComparator<SourceRADARDefinition>(Q_FUNC_INFO);
}

quint32 SourceRADARDefinition::getHostClientID() const { return valueAs<uint>(kHostClientID, 0); }
quint32 SourceRADARDefinition::getRadarClientID() const { return valueAs<uint>(kRadarClientID, 0); }

bool SourceRADARDefinition::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(SourceDefinition::isValid_impl(skipWrn), "SourceDefinition::isValid_impl(skipWrn)");
}

void SourceRADARDefinition::read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options)
{
    SourceDefinition::read_impl(data, version, options);
    readFields(data, fields());
}

void SourceRADARDefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    SourceDefinition::write_impl(data, options);
    writeFields(data, fields());
}

CompareResult SourceRADARDefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (!c(SourceDefinition::compare_logic(other, params), "SourceDefinition::compare_logic(other, compareParams)"))
        return c;
    const auto *otherSD = c.sameClass<SourceRADARDefinition>(other);
    if (!otherSD)
        return c;
    c(getHostClientID() == otherSD->getHostClientID(), "getHostClientID() == otherSD->getHostClientID()")
        && c(getRadarClientID() == otherSD->getRadarClientID(), "getRadarClientID() == otherSD->getRadarClientID()");
    return c;
}

} // namespace kvr::tracker::common
