#pragma once

#include "core/log/Logger.h"

#include <QStringList>

#include <mutex>
#include <vector>

// Records what reaches the logger while it lives; turns the given levels on meanwhile.
class LogCapture
{
public:
    explicit LogCapture(quint32 flags = kvr::log::ERR | kvr::log::WRN | kvr::log::INF);
    ~LogCapture();

    std::vector<kvr::log::LogMessage> messages() const;
    QStringList texts() const;                  // message texts in order
    QStringList texts(quint32 level) const;     // of one level
    QStringList lines() const;                  // formatted lines
    bool contains(const QString &text) const;   // any text holding it
    void clear();

private:
    mutable std::mutex m_mutex; // a standard mutex, so that race detectors see it
    std::vector<kvr::log::LogMessage> m_messages;
    QStringList m_lines;
    quint32 m_savedFlags;
    int m_sink;
};
