// The benchmarks' summary: the median of each benchmark's repetitions, kept as they are
// reported, and the table that prints each figure beside its target.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavoro::bench {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs) {
            if (r.error_occurred)
                failed.push_back(r.run_name.function_name);
            else if (r.aggregate_name == "median")
                medians[r.run_name.function_name] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::optional<double> median(const std::string &name) const
    {
        const auto it = medians.find(name);
        if (it == medians.end() || std::find(failed.begin(), failed.end(), name) != failed.end())
            return std::nullopt;
        return std::optional<double>(it->second);
    }
    std::map<std::string, double> medians; // in each benchmark's unit
    std::vector<std::string> failed;       // benchmarks that reported an error
};

// A figure of the table: the benchmark that measures it, by name, and its target.
struct Figure {
    std::string benchmark;
    double target;
};
using Figures = std::vector<Figure>;

// Registers `run` as the benchmark `name`, timed in milliseconds over `repetitions`
// repetitions, and its figure with `targetMs`.
template <typename Run>
benchmark::internal::Benchmark *measure(Figures &figures, const std::string &name,
                                        double targetMs, int repetitions, Run run)
{
    figures.push_back({name, targetMs});
    return benchmark::RegisterBenchmark(name.c_str(), std::move(run))
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true);
}

// Figures beside their targets (a figure meets its target when it is at most the target),
// printed as a Markdown table; a figure that was not measured misses its target.
class TargetTable {
public:
    void add(std::string figure, std::optional<double> value, double target,
             std::string unit = "ms")
    {
        m_rows.push_back({std::move(figure), value, target, std::move(unit)});
    }

    // Prints the table; true when every figure met its target.
    bool print() const
    {
        bool all = true;
        std::printf("\n| figure | median | target | met |\n|---|---:|---:|---|\n");
        for (const Row &row : m_rows) {
            const bool met = row.value && *row.value <= row.target;
            all = all && met;
            char value[32] = "not measured";
            if (row.value)
                std::snprintf(value, sizeof value, "%.*f %s", *row.value < 10 ? 2 : 0,
                              *row.value, row.unit.c_str());
            std::printf("| %s | %s | %g %s | %s |\n", row.figure.c_str(), value, row.target,
                        row.unit.c_str(), met ? "yes" : "**no**");
        }
        std::printf("\n%s\n", all ? "every target met" : "TARGETS MISSED");
        return all;
    }

private:
    struct Row {
        std::string figure;
        std::optional<double> value;
        double target;
        std::string unit;
    };
    std::vector<Row> m_rows;
};

} // namespace tavoro::bench
