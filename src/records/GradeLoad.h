// The reading of the newest records of the grade file for the statistics.
#pragma once

#include "records/GradeFile.h"

#include <cstdint>
#include <vector>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::records {

// The newest records the statistics read: at most 20000.
constexpr int kMaxLoaded = 20000;

// Which records of a file of `recordCount` whole records are read: the newest `newest`.
struct RecordWindow {
    std::int64_t first = 0; // 0-based index of the first record read
    std::int64_t count = 0;
};
RecordWindow NewestWindow(std::int64_t recordCount, std::int64_t newest = kMaxLoaded);

// The records read.
struct LoadedRecords {
    // The whole records of the window in file order, without those whose pupil is outside
    // 0..5000 or whose level is outside 0..35.
    std::vector<GradeRecord> records;
    int LoadedCount = 0;    // how many of them are counted (see CountedRecord)
    int LoadRetryCount = 0; // file-not-found retries of the last load
};

// Whether a record read enters the counts and points: pupil not 0, level not 0 and a date
// not negative. The others are read for the best times only.
bool CountedRecord(const GradeRecord &record);

// Takes `count` whole 44-byte records at `bytes` into `loaded` (records, LoadedCount).
void TakeGradeRecords(const char *bytes, std::int64_t count, LoadedRecords &loaded);

// Reads the newest 20000 whole records of the grade file into `loaded`; a partial record
// at the end of the file is no record. A missing file (folder) is tried again every 5
// seconds, four times, then "ファイルがありません" ends the program; a locked or busy file
// is tried again every second without limit; any other error ends the program with
// "成績ランダムファイル表示". Returns false when an error ended the program (after its
// message box). The level menu's lists read the newest `newest` records the same way.
bool LoadGradeRecords(core::AppState &state, LoadedRecords &loaded,
                      std::int64_t newest = kMaxLoaded);

} // namespace tavoro::records
