#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Console output plus the median of each benchmark's repetitions, for ratios printed at the
// end of the run. run() takes the repetitions in turn (random interleaving), so that a load
// that comes and goes on the machine meets every benchmark alike.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    using Summary = std::function<void(const MedianReporter &)>;

    // Runs the benchmarks with `repetitions` interleaved repetitions unless the command line
    // says otherwise, then calls summary.
    static int run(int argc, char **argv, int repetitions, const Summary &summary);

    void ReportRuns(const std::vector<Run> &runs) override;

    // Keys are the function name, then "/" and the arguments, then "/threads:N" when set.
    // Real time per iteration in nanoseconds; 0 when the benchmark did not run.
    double nanoseconds(const std::string &key) const;
    // A user counter (items_per_second, ratio, ...); 0 when absent.
    double counter(const std::string &key, const std::string &name) const;
    // a / b, or 0 when either is missing.
    static double ratio(double a, double b);

private:
    static double median(std::vector<double> values);

    std::map<std::string, std::vector<double>> m_times;
    std::map<std::string, std::map<std::string, std::vector<double>>> m_counters;
};
