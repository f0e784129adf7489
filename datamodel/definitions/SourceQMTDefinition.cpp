#include "datamodel/definitions/SourceQMTDefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kLogFilePath = QStringLiteral("log_file_path");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kLogFilePath, SourceDataField::Type::String},
    }};
    return table;
}

} // namespace

SourceQMTDefinition::SourceQMTDefinition()
    : SourceDefinition(SourceDefinitionType::QMT)
{
    registerRecordComparator<SourceQMTDefinition>(Q_FUNC_INFO);
}

QString SourceQMTDefinition::getLogFilePath() const { return valueAs<QString>(kLogFilePath); }
void SourceQMTDefinition::setLogFilePath(const QString &path) { setValue(kLogFilePath, path); }

bool SourceQMTDefinition::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(SourceDefinition::isValid_impl(skipWrn), "SourceDefinition::isValid_impl(skipWrn)")
        && v(!getLogFilePath().isEmpty(), "!getLogFilePath().isEmpty()");
}

void SourceQMTDefinition::read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options)
{
    SourceDefinition::read_impl(data, version, options);
    readFields(data, fields());
}

void SourceQMTDefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    SourceDefinition::write_impl(data, options);
    writeFields(data, fields());
}

CompareResult SourceQMTDefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (!c(SourceDefinition::compare_logic(other, params), "SourceDefinition::compare_logic(other, compareParams)"))
        return c;
    const auto *otherSD = c.sameClass<SourceQMTDefinition>(other);
    if (!otherSD)
        return c;
    c(getLogFilePath() == otherSD->getLogFilePath(), "getLogFilePath() == otherSD->getLogFilePath()");
    return c;
}

} // namespace kvr::tracker::common
