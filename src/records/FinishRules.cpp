// The rules of the finish screen.
#include "FinishRules.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "platform/Numbers.h"
#include "records/Points.h"

namespace tavoro::records {

bool ClearConditionHolds(const core::AppState &state, int pupil, int level)
{
    if (level < 0 || level > core::kMaxLevel || pupil < 0 || pupil > core::kMaxStudent)
        return false;
    return state.stats.PeriodPoints(pupil, level) >= state.criteria.ClearPoints[level] &&
           state.stats.PeriodRuns(pupil, level) >= state.criteria.ClearCount[level];
}

bool TooMuchConditionHolds(const core::AppState &state, int pupil, int level)
{
    if (level < 0 || level > core::kMaxLevel || pupil < 0 || pupil > core::kMaxStudent)
        return false;
    const core::Variant &count = state.criteria.OveruseCount[level];
    const core::Variant &points = state.criteria.OverusePoints[level];
    return (count.isNonZero() && count.reachedBy(state.stats.OveruseRuns(pupil, level))) ||
           (points.isNonZero() && points.reachedBy(state.stats.OveruseEarned(pupil, level)));
}

FinishPoints FinishRunPoints(const core::Criteria &criteria, int level, std::int32_t runTime)
{
    FinishPoints fp;
    fp.points = RunPoints(criteria.TargetTime[level], runTime);
    fp.earned = EarnedPoints(criteria.PointMultiplier[level], fp.points);
    return fp;
}

QString PointsLineText(const FinishPoints &points, float multiplier)
{
    return QStringLiteral("獲得ポイント：") + QString::number(points.points) +
           QStringLiteral("点×") + platform::shortestDecimal(multiplier) + QStringLiteral("→") +
           QString::number(points.earned) + QStringLiteral("点");
}

QString ResultLineText(std::int32_t runTime)
{
    if (runTime > 99997)
        return QStringLiteral("記録なし");
    return QStringLiteral("今の成績：") + QString::number(runTime) + QStringLiteral("秒");
}

QString LevelRunCountText(double runsToday)
{
    return QStringLiteral(" (このレベル　") + platform::numberText(runsToday) +
           QStringLiteral("回目)");
}

QString DayRunCountText(double runsToday)
{
    return QStringLiteral("（") + platform::numberText(runsToday) + QStringLiteral("回目)");
}

RecordMessage RecordMessageFor(int timeOutFlag, int newPersonalBest, int newSchoolBest,
                               std::int32_t runTime, std::int32_t minTime)
{
    if (timeOutFlag == 1)
        return {QStringLiteral("時間切れ"), FinishSound::None};
    if (newPersonalBest == 1 && newSchoolBest != 1)
        return {QStringLiteral("新記録おめでとう"), FinishSound::PersonalRecord};
    if (newSchoolBest == 1)
        return {QStringLiteral("！！！最高新記録！！！"), FinishSound::TopRecord};
    if (runTime <= minTime)
        return {QString(), FinishSound::Fail};
    return {};
}

bool GoalPanelAllowed(const core::Criteria &criteria)
{
    for (int level = 1; level <= core::kMaxLevel; ++level)
        if (criteria.ClearCount[level] == 9999)
            return false;
    return true;
}

RetryDecision DecideRetry(const core::AppState &state)
{
    RetryDecision d;
    const int p = state.pupil.CurrentStudent;
    const int level = state.run.CurrentLevel;
    if (!TooMuchConditionHolds(state, p, level))
        return d;
    if (!ClearConditionHolds(state, p, level))
        return d;
    if (level == state.profile.GoalLevel) {
        d.label2 = RetryDecision::Label2::Clear;
        return d;
    }
    if (state.stats.GoalCleared == 0) {
        d.showRetry = false;
        d.label2 = RetryDecision::Label2::MoveOn;
    }
    return d;
}

QString LevelClearedText()
{
    return QStringLiteral("このレベルクリア");
}

QString MoveOnText()
{
    return QStringLiteral("次のレベルへ進みましょう");
}

QString GoalClearedText()
{
    return QStringLiteral("目標レベルクリア。おめでとう！");
}

} // namespace tavoro::records
