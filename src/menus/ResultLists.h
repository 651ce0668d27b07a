// The level menu's lists of runs: today's runs and the runs of a period, one list per level,
// and the colour a list of times takes from its slowest run.
#pragma once

#include "core/AppState.h"
#include "menus/Ranking.h"
#include "records/GradeFile.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavoro::menus {

// The lines of each level's list, indexed by level (index 0 stays empty).
using LinesByLevel = std::array<QStringList, core::kLevels>;

// Runs of this many seconds or more ended by time-out; their lines have no time.
constexpr std::int32_t kTimeOutLineSeconds = 90000;

// The records today's list looks at: the last 1000 of the file.
constexpr std::int64_t kTodayRecords = 1000;

// The time of day of a record's RecClock as "hh:mm".
QString ClockText(double recClock);
// A record's date as "mm/dd".
QString MonthDayText(double recDate);
// The last five characters of six spaces, the number and "秒": "   9秒", "1234秒".
QString SecondsText(std::int32_t seconds);

// The points a run shows in the lists: the points of its time against the level's target,
// the formula taking the first three characters of the time, without the multiplier.
int ListRunPoints(const core::Criteria &criteria, int level, std::int32_t seconds);

// The line of a record in today's list.
QString TodayLine(const core::AppState &state, const records::GradeRecord &record);
// The line of a record in a period's list: its time first in the times view, its points
// first in the points view.
QString PeriodLine(const core::AppState &state, const records::GradeRecord &record,
                   ListMode mode);

// Today's runs of the pupils the group filter passes, by level 1..LevelCount, in the order
// of the records.
LinesByLevel TodayLines(const core::AppState &state,
                        const std::vector<records::GradeRecord> &records,
                        const QString &groupFilter);
// The runs dated later than today minus `periodDays`, the same way.
LinesByLevel PeriodLines(const core::AppState &state,
                         const std::vector<records::GradeRecord> &records, int periodDays,
                         ListMode mode, const QString &groupFilter);

// The days of a report period (1 this week, 2 since last week, 3 a month, 4 a year, 5 all):
// the week runs from Monday; on a Sunday it is the last seven days.
int PeriodDaysFor(int reportPeriod, const QDate &today);

// The colour a sorted list of times takes from the last line that is not a time-out: the
// colour of the target time up to the level's target time (green), of the minimum time up to
// its minimum time (light green), else grey. None when the list has no such line.
enum class TimesColour { Target, Minimum, Slower };
std::optional<TimesColour> TimesListColour(const QStringList &sortedLines,
                                           std::int32_t targetTime, std::int32_t minTime);

} // namespace tavoro::menus
