#include "datamodel/frames/SourceAnonymizationZone.h"

#include "core/data/ColorText.h"
#include "core/data/CompareChain.h"
#include "core/data/EnumKeys.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kName = QStringLiteral("anonymization_name");
const QString kZone = QStringLiteral("anonymization_zone");
const QString kObjectNames = QStringLiteral("object_names");
const QString kMethod = QStringLiteral("method");
const QString kIntensity = QStringLiteral("intensity");
const QString kSolidColor = QStringLiteral("solid_color");
const QString kBlack = QStringLiteral("black");

const std::array<SourceDataField, 3> &fields()
{
    static const std::array<SourceDataField, 3> table{{
        {kName, SourceDataField::Type::String},
        {kZone, SourceDataField::Type::Polygon},
        {kObjectNames, SourceDataField::Type::StringList},
    }};
    return table;
}

// Read as they come; written through the getters (bounded intensity, parsed colour).
const std::array<SourceDataField, 2> &styleFields()
{
    static const std::array<SourceDataField, 2> table{{
        {kIntensity, SourceDataField::Type::Bits8},
        {kSolidColor, SourceDataField::Type::Color},
    }};
    return table;
}

} // namespace

SourceAnonymizationZone::SourceAnonymizationZone()
    : SourceData(1)
{
    registerRecordComparator<SourceAnonymizationZone>(Q_FUNC_INFO);
}

QString SourceAnonymizationZone::getName() const { return valueAs<QString>(kName); }
void SourceAnonymizationZone::setName(const QString &name) { setValue(kName, name); }
QPolygonF SourceAnonymizationZone::getZone() const { return valueAs<QPolygonF>(kZone); }
void SourceAnonymizationZone::setZone(const QPolygonF &zone) { setValue(kZone, QVariant::fromValue(zone)); }
QStringList SourceAnonymizationZone::getObjectNames() const { return valueAs<QStringList>(kObjectNames); }
void SourceAnonymizationZone::setObjectNames(const QStringList &names) { setValue(kObjectNames, names); }

SourceAnonymizationZone::AnonymizationMethod SourceAnonymizationZone::getMethod() const
{
    return enumFromVariant(value(kMethod), AnonymizationMethod::solid);
}

void SourceAnonymizationZone::setMethod(AnonymizationMethod method) { setValue(kMethod, enumToKey(method)); }

quint8 SourceAnonymizationZone::getMethodIntensity() const
{
    return quint8(qBound(1, int(quint8(valueAs<uint>(kIntensity, 10))), 10));
}

void SourceAnonymizationZone::setMethodIntensity(quint8 intensity) { setValue(kIntensity, int(intensity)); }
QColor SourceAnonymizationZone::getSolidColor() const { return storedColor(*this, kSolidColor, kBlack, true); }
void SourceAnonymizationZone::setSolidColor(const QColor &color) { setValue(kSolidColor, colorText(color)); }

bool SourceAnonymizationZone::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(!getZone().isEmpty(), "!getZone().isEmpty()");
}

void SourceAnonymizationZone::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
    readEnumKey(*this, data, kMethod, AnonymizationMethod::solid);
    readFields(data, styleFields());
}

void SourceAnonymizationZone::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
    writeEnumKey(*this, data, kMethod, getMethod());
    if (contains(kIntensity))
        data.insert(kIntensity, int(getMethodIntensity()));
    if (contains(kSolidColor))
        data.insert(kSolidColor, colorText(getSolidColor()));
}

CompareResult SourceAnonymizationZone::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceAnonymizationZone>(other);
    if (!otherSD)
        return c;
    // The name only labels the zone; it does not change what the node does.
    c(getZone() == otherSD->getZone(), "getZone() == otherSD->getZone()")
        && c(sameStringSet(getObjectNames(), otherSD->getObjectNames()),
             "getObjectNames().toSet() == otherSD->getObjectNames().toSet()")
        && c(getMethod() == otherSD->getMethod(), "getMethod() == otherSD->getMethod()")
        && c(getMethodIntensity() == otherSD->getMethodIntensity(),
             "getMethodIntensity() == otherSD->getMethodIntensity()")
        && c(getSolidColor() == otherSD->getSolidColor(), "getSolidColor() == otherSD->getSolidColor()");
    return c;
}

} // namespace kvr::tracker::common
