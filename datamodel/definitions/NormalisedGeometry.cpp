#include "datamodel/definitions/NormalisedGeometry.h"

#include "core/data/JsonGeometry.h"

#include <QJsonArray>

namespace kvr::tracker::common {

bool isInUnitSquare(const QPointF &point)
{
    return point.x() >= 0 && point.x() <= 1 && point.y() >= 0 && point.y() <= 1;
}

bool samePointsExactly(const QPolygonF &a, const QPolygonF &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i).x() != b.at(i).x() || a.at(i).y() != b.at(i).y())
            return false;
    }
    return true;
}

// Through the shared list reader so that a single point follows exactly the rule of polygons.
QPointF pointFromJson(const QJsonValue &value)
{
    return pointListFromJson(QJsonArray{value}).constFirst();
}

QJsonObject pointToJson(const QPointF &point)
{
    return pointListToJson({point}).first().toObject();
}

} // namespace kvr::tracker::common
