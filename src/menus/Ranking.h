// One level's ranking of the pupils listed by the name selection, as the level menu's list
// under the level shows it: by best time, or by points (cumulative or today's order).
#pragma once

#include "core/ListBox.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
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

// What every level's lines take from the listed pupils: whether the group filter shows
// each, and the start of his line (mark and name). Made once for all the levels of a view.
struct RankingPupils {
    std::vector<char> shown;    // by pupil number: 1 when the group filter passes him
    std::vector<QString> marks; // by pupil number: "●" or the grade mark
    std::vector<QString> names; // by pupil number: as the roster keeps them
    // By pupil number: the class of his mark ("●", "①".."⑥", the roman numerals, "　"); -1
    // for a mark of none of them.
    std::vector<std::int8_t> markClasses;
    // The mark and Name5 of a pupil.
    QString lead(int pupil) const;

    // Whether RankingPupilsOf(state, groupFilter) would give these again: the same listed
    // pupils with the same names, birth years and marks. Copies nothing.
    bool madeFrom(const core::AppState &state, const QString &groupFilter) const;

    // What they were made from.
    QString filter;
    int schoolYear = 0;
    int current = 0;
    std::vector<std::int16_t> listed;     // the roster's pupil numbers in listed order
    std::vector<std::int16_t> birthYears; // by pupil number
};
RankingPupils RankingPupilsOf(const core::AppState &state, const QString &groupFilter);

// The lines of the ranking of `level` in rank order, before the sorted list orders them by
// text. Ranks count every listed pupil; the group filter only hides lines.
QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const QString &groupFilter);
QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const RankingPupils &pupils);

// The same lines as the level's sorted list orders them, for the list box under the level.
//
// A line starts with its two-character rank ("--" for no time), and two lines of different
// ranks are ordered by those two characters alone (their first difference is a digit, a
// space or "-"). After the rank comes the mark, and marks of different classes differ in
// their first letter too ("①" sorts as "1", "　" as a space, "Ⅰ".."Ⅲ" all begin with "I").
// So the lines are grouped by rank and mark class, the ranks, the counts and the order of
// the groups are worked out at once, and a group's lines are made and sorted only when one
// of them is first read.
class RankingList final : public core::ListRows {
public:
    RankingList(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                std::shared_ptr<const RankingPupils> pupils);

    int count() const override { return m_count; }
    QString text(int row) const override;

    // Whether a list made now with these arguments would hold the same lines: the same
    // view of the same values for the same pupils (the very pupils this list was made
    // for). Costs a small part of making the list.
    bool sameLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                   const std::shared_ptr<const RankingPupils> &pupils) const;

private:
    struct Pupil {
        int number = 0;
        int rank = 0;
        std::int32_t first = 0;  // best time, or the points the order ranks by
        std::int32_t second = 0; // the other points
    };
    // The pupil at roster index `k` with the values the list ranks him by.
    Pupil valuesOf(const core::AppState &state, int k, int level) const;
    struct Group {
        int start = 0; // first row
        int count = 0;
        bool made = false;
        QStringList lines;
    };
    const Group &made(int group) const;

    ListMode m_mode;
    PointsOrder m_order;
    int m_current = 0;
    std::shared_ptr<const RankingPupils> m_pupils;
    std::vector<Pupil> m_ranked;         // the listed pupils, in roster order
    std::vector<int> m_members;          // indices into m_ranked, group after group
    mutable std::vector<Group> m_groups; // in the order of their rank texts
    int m_count = 0;
};

} // namespace tavoro::menus
