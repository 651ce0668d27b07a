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
} // namespace tavoro::core

namespace tavoro::records {

// Recomputes every statistics table of the state from the newest 20000 records of the
// grade file. Returns false when an error ended the program (after its message box).
bool ComputeStatistics(core::AppState &state);

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
