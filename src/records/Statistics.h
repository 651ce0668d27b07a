// Counts, points and best times per pupil and level, computed from the grade file, and the
// small shared helpers of the rankings.
#pragma once

#include "core/AppState.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavoro::records {

// The newest records the statistics read: at most 20000.
constexpr int kMaxLoaded = 20000;

struct PointsRules;

// The records the statistics read, allocated once and reused by every computation.
struct LoadedRecords {
    // The tables are filled block by block of this many pupils, whose rows stay in the
    // processor's caches meanwhile.
    static constexpr int kBlockPupils = 128;
    static constexpr int kBlocks = (core::kStudents + kBlockPupils - 1) / kBlockPupils;
    static constexpr int kTableTimes = 1000; // times 0..999 may have their points tabled

    // A record read with a pupil 0..5000 and a level 0..35, reduced to what the tables take
    // from it: the entry it goes to, its time, its points and the counts it enters.
    struct Record {
        static constexpr std::uint32_t kEntryMask = (1u << 18) - 1; // pupil x 36 + level
        // Counted: pupil not 0, level not 0, date not negative. The others are read for the
        // best time only, with no points and no flag below.
        static constexpr std::uint32_t kCounted = 1u << 18;
        static constexpr std::uint32_t kRun = 1u << 19;     // below 6000 seconds
        static constexpr std::uint32_t kPeriod = 1u << 20;  // within the pass period
        static constexpr std::uint32_t kOveruse = 1u << 21; // within the too-much period
        static constexpr std::uint32_t kToday = 1u << 22;   // recorded today
        static constexpr std::uint32_t kRecent = kPeriod | kOveruse | kToday;

        std::uint32_t entry = 0;  // pupil x 36 + level, and the flags
        std::int32_t seconds = 0; // RecSeconds
        std::int32_t points = 0;  // the points earned, multiplier applied; 0 when not counted

        int student() const { return int((entry & kEntryMask) / core::kLevels); }
        int level() const { return int((entry & kEntryMask) % core::kLevels); }
        bool has(std::uint32_t flag) const { return (entry & flag) != 0; }
    };

    // The blocks are shared out in two units, each done whole by one thread: blocks
    // 0..kFirstUnitBlocks - 1, and the others.
    static constexpr int kUnits = 2;
    static constexpr int kFirstUnitBlocks = 18;

    // The fields of a record that the statistics use.
    struct alignas(16) Fields {
        double date = 0;          // RecDate
        std::int16_t student = 0; // RecStudent
        std::int16_t level = 0;   // RecLevel
        std::int32_t seconds = 0; // RecSeconds
    };

    LoadedRecords();
    ~LoadedRecords();
    LoadedRecords(const LoadedRecords &) = delete;
    LoadedRecords &operator=(const LoadedRecords &) = delete;

    // The records taken, grouped by block of pupils and in file order within a block: block
    // b's are byBlock[blockStart[b] .. blockStart[b + 1] - 1].
    std::vector<Record> byBlock;
    std::array<int, kBlocks + 1> blockStart{};
    // The fields of the records of each unit's pupils, in file order: the first unit's from
    // the front, unitCount[0] of them; the second unit's from the back, the first record
    // last, unitCount[1] of them.
    std::vector<Fields> unitFields;
    std::array<int, kUnits> unitCount{};
    int LoadedCount = 0;           // the records counted
    int LoadRetryCount = 0;        // file-not-found retries of the current load
    std::vector<char> image;       // the bytes read
    std::int64_t imageRecords = 0; // the whole records in them
    // The points rule of each level, remade when the level's target or multiplier changes.
    std::unique_ptr<PointsRules> points;
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

// Reads the newest 20000 records of the grade file into `loaded` (image, imageRecords). A
// missing file (folder) is tried again every 5 seconds, four times, then "ファイルがありません"
// ends the program; a locked or busy file is tried again every second without limit.
// Returns false when an error ended the program (after its message box).
bool LoadGradeRecords(core::AppState &state, LoadedRecords &loaded);

// Recomputes every statistics table from `count` whole 44-byte records in memory (the window
// of the file that is read, see NewestWindow): PersonalBest over every record read (99999
// when there is none), SchoolBest over pupils 1..1000, and the eight counts. A record whose
// pupil is outside 0..5000 or whose level is outside 0..35 is left out. `loaded` keeps the
// records as taken, grouped by block of pupils.
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
