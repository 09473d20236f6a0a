#pragma once

// Rows of the table `make bench` ends with. Every benchmark program prints, on stdout, one
// line per operation it checks against a target; scripts/bench-table collects the lines of
// all programs into one table and marks the rows whose target is missed.
//
//   BENCH <operation>\t<ms>\t<reference>\t<reference ms>\t<target>
//
//   "BENCH " starts the line; the fields after it are separated by one tab each, and never
//   hold a tab themselves.
//   operation     what was timed, in words: "turn left 24 MP".
//   ms            its time in milliseconds (wall clock), '.' as the decimal point.
//   reference     what it is compared with, measured in the same run: "cjpeg -quality 100";
//                 "-" when there is none.
//   reference ms  the reference's time in milliseconds, "-" when there is none.
//   target        the highest allowed ratio ms / reference ms ("1.30"); or the highest
//                 allowed time in milliseconds followed by "ms" ("100ms"), an absolute
//                 target: a reference given with it is then shown for scale only.
//
// printBenchRow prints a row; quickest and timedMs time the hand-driven ones; BenchTimes is a
// console reporter for Google Benchmark that also keeps each benchmark's wall-clock time, so that a
// program's main can print its rows after RunSpecifiedBenchmarks. With repetitions, the time kept
// is the "min" statistic when the benchmark adds it (withMinimum: the machine is shared, and other
// work only ever adds time), else the median; without, the mean.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

// One row; a time that is NaN (a benchmark filtered out or failed) prints no row.
inline void printBenchRow(const std::string& operation, double ms, const std::string& reference,
                          double referenceMs, double targetRatio) {
    if (std::isnan(ms) || std::isnan(referenceMs))
        return;
    std::printf("BENCH %s\t%.2f\t%s\t%.2f\t%.2f\n", operation.c_str(), ms, reference.c_str(),
                referenceMs, targetRatio);
    std::fflush(stdout);
}

// One row whose target is an absolute time in milliseconds; the reference, when given, is
// shown for scale.
inline void printBenchRowMs(const std::string& operation, double ms, double targetMs,
                            const std::string& reference = "-",
                            double referenceMs = std::numeric_limits<double>::quiet_NaN()) {
    if (std::isnan(ms))
        return;
    if (reference == "-" || std::isnan(referenceMs))
        std::printf("BENCH %s\t%.2f\t-\t-\t%gms\n", operation.c_str(), ms, targetMs);
    else
        std::printf("BENCH %s\t%.2f\t%s\t%.2f\t%gms\n", operation.c_str(), ms, reference.c_str(),
                    referenceMs, targetMs);
    std::fflush(stdout);
}

// Ends a benchmark program that cannot go on (its set-up failed), saying why on stderr.
[[noreturn]] inline void benchFail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

// The quickest of several runs: the machine may be shared, and other work only ever adds time.
inline double quickest(const std::vector<double>& ms) {
    return *std::min_element(ms.begin(), ms.end());
}

// Wall-clock milliseconds that work takes.
inline double timedMs(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Adds the "min" statistic over the repetitions of a benchmark; BenchTimes keeps it.
inline benchmark::internal::Benchmark* withMinimum(benchmark::internal::Benchmark* benchmark) {
    return benchmark->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

class BenchTimes : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal: rows read from a pipe must start their line.
    BenchTimes() : ConsoleReporter(::isatty(STDOUT_FILENO) != 0 ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.error_occurred)
                continue;
            const double ms =
                run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            Times& times = m_times[run.run_name.function_name];
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "min")
                    times.minimum = ms;
                else if (run.aggregate_name == "median")
                    times.median = ms;
            } else {
                times.sum += ms;
                ++times.count;
            }
        }
        ConsoleReporter::ReportRuns(reports);
    }

    // Wall-clock milliseconds of the benchmark function named name (as registered), NaN when
    // it did not run or failed.
    double ms(const std::string& name) const {
        const auto it = m_times.find(name);
        if (it == m_times.end())
            return std::numeric_limits<double>::quiet_NaN();
        if (!std::isnan(it->second.minimum))
            return it->second.minimum;
        if (!std::isnan(it->second.median))
            return it->second.median;
        return it->second.count > 0 ? it->second.sum / it->second.count
                                    : std::numeric_limits<double>::quiet_NaN();
    }

private:
    struct Times {
        double minimum = std::numeric_limits<double>::quiet_NaN();
        double median = std::numeric_limits<double>::quiet_NaN();
        double sum = 0;
        int count = 0;
    };
    std::map<std::string, Times> m_times;
};
