// The per-level ranking lines of the level menu.
#include "Ranking.h"

#include "SortedList.h"

#include "core/AppState.h"
#include "core/Variant.h"
#include "records/Marks.h"
#include "records/SortByKey.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace tavoro::menus {
namespace {

QChar ownMark(const core::AppState &state, int pupil)
{
    return pupil == state.pupil.CurrentStudent ? QChar(0x25CF) : QChar(0x3000); // ● or 　
}

// A line of the times view: rank, lead, best time and the own mark; dashes in place of the
// rank and of the time for no time.
QString TimesLine(int rank, int rankWidth, const QString &lead, long long best, QChar own)
{
    QString line;
    if (best != core::kNoTime) {
        line = RankText(rank, rankWidth) + lead + RightNumber(best, 6);
    } else {
        line += QString(rankWidth, u'-');
        line += lead;
        line += QStringLiteral("------");
    }
    line += u' ';
    line += own;
    return line;
}

// The widths of the points view's two columns: today's points in 3 characters and the
// points so far in 5, each wider when a number of the list does not fit.
struct PointsWidths {
    int today = 3;
    int total = 5;
};

// A line of the points view: rank, lead, today's points "/" the points so far.
QString PointsLine(int rank, int rankWidth, const QString &lead, long long today,
                   long long total, const PointsWidths &widths)
{
    QString line = RankText(rank, rankWidth);
    line.reserve(lead.size() + widths.today + widths.total + 1);
    line += lead;
    line += ColumnNumber(today, widths.today);
    line += u'/';
    line += ColumnNumber(total, widths.total);
    return line;
}

} // namespace

QString Name5(const QString &name)
{
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == u' ')
        --end;
    QString out = name.left(std::min<qsizetype>(end, 5));
    out.resize(5, QChar(0x3000));
    return out;
}

QString RankText(int rank, int width)
{
    return RightAligned(rank, width, width);
}

int PupilGrade(const core::AppState &state, int pupil)
{
    return state.roster.SchoolYear - state.roster.BirthYears[std::size_t(pupil)] - 6;
}

QString PupilMark(const core::AppState &state, int pupil)
{
    if (pupil == state.pupil.CurrentStudent)
        return QStringLiteral("●");
    return records::GradeMark(PupilGrade(state, pupil));
}

std::vector<RankedPupil> RankedPupils(const core::AppState &state, int level, ListMode mode,
                                      PointsOrder order, const QString &groupFilter)
{
    const core::Roster &roster = state.roster;
    const core::Statistics &stats = state.stats;
    const int n = std::clamp(roster.RosterCount, 0, core::kMaxStudent);

    // The pupils in ranking order, each with the value its rank is decided by.
    std::vector<int> pupils;
    std::vector<long long> primary;
    pupils.reserve(std::size_t(n));
    primary.reserve(std::size_t(n));

    if (mode == ListMode::Times) {
        // Ascending best time; sorting twice keeps the roster order among equal times.
        std::vector<std::int32_t> keys(std::size_t(n) + 1);
        std::vector<core::Variant> tags(std::size_t(n) + 1);
        for (int k = 1; k <= n; ++k) {
            const int p = roster.RosterNumbers[std::size_t(k)];
            keys[std::size_t(k)] = stats.PersonalBest(p, level);
            tags[std::size_t(k)] = core::Variant(p);
        }
        records::SortByKey(n, keys, tags);
        records::SortByKey(n, keys, tags);
        for (int k = 1; k <= n; ++k) {
            pupils.push_back(int(tags[std::size_t(k)].number()));
            primary.push_back(keys[std::size_t(k)]);
        }
    } else {
        // Descending by the order's points, then by the other points, roster order kept among
        // equals. The two points are compared one after the other rather than folded into
        // one number, which would mix them up once a pupil has 1000 points or more.
        std::vector<int> ranked(static_cast<std::size_t>(n));
        std::iota(ranked.begin(), ranked.end(), 1);
        auto firstPoints = [&](int k) -> long long {
            const int p = roster.RosterNumbers[std::size_t(k)];
            return order == PointsOrder::Cumulative ? stats.TotalPoints(p, level)
                                                    : stats.PointsToday(p, level);
        };
        auto secondPoints = [&](int k) -> long long {
            const int p = roster.RosterNumbers[std::size_t(k)];
            return order == PointsOrder::Cumulative ? stats.PointsToday(p, level)
                                                    : stats.TotalPoints(p, level);
        };
        std::vector<long long> first(std::size_t(n) + 1), second(std::size_t(n) + 1);
        for (int k = 1; k <= n; ++k) {
            first[std::size_t(k)] = firstPoints(k);
            second[std::size_t(k)] = secondPoints(k);
        }
        std::stable_sort(ranked.begin(), ranked.end(), [&](int a, int b) {
            if (first[std::size_t(a)] != first[std::size_t(b)])
                return first[std::size_t(a)] > first[std::size_t(b)];
            return second[std::size_t(a)] > second[std::size_t(b)];
        });
        for (int k : ranked) {
            pupils.push_back(roster.RosterNumbers[std::size_t(k)]);
            primary.push_back(first[std::size_t(k)]);
        }
    }

    // Ranks count every listed pupil; the group filter only hides lines.
    std::vector<RankedPupil> shown;
    int rank = 0;
    for (int k = 0; k < n; ++k) {
        if (k == 0 || primary[std::size_t(k)] != primary[std::size_t(k - 1)])
            rank = k + 1;
        const int p = pupils[std::size_t(k)];
        if (records::GradeFilterMatch(groupFilter, PupilGrade(state, p)) != 1)
            continue;
        if (mode == ListMode::Points && order == PointsOrder::Today &&
            stats.PointsToday(p, level) == 0)
            continue;
        shown.push_back({p, rank, primary[std::size_t(k)]});
    }
    return shown;
}

QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const QString &groupFilter)
{
    const core::Statistics &stats = state.stats;
    const std::vector<RankedPupil> shown = RankedPupils(state, level, mode, order, groupFilter);
    int largest = 0;
    long long mostToday = 0, mostTotal = 0;
    for (const RankedPupil &r : shown) {
        largest = std::max(largest, r.rank);
        mostToday = std::max<long long>(mostToday, stats.PointsToday(r.pupil, level));
        mostTotal = std::max<long long>(mostTotal, stats.TotalPoints(r.pupil, level));
    }
    // Ranks are right-aligned to the widest of the list, two characters at the least; the
    // points columns widen the same way.
    const int width = std::max(2, int(QString::number(largest).size()));
    const PointsWidths points{ColumnWidth(3, mostToday), ColumnWidth(5, mostTotal)};

    QStringList lines;
    lines.reserve(qsizetype(shown.size()));
    for (const RankedPupil &s : shown) {
        const QString lead =
            PupilMark(state, s.pupil) + Name5(state.roster.StudentNames[std::size_t(s.pupil)]);
        if (mode == ListMode::Times)
            lines.append(TimesLine(s.rank, width, lead, s.primary, ownMark(state, s.pupil)));
        else
            lines.append(PointsLine(s.rank, width, lead, stats.PointsToday(s.pupil, level),
                                    stats.TotalPoints(s.pupil, level), points));
    }
    return lines;
}

QStringList SortedRankingLines(const core::AppState &state, int level, ListMode mode,
                               PointsOrder order, const QString &groupFilter)
{
    QStringList lines = RankingLines(state, level, mode, order, groupFilter);
    SortListTexts(lines);
    return lines;
}

} // namespace tavoro::menus
