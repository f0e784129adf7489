#include "datamodel/definitions/SourceConnectionDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kSourceDefinition = QStringLiteral("source_definition");
const QString kConnectionParams = QStringLiteral("connection_params");
const QString kTrackType = QStringLiteral("track_type");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kTrackType, SourceDataField::Type::Variant},
    }};
    return table;
}

} // namespace

SourceConnectionDefinition::SourceConnectionDefinition()
    : SourceData(1)
{
    registerRecordComparator<SourceConnectionDefinition>(Q_FUNC_INFO);
}

std::shared_ptr<SourceDefinition> SourceConnectionDefinition::getSourceDefinition() const
{
    return SourceDefinition::createFromQVariant(value(kSourceDefinition));
}

void SourceConnectionDefinition::setSourceDefinition(const SourceDefinition &definition)
{
    setRecord(kSourceDefinition, definition);
}

ConnectionParams SourceConnectionDefinition::getConnectionParams() const { return getRecord<ConnectionParams>(kConnectionParams); }
void SourceConnectionDefinition::setConnectionParams(const ConnectionParams &params) { setRecord(kConnectionParams, params); }
QVariant SourceConnectionDefinition::getTrackType() const { return value(kTrackType); }
void SourceConnectionDefinition::setTrackType(const QVariant &trackType) { setValue(kTrackType, trackType); }

bool SourceConnectionDefinition::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(getSourceDefinition()->isValid(skipWrn), "getSourceDefinition()->isValid(skipWrn)")
        && v(getConnectionParams().isValid(skipWrn), "getConnectionParams().isValid(skipWrn)");
}

void SourceConnectionDefinition::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &options)
{
    const auto definition = data.constFind(kSourceDefinition);
    if (definition != data.constEnd()) {
        // The factory picks the class by type, so each definition reads (and validates) as itself.
        setSourceDefinition(*SourceDefinition::createFromJson(definition.value().toObject(), options));
    }
    readRecord<ConnectionParams>(data, kConnectionParams, options);
    readFields(data, fields());
}

void SourceConnectionDefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    if (contains(kSourceDefinition))
        data.insert(kSourceDefinition, getSourceDefinition()->toJsonObject(options));
    writeRecord<ConnectionParams>(data, kConnectionParams, options);
    writeFields(data, fields());
}

CompareResult SourceConnectionDefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceConnectionDefinition>(other);
    if (!otherSD)
        return c;
    c(getSourceDefinition()->compare(*otherSD->getSourceDefinition(), params),
      "getSourceDefinition()->compare(*otherSD->getSourceDefinition(), compareParams)")
        && c(getConnectionParams().compare(otherSD->getConnectionParams(), params),
             "getConnectionParams().compare(otherSD->getConnectionParams(), compareParams)")
        && c(getTrackType() == otherSD->getTrackType(), "getTrackType() == otherSD->getTrackType()");
    return c;
}

} // namespace kvr::tracker::common
