#pragma once

#include "core/log/Logger.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// Qt's own messages (qDebug and friends) would flood the fuzzer's output. The logger writes
// nowhere unless told to; its levels stay off too, since formatting the long "not valid" lines
// of broken records costs more than the reading itself. ORVA_FUZZ_LOG=1 keeps them on.
inline void silenceMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    if (qgetenv("ORVA_FUZZ_LOG") != "1")
        kvr::log::Logger::instance().setFlags(0);
}

// A broken property of accepted input: stop so that libFuzzer keeps the input.
[[noreturn]] inline void fuzzFailure(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}
