#include "support/LogCapture.h"

using kvr::log::Logger;

LogCapture::LogCapture(quint32 flags)
    : m_savedFlags(Logger::instance().flags())
{
    Logger::instance().setFlags(flags);
    m_sink = Logger::instance().addSink([this](const kvr::log::LogMessage &message, const QString &line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(message);
        m_lines << line;
    });
}

LogCapture::~LogCapture()
{
    Logger::instance().removeSink(m_sink);
    Logger::instance().setFlags(m_savedFlags);
}

std::vector<kvr::log::LogMessage> LogCapture::messages() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

QStringList LogCapture::texts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList out;
    for (const auto &m : m_messages)
        out << m.text();
    return out;
}

QStringList LogCapture::texts(quint32 level) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList out;
    for (const auto &m : m_messages) {
        if (m.level() == level)
            out << m.text();
    }
    return out;
}

QStringList LogCapture::lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

bool LogCapture::contains(const QString &text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto &m : m_messages) {
        if (m.text().contains(text))
            return true;
    }
    return false;
}

void LogCapture::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.clear();
    m_lines.clear();
}
