#include "datamodel/definitions/SourceVisibilityContrastIndicator.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/data/JsonGeometry.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kZone = QStringLiteral("zone");
const QString kMinStdDefinition = QStringLiteral("min_std_definition");
const QString kMinStd = QStringLiteral("min_std");
const QString kEvaluationPeriodS = QStringLiteral("evaluation_period_s");

const std::array<SourceDataField, 2> &fields()
{
    static const std::array<SourceDataField, 2> table{{
        {kMinStd, SourceDataField::Type::Double},
        {kEvaluationPeriodS, SourceDataField::Type::Double},
    }};
    return table;
}

using DefType = SourceVisibilityContrastIndicator::MinStdDefType;

} // namespace

SourceVisibilityContrastIndicator::SourceVisibilityContrastIndicator()
    : SourceData(1)
{
    registerRecordComparator<SourceVisibilityContrastIndicator>(Q_FUNC_INFO);
}

QPolygonF SourceVisibilityContrastIndicator::getZone() const { return valueAs<QPolygonF>(kZone); }
void SourceVisibilityContrastIndicator::setZone(const QPolygonF &zone) { setValue(kZone, QVariant::fromValue(zone)); }

DefType SourceVisibilityContrastIndicator::getMinStdDefinition() const
{
    return enumFromVariant(value(kMinStdDefinition), DefType::automatic);
}

void SourceVisibilityContrastIndicator::setMinStdDefinition(DefType definition)
{
    setValue(kMinStdDefinition, enumToKey(definition));
}

double SourceVisibilityContrastIndicator::getMinStd() const { return valueAs<double>(kMinStd, 0.0); }
void SourceVisibilityContrastIndicator::setMinStd(double minStd) { setValue(kMinStd, minStd); }
double SourceVisibilityContrastIndicator::getEvaluationPeriodS() const { return valueAs<double>(kEvaluationPeriodS, 30.0); }
void SourceVisibilityContrastIndicator::setEvaluationPeriodS(double evaluationPeriodS) { setValue(kEvaluationPeriodS, evaluationPeriodS); }

bool SourceVisibilityContrastIndicator::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getZone(), &isInUnitSquare, "p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1")
        && v(getEvaluationPeriodS() > 0, "getEvaluationPeriodS() > 0");
}

void SourceVisibilityContrastIndicator::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                  const SourceDataReadOptions & /*options*/)
{
    const auto zone = data.constFind(kZone);
    if (zone != data.constEnd())
        setZone(polygonFromJson(zone.value().toArray()));
    // An unknown text is stored as the fallback's key, so it is written back as "automatic".
    const auto definition = data.constFind(kMinStdDefinition);
    if (definition != data.constEnd())
        setMinStdDefinition(enumFromKey(definition.value().toString(), DefType::automatic));
    readFields(data, fields());
}

void SourceVisibilityContrastIndicator::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kZone))
        data.insert(kZone, polygonToJson(getZone()));
    if (contains(kMinStdDefinition))
        data.insert(kMinStdDefinition, enumToKey(getMinStdDefinition()));
    writeFields(data, fields());
}

CompareResult SourceVisibilityContrastIndicator::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceVisibilityContrastIndicator>(other);
    if (!otherSD)
        return c;
    // Indicator zones compare exactly, point by point.
    c(samePointsExactly(getZone(), otherSD->getZone()), "getZone() == otherSD->getZone()")
        && c(getMinStdDefinition() == otherSD->getMinStdDefinition(),
             "getMinStdDefinition() == otherSD->getMinStdDefinition()")
        && c(qFuzzyCompare(getMinStd() + 1, otherSD->getMinStd() + 1),
             "qFuzzyCompare(getMinStd() + 1, otherSD->getMinStd() + 1)")
        && c(qFuzzyCompare(getEvaluationPeriodS() + 1, otherSD->getEvaluationPeriodS() + 1),
             "qFuzzyCompare(getEvaluationPeriodS() + 1, otherSD->getEvaluationPeriodS() + 1)");
    return c;
}

} // namespace kvr::tracker::common
