#include "core/log/Log.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace kvr::log;

// A debug line while only errors pass: the cost every disabled log call pays.
static void BM_FilteredOutLogCall(benchmark::State &state)
{
    Logger::instance().setFlags(ERR);
    int value = 0;
    for (auto _ : state) {
        LOG_DBG2(QStringLiteral("value %1").arg(++value));
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_FilteredOutLogCall);

// A warning formatted and written to a log file.
static void BM_WrittenLogLine(benchmark::State &state)
{
    QTemporaryDir dir;
    Logger &logger = Logger::instance();
    logger.setFlags(ALL);
    logger.setConsoleOutput(false);
    logger.setFileOutput(true, dir.path(), QStringLiteral("bench"));
    int value = 0;
    for (auto _ : state)
        LOG_WRN(QStringLiteral("value %1 reached the limit").arg(++value));
    logger.setFileOutput(false);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WrittenLogLine);

BENCHMARK_MAIN();
