#include "datamodel/definitions/SourceVisibilityTrajectoryIndicator.h"

#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/data/JsonGeometry.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kCategories = QStringLiteral("categories");
const QString kZone = QStringLiteral("zone");
const QString kTimeframeS = QStringLiteral("timeframe_s");
const QString kMinLengthDefinition = QStringLiteral("min_length_definition");
const QString kMinLength = QStringLiteral("min_length");

const std::array<SourceDataField, 2> &fields()
{
    static const std::array<SourceDataField, 2> table{{
        {kTimeframeS, SourceDataField::Type::Double},
        {kMinLength, SourceDataField::Type::Double},
    }};
    return table;
}

using DefType = SourceVisibilityTrajectoryIndicator::MinLengthDefType;

} // namespace

SourceVisibilityTrajectoryIndicator::SourceVisibilityTrajectoryIndicator()
    : SourceData(1)
{
    registerRecordComparator<SourceVisibilityTrajectoryIndicator>(Q_FUNC_INFO);
}

QStringList SourceVisibilityTrajectoryIndicator::getCategories() const { return valueAs<QStringList>(kCategories); }
void SourceVisibilityTrajectoryIndicator::setCategories(const QStringList &categories) { setValue(kCategories, categories); }
QPolygonF SourceVisibilityTrajectoryIndicator::getZone() const { return valueAs<QPolygonF>(kZone); }
void SourceVisibilityTrajectoryIndicator::setZone(const QPolygonF &zone) { setValue(kZone, QVariant::fromValue(zone)); }
double SourceVisibilityTrajectoryIndicator::getTimeframeS() const { return valueAs<double>(kTimeframeS, 300.0); }
void SourceVisibilityTrajectoryIndicator::setTimeframeS(double timeframeS) { setValue(kTimeframeS, timeframeS); }

DefType SourceVisibilityTrajectoryIndicator::getMinLengthDefinition() const
{
    return enumFromVariant(value(kMinLengthDefinition), DefType::automatic);
}

void SourceVisibilityTrajectoryIndicator::setMinLengthDefinition(DefType definition)
{
    setValue(kMinLengthDefinition, enumToKey(definition));
}

double SourceVisibilityTrajectoryIndicator::getMinLength() const { return valueAs<double>(kMinLength, 0.0); }
void SourceVisibilityTrajectoryIndicator::setMinLength(double minLength) { setValue(kMinLength, minLength); }

bool SourceVisibilityTrajectoryIndicator::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getZone(), &isInUnitSquare, "p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1")
        && v(getTimeframeS() > 0, "getTimeframeS() > 0")
        && v(getMinLengthDefinition() == MinLengthDefType::automatic || getMinLength() > 0,
             "getMinLengthDefinition() == MinLengthDefType::automatic || getMinLength() > 0");
}

void SourceVisibilityTrajectoryIndicator::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                    const SourceDataReadOptions & /*options*/)
{
    const auto categories = data.constFind(kCategories);
    if (categories != data.constEnd())
        setCategories(stringListFromVariantList(categories.value().toArray().toVariantList()));
    const auto zone = data.constFind(kZone);
    if (zone != data.constEnd())
        setZone(polygonFromJson(zone.value().toArray()));
    // An unknown text is stored as the fallback's key, so it is written back as "automatic".
    const auto definition = data.constFind(kMinLengthDefinition);
    if (definition != data.constEnd())
        setMinLengthDefinition(enumFromKey(definition.value().toString(), DefType::automatic));
    readFields(data, fields());
}

void SourceVisibilityTrajectoryIndicator::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kCategories))
        data.insert(kCategories, QJsonArray::fromStringList(getCategories()));
    if (contains(kZone))
        data.insert(kZone, polygonToJson(getZone()));
    if (contains(kMinLengthDefinition))
        data.insert(kMinLengthDefinition, enumToKey(getMinLengthDefinition()));
    writeFields(data, fields());
}

CompareResult SourceVisibilityTrajectoryIndicator::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceVisibilityTrajectoryIndicator>(other);
    if (!otherSD)
        return c;
    // Indicator zones compare exactly, point by point.
    c(getCategories() == otherSD->getCategories(), "getCategories() == otherSD->getCategories()")
        && c(samePointsExactly(getZone(), otherSD->getZone()), "getZone() == otherSD->getZone()")
        && c(qFuzzyCompare(getTimeframeS() + 1, otherSD->getTimeframeS() + 1),
             "qFuzzyCompare(getTimeframeS() + 1, otherSD->getTimeframeS() + 1)")
        && c(getMinLengthDefinition() == otherSD->getMinLengthDefinition(),
             "getMinLengthDefinition() == otherSD->getMinLengthDefinition()")
        && c(qFuzzyCompare(getMinLength() + 1, otherSD->getMinLength() + 1),
             "qFuzzyCompare(getMinLength() + 1, otherSD->getMinLength() + 1)");
    return c;
}

} // namespace kvr::tracker::common
