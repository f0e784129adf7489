#include "devices/rest/ResponseData.h"

#include "devices/rest/DataQByteArray.h"
#include "devices/rest/DataQJsonDocument.h"
#include "devices/rest/DataQString.h"
#include "devices/rest/NoneData.h"
#include "devices/rest/RestService.h"

#include <QJsonParseError>

namespace restservice {

ResponseData::ResponseData()
    : payload(new NoneData)
{
}

ResponseData::ResponseData(Kind k, BaseData *p)
    : kind(k), payload(p ? p : new NoneData)
{
}

namespace {

void report(ErrorInfo *error, int code, const QString &reason, const QString &message)
{
    if (!error)
        return;
    error->code = code;
    error->reason = reason;
    error->message = message;
}

} // namespace

ResponseData decodeReplyData(const QByteArray &body, const QByteArray &contentType, ErrorInfo *error)
{
    const QByteArray type = contentType.toLower();
    if (type.isEmpty()) {
        if (!body.isEmpty()) {
            report(error, UnsupportedMediaType, QStringLiteral("unsupported_media_type"),
                   QStringLiteral("The request's 'Content-Type' header is missing."));
        }
        return ResponseData(ResponseData::None, new NoneData);
    }
    if (type == "text/plain") {
        if (body.isEmpty())
            return ResponseData(ResponseData::String, new NoneData);
        return ResponseData(ResponseData::String, new DataQString(QString::fromUtf8(body)));
    }
    if (type == "application/json") {
        if (body.isEmpty())
            return ResponseData(ResponseData::Json, new DataQJsonDocument(QJsonDocument()));
        QJsonParseError parseError;
        QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
        if (parseError.error == QJsonParseError::NoError)
            return ResponseData(ResponseData::Json, new DataQJsonDocument(std::move(document)));
        report(error, BadRequest, QStringLiteral("parse_error"),
               QStringLiteral("application/json parse error:  %1 at offset %2")
                   .arg(parseError.errorString())
                   .arg(parseError.offset));
        return ResponseData(ResponseData::Json, new NoneData);
    }
    if (type == "application/zip")
        return ResponseData(ResponseData::Bytes, new DataQByteArray(body));

    report(error, UnsupportedMediaType, QStringLiteral("unsupported_media_type"),
           QStringLiteral("The request's 'Content-Type' header contains an unsupported format."));
    return ResponseData(ResponseData::None, new NoneData);
}

} // namespace restservice
