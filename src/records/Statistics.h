// Counts, points and best times per pupil and level, computed from the grade file, and the
// small shared helpers of the rankings.
#pragma once

#include "core/AppState.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace tavoro::records {

// The newest records the statistics read: at most 20000.
constexpr int kMaxLoaded = 20000;

// The records the statistics read, allocated once and reused by every computation.
struct LoadedRecords {
    // The tables are filled block by block of this many pupils, whose rows stay in the
    // processor's caches meanwhile.
    static constexpr int kBlockPupils = 128;
    static constexpr int kBlocks = (core::kStudents + kBlockPupils - 1) / kBlockPupils;
    static constexpr int kTableTimes = 1000; // times 0..999 may have their points tabled

    // A record read with a pupil 0..5000 and a level 0..35.
    struct Record {
        double date = 0;          // RecDate
        std::int32_t seconds = 0; // RecSeconds
        std::int16_t student = 0; // RecStudent
        std::int8_t level = 0;    // RecLevel
        std::int8_t kept = 0;     // 1: counted (pupil not 0, level not 0, date not negative);
                                  // 0: read for the best time only
    };

    LoadedRecords() : byBlock(kMaxLoaded), pointsTable(core::kLevels * kTableTimes) {}
    // The records grouped by block of pupils, in file order within a block: block b's are
    // byBlock[blockEnd[b - 1] .. blockEnd[b] - 1] (from 0 for block 0).
    std::vector<Record> byBlock;
    std::array<int, kBlocks> blockEnd{};
    int LoadedCount = 0;     // the records counted (kept)
    int LoadRetryCount = 0;  // file-not-found retries of the current load
    std::vector<char> image; // the bytes read
    // The points of the times 0..target of each level with a target below 1000 seconds,
    // made afresh by every computation.
    std::vector<std::int32_t> pointsTable;
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

// Reads the newest 20000 records of the grade file into `loaded`. A missing file (folder)
// is tried again every 5 seconds, four times, then "ファイルがありません" ends the program; a
// locked or busy file is tried again every second without limit. Returns false when an
// error ended the program (after its message box).
bool LoadGradeRecords(core::AppState &state, LoadedRecords &loaded);

// Takes `count` whole 44-byte records (the window of the file that is read, see
// NewestWindow) into `loaded`, grouped by block of pupils; a record whose pupil is outside 0..5000
// or whose level is outside 0..35 is left out.
void GroupRecords(const char *records, std::int64_t count, LoadedRecords &loaded);

// Sets every statistics table from the loaded records: PersonalBest over every record read
// (99999 when there is none), SchoolBest over pupils 1..1000, and the eight counts.
void FillStatistics(core::AppState &state, LoadedRecords &loaded);

// GroupRecords and FillStatistics: the computation on records already in memory (the
// data tool's).
void ComputeStatisticsFromImage(core::AppState &state, const char *records, std::int64_t count,
                                LoadedRecords &loaded);

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

// 1 when `grade` passes the school-year filter text ("全学年", "小学生全体", "小１"..,
// "中学生全体", "中１"..), else 0.
int GradeFilterMatch(const QString &filter, int grade);

// Sorts entries 1..n of keys ascending and moves tags with them: a top-down merge sort in
// which equal keys come out in the reverse of their input order.
void SortByKey(int n, std::vector<std::int32_t> &keys, std::vector<core::Variant> &tags);

} // namespace tavoro::records
