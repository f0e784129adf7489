#include "core/tracker/FrameDecodeLog.h"

namespace kvr::tracker::net {

FrameDecodeLog::FrameDecodeLog(kvr::log::RepeatLimiter::Clock clock)
    : m_limiter(std::move(clock))
{
}

void FrameDecodeLog::write(quint32 level, const QString &function, const QString &text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_limiter.write(level, function, text);
}

} // namespace kvr::tracker::net
