// The level menu's logic: geometry, texts and level rules.
#include "LevelMenu.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "menus/NameList.h"
#include "platform/Clock.h"
#include "platform/Numbers.h"
#include "records/FinishRules.h"

#include <cmath>

namespace tavoro::menus {

ColumnGeometry ColumnGeometryFor(int levelCount)
{
    ColumnGeometry g;
    if (levelCount <= 0)
        levelCount = 1;
    if (levelCount <= 4) {
        g.width = 14592 / levelCount;
    } else {
        g.width = 13824 / 4;
        g.scrolls = true;
        g.scrollMaximum = levelCount - 3;
    }
    return g;
}

int FirstColumnLeft()
{
    return int(0.02 * kMenuDesignWidth);
}

int ColumnLeft(int level, int firstColumn, int columnWidth)
{
    const int x = FirstColumnLeft() + (level - firstColumn) * columnWidth;
    return x < 0 ? kMenuDesignWidth : x;
}

bool ColumnInView(int level, int firstColumn, int columnWidth)
{
    return ColumnLeft(level, firstColumn, columnWidth) < kMenuDesignWidth;
}

int EffectiveFirstColumn(int firstColumn, int scrollMaximum)
{
    if (firstColumn <= 0 || firstColumn > scrollMaximum)
        return 1;
    return firstColumn;
}

QString StartButtonCaption(int level)
{
    return QStringLiteral("ｽﾀｰﾄ(&") + QString::number(level) + u')';
}

QString CriteriaText(const core::AppState &state, int level)
{
    const core::Criteria &c = state.criteria;
    const QString target = QStringLiteral("目標=") + QString::number(c.TargetTime[level]);
    if (c.ClearPoints[level] == 9999)
        return target + QStringLiteral("秒") + QStringLiteral(" --------");
    return target + QStringLiteral("秒 ") + QString::number(c.ClearCount[level]) +
           QStringLiteral("回/") + QString::number(c.ClearPoints[level]) + QStringLiteral("点(×") +
           platform::shortestDecimal(c.PointMultiplier[level]) + u')';
}

QString PeriodText(const core::AppState &state, int level)
{
    const int p = state.pupil.CurrentStudent;
    return QStringLiteral("最近") + state.criteria.PassPeriodDays[level].text() +
           QStringLiteral("日=") + QString::number(state.stats.PeriodRuns(p, level)) +
           QStringLiteral("回 / ") + QString::number(state.stats.PeriodPoints(p, level)) +
           QStringLiteral("点");
}

QString TodayText(const core::AppState &state, int level)
{
    const int p = state.pupil.CurrentStudent;
    const float runs = state.stats.RunsToday(p, level);
    if (runs == 0)
        return QStringLiteral("-----");
    return platform::numberText(runs) + QStringLiteral("回/") +
           QString::number(state.stats.PointsToday(p, level)) + QStringLiteral("点");
}

QString TotalText(const core::AppState &state, int level)
{
    const int p = state.pupil.CurrentStudent;
    const int runs = state.stats.TotalRuns(p, level);
    if (runs == 0)
        return QStringLiteral("------");
    return QString::number(runs) + QStringLiteral("回/") +
           QString::number(state.stats.TotalPoints(p, level)) + QStringLiteral("点");
}

QString MinutesSinceLoginText(const core::AppState &state)
{
    const double seconds =
        std::floor(double(state.clock().secondsSinceMidnight()) - double(state.pupil.LoginTime));
    const long long minutes = static_cast<long long>(seconds) / 60;
    return QStringLiteral("起動後") + QString::number(minutes) + QStringLiteral("分");
}

QString RunsTodayTotalText(const core::AppState &state)
{
    const int p = state.pupil.CurrentStudent;
    // Summed in a 16-bit integer: each partial sum is rounded, halves to even.
    std::int16_t n = 0;
    for (int level = 1; level <= core::kMaxLevel; ++level)
        n = platform::toIntegral<std::int16_t>(double(n) + double(state.stats.RunsToday(p, level)));
    return QStringLiteral("本日総回数＝") + QString::number(n) + QStringLiteral("回");
}

QString PupilNumberText(const core::AppState &state)
{
    return QString::number(state.pupil.CurrentStudent) + u':' + state.settings.SchoolName;
}

QString PupilNameText(const core::AppState &state)
{
    return TrimSpaces(state.pupil.StudentName) + u' ' + state.pupil.CurrentGradeCode;
}

double TitleFontPoints(const QString &title)
{
    return title.size() > 9 ? 20 : 24;
}

LevelRules LevelRulesFor(core::AppState &state)
{
    LevelRules rules;
    const core::Criteria &c = state.criteria;
    const int p = state.pupil.CurrentStudent;
    const int n = std::min<int>(state.profile.LevelCount, core::kMaxLevel);
    const int goal = state.profile.GoalLevel;

    state.stats.GoalCleared =
        (goal >= 1 && goal <= core::kMaxLevel && records::ClearConditionHolds(state, p, goal)) ? 1
                                                                                               : 0;

    rules.enabled[1] = true;
    bool gateClosed = false;
    const bool namedTeacher = TrimSpaces(state.pupil.StudentName) == QStringLiteral("先生");
    for (int i = 1; i <= n; ++i) {
        const bool practice = core::IsPracticeLevel(state, i);
        if (practice)
            rules.enabled[i] = true;
        const bool open = state.profile.AllLevelsOpen == 1 ||
                          (i + 1 <= core::kMaxLevel && c.ClearPoints[i + 1] == 9999) ||
                          namedTeacher || records::ClearConditionHolds(state, p, i) ||
                          (practice && !gateClosed);
        if (!open) {
            gateClosed = true;
            continue;
        }
        if (i >= n)
            continue;
        rules.enabled[i + 1] = true;
        rules.barred[i + 1] = false;
        const bool tooMuch = !practice && state.stats.GoalCleared == 0 &&
                             records::TooMuchConditionHolds(state, p, i);
        if (tooMuch) {
            rules.enabled[i] = false;
            rules.barred[i] = true;
        } else {
            rules.barred[i] = false;
        }
    }
    return rules;
}

std::optional<int> LevelForKey(QChar key, int levelCount)
{
    const char16_t c = key.unicode();
    if (c >= u'1' && c <= u'9') {
        const int k = c - u'0';
        if (k == 1 || levelCount > k - 1)
            return k;
        return std::nullopt;
    }
    if (c >= u'a' && c <= u'd') {
        const int k = 10 + (c - u'a');
        if (levelCount > k - 1)
            return k;
    }
    return std::nullopt;
}

QString TooMuchNotice()
{
    return QStringLiteral("やりすぎ禁止");
}

} // namespace tavoro::menus
