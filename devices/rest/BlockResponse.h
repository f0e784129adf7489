#pragma once

#include "devices/rest/ResponseBase.h"
#include "devices/rest/RestService.h"

#include <QMetaType>

#include <memory>

namespace restservice {

// One reply of a block, handed to its receivers as std::shared_ptr<BlockResponse>; created and
// filled in the GUI thread by BlockConnectionManager, read-only afterwards.
class BlockResponse : public ResponseBase
{
public:
    // Reads the block's "error" object. True when the body is JSON with an "error" object; the
    // outputs (each may be null) are left as they were otherwise.
    bool extractErrorResponse(int *code, QString *reason, QString *message) const;

    Operation operation = Operation::SystemPerformanceStatus;
    quint32 requestId = 0;
    qint32 cubeId = 0;
    qint32 analyticId = 0;
    bool bodyRead = false;       // cleared again when decoding failed or on a 409
    bool payloadSwapped = false; // the reply's "RequestId" named another request
    // The peer sent more than a block ever does and the reply was cut off; status 0, as for a
    // block that does not answer.
    bool tooLarge = false;
};

} // namespace restservice

Q_DECLARE_METATYPE(restservice::BlockResponse)
Q_DECLARE_METATYPE(std::shared_ptr<restservice::BlockResponse>)
