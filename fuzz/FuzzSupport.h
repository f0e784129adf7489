#pragma once

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// Qt's own messages (qDebug and friends) would flood the fuzzer's output; the logger writes
// nowhere unless told to, so its lines are still formatted and thus exercised.
inline void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

// A broken property of accepted input: stop so that libFuzzer keeps the input.
[[noreturn]] inline void fuzzFailure(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}
