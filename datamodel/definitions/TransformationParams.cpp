#include "datamodel/definitions/TransformationParams.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

namespace kvr::tracker::common {

namespace {

const QString kSourcePoints = QStringLiteral("source_points");
const QString kDestinationPoints = QStringLiteral("destination_points");

} // namespace

QList<QPointF> pointListFromVariantList(const QVariantList &list)
{
    QList<QPointF> points;
    points.reserve(list.size());
    for (const QVariant &entry : list)
        points.append(entry.canConvert<QPointF>() ? entry.value<QPointF>() : QPointF());
    return points;
}

QVariantList pointListToVariantList(const QList<QPointF> &points)
{
    QVariantList list;
    list.reserve(points.size());
    for (const QPointF &point : points)
        list.append(point);
    return list;
}

TransformationParams::TransformationParams()
    : SourceData(1)
{
    registerRecordComparator<TransformationParams>(Q_FUNC_INFO);
}

QList<QPointF> TransformationParams::getSourcePoints() const
{
    return pointListFromVariantList(value(kSourcePoints).toList());
}

void TransformationParams::setSourcePoints(const QList<QPointF> &points)
{
    setValue(kSourcePoints, pointListToVariantList(points));
}

QList<QPointF> TransformationParams::getDestinationPoints() const
{
    return pointListFromVariantList(value(kDestinationPoints).toList());
}

void TransformationParams::setDestinationPoints(const QList<QPointF> &points)
{
    setValue(kDestinationPoints, pointListToVariantList(points));
}

bool TransformationParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    const QList<QPointF> srcP = getSourcePoints();
    const QList<QPointF> dstP = getDestinationPoints();
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(srcP.size() == dstP.size() && srcP.size() >= GEREGISTRATION_POINTS_MIN_SIZE,
             "srcP.size() == dstP.size() && srcP.size() >= GEREGISTRATION_POINTS_MIN_SIZE");
}

void TransformationParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                     const SourceDataReadOptions & /*options*/)
{
    const auto source = data.constFind(kSourcePoints);
    if (source != data.constEnd())
        setSourcePoints(pointListFromJson(source.value().toArray()));
    const auto destination = data.constFind(kDestinationPoints);
    if (destination != data.constEnd())
        setDestinationPoints(pointListFromJson(destination.value().toArray()));
}

void TransformationParams::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    if (contains(kSourcePoints))
        data.insert(kSourcePoints, pointListToJson(getSourcePoints()));
    if (contains(kDestinationPoints))
        data.insert(kDestinationPoints, pointListToJson(getDestinationPoints()));
}

CompareResult TransformationParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<TransformationParams>(other);
    if (!otherSD)
        return c;
    // QPointF's == is Qt's fuzzy point equality.
    c(getSourcePoints() == otherSD->getSourcePoints(), "getSourcePoints() == otherSD->getSourcePoints()")
        && c(getDestinationPoints() == otherSD->getDestinationPoints(),
             "getDestinationPoints() == otherSD->getDestinationPoints()");
    return c;
}

} // namespace kvr::tracker::common
