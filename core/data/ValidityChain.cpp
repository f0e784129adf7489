#include "core/data/ValidityChain.h"

#include "core/log/Log.h"

namespace kvr::tracker::common {

void ValidityChain::fail(const char *text, int length) const
{
    if (m_skipWrn)
        return;
    KVR_LOG_AT(log::WRN, log::functionName(m_function),
               QStringLiteral("Condition is false: ") + QString::fromUtf8(text, length));
}

} // namespace kvr::tracker::common
