// A block's REST reply: the first line is the Content-Type, the rest the body. The body goes
// through the reply decoding, the error object and, as a log-in reply, into a User.

#include "FuzzSupport.h"

#include "devices/rest/BlockResponse.h"
#include "devices/rest/User.h"

#include <QJsonObject>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = (silenceMessages(), true);
    Q_UNUSED(once)
    if (size > 1 << 20)
        return 0;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const int newline = input.indexOf('\n');
    const QByteArray contentType = newline < 0 ? QByteArray() : input.left(newline);
    const QByteArray body = newline < 0 ? input : input.mid(newline + 1);

    restservice::BlockResponse response;
    restservice::ErrorInfo error;
    response.data = restservice::decodeReplyData(body, contentType, &error);
    int code = 0;
    QString reason;
    QString message;
    response.extractErrorResponse(&code, &reason, &message);
    const QJsonDocument *document = response.responseDataToJson();
    if (!document || !document->isObject())
        return 0;

    const User user(document->object());
    user.isExpired();
    user.accessTokensString();
    for (int id : user.availableCubesIds()) {
        user.canViewCube(id);
        user.canEditCube(id);
    }
    User copy;
    copy.setTimeSettings(user.timeSettings());
    copy.storeOrig();
    copy.compare();
    return 0;
}
