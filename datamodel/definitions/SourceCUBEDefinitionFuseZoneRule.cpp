#include "datamodel/definitions/SourceCUBEDefinitionFuseZoneRule.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/data/StringSets.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kRuleName = QStringLiteral("rule_name");
const QString kSourceZoneName = QStringLiteral("source_zone_name");
const QString kSourceZoneDirectionality = QStringLiteral("source_zone_directionality");
const QString kSourceZoneDirectionVector = QStringLiteral("source_zone_direction_vector");
const QString kSourceZoneDirectionTolerance = QStringLiteral("source_zone_direction_tolerance_deg");
const QString kDestinationZoneName = QStringLiteral("destination_zone_name");
const QString kDestinationZoneDirectionality = QStringLiteral("destination_zone_directionality");
const QString kDestinationZoneDirectionVector = QStringLiteral("destination_zone_direction_vector");
const QString kDestinationZoneDirectionTolerance = QStringLiteral("destination_zone_direction_tolerance_deg");
const QString kClasses = QStringLiteral("classes");
const QString kMinDuration = QStringLiteral("min_duration_ms");
const QString kMaxDuration = QStringLiteral("max_duration_ms");
const QString kFIFOEnabled = QStringLiteral("fifo_enabled");
const QString kFIFOWeight = QStringLiteral("fifo_weight");
const QString kEmbeddingEnabled = QStringLiteral("embedding_enabled");
const QString kEmbeddingWeight = QStringLiteral("embedding_weight");
const QString kMinSourceQuality = QStringLiteral("min_source_quality_for_embedding_use");
const QString kLPEnabled = QStringLiteral("lp_enabled");
const QString kLPWeight = QStringLiteral("lp_weight");
const QString kMaxLPEditDistance = QStringLiteral("max_lp_edit_distance");
const QString kX = QStringLiteral("x");
const QString kY = QStringLiteral("y");

// Plain fields; the direction vectors and the classes are converted by hand.
const std::array<SourceDataField, 17> &fields()
{
    static const std::array<SourceDataField, 17> table{{
        {kRuleName, SourceDataField::Type::String},
        {kSourceZoneName, SourceDataField::Type::String},
        {kSourceZoneDirectionality, SourceDataField::Type::Bool},
        {kSourceZoneDirectionTolerance, SourceDataField::Type::Double},
        {kDestinationZoneName, SourceDataField::Type::String},
        {kDestinationZoneDirectionality, SourceDataField::Type::Bool},
        {kDestinationZoneDirectionTolerance, SourceDataField::Type::Double},
        {kMinDuration, SourceDataField::Type::UInt},
        {kMaxDuration, SourceDataField::Type::UInt},
        {kFIFOEnabled, SourceDataField::Type::Bool},
        {kFIFOWeight, SourceDataField::Type::Double},
        {kEmbeddingEnabled, SourceDataField::Type::Bool},
        {kEmbeddingWeight, SourceDataField::Type::Double},
        {kMinSourceQuality, SourceDataField::Type::Double},
        {kLPEnabled, SourceDataField::Type::Bool},
        {kLPWeight, SourceDataField::Type::Double},
        {kMaxLPEditDistance, SourceDataField::Type::UInt},
    }};
    return table;
}

// {"x": ..., "y": ...}: numbers, numeric texts and booleans convert; anything else gives 0.
QVector2D vectorFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    const auto coordinate = [&object](const QString &key) {
        return float(object.value(key).toVariant().toDouble());
    };
    return QVector2D(coordinate(kX), coordinate(kY));
}

QJsonObject vectorToJson(const QVector2D &vector)
{
    return QJsonObject{{kX, double(vector.x())}, {kY, double(vector.y())}};
}

// A tolerance only counts when its zone's direction does.
double effectiveTolerance(bool directionality, double tolerance)
{
    return directionality ? tolerance : 180.0;
}

} // namespace

SourceCUBEDefinitionFuseZoneRule::SourceCUBEDefinitionFuseZoneRule()
    : SourceData(1)
{
    registerRecordComparator<SourceCUBEDefinitionFuseZoneRule>(Q_FUNC_INFO);
}

QString SourceCUBEDefinitionFuseZoneRule::getRuleName() const { return valueAs<QString>(kRuleName); }
void SourceCUBEDefinitionFuseZoneRule::setRuleName(const QString &ruleName) { setValue(kRuleName, ruleName); }
QString SourceCUBEDefinitionFuseZoneRule::getSourceZoneName() const { return valueAs<QString>(kSourceZoneName); }
void SourceCUBEDefinitionFuseZoneRule::setSourceZoneName(const QString &name) { setValue(kSourceZoneName, name); }
bool SourceCUBEDefinitionFuseZoneRule::getSourceZoneDirectionality() const { return valueAs<bool>(kSourceZoneDirectionality, false); }
void SourceCUBEDefinitionFuseZoneRule::setSourceZoneDirectionality(bool directionality) { setValue(kSourceZoneDirectionality, directionality); }
QVector2D SourceCUBEDefinitionFuseZoneRule::getSourceZoneDirectionVec() const { return valueAs<QVector2D>(kSourceZoneDirectionVector); }
void SourceCUBEDefinitionFuseZoneRule::setSourceZoneDirectionVec(const QVector2D &vector) { setValue(kSourceZoneDirectionVector, QVariant::fromValue(vector)); }
double SourceCUBEDefinitionFuseZoneRule::getSourceZoneDirectionToleranceDeg() const { return valueAs<double>(kSourceZoneDirectionTolerance, 180.0); }
void SourceCUBEDefinitionFuseZoneRule::setSourceZoneDirectionToleranceDeg(double degrees) { setValue(kSourceZoneDirectionTolerance, degrees); }
QString SourceCUBEDefinitionFuseZoneRule::getDestinationZoneName() const { return valueAs<QString>(kDestinationZoneName); }
void SourceCUBEDefinitionFuseZoneRule::setDestinationZoneName(const QString &name) { setValue(kDestinationZoneName, name); }
bool SourceCUBEDefinitionFuseZoneRule::getDestinationZoneDirectionality() const { return valueAs<bool>(kDestinationZoneDirectionality, false); }
void SourceCUBEDefinitionFuseZoneRule::setDestinationZoneDirectionality(bool directionality) { setValue(kDestinationZoneDirectionality, directionality); }
QVector2D SourceCUBEDefinitionFuseZoneRule::getDestinationZoneDirectionVec() const { return valueAs<QVector2D>(kDestinationZoneDirectionVector); }
void SourceCUBEDefinitionFuseZoneRule::setDestinationZoneDirectionVec(const QVector2D &vector) { setValue(kDestinationZoneDirectionVector, QVariant::fromValue(vector)); }
double SourceCUBEDefinitionFuseZoneRule::getDestinationZoneDirectionToleranceDeg() const { return valueAs<double>(kDestinationZoneDirectionTolerance, 180.0); }
void SourceCUBEDefinitionFuseZoneRule::setDestinationZoneDirectionToleranceDeg(double degrees) { setValue(kDestinationZoneDirectionTolerance, degrees); }

QSet<QString> SourceCUBEDefinitionFuseZoneRule::getClasses() const
{
    return stringSetFromVariantList(value(kClasses).toList());
}

void SourceCUBEDefinitionFuseZoneRule::setClasses(const QSet<QString> &classes)
{
    setValue(kClasses, stringSetToVariantList(classes));
}

uint SourceCUBEDefinitionFuseZoneRule::getMinDurationMS() const { return valueAs<uint>(kMinDuration, 0); }
void SourceCUBEDefinitionFuseZoneRule::setMinDurationMS(uint ms) { setValue(kMinDuration, ms); }
uint SourceCUBEDefinitionFuseZoneRule::getMaxDurationMS() const { return valueAs<uint>(kMaxDuration, 5000); }
void SourceCUBEDefinitionFuseZoneRule::setMaxDurationMS(uint ms) { setValue(kMaxDuration, ms); }
bool SourceCUBEDefinitionFuseZoneRule::getFIFOEnabled() const { return valueAs<bool>(kFIFOEnabled, true); }
void SourceCUBEDefinitionFuseZoneRule::setFIFOEnabled(bool enabled) { setValue(kFIFOEnabled, enabled); }
double SourceCUBEDefinitionFuseZoneRule::getFIFOWeight() const { return valueAs<double>(kFIFOWeight, 1.0); }
void SourceCUBEDefinitionFuseZoneRule::setFIFOWeight(double weight) { setValue(kFIFOWeight, weight); }
bool SourceCUBEDefinitionFuseZoneRule::getEmbeddingEnabled() const { return valueAs<bool>(kEmbeddingEnabled, false); }
void SourceCUBEDefinitionFuseZoneRule::setEmbeddingEnabled(bool enabled) { setValue(kEmbeddingEnabled, enabled); }
double SourceCUBEDefinitionFuseZoneRule::getEmbeddingWeight() const { return valueAs<double>(kEmbeddingWeight, 1.0); }
void SourceCUBEDefinitionFuseZoneRule::setEmbeddingWeight(double weight) { setValue(kEmbeddingWeight, weight); }
double SourceCUBEDefinitionFuseZoneRule::getMinSourceQualityForEmbeddingUse() const { return valueAs<double>(kMinSourceQuality, 0.5); }
void SourceCUBEDefinitionFuseZoneRule::setMinSourceQualityForEmbeddingUse(double quality) { setValue(kMinSourceQuality, quality); }
bool SourceCUBEDefinitionFuseZoneRule::getLPEnabled() const { return valueAs<bool>(kLPEnabled, false); }
void SourceCUBEDefinitionFuseZoneRule::setLPEnabled(bool enabled) { setValue(kLPEnabled, enabled); }
double SourceCUBEDefinitionFuseZoneRule::getLPWeight() const { return valueAs<double>(kLPWeight, 1.0); }
void SourceCUBEDefinitionFuseZoneRule::setLPWeight(double weight) { setValue(kLPWeight, weight); }
uint SourceCUBEDefinitionFuseZoneRule::getMaxLPEditDistance() const { return valueAs<uint>(kMaxLPEditDistance, 3); }
void SourceCUBEDefinitionFuseZoneRule::setMaxLPEditDistance(uint distance) { setValue(kMaxLPEditDistance, distance); }

bool SourceCUBEDefinitionFuseZoneRule::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getSourceZoneName().isEmpty(), "!getSourceZoneName().isEmpty()")
        && v(!getSourceZoneDirectionality() || (getSourceZoneDirectionToleranceDeg() >= 0 && getSourceZoneDirectionToleranceDeg() <= 180),
             "!getSourceZoneDirectionality() || (getSourceZoneDirectionToleranceDeg() >= 0 && getSourceZoneDirectionToleranceDeg() <= 180)")
        && v(!getDestinationZoneName().isEmpty(), "!getDestinationZoneName().isEmpty()")
        && v(!getDestinationZoneDirectionality() || (getDestinationZoneDirectionToleranceDeg() >= 0 && getDestinationZoneDirectionToleranceDeg() <= 180),
             "!getDestinationZoneDirectionality() || (getDestinationZoneDirectionToleranceDeg() >= 0 && getDestinationZoneDirectionToleranceDeg() <= 180)")
        && v(getSourceZoneName() != getDestinationZoneName(), "getSourceZoneName() != getDestinationZoneName()")
        && v(getMinDurationMS() < getMaxDurationMS(), "getMinDurationMS() < getMaxDurationMS()")
        && v(getFIFOWeight() >= 0 && getFIFOWeight() <= 1, "getFIFOWeight() >= 0 && getFIFOWeight() <= 1")
        && v(getEmbeddingWeight() >= 0 && getEmbeddingWeight() <= 1, "getEmbeddingWeight() >= 0 && getEmbeddingWeight() <= 1")
        && v(getMinSourceQualityForEmbeddingUse() >= 0 && getMinSourceQualityForEmbeddingUse() <= 1,
             "getMinSourceQualityForEmbeddingUse() >= 0 && getMinSourceQualityForEmbeddingUse() <= 1")
        && v(getLPWeight() >= 0 && getLPWeight() <= 1, "getLPWeight() >= 0 && getLPWeight() <= 1")
        && v(getFIFOEnabled() || getEmbeddingEnabled() || getLPEnabled(), "getFIFOEnabled() || getEmbeddingEnabled() || getLPEnabled()");
}

void SourceCUBEDefinitionFuseZoneRule::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
    const auto sourceVector = data.constFind(kSourceZoneDirectionVector);
    if (sourceVector != data.constEnd())
        setSourceZoneDirectionVec(vectorFromJson(sourceVector.value()));
    const auto destinationVector = data.constFind(kDestinationZoneDirectionVector);
    if (destinationVector != data.constEnd())
        setDestinationZoneDirectionVec(vectorFromJson(destinationVector.value()));
    const auto classes = data.constFind(kClasses);
    if (classes != data.constEnd())
        setClasses(stringSetFromVariantList(classes.value().toArray().toVariantList()));
}

void SourceCUBEDefinitionFuseZoneRule::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
    if (contains(kSourceZoneDirectionVector))
        data.insert(kSourceZoneDirectionVector, vectorToJson(getSourceZoneDirectionVec()));
    if (contains(kDestinationZoneDirectionVector))
        data.insert(kDestinationZoneDirectionVector, vectorToJson(getDestinationZoneDirectionVec()));
    if (contains(kClasses))
        data.insert(kClasses, stringSetToJson(getClasses()));
}

CompareResult SourceCUBEDefinitionFuseZoneRule::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceCUBEDefinitionFuseZoneRule>(other);
    if (!otherSD)
        return c;
    const double thisSourceTolerance = effectiveTolerance(getSourceZoneDirectionality(), getSourceZoneDirectionToleranceDeg());
    const double otherSourceTolerance = effectiveTolerance(otherSD->getSourceZoneDirectionality(), otherSD->getSourceZoneDirectionToleranceDeg());
    const double thisDestinationTolerance = effectiveTolerance(getDestinationZoneDirectionality(), getDestinationZoneDirectionToleranceDeg());
    const double otherDestinationTolerance = effectiveTolerance(otherSD->getDestinationZoneDirectionality(), otherSD->getDestinationZoneDirectionToleranceDeg());
    c(getRuleName() == otherSD->getRuleName(), "getRuleName() == otherSD->getRuleName()")
        && c(getSourceZoneName() == otherSD->getSourceZoneName(), "getSourceZoneName() == otherSD->getSourceZoneName()")
        && c(getSourceZoneDirectionVec() == otherSD->getSourceZoneDirectionVec(), "getSourceZoneDirectionVec() == otherSD->getSourceZoneDirectionVec()")
        && c(qFuzzyCompare(thisSourceTolerance + 1, otherSourceTolerance + 1), "qFuzzyCompare(thisTolerance + 1, otherTolerance + 1)")
        && c(getDestinationZoneName() == otherSD->getDestinationZoneName(), "getDestinationZoneName() == otherSD->getDestinationZoneName()")
        && c(getDestinationZoneDirectionVec() == otherSD->getDestinationZoneDirectionVec(), "getDestinationZoneDirectionVec() == otherSD->getDestinationZoneDirectionVec()")
        && c(qFuzzyCompare(thisDestinationTolerance + 1, otherDestinationTolerance + 1), "qFuzzyCompare(thisTolerance + 1, otherTolerance + 1)")
        && c(getClasses() == otherSD->getClasses(), "getClasses() == otherSD->getClasses()")
        && c(getMinDurationMS() == otherSD->getMinDurationMS(), "getMinDurationMS() == otherSD->getMinDurationMS()")
        && c(getMaxDurationMS() == otherSD->getMaxDurationMS(), "getMaxDurationMS() == otherSD->getMaxDurationMS()")
        && c(getFIFOEnabled() == otherSD->getFIFOEnabled(), "getFIFOEnabled() == otherSD->getFIFOEnabled()")
        && c(!getFIFOEnabled() || qFuzzyCompare(getFIFOWeight() + 1, otherSD->getFIFOWeight() + 1),
             "!getFIFOEnabled() || qFuzzyCompare(getFIFOWeight() + 1, otherSD->getFIFOWeight() + 1)")
        && c(getEmbeddingEnabled() == otherSD->getEmbeddingEnabled(), "getEmbeddingEnabled() == otherSD->getEmbeddingEnabled()")
        && c(!getEmbeddingEnabled() || qFuzzyCompare(getEmbeddingWeight() + 1, otherSD->getEmbeddingWeight() + 1),
             "!getEmbeddingEnabled() || qFuzzyCompare(getEmbeddingWeight() + 1, otherSD->getEmbeddingWeight() + 1)")
        && c(qFuzzyCompare(getMinSourceQualityForEmbeddingUse() + 1, otherSD->getMinSourceQualityForEmbeddingUse() + 1),
             "qFuzzyCompare(getMinSourceQualityForEmbeddingUse() + 1, otherSD->getMinSourceQualityForEmbeddingUse() + 1)")
        && c(getLPEnabled() == otherSD->getLPEnabled(), "getLPEnabled() == otherSD->getLPEnabled()")
        && c(!getLPEnabled() || qFuzzyCompare(getLPWeight() + 1, otherSD->getLPWeight() + 1),
             "!getLPEnabled() || qFuzzyCompare(getLPWeight() + 1, otherSD->getLPWeight() + 1)")
        && c(getMaxLPEditDistance() == otherSD->getMaxLPEditDistance(), "getMaxLPEditDistance() == otherSD->getMaxLPEditDistance()");
    return c;
}

} // namespace kvr::tracker::common
