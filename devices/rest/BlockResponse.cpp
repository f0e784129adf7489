#include "devices/rest/BlockResponse.h"

#include "core/log/Log.h"

#include <QJsonObject>

namespace restservice {

bool BlockResponse::extractErrorResponse(int *code, QString *reason, QString *message) const
{
    const QJsonDocument *document = responseDataToJson();
    if (!document) {
        KVR_LOG_AT(kvr::log::ERR, QStringLiteral("restservice::BlockResponse::extractErrorResponse"),
                   QStringLiteral("Cannot convert data to JSON!"));
        return false;
    }
    const QJsonObject top = document->object();
    if (!top.contains(QLatin1String("error")))
        return false;
    const QJsonObject error = top.value(QLatin1String("error")).toObject();
    if (code)
        *code = error.value(QLatin1String("code")).toInt(0);
    if (reason)
        *reason = error.value(QLatin1String("reason")).toString();
    if (message)
        *message = error.value(QLatin1String("message")).toString();
    return true;
}

} // namespace restservice
