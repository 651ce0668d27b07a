// The per-level ranking lines of the level menu.
#include "Ranking.h"

#include "core/AppState.h"
#include "core/Variant.h"
#include "records/Statistics.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace tavoro::menus {
namespace {

QString rightChars(const QString &text, int n)
{
    return text.size() <= n ? text : text.right(n);
}

int gradeOf(const core::AppState &state, int pupil)
{
    return state.roster.SchoolYear - state.roster.BirthYears[std::size_t(pupil)] - 6;
}

QChar ownMark(const core::AppState &state, int pupil)
{
    return pupil == state.pupil.CurrentStudent ? QChar(0x25CF) : QChar(0x3000); // ● or 　
}

// The decimal digits of a value, as QString::number writes them, into `buf`; returns their
// count.
int decimal(long long value, char16_t *buf)
{
    char16_t rev[24];
    int n = 0;
    const bool negative = value < 0;
    unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value)
                                    : static_cast<unsigned long long>(value);
    do {
        rev[n++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    int len = 0;
    if (negative)
        buf[len++] = u'-';
    while (n > 0)
        buf[len++] = rev[--n];
    return len;
}

// Appends the last `n` characters of four spaces followed by the number (RightNumber)
// without building the intermediate texts.
void appendRight(QString &out, long long value, int n)
{
    char16_t buf[32] = {u' ', u' ', u' ', u' '};
    const int len = 4 + decimal(value, buf + 4);
    const int from = len > n ? len - n : 0;
    out.append(reinterpret_cast<const QChar *>(buf + from), len - from);
}

// Appends RankText(rank): the last two characters of a space followed by the rank.
void appendRank(QString &out, int rank)
{
    char16_t buf[32] = {u' '};
    const int len = 1 + decimal(rank, buf + 1);
    out.append(reinterpret_cast<const QChar *>(buf + len - 2), 2);
}

} // namespace

QString Name5(const QString &name)
{
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == u' ')
        --end;
    return (name.left(end) + QString(6, QChar(0x3000))).left(5);
}

QString RightNumber(long long value, int n)
{
    return rightChars(QStringLiteral("    ") + QString::number(value), n);
}

QString RankText(int rank)
{
    return rightChars(u' ' + QString::number(rank), 2);
}

QString PupilMark(const core::AppState &state, int pupil)
{
    if (pupil == state.pupil.CurrentStudent)
        return QStringLiteral("●");
    return records::GradeMark(gradeOf(state, pupil));
}

RankingPupils RankingPupilsOf(const core::AppState &state, const QString &groupFilter)
{
    RankingPupils out;
    out.lead.resize(std::size_t(core::kStudents));
    out.shown.assign(std::size_t(core::kStudents), 0);
    const core::Roster &roster = state.roster;
    const int n = std::clamp(roster.RosterCount, 0, core::kMaxStudent);
    for (int k = 1; k <= n; ++k) {
        const int p = roster.RosterNumbers[std::size_t(k)];
        if (p < 0 || p > core::kMaxStudent || !out.lead[std::size_t(p)].isEmpty())
            continue;
        out.lead[std::size_t(p)] = PupilMark(state, p) + Name5(roster.StudentNames[std::size_t(p)]);
        out.shown[std::size_t(p)] =
            records::GradeFilterMatch(groupFilter, gradeOf(state, p)) == 1 ? 1 : 0;
    }
    return out;
}

QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const QString &groupFilter)
{
    return RankingLines(state, level, mode, order, RankingPupilsOf(state, groupFilter));
}

QStringList RankingLines(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         const RankingPupils &rankingPupils)
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

    QStringList lines;
    lines.reserve(n);
    int rank = 0;
    for (int k = 0; k < n; ++k) {
        if (k == 0 || primary[std::size_t(k)] != primary[std::size_t(k - 1)])
            rank = k + 1;
        const int p = pupils[std::size_t(k)];
        if (!rankingPupils.shown[std::size_t(p)])
            continue;
        const QString &lead = rankingPupils.lead[std::size_t(p)];
        QString line;
        line.reserve(lead.size() + 16);
        if (mode == ListMode::Times) {
            const long long best = primary[std::size_t(k)];
            if (best != core::kNoTime) {
                appendRank(line, rank);
                line += lead;
                appendRight(line, best, 6);
            } else {
                line += QStringLiteral("--");
                line += lead;
                line += QStringLiteral("------");
            }
            line += u' ';
            line += ownMark(state, p);
            lines.append(std::move(line));
            continue;
        }
        const long long total = stats.TotalPoints(p, level);
        const long long today = stats.PointsToday(p, level);
        if (order == PointsOrder::Today && today == 0)
            continue;
        appendRank(line, rank);
        line += lead;
        appendRight(line, today, 3);
        line += u'/';
        appendRight(line, total, 5);
        lines.append(std::move(line));
    }
    return lines;
}

} // namespace tavoro::menus
