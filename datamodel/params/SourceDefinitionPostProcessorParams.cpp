#include "datamodel/params/SourceDefinitionPostProcessorParams.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/log/Log.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kTransformationPoints = QStringLiteral("transformation_points");
const QString kMapToWorkScale = QStringLiteral("map_to_work_scale");

const std::array<SourceDataField, 1> &fields()
{
    static const std::array<SourceDataField, 1> table{{
        {kMapToWorkScale, SourceDataField::Type::Double},
    }};
    return table;
}

} // namespace

SourceDefinitionPostProcessorParams::SourceDefinitionPostProcessorParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionPostProcessorParams>(Q_FUNC_INFO);
}

QList<QPointF> SourceDefinitionPostProcessorParams::getTransformationPoints() const
{
    QList<QPointF> points;
    const QVariantList stored = value(kTransformationPoints).toList();
    points.reserve(stored.size());
    for (const QVariant &point : stored)
        points.append(point.toPointF()); // (0, 0) for what does not convert
    return points;
}

void SourceDefinitionPostProcessorParams::setTransformationPoints(const QList<QPointF> &points)
{
    if (points.size() < TRANSFORMATION_POINTS_MIN_SIZE || points.size() % 2 != 0)
        LOG_WRN(QStringLiteral("Invalid transformation points size ") + QString::number(points.size())
                + QStringLiteral("! This might lead to undefined behaviour..."));
    QVariantList stored;
    stored.reserve(points.size());
    for (const QPointF &point : points)
        stored.append(point);
    setValue(kTransformationPoints, stored);
}

double SourceDefinitionPostProcessorParams::getMapToWorkScale() const { return valueAs<double>(kMapToWorkScale, 1.0); }
void SourceDefinitionPostProcessorParams::setMapToWorkScale(double scale) { setValue(kMapToWorkScale, scale); }

bool SourceDefinitionPostProcessorParams::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionPostProcessorParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const QList<QPointF> tPoints = getTransformationPoints();
    return v(tPoints.size() >= TRANSFORMATION_POINTS_MIN_SIZE || tPoints.size() % 2 == 0,
             "tPoints.size() >= TRANSFORMATION_POINTS_MIN_SIZE || tPoints.size() % 2 == 0")
        && v(getMapToWorkScale() > 0, "getMapToWorkScale() > 0");
}

void SourceDefinitionPostProcessorParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                                    const SourceDataReadOptions & /*options*/)
{
    // Through the setter, so that an odd list is reported when it is read too.
    readIfPresent(data, kTransformationPoints,
                  [this](const QJsonValue &value) { setTransformationPoints(pointListFromJson(value.toArray())); });
    readFields(data, fields());
}

void SourceDefinitionPostProcessorParams::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kTransformationPoints))
        data.insert(kTransformationPoints, pointListToJson(getTransformationPoints()));
    writeFields(data, fields());
}

CompareResult SourceDefinitionPostProcessorParams::compare_logic(const SourceData &other,
                                                                 const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionPostProcessorParams>(other);
    if (!otherSD)
        return c;
    c(getTransformationPoints() == otherSD->getTransformationPoints(),
      "getTransformationPoints() == otherSD->getTransformationPoints()")
        && c(qFuzzyCompare(1 + getMapToWorkScale(), 1 + otherSD->getMapToWorkScale()),
             "qFuzzyCompare(1 + getMapToWorkScale(), 1 + otherSD->getMapToWorkScale())");
    return c;
}

} // namespace kvr::tracker::common
