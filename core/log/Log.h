#pragma once

#include "core/log/Logger.h"

// The message expression is evaluated only when the level passes the logger's flags.
#define KVR_LOG_AT(level, function, message)                                                        \
    do {                                                                                           \
        if (::kvr::log::Logger::instance().isEnabled(level))                                       \
            ::kvr::log::Logger::instance().write(::kvr::log::LogMessage((level), (function), (message))); \
    } while (false)

// The function name is worked out once per call site (per template instance), on its first
// enabled call; it is never destroyed, so destructors of other statics can still log.
#define KVR_LOG(level, message)                                                                    \
    do {                                                                                           \
        if (::kvr::log::Logger::instance().isEnabled(level)) {                                     \
            static const QString *const kvrLogCallSite = new QString(::kvr::log::functionName(Q_FUNC_INFO)); \
            ::kvr::log::Logger::instance().write(::kvr::log::LogMessage((level), *kvrLogCallSite, (message))); \
        }                                                                                          \
    } while (false)

#define LOG_ERR(message) KVR_LOG(::kvr::log::ERR, message)
#define LOG_WRN(message) KVR_LOG(::kvr::log::WRN, message)
#define LOG_INF(message) KVR_LOG(::kvr::log::INF, message)
#define LOG_DBG0(message) KVR_LOG(::kvr::log::DBG0, message)
#define LOG_DBG1(message) KVR_LOG(::kvr::log::DBG1, message)
#define LOG_DBG2(message) KVR_LOG(::kvr::log::DBG2, message)
#define LOG_DBG3(message) KVR_LOG(::kvr::log::DBG3, message)
