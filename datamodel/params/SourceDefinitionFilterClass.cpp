#include "datamodel/params/SourceDefinitionFilterClass.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kClassName = QStringLiteral("class_name");
const QString kMinConfidence = QStringLiteral("min_confidence");
const QString kMinSize = QStringLiteral("min_size");
const QString kMaxSize = QStringLiteral("max_size");

// The sizes take every 32-bit value, negative ones as their unsigned bits, so that a size
// written as 4294967295 reads back unchanged.
const std::array<SourceDataField, 3> &fields()
{
    static const std::array<SourceDataField, 3> table{{
        {kClassName, SourceDataField::Type::String},
        {kMinSize, SourceDataField::Type::UInt},
        {kMaxSize, SourceDataField::Type::UInt},
    }};
    return table;
}

} // namespace

SourceDefinitionFilterClass::SourceDefinitionFilterClass()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionFilterClass>(Q_FUNC_INFO);
}

QString SourceDefinitionFilterClass::getClassName() const { return valueAs<QString>(kClassName); }
quint8 SourceDefinitionFilterClass::getMinConfidence() const { return quint8(valueAs<int>(kMinConfidence, 0) & 0xFF); }
quint32 SourceDefinitionFilterClass::getMinSize() const { return valueAs<quint32>(kMinSize, 0); }
quint32 SourceDefinitionFilterClass::getMaxSize() const { return valueAs<quint32>(kMaxSize, 0); }

bool SourceDefinitionFilterClass::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getClassName().isEmpty(), "!getClassName().isEmpty()");
}

void SourceDefinitionFilterClass::read_impl(const QJsonObject &data, quint32 /*version*/,
                                            const SourceDataReadOptions & /*options*/)
{
    readFields(data, fields());
    readIfPresent(data, kMinConfidence, [this](const QJsonValue &value) { setValue(kMinConfidence, value.toInt() & 0xFF); });
}

void SourceDefinitionFilterClass::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    writeFields(data, fields());
    if (contains(kMinConfidence))
        data.insert(kMinConfidence, int(getMinConfidence()));
}

CompareResult SourceDefinitionFilterClass::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionFilterClass>(other);
    if (!otherSD)
        return c;
    c(getClassName() == otherSD->getClassName(), "getClassName() == otherSD->getClassName()")
        && c(getMinConfidence() == otherSD->getMinConfidence(), "getMinConfidence() == otherSD->getMinConfidence()")
        && c(getMinSize() == otherSD->getMinSize(), "getMinSize() == otherSD->getMinSize()")
        && c(getMaxSize() == otherSD->getMaxSize(), "getMaxSize() == otherSD->getMaxSize()");
    return c;
}

} // namespace kvr::tracker::common
