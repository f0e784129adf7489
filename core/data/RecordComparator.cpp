#include "core/data/RecordComparator.h"

#include "core/log/Log.h"

namespace kvr::tracker::common::detail {

bool registerEquals(bool alreadyRegistered, bool (*registerFunction)(), const char *constructor)
{
    if (alreadyRegistered || registerFunction())
        return true;
    KVR_LOG_AT(log::ERR, log::functionName(constructor),
               QStringLiteral("Failed to register comparator. This will result in undefined behaviour."));
    return false;
}

} // namespace kvr::tracker::common::detail
