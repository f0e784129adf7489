#pragma once

#include "devices/rest/BaseData.h"
#include "devices/rest/ErrorInfo.h"

#include <QByteArray>
#include <QExplicitlySharedDataPointer>

namespace restservice {

// The body of one reply. The payload is never null; under kind Json or String it may still be
// a NoneData (empty text, JSON that did not parse), so readers test the payload's class.
class ResponseData
{
public:
    enum Kind { None = 0, String = 1, Json = 2, Bytes = 3 };

    ResponseData();
    ResponseData(Kind kind, BaseData *payload);

    Kind kind = None;
    QExplicitlySharedDataPointer<BaseData> payload;
};

// Decodes a body by the reply's Content-Type (compared whole, after lower-casing). Leaves
// `error` untouched when there is nothing to report; `error` may be null.
ResponseData decodeReplyData(const QByteArray &body, const QByteArray &contentType, ErrorInfo *error);

} // namespace restservice
