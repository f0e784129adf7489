#include "core/log/Console.h"

#include "core/log/LogMessage.h"

#include <unistd.h>

namespace kvr::log {

bool Console::open()
{
    m_open = true;
    return true;
}

void Console::close()
{
    std::fflush(stdout);
    m_open = false;
}

Console::Colour Console::colourForLevel(quint32 level)
{
    if (level == ERR)
        return Colour::Red;
    if (level == WRN)
        return Colour::Yellow;
    return Colour::Default;
}

void Console::write(const QString &line, Colour colour)
{
    if (!m_open)
        return;
    if (!m_colourChecked) {
        m_useColour = isatty(fileno(stdout));
        m_colourChecked = true;
    }
    const QByteArray bytes = line.toUtf8();
    const char *start = "";
    const char *end = "";
    if (m_useColour && colour != Colour::Default) {
        start = colour == Colour::Red ? "\033[31m" : "\033[33m";
        end = "\033[0m";
    }
    std::fprintf(stdout, "%s%s%s\n", start, bytes.constData(), end);
    std::fflush(stdout);
}

} // namespace kvr::log
