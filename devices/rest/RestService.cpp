#include "devices/rest/RestService.h"

#include <QMetaEnum>

namespace restservice {

QString httpRespStatusName(int status)
{
    return QString::fromLatin1(QMetaEnum::fromType<HttpRespStatus>().valueToKey(status));
}

QString operationName(Operation operation)
{
    return QString::fromLatin1(QMetaEnum::fromType<Operation>().valueToKey(static_cast<int>(operation)));
}

} // namespace restservice
