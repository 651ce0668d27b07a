// The points a run earns: from its time against the level's target time, then times the
// level's multiplier.
#pragma once

#include "core/AppState.h"

#include <cstdint>

namespace tavoro::records {

// The points of a run of `seconds` against the target time (before the multiplier):
// the integer part of ((target - seconds) / target)^3 x 50 + 5 up to the target (5..55),
// 4 below twice the target, 1 below ten times, else 0; 0 for a time-out (above 99997
// seconds). A target of 0 or below gives 0.
int RunPoints(std::int32_t target, std::int32_t seconds);

// The time a grade record's points are worked out from below the target: the number formed
// by the first three characters of the decimal text of `seconds` (1500 -> 150, -1234 -> -12);
// a time below 1000 seconds is itself.
std::int32_t ThreeCharacterTime(std::int32_t seconds);

// A level's multiplier taken as the decimal number its shortest text writes (0.7, 1.1), so
// that points x multiplier is exact: 10 x 0.7 gives 7, not 6.9999999.
class PointMultiplier {
public:
    explicit PointMultiplier(float multiplier);

    // points x multiplier with the remainder dropped (toward 0), held within int.
    int times(int points) const;

private:
    float m_value;             // as given, for a multiplier that is not finite
    std::int64_t m_digits = 0; // the multiplier is m_digits x 10^m_exponent
    int m_exponent = 0;
};

// points x multiplier with the remainder dropped, on the multiplier as written.
int EarnedPoints(float multiplier, int points);

// The points a grade record earns in the statistics, multiplier applied: the run points of
// its time, the formula taking ThreeCharacterTime of it.
int RecordPoints(std::int32_t target, const PointMultiplier &multiplier, std::int32_t seconds);
// The same with the target and multiplier of `level` (0 for a level outside 0..35).
int RecordPoints(const core::Criteria &criteria, int level, std::int32_t seconds);

} // namespace tavoro::records
