#include "core/log/RepeatLimiter.h"

#include <chrono>

namespace kvr::log {

namespace {

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

RepeatLimiter::RepeatLimiter(Clock clock)
    : m_clock(clock ? std::move(clock) : Clock(steadyMs))
{
}

RepeatLimiter::~RepeatLimiter()
{
    if (m_kinds.isEmpty())
        return;
    const qint64 now = m_clock();
    for (auto it = m_kinds.begin(); it != m_kinds.end(); ++it) {
        if (it->repeats > 0)
            writeCount(it.key(), *it, now);
    }
}

void RepeatLimiter::write(quint32 level, const QString &function, const QString &text, qint64 times)
{
    Logger &logger = Logger::instance();
    if (times <= 0 || !logger.isEnabled(level))
        return;
    const qint64 now = m_clock();
    const Key key{level, text};
    const auto it = m_kinds.find(key);
    if (it == m_kinds.end()) {
        m_kinds.insert(key, Kind{function, now, times - 1});
        logger.write(LogMessage(level, function, text));
        m_nextSweepMs = qMin(m_nextSweepMs, now + WindowMs);
    } else if (now - it->windowStartMs < WindowMs) {
        it->repeats += times;
    } else if (it->repeats == 0) {
        // Quiet for a whole window: this is news again, not a repeat.
        it->windowStartMs = now;
        it->repeats = times - 1;
        logger.write(LogMessage(level, it->function, text));
    } else {
        it->repeats += times;
        writeCount(key, *it, now);
    }
    // After this message, so that a repeat that ends its window is counted in it.
    if (now >= m_nextSweepMs)
        sweep(now);
}

void RepeatLimiter::writeCount(const Key &key, Kind &kind, qint64 now)
{
    Logger &logger = Logger::instance();
    if (logger.isEnabled(key.level)) {
        const qint64 seconds = qMax<qint64>(1, (now - kind.windowStartMs + 500) / 1000);
        // Appended, not arg(): the text may hold '%' sequences of its own.
        logger.write(LogMessage(key.level, kind.function,
                                key.text + QLatin1String(" (repeated ") + QString::number(kind.repeats)
                                    + (kind.repeats == 1 ? QLatin1String(" time in ") : QLatin1String(" times in "))
                                    + QString::number(seconds) + QLatin1String(" s)")));
    }
    kind.windowStartMs = now;
    kind.repeats = 0;
}

void RepeatLimiter::sweep(qint64 now)
{
    for (auto it = m_kinds.begin(); it != m_kinds.end();) {
        if (now - it->windowStartMs < WindowMs) {
            ++it;
        } else if (it->repeats > 0) {
            writeCount(it.key(), *it, now);
            ++it;
        } else {
            // Forgotten, so texts that change from frame to frame do not pile up.
            it = m_kinds.erase(it);
        }
    }
    m_nextSweepMs = m_kinds.isEmpty() ? std::numeric_limits<qint64>::max() : now + WindowMs;
}

} // namespace kvr::log
