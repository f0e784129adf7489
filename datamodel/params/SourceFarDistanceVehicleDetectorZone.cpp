#include "datamodel/params/SourceFarDistanceVehicleDetectorZone.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/data/JsonGeometry.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kZone = QStringLiteral("zone");
const QString kMinConfidence = QStringLiteral("min_confidence");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kMinConfidence, SourceDataField::Type::Double},
    }};
    return table;
}

} // namespace

SourceFarDistanceVehicleDetectorZone::SourceFarDistanceVehicleDetectorZone()
    : SourceData(1)
{
    registerRecordComparator<SourceFarDistanceVehicleDetectorZone>(Q_FUNC_INFO);
}

QPolygonF SourceFarDistanceVehicleDetectorZone::getZone() const { return valueAs<QPolygonF>(kZone); }
void SourceFarDistanceVehicleDetectorZone::setZone(const QPolygonF &zone) { setValue(kZone, QVariant::fromValue(zone)); }
double SourceFarDistanceVehicleDetectorZone::getMinConfidence() const { return valueAs<double>(kMinConfidence, 0.0); }
void SourceFarDistanceVehicleDetectorZone::setMinConfidence(double minConfidence) { setValue(kMinConfidence, minConfidence); }

bool SourceFarDistanceVehicleDetectorZone::isValid_impl(bool skipWrn) const
{
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v.each(getZone(), &isInUnitSquare, "p.x() >= 0 && p.x() <= 1 && p.y() >= 0 && p.y() <= 1")
        && v(getMinConfidence() >= 0 && getMinConfidence() <= 1.0, "getMinConfidence() >= 0 && getMinConfidence() <= 1.0");
}

void SourceFarDistanceVehicleDetectorZone::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                     const SourceDataReadOptions & /*options*/)
{
    const auto zone = data.constFind(kZone);
    if (zone != data.constEnd())
        setZone(polygonFromJson(zone.value().toArray()));
    readFields(data, fields());
}

void SourceFarDistanceVehicleDetectorZone::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kZone))
        data.insert(kZone, polygonToJson(getZone()));
    writeFields(data, fields());
}

CompareResult SourceFarDistanceVehicleDetectorZone::compare_logic(const SourceData &other,
                                                                  const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceFarDistanceVehicleDetectorZone>(other);
    if (!otherSD)
        return c;
    c(getZone() == otherSD->getZone(), "getZone() == otherSD->getZone()")
        && c(qFuzzyCompare(getMinConfidence() + 1, otherSD->getMinConfidence() + 1),
             "qFuzzyCompare(getMinConfidence() + 1, otherSD->getMinConfidence() + 1)");
    return c;
}

} // namespace kvr::tracker::common
