#include "core/log/LogMessage.h"

#include <QDateTime>
#include <QThread>

#include <cstring>

namespace kvr::log {

namespace {

constexpr int kTextColumn = 80;
// 10000-01-01 00:00:00 UTC: the last four-digit year ends here.
constexpr qint64 kEndOfYear9999Ms = 253402300800000LL;

void writeDigits(char *out, int value, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
}

// "yyyy-MM-dd hh:mm:ss.zzz" in UTC for 0 <= ms < kEndOfYear9999Ms; the civil date from the
// day count as in Howard Hinnant's civil_from_days.
void writeUtcStamp(qint64 ms, char *out)
{
    const qint64 seconds = ms / 1000;
    const qint64 days = seconds / 86400;
    const int secondOfDay = int(seconds % 86400);
    const qint64 z = days + 719468;
    const qint64 era = z / 146097;
    const int dayOfEra = int(z - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shiftedMonth = (5 * dayOfYear + 2) / 153; // March is 0
    const int day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int year = int(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
    writeDigits(out, year, 4);
    out[4] = '-';
    writeDigits(out + 5, month, 2);
    out[7] = '-';
    writeDigits(out + 8, day, 2);
    out[10] = ' ';
    writeDigits(out + 11, secondOfDay / 3600, 2);
    out[13] = ':';
    writeDigits(out + 14, secondOfDay / 60 % 60, 2);
    out[16] = ':';
    writeDigits(out + 17, secondOfDay % 60, 2);
    out[19] = '.';
    writeDigits(out + 20, int(ms % 1000), 3);
}

} // namespace

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
    // Written character by character: the line is built for every enabled call, and
    // QDateTime::toString parses its format text each time.
    char stamp[24]; // "yyyy-MM-dd hh:mm:ss.zzz"
    QString fallbackDate;
    const bool fourDigitYear = m_timeMs >= 0 && m_timeMs < kEndOfYear9999Ms;
    if (fourDigitYear) {
        writeUtcStamp(m_timeMs, stamp);
    } else {
        // Outside the four-digit years Qt decides how the year reads.
        fallbackDate = QDateTime::fromMSecsSinceEpoch(m_timeMs, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        const qint64 ms = m_timeMs % 1000 < 0 ? 0 : m_timeMs % 1000;
        stamp[19] = '.';
        writeDigits(stamp + 20, int(ms), 3);
    }
    const char *level = levelName(m_level);
    const int levelLength = int(qstrlen(level));
    char thread[2 * sizeof(quint64)];
    int threadLength = 0;
    for (quint64 id = quint64(m_threadId);; id >>= 4) {
        thread[threadLength++] = "0123456789abcdef"[id & 0xf];
        if (id < 16)
            break;
    }

    const int dateLength = fourDigitYear ? 19 : int(fallbackDate.size());
    const int head = 1 + dateLength + 4 + 2 + levelLength + 3 + int(m_function.size()) + 2;
    const int padding = qMax(0, kTextColumn - head);
    QString line(head + padding + int(m_text.size()) + 4 + threadLength + 2, Qt::Uninitialized);
    QChar *out = line.data();
    const auto put = [&out](const char *text, int length) {
        for (int i = 0; i < length; ++i)
            *out++ = QLatin1Char(text[i]);
    };
    const auto putString = [&out](const QString &text) {
        memcpy(static_cast<void *>(out), text.constData(), size_t(text.size()) * sizeof(QChar));
        out += text.size();
    };
    put("[", 1);
    if (fourDigitYear) {
        put(stamp, 23);
    } else {
        putString(fallbackDate);
        put(stamp + 19, 4);
    }
    put(": ", 2);
    put(level, levelLength);
    put(" - ", 3);
    putString(m_function);
    put("] ", 2);
    for (int i = 0; i < padding; ++i)
        *out++ = QLatin1Char(' ');
    putString(m_text);
    put(" (0x", 4);
    while (threadLength > 0)
        *out++ = QLatin1Char(thread[--threadLength]);
    put(").", 2);
    return line;
}

} // namespace kvr::log
