// The lists of runs on the level menu.
#include "ResultLists.h"

#include "platform/Clock.h"
#include "records/Marks.h"
#include "records/Points.h"

#include <cmath>

namespace tavoro::menus {
namespace {

const QString kTimeOutLead = QStringLiteral("　　× ");

// The mark and name5 of the pupil, and the mark again: the middle of every run line.
QString pupilPart(const core::AppState &state, int pupil)
{
    const QString mark = PupilMark(state, pupil);
    return mark + Name5(state.roster.StudentNames[std::size_t(pupil)]) + mark;
}

// Whether a record has a list on the menu and its pupil passes the group filter.
bool listed(const core::AppState &state, const records::GradeRecord &r, const QString &filter)
{
    return r.RecLevel >= 1 && r.RecLevel <= state.profile.LevelCount && r.RecStudent >= 0 &&
           records::GradeFilterMatch(filter, PupilGrade(state, r.RecStudent)) == 1;
}

} // namespace

QString ClockText(double recClock)
{
    const double fraction = recClock - std::floor(recClock);
    const int minutes = int(std::floor(fraction * 1440 + 1e-6)) % 1440;
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QChar(u'0'))
        .arg(minutes % 60, 2, 10, QChar(u'0'));
}

QString MonthDayText(double recDate)
{
    return records::DateFromValue(std::floor(recDate)).toString(QStringLiteral("MM/dd"));
}

QString SecondsText(std::int32_t seconds)
{
    return RightAligned(seconds, 6, 4) + u'秒';
}

int ListRunPoints(const core::Criteria &criteria, int level, std::int32_t seconds)
{
    return records::RecordPoints(criteria.TargetTime[std::size_t(level)],
                                 records::PointMultiplier(1), seconds);
}

QString TodayLine(const core::AppState &state, const records::GradeRecord &r)
{
    const QString middle = ClockText(r.RecClock) + pupilPart(state, r.RecStudent);
    if (r.RecSeconds >= kTimeOutLineSeconds)
        return kTimeOutLead + middle;
    return SecondsText(r.RecSeconds) + u' ' + middle +
           QString::number(ListRunPoints(state.criteria, r.RecLevel, r.RecSeconds));
}

QString PeriodLine(const core::AppState &state, const records::GradeRecord &r, ListMode mode)
{
    const QString middle = MonthDayText(r.RecDate) + pupilPart(state, r.RecStudent);
    if (r.RecSeconds >= kTimeOutLineSeconds)
        return kTimeOutLead + middle;
    const int points = ListRunPoints(state.criteria, r.RecLevel, r.RecSeconds);
    if (mode == ListMode::Times)
        return SecondsText(r.RecSeconds) + u' ' + middle + QString::number(points);
    return RightAligned(points, 6, 5) + u' ' + middle + QString::number(r.RecSeconds) + u'秒';
}

LinesByLevel TodayLines(const core::AppState &state,
                        const std::vector<records::GradeRecord> &records,
                        const QString &groupFilter)
{
    LinesByLevel out;
    const double today = records::DateValue(state.clock().today());
    for (const records::GradeRecord &r : records) {
        if (std::floor(r.RecDate) == today && listed(state, r, groupFilter))
            out[std::size_t(r.RecLevel)].append(TodayLine(state, r));
    }
    return out;
}

LinesByLevel PeriodLines(const core::AppState &state,
                         const std::vector<records::GradeRecord> &records, int periodDays,
                         ListMode mode, const QString &groupFilter)
{
    LinesByLevel out;
    const double from = records::DateValue(state.clock().today()) - periodDays;
    for (const records::GradeRecord &r : records) {
        if (r.RecDate > from && listed(state, r, groupFilter))
            out[std::size_t(r.RecLevel)].append(PeriodLine(state, r, mode));
    }
    return out;
}

int PeriodDaysFor(int reportPeriod, const QDate &today)
{
    const bool sunday = today.dayOfWeek() == Qt::Sunday;
    const int w = sunday ? 1 : today.dayOfWeek() + 1; // Sunday = 1 .. Saturday = 7
    switch (reportPeriod) {
    case 1:
        return sunday ? 7 : w - 1;
    case 2:
        return sunday ? 14 : w - 1 + 7;
    case 3:
        return 30;
    case 4:
        return 365;
    default:
        return 3650;
    }
}

std::optional<TimesColour> TimesListColour(const QStringList &sortedLines,
                                           std::int32_t targetTime, std::int32_t minTime)
{
    std::optional<TimesColour> colour;
    for (const QString &line : sortedLines) {
        if (line.size() < 5 || line.at(2) == u'×')
            continue;
        // The time is the right-aligned number before "秒", all four characters of it (a
        // time of 1234 seconds is 1234, not its last three digits).
        bool ok = false;
        const int time = line.left(4).trimmed().toInt(&ok);
        if (!ok)
            continue;
        colour = time <= targetTime ? TimesColour::Target
                 : time <= minTime  ? TimesColour::Minimum
                                    : TimesColour::Slower;
    }
    return colour;
}

} // namespace tavoro::menus
