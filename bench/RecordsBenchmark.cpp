// The statistics at full size: 20000 records of 5000 pupils over 35 levels. Prints the median
// time of ComputeStatistics, the median time of the floor it cannot beat (reading the grade
// file into memory and clearing the bytes of the tables once), measured in the same run, and
// their ratio.
#include "core/AppState.h"
#include "platform/RecordFile.h"
#include "records/GradeFile.h"
#include "records/Statistics.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include <QFile>

#include "Medians.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <vector>

using namespace tavoro;

namespace {

constexpr int kRecords = 20000;

// The program's state on the fakes of the tests (the clock at 09:00 on 2026-12-09), over a
// temporary installation whose grade file holds a year of runs of the whole school.
struct Fixture {
    test::Installation inst;
    test::FakeWorld world;

    Fixture()
    {
        core::AppState &state = *world.state;
        state.settings.DataFolder = inst.dataFolder();
        state.settings.ProgramDataFolder = inst.programDataFolder();
        core::Criteria &c = state.criteria;
        for (int level = 1; level <= core::kMaxLevel; ++level) {
            c.TargetTime[level] = 30 + 5 * level;
            c.PointMultiplier[level] = level % 3 == 0 ? 1.5f : (level % 3 == 1 ? 1.0f : 0.7f);
            c.PassPeriodDays[level] = core::Variant(30);
            c.OverusePeriodDays[level] = core::Variant(7);
        }
        // The runs in the order they were recorded.
        std::mt19937 rng(20261209);
        const double today = records::DateValue(world.clock.today());
        std::vector<double> days(kRecords);
        for (double &d : days)
            d = today - double(rng() % 365);
        std::sort(days.begin(), days.end());
        QByteArray bytes(kRecords * records::kGradeRecordSize, '\0');
        for (int i = 0; i < kRecords; ++i) {
            records::GradeRecord r;
            r.RecDate = days[std::size_t(i)];
            r.RecClock = double(rng() % 86400) / 86400.0;
            r.RecStudent = std::int16_t(1 + rng() % core::kMaxStudent);
            r.RecLevel = std::int16_t(1 + rng() % core::kMaxLevel);
            const unsigned kind = rng() % 100;
            r.RecSeconds = kind < 80   ? std::int32_t(10 + rng() % 110)
                           : kind < 90 ? std::int32_t(120 + rng() % 1900)
                           : kind < 95 ? std::int32_t(6000 + rng() % 3000)
                                       : core::kNoTime;
            r.RecSchool = records::GradeTextField(QStringLiteral("12345"));
            r.RecPointsText = records::GradeTextField(QStringLiteral("0"));
            records::EncodeGradeRecord(r, bytes.data() + i * records::kGradeRecordSize);
        }
        QFile f(records::GradeFilePath(state.settings));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_ComputeStatistics(benchmark::State &bs)
{
    core::AppState &state = *fixture().world.state;
    for (auto _ : bs) {
        if (!records::ComputeStatistics(state))
            bs.SkipWithError("ComputeStatistics failed");
        benchmark::ClobberMemory();
    }
}

template <typename T> void clearBytes(T &table)
{
    std::memset(static_cast<void *>(table.data()), 0, table.size() * sizeof(*table.data()));
}

// What no computation of the statistics can avoid: the grade file read into memory, and
// every table's bytes written once.
void BM_Floor(benchmark::State &bs)
{
    core::AppState &state = *fixture().world.state;
    core::Statistics &st = state.stats;
    std::vector<char> buffer(std::size_t(kRecords) * records::kGradeRecordSize);
    for (auto _ : bs) {
        platform::RecordFile file;
        if (!records::OpenGradeFile(state, file))
            bs.SkipWithError("cannot open");
        const std::int64_t length = file.length();
        if (file.readAt(0, buffer.data(), length) != length)
            bs.SkipWithError("cannot read");
        file.close();
        clearBytes(st.TotalRuns);
        clearBytes(st.TotalPoints);
        clearBytes(st.PeriodRuns);
        clearBytes(st.PeriodPoints);
        clearBytes(st.OveruseRuns);
        clearBytes(st.OveruseEarned);
        clearBytes(st.RunsToday);
        clearBytes(st.PointsToday);
        clearBytes(st.PersonalBest);
        clearBytes(st.SchoolBest);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_ComputeStatistics)->Unit(benchmark::kMicrosecond)->Repetitions(21);
BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond)->Repetitions(21);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    fixture(); // the grade file is written before any timing
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto stats = reporter.medians.find("BM_ComputeStatistics");
    const auto floor = reporter.medians.find("BM_Floor");
    if (stats == reporter.medians.end() || floor == reporter.medians.end())
        return 0; // a filter left one of them out
    const double ratio = stats->second / floor->second;
    std::printf("\n%d records, %d pupils, %d levels\n", kRecords, core::kMaxStudent,
                core::kMaxLevel);
    std::printf("ComputeStatistics median: %.1f us\n", stats->second);
    std::printf("floor median (read file + clear tables): %.1f us\n", floor->second);
    std::printf("ratio: %.2f (for information)\n", ratio);
    return 0;
}
