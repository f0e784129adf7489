#include "MedianReporter.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string keyOf(const benchmark::BenchmarkReporter::Run &run)
{
    std::string key = run.run_name.function_name;
    if (!run.run_name.args.empty())
        key += "/" + run.run_name.args;
    if (!run.run_name.threads.empty())
        key += "/" + run.run_name.threads;
    return key;
}

} // namespace

int MedianReporter::run(int argc, char **argv, int repetitions, const Summary &summary)
{
    // Defaults first: a flag given on the command line comes later and wins.
    std::string repetitionsFlag = "--benchmark_repetitions=" + std::to_string(repetitions);
    std::string interleavingFlag = "--benchmark_enable_random_interleaving=true";
    std::vector<char *> arguments{argv[0], repetitionsFlag.data(), interleavingFlag.data()};
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nMedians of the repetitions, taken in turn:\n");
    summary(reporter);
    return 0;
}

void MedianReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration)
            continue;
        const std::string key = keyOf(run);
        m_times[key].push_back(run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit));
        for (const auto &counterEntry : run.counters)
            m_counters[key][counterEntry.first].push_back(counterEntry.second.value);
    }
    ConsoleReporter::ReportRuns(runs);
}

double MedianReporter::median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + long(middle), values.end());
    if (values.size() % 2)
        return values[middle];
    const double upper = values[middle];
    return (upper + *std::max_element(values.begin(), values.begin() + long(middle))) / 2;
}

double MedianReporter::nanoseconds(const std::string &key) const
{
    const auto found = m_times.find(key);
    return found == m_times.end() ? 0 : median(found->second);
}

double MedianReporter::counter(const std::string &key, const std::string &name) const
{
    const auto found = m_counters.find(key);
    if (found == m_counters.end())
        return 0;
    const auto values = found->second.find(name);
    return values == found->second.end() ? 0 : median(values->second);
}

double MedianReporter::ratio(double a, double b)
{
    return a > 0 && b > 0 ? a / b : 0;
}
