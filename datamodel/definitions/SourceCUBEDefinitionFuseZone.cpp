#include "datamodel/definitions/SourceCUBEDefinitionFuseZone.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kZone = QStringLiteral("zone");
const QString kName = QStringLiteral("name");

const std::array<SourceDataField, 2> &fields()
{
    static const std::array<SourceDataField, 2> table{{
        {kZone, SourceDataField::Type::Polygon},
        {kName, SourceDataField::Type::String},
    }};
    return table;
}

} // namespace

SourceCUBEDefinitionFuseZone::SourceCUBEDefinitionFuseZone()
    : SourceData(1)
{
    registerRecordComparator<SourceCUBEDefinitionFuseZone>(Q_FUNC_INFO);
}

QPolygonF SourceCUBEDefinitionFuseZone::getZone() const { return valueAs<QPolygonF>(kZone); }
void SourceCUBEDefinitionFuseZone::setZone(const QPolygonF &zone) { setValue(kZone, QVariant::fromValue(zone)); }
QString SourceCUBEDefinitionFuseZone::getName() const { return valueAs<QString>(kName); }
void SourceCUBEDefinitionFuseZone::setName(const QString &name) { setValue(kName, name); }

bool SourceCUBEDefinitionFuseZone::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getZone().isEmpty(), "!getZone().isEmpty()")
        && v(!getName().isEmpty(), "!getName().isEmpty()");
}

void SourceCUBEDefinitionFuseZone::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
}

void SourceCUBEDefinitionFuseZone::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
}

CompareResult SourceCUBEDefinitionFuseZone::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceCUBEDefinitionFuseZone>(other);
    if (!otherSD)
        return c;
    c(getZone() == otherSD->getZone(), "getZone() == otherSD->getZone()")
        && c(getName() == otherSD->getName(), "getName() == otherSD->getName()");
    return c;
}

} // namespace kvr::tracker::common
