#include "core/data/JsonGeometry.h"

#include <QJsonObject>
#include <QSet>
#include <QVariant>

namespace kvr::tracker::common {

bool detail::linkGuiVariantHandler()
{
    QRectF (QPolygonF::*volatile anchor)() const = &QPolygonF::boundingRect;
    return anchor != nullptr;
}

namespace {

const bool guiVariantHandlerLinked = detail::linkGuiVariantHandler();

const QString &keyX()
{
    static const QString key = QStringLiteral("x");
    return key;
}
const QString &keyY()
{
    static const QString key = QStringLiteral("y");
    return key;
}

double coordinate(const QJsonObject &point, const QString &key)
{
    const QJsonValue value = point.value(key);
    if (value.isDouble())
        return value.toDouble();
    bool ok = false;
    const double converted = value.toVariant().toDouble(&ok);
    return ok ? converted : 0.0;
}

} // namespace

QPointF pointFromJson(const QJsonValue &value)
{
    const QJsonObject point = value.toObject();
    return QPointF(coordinate(point, keyX()), coordinate(point, keyY()));
}

QJsonObject pointToJson(const QPointF &point)
{
    QJsonObject object;
    object.insert(keyX(), point.x());
    object.insert(keyY(), point.y());
    return object;
}

QPolygonF polygonFromJson(const QJsonArray &array)
{
    QPolygonF polygon;
    polygon.reserve(array.size());
    for (const QJsonValue &element : array)
        polygon.append(pointFromJson(element));
    return polygon;
}

QList<QPointF> pointListFromJson(const QJsonArray &array)
{
    QList<QPointF> points;
    points.reserve(array.size());
    for (const QJsonValue &element : array)
        points.append(pointFromJson(element));
    return points;
}

QJsonArray polygonToJson(const QPolygonF &polygon)
{
    QJsonArray array;
    for (const QPointF &point : polygon)
        array.append(pointToJson(point));
    return array;
}

QJsonArray pointListToJson(const QList<QPointF> &points)
{
    QJsonArray array;
    for (const QPointF &point : points)
        array.append(pointToJson(point));
    return array;
}

QSize sizeFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    return QSize(object.value(QLatin1String("width")).toInt(), object.value(QLatin1String("height")).toInt());
}

QJsonObject sizeToJson(const QSize &size)
{
    QJsonObject object;
    object.insert(QStringLiteral("width"), size.width());
    object.insert(QStringLiteral("height"), size.height());
    return object;
}

QRectF rectFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    return QRectF(coordinate(object, keyX()), coordinate(object, keyY()),
                  coordinate(object, QStringLiteral("width")), coordinate(object, QStringLiteral("height")));
}

QJsonObject rectToJson(const QRectF &rect)
{
    QJsonObject object;
    object.insert(keyX(), rect.x());
    object.insert(keyY(), rect.y());
    object.insert(QStringLiteral("width"), rect.width());
    object.insert(QStringLiteral("height"), rect.height());
    return object;
}

QStringList stringListFromVariantList(const QVariantList &list)
{
    QStringList strings;
    strings.reserve(list.size());
    for (const QVariant &value : list)
        strings.append(value.toString()); // empty when there is no text form
    return strings;
}

bool sameStringSet(const QStringList &a, const QStringList &b)
{
    return QSet<QString>(a.cbegin(), a.cend()) == QSet<QString>(b.cbegin(), b.cend());
}

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

} // namespace kvr::tracker::common
