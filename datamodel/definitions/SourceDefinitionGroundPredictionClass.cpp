#include "datamodel/definitions/SourceDefinitionGroundPredictionClass.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/data/JsonGeometry.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kClassName = QStringLiteral("class_name");
const QString kAI = QStringLiteral("ai");
const QString kPosition = QStringLiteral("position");

const std::array<SourceDataField, 2> &fields()
{
    static const std::array<SourceDataField, 2> table{{
        {kClassName, SourceDataField::Type::String},
        {kAI, SourceDataField::Type::Bool},
    }};
    return table;
}

} // namespace

SourceDefinitionGroundPredictionClass::SourceDefinitionGroundPredictionClass()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionGroundPredictionClass>(Q_FUNC_INFO);
}

SourceDefinitionGroundPredictionClass::SourceDefinitionGroundPredictionClass(const QString &className, const bool &ai,
                                                                             const QPointF &position)
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionGroundPredictionClass>(Q_FUNC_INFO);
    setClassName(className);
    setAI(ai);
    setPosition(position);
}

QString SourceDefinitionGroundPredictionClass::getClassName() const { return valueAs<QString>(kClassName); }
void SourceDefinitionGroundPredictionClass::setClassName(const QString &className) { setValue(kClassName, className); }
bool SourceDefinitionGroundPredictionClass::getAI() const { return valueAs<bool>(kAI, true); }
void SourceDefinitionGroundPredictionClass::setAI(const bool &ai) { setValue(kAI, ai); }
QPointF SourceDefinitionGroundPredictionClass::getPosition() const { return valueAs<QPointF>(kPosition); }
void SourceDefinitionGroundPredictionClass::setPosition(const QPointF &position) { setValue(kPosition, position); }

bool SourceDefinitionGroundPredictionClass::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    const QPointF position = getPosition();
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getClassName().isEmpty(), "!getClassName().isEmpty()")
        && v(isInUnitSquare(position),
             "position.x() >= 0 && position.x() <= 1 && position.y() >= 0 && position.y() <= 1");
}

void SourceDefinitionGroundPredictionClass::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                      const SourceDataReadOptions & /*options*/)
{
    readFields(data, fields());
    const auto position = data.constFind(kPosition);
    if (position != data.constEnd())
        setPosition(pointFromJson(position.value()));
}

void SourceDefinitionGroundPredictionClass::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    writeFields(data, fields());
    if (contains(kPosition))
        data.insert(kPosition, pointToJson(getPosition()));
}

CompareResult SourceDefinitionGroundPredictionClass::compare_logic(const SourceData &other,
                                                                   const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionGroundPredictionClass>(other);
    if (!otherSD)
        return c;
    if (!(c(getClassName() == otherSD->getClassName(), "getClassName() == otherSD->getClassName()")
          && c(getAI() == otherSD->getAI(), "getAI() == otherSD->getAI()")))
        return c;
    // A predicted ground point makes the fixed position irrelevant.
    if (!getAI())
        c(getPosition() == otherSD->getPosition(), "getPosition() == otherSD->getPosition()");
    return c;
}

} // namespace kvr::tracker::common
