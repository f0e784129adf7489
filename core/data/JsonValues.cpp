#include "core/data/JsonValues.h"

#include <QString>

#include <cmath>

namespace kvr::tracker::common {

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

qint64 int32AsInt64FromJson(const QJsonValue &value)
{
    return qint64(value.toInt());
}

quint64 uint64FromDecimalText(const QJsonValue &value)
{
    return value.toString().toULongLong();
}

} // namespace kvr::tracker::common
