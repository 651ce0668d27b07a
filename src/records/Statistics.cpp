// The statistics: one pass over the newest records of the grade file.
#include "Statistics.h"

#include "Points.h"

#include "core/AppState.h"
#include "platform/Clock.h"

#include <algorithm>

namespace tavoro::records {
namespace {

constexpr int kSchoolBestPupils = 1000;  // only pupils 1..1000 set SchoolBest

template <typename T> void fillTable(core::PupilLevelTable<T> &table, T value)
{
    std::fill(table.data(), table.data() + table.size(), value);
}

// Every count and point total to 0, every best time to 99999.
void clearTables(core::Statistics &st)
{
    fillTable<std::int16_t>(st.TotalRuns, 0);
    fillTable<std::int32_t>(st.TotalPoints, 0);
    fillTable<std::int16_t>(st.PeriodRuns, 0);
    fillTable<std::int32_t>(st.PeriodPoints, 0);
    fillTable<std::int16_t>(st.OveruseRuns, 0);
    fillTable<std::int32_t>(st.OveruseEarned, 0);
    fillTable<float>(st.RunsToday, 0);
    fillTable<std::int32_t>(st.PointsToday, 0);
    fillTable<std::int32_t>(st.PersonalBest, core::kNoTime);
}

// What the counting of a level's records needs, worked out once per computation.
struct LevelRule {
    std::int32_t target;
    PointMultiplier multiplier;
    double passFrom;    // a date later than this is within the pass period
    double overuseFrom; // ... within the too-much period
};

// Adds the records to cleared tables, then takes SchoolBest from the best times.
void addRecords(core::AppState &state, const std::vector<GradeRecord> &records)
{
    core::Statistics &st = state.stats;
    const core::Criteria &criteria = state.criteria;
    const double today = DateValue(state.clock().today());
    std::vector<LevelRule> levels;
    levels.reserve(core::kLevels);
    for (int level = 0; level <= core::kMaxLevel; ++level) {
        // A period written as a text, or left empty, counts as 0 days: no date is within it.
        levels.push_back({criteria.TargetTime[level],
                          PointMultiplier(criteria.PointMultiplier[level]),
                          today - criteria.PassPeriodDays[level].number(),
                          today - criteria.OverusePeriodDays[level].number()});
    }

    for (const GradeRecord &r : records) {
        if (!GradeRecordInRange(r))
            continue;
        const int k = r.RecStudent;
        const int l = r.RecLevel;
        const std::int32_t t = r.RecSeconds;
        st.PersonalBest(k, l) = std::min(st.PersonalBest(k, l), t);
        if (!CountedRecord(r))
            continue;
        const LevelRule &rule = levels[std::size_t(l)];
        // A record of 6000 seconds or more is no run, but earns its points.
        const int p = RecordPoints(rule.target, rule.multiplier, t);
        const int run = IsRunTime(t) ? 1 : 0;
        st.TotalRuns(k, l) = std::int16_t(st.TotalRuns(k, l) + run);
        st.TotalPoints(k, l) += p;
        if (r.RecDate > rule.passFrom) {
            st.PeriodRuns(k, l) = std::int16_t(st.PeriodRuns(k, l) + run);
            st.PeriodPoints(k, l) += p;
        }
        if (r.RecDate > rule.overuseFrom) {
            st.OveruseRuns(k, l) = std::int16_t(st.OveruseRuns(k, l) + run);
            st.OveruseEarned(k, l) += p;
        }
        if (r.RecDate >= today && r.RecDate < today + 1) {
            st.RunsToday(k, l) += float(run);
            st.PointsToday(k, l) += p;
        }
    }

    for (int level = 1; level <= core::kMaxLevel; ++level) {
        std::int32_t best = core::kNoTime;
        for (int k = 1; k <= kSchoolBestPupils; ++k)
            best = std::min(best, st.PersonalBest(k, level));
        st.SchoolBest[level] = best;
    }
}

} // namespace

bool IsRunTime(std::int32_t seconds)
{
    return seconds < 6000;
}

bool ComputeStatistics(core::AppState &state, LoadedRecords &loaded)
{
    clearTables(state.stats);
    if (!LoadGradeRecords(state, loaded))
        return false;
    addRecords(state, loaded.records);
    return true;
}

bool ComputeStatistics(core::AppState &state)
{
    LoadedRecords loaded;
    return ComputeStatistics(state, loaded);
}

void ComputeStatisticsFromRecords(core::AppState &state, const std::vector<GradeRecord> &records)
{
    clearTables(state.stats);
    addRecords(state, records);
}

void ComputeStatisticsFromImage(core::AppState &state, const char *records, std::int64_t count)
{
    LoadedRecords loaded;
    TakeGradeRecords(records, count, loaded);
    ComputeStatisticsFromRecords(state, loaded.records);
}

} // namespace tavoro::records
