#pragma once

#include "devices/rest/ResponseData.h"
#include "devices/rest/RestService.h"

#include <QJsonDocument>

namespace restservice {

// Base of every reply record: status, the posted JSON body and the decoded reply body.
class ResponseBase
{
public:
    ResponseBase() = default;
    ResponseBase(const ResponseBase &) = default;
    ResponseBase &operator=(const ResponseBase &) = default;
    virtual ~ResponseBase();

    // The body as a JSON document, valid as long as this record; null (with an error line)
    // when the body is not JSON or did not parse.
    const QJsonDocument *responseDataToJson() const;

    qint32 statusCode = NoResponse; // any status the reply carried; read as HttpRespStatus
    QJsonDocument requestBody;
    ResponseData data;
};

} // namespace restservice
