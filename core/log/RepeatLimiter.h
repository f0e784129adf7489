#pragma once

#include "core/log/Logger.h"

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <limits>

namespace kvr::log {

// Keeps one stream's repeated messages from flooding the log. The first message of a kind
// (level and text) is written at once; its repeats are counted, and at most once a window one
// line "<text> (repeated N times in S s)" says how many there were. A message that comes back
// after a window without repeats is written again as itself. The destructor writes what is
// still counted. Levels the logger filters out are neither written nor counted.
//
// One per stream, owned by whoever decodes it. Not thread-safe, but bound to no thread: any
// one thread at a time. A repeat costs a hash lookup and a clock read; nothing is formatted.
// Without a timer, a count is written by the next message of the limiter, or on destruction.
class RepeatLimiter
{
public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;

    static constexpr qint64 WindowMs = 10000;

    // An empty clock means the steady clock.
    explicit RepeatLimiter(Clock clock = Clock());
    ~RepeatLimiter();
    RepeatLimiter(const RepeatLimiter &) = delete;
    RepeatLimiter &operator=(const RepeatLimiter &) = delete;

    // `function` is the column LOG_WRN writes (functionName(Q_FUNC_INFO) of the call site); the
    // LOG_*_LIMITED macros below pass it and build the text only when the level is enabled.
    // `times` messages at once: one call where a loop would count them one by one.
    void write(quint32 level, const QString &function, const QString &text, qint64 times = 1);

private:
    struct Key
    {
        quint32 level;
        QString text;
        bool operator==(const Key &other) const { return level == other.level && text == other.text; }
    };
    friend uint qHash(const Key &key, uint seed) { return qHash(key.text, seed) ^ key.level; }

    struct Kind
    {
        QString function;    // of the first message's call site
        qint64 windowStartMs; // when the kind's last line was written
        qint64 repeats;       // since then
    };

    void writeCount(const Key &key, Kind &kind, qint64 now);
    void sweep(qint64 now);

    Clock m_clock;
    QHash<Key, Kind> m_kinds;
    // Kinds gone quiet are reported and forgotten here, at most once a window.
    qint64 m_nextSweepMs = std::numeric_limits<qint64>::max();
};

} // namespace kvr::log

// As KVR_LOG, through a stream's RepeatLimiter; the _TIMES form (a RepeatLimiter's only) for a
// message that came `times` times at once.
#define KVR_LOG_LIMITED_TIMES(limiter, level, message, times)                                       \
    do {                                                                                           \
        if (::kvr::log::Logger::instance().isEnabled(level)) {                                     \
            static const QString *const kvrLogCallSite = new QString(::kvr::log::functionName(Q_FUNC_INFO)); \
            (limiter).write((level), *kvrLogCallSite, (message), (times));                         \
        }                                                                                          \
    } while (false)
#define KVR_LOG_LIMITED(limiter, level, message)                                                    \
    do {                                                                                           \
        if (::kvr::log::Logger::instance().isEnabled(level)) {                                     \
            static const QString *const kvrLogCallSite = new QString(::kvr::log::functionName(Q_FUNC_INFO)); \
            (limiter).write((level), *kvrLogCallSite, (message));                                  \
        }                                                                                          \
    } while (false)

#define LOG_ERR_LIMITED(limiter, message) KVR_LOG_LIMITED(limiter, ::kvr::log::ERR, message)
#define LOG_WRN_LIMITED(limiter, message) KVR_LOG_LIMITED(limiter, ::kvr::log::WRN, message)
#define LOG_INF_LIMITED(limiter, message) KVR_LOG_LIMITED(limiter, ::kvr::log::INF, message)
#define LOG_DBG0_LIMITED(limiter, message) KVR_LOG_LIMITED(limiter, ::kvr::log::DBG0, message)
#define LOG_DBG1_LIMITED(limiter, message) KVR_LOG_LIMITED(limiter, ::kvr::log::DBG1, message)
#define LOG_DBG2_LIMITED(limiter, message) KVR_LOG_LIMITED(limiter, ::kvr::log::DBG2, message)
#define LOG_DBG3_LIMITED(limiter, message) KVR_LOG_LIMITED(limiter, ::kvr::log::DBG3, message)
