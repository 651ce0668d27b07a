// The benchmarks' summary: the median of each benchmark's repetitions, kept as they are
// reported, for the figures printed beside their targets.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace tavoro::bench {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            if (r.aggregate_name == "median")
                medians[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians; // in each benchmark's unit
};

} // namespace tavoro::bench
