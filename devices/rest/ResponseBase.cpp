#include "devices/rest/ResponseBase.h"

#include "core/log/Log.h"
#include "devices/rest/DataQJsonDocument.h"
#include "devices/rest/NoneData.h"

namespace restservice {

ResponseBase::~ResponseBase() = default;

const QJsonDocument *ResponseBase::responseDataToJson() const
{
    static const QString function = QStringLiteral("restservice::ResponseBase::responseDataToJson");
    if (data.kind == ResponseData::Json) {
        if (dynamic_cast<const NoneData *>(data.payload.data()))
            KVR_LOG_AT(kvr::log::ERR, function, QStringLiteral("Response has no data!"));
        if (const auto *json = dynamic_cast<const DataQJsonDocument *>(data.payload.data()))
            return &json->data;
        return nullptr;
    }
    KVR_LOG_AT(kvr::log::ERR, function, QStringLiteral("Response is not in requested format!"));
    return nullptr;
}

} // namespace restservice
