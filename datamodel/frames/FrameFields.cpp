#include "datamodel/frames/FrameFields.h"

#include "core/data/JsonGeometry.h"

#include <QJsonArray>
#include <QPointF>
#include <QPolygonF>
#include <QSet>
#include <QSize>

#include <cmath>

namespace kvr::tracker::common {

namespace {

QPointF pointFromJson(const QJsonValue &value)
{
    // One point is a polygon of one element: the same coordinate rule as the zones.
    const QPolygonF polygon = polygonFromJson(QJsonArray{value.toObject()});
    return polygon.constFirst();
}

QJsonObject pointToJson(const QPointF &point)
{
    QPolygonF single;
    single << point;
    return polygonToJson(single).first().toObject();
}

QVariant convert(const QJsonValue &value, FrameField::Type type)
{
    switch (type) {
    case FrameField::Type::Bits8:
        return value.toInt() & 0xFF;
    case FrameField::Type::Bits16:
        return value.toInt() & 0xFFFF;
    case FrameField::Type::Color:
        return colorText(QColor(value.toString()));
    case FrameField::Type::StringList:
        return stringListFromVariantList(value.toArray().toVariantList());
    case FrameField::Type::Polygon:
        return QVariant::fromValue(polygonFromJson(value.toArray()));
    case FrameField::Type::Point:
        return QVariant::fromValue(pointFromJson(value));
    case FrameField::Type::Size:
        return QVariant::fromValue(sizeFromJson(value));
    case FrameField::Type::Int64:
        return int64FromJson(value);
    case FrameField::Type::UIntText: {
        bool ok = false;
        const uint number = value.toString().toUInt(&ok);
        return ok ? number : 0u;
    }
    }
    return QVariant();
}

QJsonValue toJson(const QVariant &stored, FrameField::Type type)
{
    switch (type) {
    case FrameField::Type::Bits8:
    case FrameField::Type::Bits16:
        return stored.toInt();
    case FrameField::Type::Color:
        return colorText(QColor(stored.toString()));
    case FrameField::Type::StringList:
        return QJsonArray::fromStringList(stringListFromVariantList(stored.toList()));
    case FrameField::Type::Polygon:
        return polygonToJson(stored.value<QPolygonF>());
    case FrameField::Type::Point:
        return pointToJson(stored.toPointF());
    case FrameField::Type::Size:
        return sizeToJson(stored.toSize());
    case FrameField::Type::Int64:
        return double(stored.toLongLong());
    case FrameField::Type::UIntText:
        return QString::number(stored.toUInt());
    }
    return QJsonValue();
}

} // namespace

void readFrameField(SourceData &record, const QJsonObject &data, const FrameField &field)
{
    const auto it = data.constFind(field.key);
    if (it != data.constEnd())
        record.setValue(field.key, convert(it.value(), field.type));
}

void writeFrameField(const SourceData &record, QJsonObject &data, const FrameField &field)
{
    const auto it = record.valueMap().constFind(field.key);
    if (it != record.valueMap().constEnd())
        data.insert(field.key, toJson(*it, field.type));
}

qint64 int64FromJson(const QJsonValue &value)
{
    if (value.isDouble()) {
        // A number outside the 64-bit range (1e300 from a peer) has no value here: converting
        // it would be undefined behaviour.
        const double number = value.toDouble();
        return std::isfinite(number) && std::fabs(number) < 9.2e18 ? qint64(number) : 0;
    }
    if (!value.isString())
        return 0;
    bool ok = false;
    const qint64 number = value.toString().toLongLong(&ok);
    return ok ? number : 0;
}

QString colorText(const QColor &color)
{
    return color.name(QColor::HexArgb);
}

QColor storedColor(const SourceData &record, const QString &key, const QString &fallback, bool emptyIsFallback)
{
    const auto it = record.valueMap().constFind(key);
    if (it == record.valueMap().constEnd())
        return QColor(fallback);
    const QString text = it->toString();
    return QColor(text.isEmpty() && emptyIsFallback ? fallback : text);
}

bool sameStringSet(const QStringList &a, const QStringList &b)
{
    return QSet<QString>(a.cbegin(), a.cend()) == QSet<QString>(b.cbegin(), b.cend());
}

} // namespace kvr::tracker::common
