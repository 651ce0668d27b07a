// The texts of the name selection's list.
#include "NameList.h"

#include "ListTexts.h"

#include "SortedList.h"
#include "core/AppState.h"
#include "core/Variant.h"
#include "platform/Paths.h"
#include "records/RosterFile.h"
#include "records/Marks.h"

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

int GradeOf(int schoolYear, int birthYear)
{
    return schoolYear - birthYear - 6;
}

int BirthYearForGrade(int schoolYear, int grade)
{
    return schoolYear - grade - 6;
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

QString totalText(long value, const TotalLook &look)
{
    if (value == 0)
        return QString::fromUtf16(look.zero);
    return RightAligned(value, look.spaces, look.width) + QString::fromUtf16(look.unit);
}

} // namespace

QString ListCode(int grade)
{
    if (grade < -2)
        return QStringLiteral("幼-");
    if (grade <= 0)
        return u'幼' + QString::number(grade + 3);
    if (grade <= 6)
        return u'小' + QString::number(grade);
    if (grade <= 9)
        return u'中' + QString::number(grade - 6);
    if (grade <= 12)
        return u'高' + QString::number(grade - 9);
    return QStringLiteral("大+");
}

PupilTotals TotalsOf(const core::Statistics &stats, int pupil)
{
    PupilTotals t;
    double runsToday = 0;
    for (int level = 1; level <= core::kMaxLevel; ++level) {
        runsToday += double(stats.RunsToday(pupil, level));
        t.pointsToday += stats.PointsToday(pupil, level);
        t.runsSoFar += stats.TotalRuns(pupil, level);
        t.pointsSoFar += stats.TotalPoints(pupil, level);
    }
    t.runsToday = long(runsToday);
    return t;
}

QString RunsTodayText(long runs)
{
    return totalText(runs, kRunsToday);
}

QString PointsTodayText(long points)
{
    return totalText(points, kPointsToday);
}

QString RunsSoFarText(long runs)
{
    return totalText(runs, kRunsSoFar);
}

QString PointsSoFarText(long points)
{
    return totalText(points, kPointsSoFar);
}

QString TotalsPairText(int displayMode, const PupilTotals &t)
{
    switch (displayMode) {
    case 1:
        return PointsTodayText(t.pointsToday) + u'/' + PointsSoFarText(t.pointsSoFar);
    case 2:
        return PointsTodayText(t.pointsToday) + u'/' + RunsTodayText(t.runsToday);
    case 3:
        return PointsSoFarText(t.pointsSoFar) + u'/' + RunsSoFarText(t.runsSoFar);
    default:
        return RunsTodayText(t.runsToday) + u'/' + RunsSoFarText(t.runsSoFar);
    }
}

QString ListKeyText(int birthYear, int schoolYear, const QString &name, int displayMode,
                    const PupilTotals &totals, int pupil)
{
    const QString shown =
        ListCode(GradeOf(schoolYear, birthYear)) + u' ' + core::WithoutSpaces(name).toString();
    const bool kindergarten = shown.startsWith(u'幼');
    const int width = (kindergarten && displayMode != 1) ? 11 : 9;
    // A name longer than its column gets no fill rather than a negative one.
    const int fill = std::max(0, width - int(shown.size()));
    return QString::number(birthYear) + shown + QString(fill, QChar(0x3000)) +
           TotalsPairText(displayMode, totals) + u'*' + QString::number(pupil);
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
        e.Name = line.Name;
        e.Field7 = line.Field7;
        e.Field8 = line.Field8;
        int listState = line.State;
        if (listState == 2 && rosterSwitchOn)
            listState = 0;
        r.StudentNames[std::size_t(k)] = line.Name;
        r.BirthYears[std::size_t(k)] = line.BirthYear;
        r.RosterNumbers[std::size_t(i)] = std::int16_t(k);
        const int grade = GradeOf(r.SchoolYear, line.BirthYear);
        if (grade >= 0 && grade <= 10)
            r.GradeCodes[std::size_t(k)] = *GradeCode(grade);
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
        const int grade = GradeOf(schoolYear, leadingYear(key));
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
