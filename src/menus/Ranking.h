// One level's ranking of the pupils listed by the name selection, as the level menu's list
// under the level shows it: by best time, or by points (cumulative or today's order).
#pragma once

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

// The last `n` characters of four spaces followed by the number.
QString RightNumber(long long value, int n);

// The rank as the last two characters of a space followed by its number.
QString RankText(int rank);

// "●" for the current pupil, else the mark of the pupil's school grade.
QString PupilMark(const core::AppState &state, int pupil);

// What every level's lines take from a pupil: the start of his line (mark and name) and
// whether the group filter shows him. Built once for all the levels of a view.
struct RankingPupils {
    std::vector<QString> lead; // by pupil number: mark + Name5
    std::vector<char> shown;   // by pupil number: 1 when the group filter passes him
};
RankingPupils RankingPupilsOf(const core::AppState &state, const QString &groupFilter);

// The lines of the ranking of `level` in rank order, before the sorted list orders them by
// text. Ranks count every listed pupil; the group filter only hides lines.
QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const QString &groupFilter);
QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const RankingPupils &pupils);

} // namespace tavoro::menus
