#include "core/data/CompareChain.h"

#include "core/log/Log.h"

namespace kvr::tracker::common {

bool CompareChain::differ(const char *text, int length)
{
    m_result.equal = false;
    if (!m_params.silent) {
        KVR_LOG_AT(log::WRN, log::functionName(m_function),
                   QStringLiteral("Condition is false: ") + QString::fromUtf8(text, length));
    }
    return m_params.allDifferences;
}

void CompareChain::differentTypes()
{
    m_result = {false, false};
    if (!m_params.silent)
        KVR_LOG_AT(log::WRN, log::functionName(m_function), QStringLiteral("Comparing different types!"));
}

} // namespace kvr::tracker::common
