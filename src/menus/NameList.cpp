// The texts of the name selection's list.
#include "NameList.h"

#include "SortedList.h"
#include "core/AppState.h"
#include "core/Variant.h"
#include "platform/Paths.h"
#include "records/RosterFile.h"
#include "records/Statistics.h"

#include <algorithm>

namespace tavoro::menus {
namespace {

// The first four characters of a key read as a number, the way the list reads a birth year.
int leadingYear(const QString &key)
{
    int year = 0;
    for (int i = 0; i < 4 && i < key.size(); ++i) {
        const QChar c = key.at(i);
        if (c < u'0' || c > u'9')
            break;
        year = year * 10 + (c.unicode() - u'0');
    }
    return year;
}

// Sets `to` to `from`, leaving it alone when it holds the very same characters already: the
// roster tables are filled from the same read of the roster time after time, and every
// copy of a shared text costs two atomic counts.
void assign(QString &to, const QString &from)
{
    if (to.constData() != from.constData() || to.size() != from.size())
        to = from;
}

} // namespace

QString NoChoiceRow()
{
    return QStringLiteral("－－－－－－");
}

QString ChooseNamePrompt()
{
    return QStringLiteral("名前を選びなさい");
}

int SchoolYearOf(const QDate &today, const core::Variant &startMonth)
{
    int year = today.year();
    if (today.month() < startMonth.number())
        --year;
    return year;
}

std::optional<QString> GradeCode(int grade)
{
    // Grades 0..10; made once and shared by every pupil's entry.
    static const QString codes[] = {
        QStringLiteral("幼３"), QStringLiteral("小１"), QStringLiteral("小２"),
        QStringLiteral("小３"), QStringLiteral("小４"), QStringLiteral("小５"),
        QStringLiteral("小６"), QStringLiteral("中１"), QStringLiteral("中２"),
        QStringLiteral("中３"), QStringLiteral("高１")};
    if (grade < 0 || grade > 10)
        return std::nullopt;
    return codes[grade];
}

namespace {

// Writes the decimal text of n, as QString::number writes it, so that it ends just before
// `end` (it takes up to 20 characters), and returns where it begins.
char16_t *writeNumber(char16_t *end, long n)
{
    unsigned long a = n < 0 ? 0ul - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
    do {
        *--end = char16_t(u'0' + a % 10);
        a /= 10;
    } while (a != 0);
    if (n < 0)
        *--end = u'-';
    return end;
}

void appendNumber(QString &out, long n)
{
    char16_t digits[24];
    const char16_t *from = writeNumber(digits + 24, n);
    out.append(reinterpret_cast<const QChar *>(from), digits + 24 - from);
}

// Appends the last `width` characters of `spaces` spaces followed by the number n: n right
// aligned, or its last digits when it is wider.
void appendRight(QString &out, int spaces, long n, int width)
{
    char16_t text[48];
    char16_t *from = writeNumber(text + 48, n);
    for (int i = 0; i < spaces && from > text; ++i)
        *--from = u' ';
    const qsizetype length = text + 48 - from;
    const qsizetype shown = std::min<qsizetype>(width, length);
    out.append(reinterpret_cast<const QChar *>(text + 48 - shown), shown);
}

void appendListCode(QString &out, int grade)
{
    if (grade < -2) {
        out.append(u"幼-");
    } else if (grade <= 0) {
        out.append(u'幼');
        appendNumber(out, grade + 3);
    } else if (grade <= 6) {
        out.append(u'小');
        appendNumber(out, grade);
    } else if (grade <= 9) {
        out.append(u'中');
        appendNumber(out, grade - 6);
    } else if (grade <= 12) {
        out.append(u'高');
        appendNumber(out, grade - 9);
    } else {
        out.append(u"大+");
    }
}

// How a total looks in the list: its text for 0, and otherwise the last `width` characters
// of `spaces` spaces and the number, then `unit`.
struct TotalLook {
    const char16_t *zero;
    int spaces;
    int width;
    const char16_t *unit;
};
constexpr TotalLook kRunsToday{u"     ", 2, 3, u"回"};
constexpr TotalLook kPointsToday{u"  　", 3, 4, u""};
constexpr TotalLook kRunsSoFar{u"     　", 6, 5, u"回"};
constexpr TotalLook kPointsSoFar{u"       ", 6, 7, u""};

void appendTotal(QString &out, long value, const TotalLook &look)
{
    if (value == 0) {
        out.append(QStringView(look.zero));
        return;
    }
    appendRight(out, look.spaces, value, look.width);
    out.append(QStringView(look.unit));
}

void appendTotalsPair(QString &out, int displayMode, const PupilTotals &t)
{
    const auto pair = [&](long a, const TotalLook &first, long b, const TotalLook &second) {
        appendTotal(out, a, first);
        out.append(u'/');
        appendTotal(out, b, second);
    };
    switch (displayMode) {
    case 1:
        pair(t.pointsToday, kPointsToday, t.pointsSoFar, kPointsSoFar);
        break;
    case 2:
        pair(t.pointsToday, kPointsToday, t.runsToday, kRunsToday);
        break;
    case 3:
        pair(t.pointsSoFar, kPointsSoFar, t.runsSoFar, kRunsSoFar);
        break;
    default:
        pair(t.runsToday, kRunsToday, t.runsSoFar, kRunsSoFar);
        break;
    }
}

// Builds a text with the append functions above.
template <typename Append> QString made(Append append)
{
    QString out;
    append(out);
    return out;
}

} // namespace

QString ListCode(int grade)
{
    return made([&](QString &out) { appendListCode(out, grade); });
}

PupilTotals TotalsOf(const core::Statistics &stats, int pupil)
{
    // Runs of a day are whole numbers, so part sums add up exactly as one sum would.
    PupilTotals t;
    const float *runs = &stats.RunsToday(pupil, 0);
    const std::int32_t *pointsToday = &stats.PointsToday(pupil, 0);
    const std::int16_t *runsSoFar = &stats.TotalRuns(pupil, 0);
    const std::int32_t *pointsSoFar = &stats.TotalPoints(pupil, 0);
    double even = 0;
    double odd = 0;
    for (int level = 1; level <= core::kMaxLevel; ++level) {
        (level % 2 == 0 ? even : odd) += double(runs[level]);
        t.pointsToday += pointsToday[level];
        t.runsSoFar += runsSoFar[level];
        t.pointsSoFar += pointsSoFar[level];
    }
    t.runsToday = long(even + odd);
    return t;
}

QString RunsTodayText(long runs)
{
    return made([&](QString &out) { appendTotal(out, runs, kRunsToday); });
}

QString PointsTodayText(long points)
{
    return made([&](QString &out) { appendTotal(out, points, kPointsToday); });
}

QString RunsSoFarText(long runs)
{
    return made([&](QString &out) { appendTotal(out, runs, kRunsSoFar); });
}

QString PointsSoFarText(long points)
{
    return made([&](QString &out) { appendTotal(out, points, kPointsSoFar); });
}

QString TotalsPairText(int displayMode, const PupilTotals &t)
{
    return made([&](QString &out) { appendTotalsPair(out, displayMode, t); });
}

QString ListKeyText(int birthYear, int schoolYear, const QString &name, int displayMode,
                    const PupilTotals &totals, int pupil)
{
    // One text built in place: the name selection makes thousands of them.
    QString key;
    key.reserve(name.size() + 40);
    appendNumber(key, birthYear);
    const qsizetype shownFrom = key.size();
    appendListCode(key, schoolYear - birthYear - 6);
    const bool kindergarten = key.at(shownFrom) == u'幼';
    const int width = (kindergarten && displayMode != 1) ? 11 : 9;
    key.append(u' ');
    key.append(core::WithoutSpaces(name));
    // A name longer than its column gets no fill rather than a negative one.
    const int fill = std::max(0, width - int(key.size() - shownFrom));
    for (int i = 0; i < fill; ++i)
        key.append(QChar(0x3000));
    appendTotalsPair(key, displayMode, totals);
    key.append(u'*');
    appendNumber(key, pupil);
    return key;
}

std::vector<ListedPupil> TakeRosterLines(core::AppState &state,
                                         const std::vector<records::RosterLine> &lines,
                                         bool rosterSwitchOn)
{
    core::Roster &r = state.roster;
    std::vector<ListedPupil> listed;
    listed.reserve(lines.size());
    int i = 0;
    for (const records::RosterLine &line : lines) {
        const int k = line.Number;
        if (k < 1 || k > core::kMaxStudent)
            continue; // the reader leaves such lines out; never index with one
        if (i >= core::kMaxStudent)
            break;
        ++i;
        core::RosterEntry &e = r.Entries[std::size_t(i)];
        e.Number = line.Number;
        e.BirthYear = line.BirthYear;
        e.Field3 = line.Field3;
        e.Field4 = line.Field4;
        assign(e.Name, line.Name);
        assign(e.Field7, line.Field7);
        assign(e.Field8, line.Field8);
        int listState = line.State;
        if (listState == 2 && rosterSwitchOn)
            listState = 0;
        assign(r.StudentNames[std::size_t(k)], line.Name);
        r.BirthYears[std::size_t(k)] = line.BirthYear;
        r.RosterNumbers[std::size_t(i)] = std::int16_t(k);
        const int grade = r.SchoolYear - line.BirthYear - 6;
        if (grade >= 0 && grade <= 10)
            assign(r.GradeCodes[std::size_t(k)], *GradeCode(grade));
        if (listState != 0) {
            --i; // not listed: the next line takes its place
            continue;
        }
        listed.push_back({k, line.BirthYear, line.Name});
    }
    r.RosterCount = i;
    return listed;
}

QStringList FillRosterTables(core::AppState &state, const std::vector<records::RosterLine> &lines,
                             int displayMode, bool rosterSwitchOn)
{
    const std::vector<ListedPupil> listed = TakeRosterLines(state, lines, rosterSwitchOn);
    QStringList keys;
    keys.reserve(qsizetype(listed.size()));
    for (const ListedPupil &p : listed)
        keys.append(ListKeyText(p.birthYear, state.roster.SchoolYear, p.name, displayMode,
                                TotalsOf(state.stats, p.number), p.number));
    return keys;
}

QString RosterUnreadableText(const QString &path, const QString &reason, bool missing)
{
    const QString file = platform::localPath(path);
    if (missing)
        return QStringLiteral("名簿ファイルがありません。\r\n%1").arg(file);
    return QStringLiteral("名簿ファイルを読めません。\r\n%1\r\n%2").arg(file, reason);
}

QString RosterProblemsText(const QString &path, const std::vector<records::RosterProblem> &problems)
{
    constexpr std::size_t kShown = 10;
    QString text = QStringLiteral("名簿ファイルに正しくない行があります。\r\n%1")
                       .arg(platform::localPath(path));
    for (std::size_t n = 0; n < problems.size() && n < kShown; ++n)
        text += QStringLiteral("\r\n%1 行目：%2").arg(problems[n].line).arg(problems[n].message);
    if (problems.size() > kShown)
        text += QStringLiteral("\r\nほかに %1 行").arg(problems.size() - kShown);
    return text;
}

NameRows ShownRows(const QStringList &sortedKeys, int schoolYear, const QString &filter)
{
    NameRows out;
    out.rows.reserve(sortedKeys.size());
    out.numbered.reserve(sortedKeys.size());
    out.numbers.reserve(std::size_t(sortedKeys.size()));
    for (const QString &key : sortedKeys) {
        const int grade = schoolYear - leadingYear(key) - 6;
        if (records::GradeFilterMatch(filter, grade) != 1)
            continue;
        const qsizetype star = key.lastIndexOf(u'*');
        out.rows.append(key.mid(4, star < 0 ? -1 : star - 4));
        out.numbered.append(star >= 4 ? key.mid(4)
                                      : out.rows.back() + key.mid(star < 0 ? key.size() : star));
        out.numbers.push_back(NumberOfRow(out.numbered.back()));
    }
    return out;
}

NameListing::NameListing(std::vector<ListedPupil> pupils, int schoolYear, int displayMode,
                         const core::Statistics &stats)
    : m_pupils(std::move(pupils)), m_schoolYear(schoolYear), m_displayMode(displayMode)
{
    m_totals.reserve(m_pupils.size());
    for (const ListedPupil &p : m_pupils)
        m_totals.push_back(TotalsOf(stats, p.number));
    m_keyCount = int(m_pupils.size());

    m_byYear = std::all_of(m_pupils.begin(), m_pupils.end(), [](const ListedPupil &p) {
        return p.birthYear >= 1000 && p.birthYear <= 9999;
    });
    if (!m_byYear) {
        Group all;
        all.members.resize(m_pupils.size());
        for (std::size_t i = 0; i < m_pupils.size(); ++i)
            all.members[i] = int(i);
        m_groups.push_back(std::move(all));
    } else {
        // The groups in the order the sorted list puts their years.
        std::vector<bool> seen(10000);
        for (const ListedPupil &p : m_pupils)
            seen[std::size_t(p.birthYear)] = true;
        QStringList yearTexts;
        for (int y = 1000; y <= 9999; ++y) {
            if (seen[std::size_t(y)])
                yearTexts.append(QString::number(y));
        }
        SortListTexts(yearTexts);
        std::vector<int> groupOfYear(10000, -1);
        for (const QString &y : yearTexts) {
            Group g;
            g.year = y.toInt();
            groupOfYear[std::size_t(g.year)] = int(m_groups.size());
            m_groups.push_back(std::move(g));
        }
        for (std::size_t i = 0; i < m_pupils.size(); ++i)
            m_groups[std::size_t(groupOfYear[std::size_t(m_pupils[i].birthYear)])]
                .members.push_back(int(i));
    }
    int start = 0;
    for (Group &g : m_groups) {
        g.keyStart = start;
        start += int(g.members.size());
    }
    setFilter(QStringLiteral("全学年"));
}

const NameListing::Group &NameListing::made(int group) const
{
    Group &g = m_groups[std::size_t(group)];
    if (!g.made) {
        g.keys.reserve(qsizetype(g.members.size()));
        for (int i : g.members) {
            const ListedPupil &p = m_pupils[std::size_t(i)];
            g.keys.append(ListKeyText(p.birthYear, m_schoolYear, p.name, m_displayMode,
                                      m_totals[std::size_t(i)], p.number));
        }
        SortListTexts(g.keys);
        g.shown = ShownRows(g.keys, m_schoolYear, m_filter);
        g.made = true;
    }
    return g;
}

void NameListing::setFilter(const QString &filter)
{
    m_filter = filter;
    int start = 0;
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        Group &g = m_groups[i];
        if (g.made)
            g.shown = ShownRows(g.keys, m_schoolYear, m_filter);
        g.rowStart = start;
        if (m_byYear) {
            // A year group is shown whole or not at all.
            const bool shown = records::GradeFilterMatch(m_filter, m_schoolYear - g.year - 6) == 1;
            g.rowCount = shown ? int(g.members.size()) : 0;
        } else {
            g.rowCount = int(made(int(i)).shown.rows.size());
        }
        start += g.rowCount;
    }
    m_rowCount = start;
}

int NameListing::groupOfKey(int i) const
{
    const auto it = std::upper_bound(m_groups.begin(), m_groups.end(), i,
                                     [](int k, const Group &g) { return k < g.keyStart; });
    return int(it - m_groups.begin()) - 1;
}

int NameListing::groupOfRow(int i) const
{
    // The last group starting at or before row i that shows any row.
    const auto it = std::upper_bound(m_groups.begin(), m_groups.end(), i,
                                     [](int r, const Group &g) { return r < g.rowStart; });
    int g = int(it - m_groups.begin()) - 1;
    while (g > 0 && m_groups[std::size_t(g)].rowCount == 0)
        --g;
    return g;
}

QString NameListing::key(int i) const
{
    if (i < 0 || i >= m_keyCount)
        return {};
    const int g = groupOfKey(i);
    return made(g).keys.at(i - m_groups[std::size_t(g)].keyStart);
}

QStringList NameListing::keys() const
{
    QStringList out;
    out.reserve(m_keyCount);
    for (std::size_t g = 0; g < m_groups.size(); ++g)
        out.append(made(int(g)).keys);
    return out;
}

const NameRows &NameListing::rowsOf(int i, int &at) const
{
    const int g = groupOfRow(i);
    at = i - m_groups[std::size_t(g)].rowStart;
    return made(g).shown;
}

QString NameListing::row(int i) const
{
    if (i < 0 || i >= m_rowCount)
        return {};
    int at = 0;
    return rowsOf(i, at).rows.at(at);
}

QString NameListing::numberedRow(int i) const
{
    if (i < 0 || i >= m_rowCount)
        return {};
    int at = 0;
    return rowsOf(i, at).numbered.at(at);
}

int NameListing::numberOfRow(int i) const
{
    if (i < 0 || i >= m_rowCount)
        return 0;
    int at = 0;
    return rowsOf(i, at).numbers.at(std::size_t(at));
}

int NumberOfRow(const QString &numberedRow)
{
    const qsizetype star = numberedRow.lastIndexOf(u'*');
    if (star < 0)
        return 0;
    bool ok = false;
    const int n = QStringView(numberedRow).sliced(star + 1).trimmed().toInt(&ok);
    return ok ? n : 0;
}

QString ChosenNameText(const QString &row)
{
    return TrimSpaces(TrimSpaces(row).left(10));
}

QString ConfirmedNameText(const QString &row)
{
    const QString t = TrimSpaces(row);
    const qsizetype slash = t.indexOf(u'/');
    return slash < 0 ? t : t.left(slash);
}

QStringList GradeFilterItems()
{
    return {QStringLiteral("全学年"), QStringLiteral("中学生全体"), QStringLiteral("小学生全体"),
            QStringLiteral("中３"),   QStringLiteral("中２"),       QStringLiteral("中１"),
            QStringLiteral("小６"),   QStringLiteral("小５"),       QStringLiteral("小４"),
            QStringLiteral("小３"),   QStringLiteral("小２"),       QStringLiteral("小１")};
}

} // namespace tavoro::menus
