// Counts, points and best times per pupil and level, computed from the grade file, and the
// small shared helpers of the rankings.
#pragma once

#include "core/Variant.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace tavoro::core {
struct AppState;
struct Criteria;
struct Statistics;
} // namespace tavoro::core

namespace tavoro::records {

// The newest records the statistics read: at most 20000.
constexpr int kMaxLoaded = 20000;

// One retained record of the load (pupil 1..5000, level 1..35, date not negative).
struct LoadedRecord {
    double LoadedDate = 0;  // RecDate
    double LoadedClock = 0; // RecClock
    std::int16_t LoadedStudent = 0;
    std::int16_t LoadedLevel = 0;
    std::int32_t LoadedTime = 0;   // RecSeconds
    std::int32_t LoadedPoints = 0; // numeric value of RecPointsText; the statistics ignore it
};

// The loaded-record tables and the buffer the grade file is read into, allocated once and
// reused by every computation.
struct LoadedRecords {
    LoadedRecords() : entries(kMaxLoaded) {}
    std::vector<LoadedRecord> entries; // entries 0..LoadedCount-1 used
    int LoadedCount = 0;
    int LoadRetryCount = 0; // file-not-found retries of the current load
    std::vector<char> image;
};

// Which records of a file of `recordCount` whole records are read: the newest 20000.
struct RecordWindow {
    std::int64_t first = 0; // 0-based index of the first record read
    std::int64_t count = 0;
};
RecordWindow NewestWindow(std::int64_t recordCount);

// Recomputes every statistics table of the state from the newest 20000 records of the
// grade file. Returns false when an error ended the program (after its message box).
bool ComputeStatistics(core::AppState &state);
// The same on the caller's loaded-record tables.
bool ComputeStatistics(core::AppState &state, LoadedRecords &loaded);

// Reads the newest 20000 records of the grade file into `loaded`, sets PersonalBest over
// every record read and SchoolBest over pupils 1..1000. A missing file (folder) is tried
// again every 5 seconds, four times, then "ファイルがありません" ends the program; a locked or
// busy file is tried again every second without limit. Returns false when an error ended
// the program (after its message box).
bool LoadGradeRecords(core::AppState &state, LoadedRecords &loaded);

// The load and the counts on records already in memory: `records` holds `count` whole
// 44-byte records, the window of the file that is read (see NewestWindow). Used by
// LoadGradeRecords/ComputeStatistics after the file is read, and by the data tool.
void LoadRecordsFromImage(core::AppState &state, const char *records, std::int64_t count,
                          LoadedRecords &loaded);
void ComputeStatisticsFromImage(core::AppState &state, const char *records, std::int64_t count,
                                LoadedRecords &loaded);

// Sets the eight count tables (all but PersonalBest) to 0.
void ClearCountTables(core::Statistics &stats);

// Adds the loaded records into the count tables (which ClearCountTables has emptied).
void AccumulateStatistics(core::AppState &state, const LoadedRecords &loaded);

// The points of a run of `seconds` against the target time (before the multiplier):
// 5..55 up to the target, 4 below twice the target, 1 below ten times, else 0; 0 for a
// time-out. A target of 0 gives 0.
int RunPoints(std::int32_t target, std::int32_t seconds);

// The points a record earns in the statistics (the three-character rule for times of 1000
// seconds and more), multiplier applied.
int RecordPoints(const core::Criteria &criteria, int level, std::int32_t seconds);

// points x multiplier with the remainder dropped, taken on the multiplier's decimal value as
// written (0.7 x 10 gives 7, 1.1 x 10 gives 11).
int EarnedPoints(float multiplier, int points);

// The mark of a school grade in report lines: ①..⑥, Ⅰ..Ⅲ, else a full-width space.
QString GradeMark(int grade);

// 1 when `grade` passes the school-year filter text ("全学年", "小学生全体", "小１".., "中学生全体",
// "中１"..), else 0.
int GradeFilterMatch(const QString &filter, int grade);

// Sorts entries 1..n of keys ascending and moves tags with them: a top-down merge sort in
// which equal keys come out in the reverse of their input order.
void SortByKey(int n, std::vector<std::int32_t> &keys, std::vector<core::Variant> &tags);

} // namespace tavoro::records
