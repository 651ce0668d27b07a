// One level's ranking of the pupils listed by the name selection, as the level menu's list
// under the level shows it: by best time, or by points (cumulative or today's order).
#pragma once

#include "menus/ListTexts.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::menus {

enum class ListMode { Times = 1, Points = 2 };
enum class PointsOrder { Cumulative = 1, Today = 2 };

// The pupil's name with trailing spaces removed, filled with full-width spaces and cut to
// five characters.
QString Name5(const QString &name);

// The rank right-aligned in `width` characters: " 1", "12" in two, "  1", "123" in three.
QString RankText(int rank, int width = 2);

// The pupil's school grade: SchoolYear - birth year - 6.
int PupilGrade(const core::AppState &state, int pupil);

// "●" for the current pupil, else the mark of the pupil's school grade.
QString PupilMark(const core::AppState &state, int pupil);

// A pupil of a ranking with his rank and the value it is decided by (his best time, or the
// points of the order).
struct RankedPupil {
    int pupil = 0;
    int rank = 0;
    long long primary = 0;
};

// The listed pupils of the ranking of `level` in rank order (roster order among equals), with
// their ranks, as far as the group filter passes them; in today's points order only those
// with points today. Ranks count every listed pupil.
std::vector<RankedPupil> RankedPupils(const core::AppState &state, int level, ListMode mode,
                                      PointsOrder order, const QString &groupFilter);

// The lines of the ranking of `level` in rank order. Ranks count every listed pupil; the
// group filter only hides lines. The ranks take the width of the largest rank shown (two
// characters below 100), so that the lines' text order stays their rank order; a pupil
// without a time has as many "-" in place of his rank. The points columns (3 characters
// today, 5 so far) widen the same way for a number that does not fit.
QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const QString &groupFilter);

// The same lines in the order of the level's sorted list.
QStringList SortedRankingLines(const core::AppState &state, int level, ListMode mode,
                               PointsOrder order, const QString &groupFilter);

} // namespace tavoro::menus
