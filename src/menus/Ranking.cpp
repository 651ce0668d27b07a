// The per-level ranking lines of the level menu.
#include "Ranking.h"

#include "SortedList.h"

#include "core/AppState.h"
#include "core/Variant.h"
#include "records/Statistics.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
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

// A line of the times view: rank, lead, best time and the own mark; "--" and dashes for no
// time.
QString TimesLine(int rank, const QString &lead, long long best, QChar own)
{
    QString line;
    line.reserve(lead.size() + 16);
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
    line += own;
    return line;
}

// A line of the points view: rank, lead, today's points "/" the points so far.
QString PointsLine(int rank, const QString &lead, long long today, long long total)
{
    QString line;
    line.reserve(lead.size() + 16);
    appendRank(line, rank);
    line += lead;
    appendRight(line, today, 3);
    line += u'/';
    appendRight(line, total, 5);
    return line;
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

namespace {

std::int8_t markClassOf(const QString &mark)
{
    if (mark.size() != 1)
        return -1;
    const char16_t c = mark.at(0).unicode();
    if (c == u'●')
        return 0;
    if (c >= u'①' && c <= u'⑥')
        return std::int8_t(1 + (c - u'①'));
    if (c >= u'Ⅰ' && c <= u'Ⅲ')
        return 7;
    if (c == u'　')
        return 8;
    return -1;
}

} // namespace

QString RankingPupils::lead(int pupil) const
{
    return marks[std::size_t(pupil)] + Name5(names[std::size_t(pupil)]);
}

bool RankingPupils::madeFrom(const core::AppState &state, const QString &groupFilter) const
{
    const core::Roster &roster = state.roster;
    const int n = std::clamp(roster.RosterCount, 0, core::kMaxStudent);
    if (groupFilter != filter || roster.SchoolYear != schoolYear ||
        state.pupil.CurrentStudent != current || std::size_t(n) != listed.size())
        return false;
    for (int k = 1; k <= n; ++k) {
        const int p = roster.RosterNumbers[std::size_t(k)];
        if (p != listed[std::size_t(k - 1)])
            return false;
        if (p < 0 || p > core::kMaxStudent)
            continue;
        if (roster.BirthYears[std::size_t(p)] != birthYears[std::size_t(p)])
            return false;
        // These hold their names, so a name still shared with the roster is unchanged.
        const QString &now = roster.StudentNames[std::size_t(p)];
        const QString &then = names[std::size_t(p)];
        if (now.constData() != then.constData() && now != then)
            return false;
    }
    return true;
}

RankingPupils RankingPupilsOf(const core::AppState &state, const QString &groupFilter)
{
    RankingPupils out;
    out.filter = groupFilter;
    out.schoolYear = state.roster.SchoolYear;
    out.current = state.pupil.CurrentStudent;
    out.birthYears.assign(std::size_t(core::kStudents), 0);
    out.shown.assign(std::size_t(core::kStudents), 0);
    out.marks.resize(std::size_t(core::kStudents));
    out.names.resize(std::size_t(core::kStudents));
    out.markClasses.assign(std::size_t(core::kStudents), -1);
    // The filter and the mark depend on the school grade alone: grades 0..10 are looked up.
    constexpr int kTabled = 10;
    std::array<char, kTabled + 1> gradeShown{};
    std::array<QString, kTabled + 1> gradeMarks;
    for (int g = 0; g <= kTabled; ++g) {
        gradeShown[std::size_t(g)] = records::GradeFilterMatch(groupFilter, g) == 1;
        gradeMarks[std::size_t(g)] = records::GradeMark(g);
    }
    const auto shownGrade = [&](int grade) {
        return grade >= 0 && grade <= kTabled ? gradeShown[std::size_t(grade)] != 0
                                              : records::GradeFilterMatch(groupFilter, grade) == 1;
    };
    const auto markOf = [&](int p) {
        const int grade = gradeOf(state, p);
        if (p == state.pupil.CurrentStudent || grade < 0 || grade > kTabled)
            return PupilMark(state, p);
        return gradeMarks[std::size_t(grade)];
    };
    const core::Roster &roster = state.roster;
    const int n = std::clamp(roster.RosterCount, 0, core::kMaxStudent);
    out.listed.reserve(std::size_t(n));
    for (int k = 1; k <= n; ++k) {
        const int p = roster.RosterNumbers[std::size_t(k)];
        out.listed.push_back(std::int16_t(p));
        if (p < 0 || p > core::kMaxStudent || !out.marks[std::size_t(p)].isNull())
            continue;
        out.birthYears[std::size_t(p)] = roster.BirthYears[std::size_t(p)];
        out.marks[std::size_t(p)] = markOf(p);
        out.markClasses[std::size_t(p)] = markClassOf(out.marks[std::size_t(p)]);
        out.names[std::size_t(p)] = roster.StudentNames[std::size_t(p)];
        out.shown[std::size_t(p)] = shownGrade(gradeOf(state, p)) ? 1 : 0;
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
        if (mode == ListMode::Times) {
            lines.append(
                TimesLine(rank, rankingPupils.lead(p), primary[std::size_t(k)], ownMark(state, p)));
            continue;
        }
        const long long today = stats.PointsToday(p, level);
        if (order == PointsOrder::Today && today == 0)
            continue;
        lines.append(PointsLine(rank, rankingPupils.lead(p), today, stats.TotalPoints(p, level)));
    }
    return lines;
}

namespace {

constexpr int kRankTexts = 111; // " 1".." 9" as 1..9, "00".."99" as 10..109, "--" as 110
constexpr int kNoTimeText = 110;

// The classes of marks, in the order of their representatives' indices: "●", "①".."⑥",
// "Ⅰ" (for "Ⅰ".."Ⅲ"), "　".
constexpr int kMarkClasses = 9;

// The place of each of `texts` in the sorted list's order, by the list's own comparison.
template <std::size_t N> std::array<int, N> placesInListOrder(const std::array<QString, N> &texts)
{
    QStringList tagged;
    for (std::size_t i = 0; i < N; ++i)
        tagged.append(texts[i] + u'*' + QString::number(i));
    SortListTexts(tagged);
    std::array<int, N> places{};
    for (int place = 0; place < int(N); ++place) {
        const QString &t = tagged.at(place);
        places[std::size_t(t.mid(t.lastIndexOf(u'*') + 1).toInt())] = place;
    }
    return places;
}

// The place of each mark class in the sorted list's order (worked out once).
const std::array<int, kMarkClasses> &markClassPlaces()
{
    static const std::array<int, kMarkClasses> places = placesInListOrder<kMarkClasses>(
        {QStringLiteral("●"), QStringLiteral("①"), QStringLiteral("②"), QStringLiteral("③"),
         QStringLiteral("④"), QStringLiteral("⑤"), QStringLiteral("⑥"), QStringLiteral("Ⅰ"),
         QStringLiteral("　")});
    return places;
}

int rankTextIndex(int rank)
{
    return rank >= 1 && rank <= 9 ? rank : 10 + rank % 100;
}

QString rankTextOf(int index)
{
    if (index == kNoTimeText)
        return QStringLiteral("--");
    if (index <= 9)
        return u' ' + QString::number(index);
    return QString::number(index - 10).rightJustified(2, u'0');
}

// The place of each rank text in the sorted list's order (worked out once).
const std::array<int, kRankTexts> &rankTextPlaces()
{
    static const std::array<int, kRankTexts> places = [] {
        std::array<QString, kRankTexts> texts;
        for (int i = 0; i < kRankTexts; ++i)
            texts[std::size_t(i)] = rankTextOf(i);
        return placesInListOrder(texts);
    }();
    return places;
}

// Sorts keys ascending by their low `bits` bits, 11 bits a pass.
void radixSort(std::vector<std::uint64_t> &keys, std::vector<std::uint64_t> &scratch, int bits)
{
    constexpr int kDigit = 11;
    scratch.resize(keys.size());
    for (int shift = 0; shift < bits; shift += kDigit) {
        std::array<std::uint32_t, (1u << kDigit) + 1> count{};
        for (std::uint64_t k : keys)
            ++count[((k >> shift) & ((1u << kDigit) - 1)) + 1];
        for (std::size_t d = 1; d < count.size(); ++d)
            count[d] += count[d - 1];
        for (std::uint64_t k : keys)
            scratch[count[(k >> shift) & ((1u << kDigit) - 1)]++] = k;
        keys.swap(scratch);
    }
}

} // namespace

RankingList::RankingList(const core::AppState &state, int level, ListMode mode, PointsOrder order,
                         std::shared_ptr<const RankingPupils> pupils)
    : m_mode(mode), m_order(order), m_current(state.pupil.CurrentStudent),
      m_pupils(std::move(pupils))
{
    const int n = std::clamp(state.roster.RosterCount, 0, core::kMaxStudent);
    level = std::clamp(level, 0, core::kMaxLevel);
    m_ranked.resize(std::size_t(n));
    for (int k = 1; k <= n; ++k)
        m_ranked[std::size_t(k - 1)] = valuesOf(state, k, level);

    // Ranks: a pupil's rank is one more than the number of pupils ranked before him (lower
    // times; more points), so equal values share a rank. The values are sorted with the
    // roster index in the low bits.
    constexpr int kIndexBits = 13;
    static_assert(core::kMaxStudent < (1 << kIndexBits));
    const auto order32 = [&](std::int32_t v) -> std::uint64_t {
        // Ascending order of the value that ranks first.
        return mode == ListMode::Times ? std::uint64_t(std::int64_t(v) - INT32_MIN)
                                       : std::uint64_t(std::int64_t(INT32_MAX) - v);
    };
    std::uint64_t low = UINT64_MAX;
    std::uint64_t high = 0;
    for (const Pupil &r : m_ranked) {
        low = std::min(low, order32(r.first));
        high = std::max(high, order32(r.first));
    }
    std::vector<std::uint64_t> keys(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        keys[std::size_t(i)] =
            ((order32(m_ranked[std::size_t(i)].first) - low) << kIndexBits) | std::uint64_t(i);
    std::vector<std::uint64_t> scratch;
    radixSort(keys, scratch, n == 0 ? 0 : std::bit_width(high - low) + kIndexBits);
    int rank = 0;
    for (int i = 0; i < n; ++i) {
        const std::uint64_t value = keys[std::size_t(i)] >> kIndexBits;
        if (i == 0 || value != keys[std::size_t(i - 1)] >> kIndexBits)
            rank = i + 1;
        m_ranked[keys[std::size_t(i)] & ((1u << kIndexBits) - 1)].rank = rank;
    }

    // The shown lines, grouped by rank text and mark class in the order of the texts. Marks
    // of no known class put every line of a rank text in one group.
    const std::array<int, kRankTexts> &rankPlaces = rankTextPlaces();
    const std::array<int, kMarkClasses> &markPlaces = markClassPlaces();
    bool byMark = true;
    for (const Pupil &r : m_ranked)
        byMark = byMark && m_pupils->markClasses[std::size_t(r.number)] >= 0;
    constexpr int kGroups = kRankTexts * kMarkClasses;
    std::vector<int> groupOf(std::size_t(n), -1);
    std::vector<int> start(kGroups + 1, 0);
    for (int i = 0; i < n; ++i) {
        const Pupil &r = m_ranked[std::size_t(i)];
        if (!m_pupils->shown[std::size_t(r.number)])
            continue;
        int text = rankTextIndex(r.rank);
        if (mode == ListMode::Times) {
            if (r.first == core::kNoTime)
                text = kNoTimeText;
        } else if (order == PointsOrder::Today && r.first == 0) {
            continue; // no points today: no line
        }
        const int mark =
            byMark ? markPlaces[std::size_t(m_pupils->markClasses[std::size_t(r.number)])] : 0;
        groupOf[std::size_t(i)] = rankPlaces[std::size_t(text)] * kMarkClasses + mark;
        ++start[std::size_t(groupOf[std::size_t(i)]) + 1];
    }
    m_groups.resize(kGroups);
    for (int g = 0; g < kGroups; ++g) {
        m_groups[std::size_t(g)].start = start[std::size_t(g)];
        m_groups[std::size_t(g)].count = start[std::size_t(g) + 1];
        start[std::size_t(g) + 1] += start[std::size_t(g)];
    }
    m_count = start[kGroups];
    m_members.resize(std::size_t(m_count));
    for (int i = 0; i < n; ++i) {
        const int group = groupOf[std::size_t(i)];
        if (group >= 0)
            m_members[std::size_t(start[std::size_t(group)]++)] = i;
    }
}

bool RankingList::sameLines(const core::AppState &state, int level, ListMode mode,
                            PointsOrder order,
                            const std::shared_ptr<const RankingPupils> &pupils) const
{
    // The lines are made from these alone; the ranks follow from the values.
    if (mode != m_mode || order != m_order || state.pupil.CurrentStudent != m_current ||
        pupils != m_pupils)
        return false;
    const int n = std::clamp(state.roster.RosterCount, 0, core::kMaxStudent);
    if (std::size_t(n) != m_ranked.size())
        return false;
    level = std::clamp(level, 0, core::kMaxLevel);
    for (int k = 1; k <= n; ++k) {
        const Pupil &r = m_ranked[std::size_t(k - 1)];
        const Pupil now = valuesOf(state, k, level);
        if (now.number != r.number || now.first != r.first || now.second != r.second)
            return false;
    }
    return true;
}

RankingList::Pupil RankingList::valuesOf(const core::AppState &state, int k, int level) const
{
    const core::Statistics &stats = state.stats;
    Pupil r;
    r.number = std::clamp<int>(state.roster.RosterNumbers[std::size_t(k)], 0, core::kMaxStudent);
    if (m_mode == ListMode::Times) {
        r.first = stats.PersonalBest(r.number, level);
    } else {
        const std::int32_t total = stats.TotalPoints(r.number, level);
        const std::int32_t today = stats.PointsToday(r.number, level);
        r.first = m_order == PointsOrder::Cumulative ? total : today;
        r.second = m_order == PointsOrder::Cumulative ? today : total;
    }
    return r;
}

const RankingList::Group &RankingList::made(int group) const
{
    Group &g = m_groups[std::size_t(group)];
    if (g.made)
        return g;
    // The group's pupils in ranking order (then roster order), as the lines were added.
    std::vector<int> members(m_members.begin() + g.start, m_members.begin() + g.start + g.count);
    std::stable_sort(members.begin(), members.end(), [&](int a, int b) {
        const Pupil &x = m_ranked[std::size_t(a)];
        const Pupil &y = m_ranked[std::size_t(b)];
        if (m_mode == ListMode::Times)
            return x.first < y.first;
        if (x.first != y.first)
            return x.first > y.first;
        return x.second > y.second;
    });
    g.lines.reserve(g.count);
    for (int i : members) {
        const Pupil &r = m_ranked[std::size_t(i)];
        const QString lead = m_pupils->lead(r.number);
        if (m_mode == ListMode::Times) {
            const QChar own = r.number == m_current ? QChar(0x25CF) : QChar(0x3000);
            g.lines.append(TimesLine(r.rank, lead, r.first, own));
        } else {
            const bool cumulative = m_order == PointsOrder::Cumulative;
            g.lines.append(PointsLine(r.rank, lead, cumulative ? r.second : r.first,
                                      cumulative ? r.first : r.second));
        }
    }
    SortListTexts(g.lines);
    g.made = true;
    return g;
}

QString RankingList::text(int row) const
{
    if (row < 0 || row >= m_count)
        return {};
    const auto it = std::upper_bound(m_groups.begin(), m_groups.end(), row,
                                     [](int r, const Group &g) { return r < g.start; });
    int group = int(it - m_groups.begin()) - 1;
    while (group > 0 && m_groups[std::size_t(group)].count == 0)
        --group;
    return made(group).lines.at(row - m_groups[std::size_t(group)].start);
}

} // namespace tavoro::menus
