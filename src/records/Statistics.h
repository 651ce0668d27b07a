// Counts, points and best times per pupil and level, computed from the newest records of the
// grade file.
#pragma once

#include "core/AppState.h"
#include "records/GradeLoad.h"

#include <cstdint>

namespace tavoro::records {

// Whether a counted record of `seconds` is a run: below 6000 seconds. A slower record earns
// its points but is counted as no run.
bool IsRunTime(std::int32_t seconds);

// Recomputes every statistics table of the state from the newest 20000 records of the
// grade file. Returns false when an error ended the program (after its message box).
bool ComputeStatistics(core::AppState &state);
// The same, keeping the records read in `loaded`.
bool ComputeStatistics(core::AppState &state, LoadedRecords &loaded);

// Recomputes every statistics table from records read: PersonalBest over every record (99999
// when there is none), SchoolBest over pupils 1..1000, and the eight counts over the counted
// records (CountedRecord), each earning RecordPoints.
void ComputeStatisticsFromRecords(core::AppState &state, const std::vector<GradeRecord> &records);

// The same from `count` whole 44-byte records in memory (the window of the file that is
// read, see NewestWindow).
void ComputeStatisticsFromImage(core::AppState &state, const char *records, std::int64_t count);

} // namespace tavoro::records
