#include "core/log/LogMessage.h"

#include <QDateTime>
#include <QThread>

namespace kvr::log {

namespace {
constexpr int kTextColumn = 80;
}

const char *levelName(quint32 level)
{
    switch (level) {
    case ERR: return "ERR";
    case WRN: return "WRN";
    case INF: return "INF";
    case DBG0: return "DBG0";
    case DBG1: return "DBG1";
    case DBG2: return "DBG2";
    case DBG3: return "DBG3";
    default: return "LOG";
    }
}

QString functionName(const char *prettyFunction)
{
    if (!prettyFunction)
        return {};
    const QByteArray sig(prettyFunction);
    // The parameter list starts at the first '(' that is not part of "(anonymous namespace)"
    // or "operator()".
    int paren = -1;
    int depth = 0;
    for (int i = 0; i < sig.size(); ++i) {
        const char c = sig.at(i);
        if (c == '<') {
            ++depth;
        } else if (c == '>') {
            depth = qMax(0, depth - 1);
        } else if (c == '(' && depth == 0) {
            if (sig.mid(i, 21) == "(anonymous namespace)") {
                i += 20;
                continue;
            }
            if (i >= 8 && sig.mid(i - 8, 10) == "operator()") {
                i += 1;
                continue;
            }
            paren = i;
            break;
        }
    }
    const QByteArray head = paren < 0 ? sig : sig.left(paren);
    // The name is the last blank-separated word outside template brackets.
    int start = 0;
    depth = 0;
    for (int i = head.size() - 1; i >= 0; --i) {
        const char c = head.at(i);
        if (c == '>')
            ++depth;
        else if (c == '<')
            --depth;
        else if ((c == ' ' || c == '*' || c == '&') && depth == 0) {
            start = i + 1;
            break;
        }
    }
    return QString::fromLatin1(head.mid(start));
}

LogMessage::LogMessage(quint32 level, QString function, QString text, bool messageLog)
    : LogMessage(QDateTime::currentMSecsSinceEpoch(), level,
                 reinterpret_cast<quintptr>(QThread::currentThreadId()), std::move(function),
                 std::move(text), messageLog)
{
}

LogMessage::LogMessage(qint64 timeMs, quint32 level, quintptr threadId, QString function,
                       QString text, bool messageLog)
    : m_timeMs(timeMs)
    , m_level(level)
    , m_threadId(threadId)
    , m_function(std::move(function))
    , m_text(std::move(text))
    , m_messageLog(messageLog)
{
}

QString LogMessage::format() const
{
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(m_timeMs, Qt::UTC);
    QString line;
    line.reserve(kTextColumn + m_text.size() + 24);
    line += QLatin1Char('[');
    line += time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    line += QLatin1Char('.');
    line += QString::number(m_timeMs % 1000 < 0 ? 0 : m_timeMs % 1000).rightJustified(3, QLatin1Char('0'));
    line += QLatin1String(": ");
    line += QLatin1String(levelName(m_level));
    line += QLatin1String(" - ");
    line += m_function;
    line += QLatin1String("] ");
    if (line.size() < kTextColumn)
        line += QString(kTextColumn - line.size(), QLatin1Char(' '));
    line += m_text;
    line += QLatin1String(" (0x");
    line += QString::number(quint64(m_threadId), 16);
    line += QLatin1String(").");
    return line;
}

} // namespace kvr::log
