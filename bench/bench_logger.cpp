// Cost of a log line against spdlog's synchronous file logger writing the same line, both
// flushing every line: a filtered-out call, a written line, and eight threads writing at once.
// Prints the ratios of the medians at the end of the run.
#include "core/log/Log.h"
#include "core/log/RepeatLimiter.h"
#include "MedianReporter.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <cstdio>
#include <memory>

using namespace kvr::log;

namespace {

constexpr int kThreads = 8;

// The level name as our lines carry it.
class LevelFlag : public spdlog::custom_flag_formatter
{
public:
    void format(const spdlog::details::log_msg &message, const std::tm &, spdlog::memory_buf_t &out) override
    {
        const char *name = message.level == spdlog::level::err    ? "ERR"
                           : message.level == spdlog::level::warn  ? "WRN"
                           : message.level == spdlog::level::info  ? "INF"
                                                                    : "DBG0";
        out.append(name, name + qstrlen(name));
    }
    std::unique_ptr<custom_flag_formatter> clone() const override { return std::make_unique<LevelFlag>(); }
};

// The thread id in hex, as our lines carry it.
class HexThreadFlag : public spdlog::custom_flag_formatter
{
public:
    void format(const spdlog::details::log_msg &message, const std::tm &, spdlog::memory_buf_t &out) override
    {
        char digits[16];
        int count = 0;
        for (size_t id = message.thread_id;; id >>= 4) {
            digits[count++] = "0123456789abcdef"[id & 0xf];
            if (id < 16)
                break;
        }
        while (count > 0)
            out.push_back(digits[--count]);
    }
    std::unique_ptr<custom_flag_formatter> clone() const override { return std::make_unique<HexThreadFlag>(); }
};

struct SpdlogFile
{
    QTemporaryDir dir;
    std::shared_ptr<spdlog::logger> logger;

    SpdlogFile()
    {
        auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(
            dir.filePath(QStringLiteral("spdlog.txt")).toStdString());
        logger = std::make_shared<spdlog::logger>("bench", std::move(sink));
        auto formatter = std::make_unique<spdlog::pattern_formatter>(spdlog::pattern_time_type::utc, "\n");
        // "[date time.ms: LVL - function] " padded to column 80, as our line.
        formatter->add_flag<LevelFlag>('q').add_flag<HexThreadFlag>('k').set_pattern(
            "[%Y-%m-%d %H:%M:%S.%e: %q - %-46!] %v (0x%k).");
        logger->set_formatter(std::move(formatter));
        logger->set_level(spdlog::level::trace);
        logger->flush_on(spdlog::level::trace);
    }
};

std::unique_ptr<SpdlogFile> spdlogFile;
std::unique_ptr<QTemporaryDir> ourDir;

void openOurFile()
{
    ourDir = std::make_unique<QTemporaryDir>();
    Logger &logger = Logger::instance();
    logger.setFlags(ALL);
    logger.setConsoleOutput(false);
    logger.setFileOutput(true, ourDir->path(), QStringLiteral("bench"));
}

void closeOurFile()
{
    Logger::instance().setFileOutput(false);
    ourDir.reset();
}

} // namespace

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

static void BM_SpdlogFilteredOutCall(benchmark::State &state)
{
    SpdlogFile file;
    file.logger->set_level(spdlog::level::err);
    int value = 0;
    for (auto _ : state) {
        SPDLOG_LOGGER_CALL(file.logger, spdlog::level::debug, "value {}", ++value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_SpdlogFilteredOutCall);

// A warning formatted and written to a log file.
static void BM_WrittenLogLine(benchmark::State &state)
{
    if (state.thread_index() == 0)
        openOurFile();
    int value = 0;
    for (auto _ : state)
        LOG_WRN(QStringLiteral("value %1 reached the limit").arg(++value));
    if (state.thread_index() == 0)
        closeOurFile();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WrittenLogLine);
BENCHMARK(BM_WrittenLogLine)->Threads(kThreads)->UseRealTime();

// A frame's warning repeated through its stream's limiter with the log file open: counted, not
// written (the count line comes once per 10 s).
static void BM_LimitedRepeat(benchmark::State &state)
{
    openOurFile();
    {
        RepeatLimiter limiter;
        const QString text = QStringLiteral("Frame announces an image of 60000x60000 pixels, not decoded.");
        for (auto _ : state)
            LOG_WRN_LIMITED(limiter, text);
    }
    closeOurFile();
}
BENCHMARK(BM_LimitedRepeat);

static void BM_SpdlogWrittenLine(benchmark::State &state)
{
    if (state.thread_index() == 0)
        spdlogFile = std::make_unique<SpdlogFile>();
    int value = 0;
    for (auto _ : state)
        SPDLOG_LOGGER_CALL(spdlogFile->logger, spdlog::level::warn, "value {} reached the limit", ++value);
    if (state.thread_index() == 0)
        spdlogFile.reset();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SpdlogWrittenLine);
BENCHMARK(BM_SpdlogWrittenLine)->Threads(kThreads)->UseRealTime();

int main(int argc, char **argv)
{
    return MedianReporter::run(argc, argv, 9, [](const MedianReporter &r) {
        const double filtered = r.nanoseconds("BM_FilteredOutLogCall");
        const double spdlogFiltered = r.nanoseconds("BM_SpdlogFilteredOutCall");
        std::printf("filtered-out call: %.2f ns, spdlog %.2f ns, ratio %.2f\n", filtered, spdlogFiltered,
                    MedianReporter::ratio(filtered, spdlogFiltered));
        const double written = r.nanoseconds("BM_WrittenLogLine");
        const double spdlogWritten = r.nanoseconds("BM_SpdlogWrittenLine");
        std::printf("written, flushed line: %.0f ns, spdlog %.0f ns, ratio %.2f\n", written, spdlogWritten,
                    MedianReporter::ratio(written, spdlogWritten));
        std::printf("repeat through a limiter: %.1f ns, %.0f times less than a written line\n",
                    r.nanoseconds("BM_LimitedRepeat"), MedianReporter::ratio(written, r.nanoseconds("BM_LimitedRepeat")));
        const std::string threads = "/threads:" + std::to_string(kThreads);
        const double lines = r.counter("BM_WrittenLogLine" + threads, "items_per_second");
        const double spdlogLines = r.counter("BM_SpdlogWrittenLine" + threads, "items_per_second");
        std::printf("%d threads: %.0f lines/s, spdlog %.0f lines/s, ratio %.2f\n", kThreads, lines, spdlogLines,
                    MedianReporter::ratio(lines, spdlogLines));
    });
}
