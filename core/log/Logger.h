#pragma once

#include "core/log/LogMessage.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

namespace kvr::log {

class Console;

// Process-wide logger. isEnabled() is a single atomic load, so callers test it before they
// build a message; write() formats once and never fails towards the caller. Thread-safe.
class Logger
{
public:
    using Sink = std::function<void(const LogMessage &message, const QString &line)>;

    // Inline, as isEnabled(): a filtered-out call costs a guard test and one load.
    static Logger &instance()
    {
        static Logger logger;
        return logger;
    }

    quint32 flags() const { return m_flags.load(std::memory_order_relaxed); }
    void setFlags(quint32 flags) { m_flags.store(flags, std::memory_order_relaxed); }
    void setFlag(quint32 flag, bool on);

    // Errors and warnings also pass with the log-all or the without-debug switch,
    // every other level with log-all or its own flag.
    bool isEnabled(quint32 level) const { return passes(flags(), level); }
    static bool passes(quint32 flags, quint32 level)
    {
        if (flags & ALL)
            return true;
        if ((level == ERR || level == WRN) && (flags & WITHOUT_DEBUG))
            return true;
        return (flags & level) != 0;
    }

    void write(const LogMessage &message);

    void setConsoleOutput(bool on);
    bool consoleOutput() const;

    // Opens "log_[name_]yyyyMMddhhmmsszzz.txt" in the directory; a file that cannot be
    // opened is reported once on the console and file output stays off.
    bool setFileOutput(bool on, const QString &directory = QString(), const QString &logName = QString());
    QString logFilePath() const;
    QString messageLogFilePath() const;

    // Applies a "-log" list of comma-separated key=value pairs; unknown keys and bad values
    // are skipped and named in `error`.
    bool applyOptions(const QString &options, QString *error = nullptr);

    int addSink(Sink sink);
    void removeSink(int id);

    static QString logFileName(const QString &logName, const QDateTime &time);
    static QString messageLogFileName(const QDateTime &time);

    Console &console();

private:
    Logger();
    ~Logger();
    Logger(const Logger &) = delete;
    Logger &operator=(const Logger &) = delete;

    bool openFile(QFile &file, const QString &path);

    std::atomic<quint32> m_flags;
    mutable QMutex m_mutex;
    bool m_console = false;
    std::atomic<bool> m_fileOutput{false}; // also read without the lock, as a hint
    QString m_directory;
    QFile m_file;
    QFile m_messageFile;
    bool m_messageFileFailed = false;
    std::unique_ptr<Console> m_consoleWriter;
    std::map<int, Sink> m_sinks;
    int m_nextSinkId = 1;
};

} // namespace kvr::log
