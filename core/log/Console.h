#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace kvr::log {

// The process's text console. On Windows this is where a GUI program allocates or attaches
// a console; elsewhere the terminal is already there and colours are ANSI sequences.
class Console
{
public:
    enum class Colour { Default, Red, Yellow };

    // Opens a console for the process; returns true when one is usable.
    bool open();
    void close();
    bool isOpen() const { return m_open; }

    void write(const QString &line, Colour colour);

    static Colour colourForLevel(quint32 level);

private:
    bool m_open = true;
    bool m_useColour = false;
    bool m_colourChecked = false;
};

} // namespace kvr::log
