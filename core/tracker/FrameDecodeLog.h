#pragma once

#include "core/log/RepeatLimiter.h"

#include <QString>

#include <mutex>

namespace kvr::tracker::net {

// What the frames of one stream have to say about their decoding: a node that sends damaged
// or oversized frames would otherwise write a warning per frame. Each kind is written once,
// then counted (kvr::log::RepeatLimiter); the destructor writes what is still counted.
// Shared by the stream's frames (std::shared_ptr), which the frame pool may decode in several
// threads at once: thread-safe.
class FrameDecodeLog
{
public:
    explicit FrameDecodeLog(kvr::log::RepeatLimiter::Clock clock = kvr::log::RepeatLimiter::Clock());

    // As RepeatLimiter::write; LOG_WRN_LIMITED and its kin take the log in its place.
    void write(quint32 level, const QString &function, const QString &text);

private:
    std::mutex m_mutex;
    kvr::log::RepeatLimiter m_limiter;
};

} // namespace kvr::tracker::net
