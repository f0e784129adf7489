#pragma once

#include <QString>
#include <QtGlobal>

namespace kvr::log {

// Level bit flags; a logger holds any combination of them plus the two switches.
enum LogLevel : quint32 {
    ERR = 1,
    WRN = 2,
    INF = 4,
    DBG0 = 8,
    DBG1 = 16,
    DBG2 = 32,
    DBG3 = 64,
    ALL = 128,          // let every level through
    WITHOUT_DEBUG = 256 // errors and warnings even when their own flags are off
};

const char *levelName(quint32 level);

// Qualified "Namespace::Class::method" out of a Q_FUNC_INFO signature.
QString functionName(const char *prettyFunction);

class LogMessage
{
public:
    LogMessage() = default;
    LogMessage(quint32 level, QString function, QString text, bool messageLog = false);
    LogMessage(qint64 timeMs, quint32 level, quintptr threadId, QString function, QString text,
               bool messageLog = false);

    qint64 timeMs() const { return m_timeMs; }
    quint32 level() const { return m_level; }
    quintptr threadId() const { return m_threadId; }
    const QString &function() const { return m_function; }
    const QString &text() const { return m_text; }
    bool isMessageLog() const { return m_messageLog; }

    // The line as written to every output, without the trailing newline.
    QString format() const;

private:
    qint64 m_timeMs = 0;
    quint32 m_level = INF;
    quintptr m_threadId = 0;
    QString m_function;
    QString m_text;
    bool m_messageLog = false;
};

} // namespace kvr::log
