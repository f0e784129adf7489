#include "datamodel/params/ParamsJson.h"

#include <QDebug>
#include <QVariant>

namespace kvr::tracker::common {

namespace {

double memberAsDouble(const QJsonObject &object, QLatin1String key)
{
    bool ok = false;
    const double value = object.value(key).toVariant().toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace

qint64 int32AsInt64FromJson(const QJsonValue &value)
{
    return qint64(value.toInt());
}

QRectF rectFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    return QRectF(memberAsDouble(object, QLatin1String("x")), memberAsDouble(object, QLatin1String("y")),
                  memberAsDouble(object, QLatin1String("width")), memberAsDouble(object, QLatin1String("height")));
}

QJsonObject rectToJson(const QRectF &rect)
{
    QJsonObject object;
    object.insert(QStringLiteral("x"), rect.x());
    object.insert(QStringLiteral("y"), rect.y());
    object.insert(QStringLiteral("width"), rect.width());
    object.insert(QStringLiteral("height"), rect.height());
    return object;
}

QString variantMapText(const QVariantMap &map)
{
    QString text;
    QDebug(&text).nospace() << map;
    return text;
}

} // namespace kvr::tracker::common
