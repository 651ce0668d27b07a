// The rules of the finish screen: the clear and too-much conditions, the points of the run
// just ended, the texts of its labels, its record message and sound, and what its timer
// does with "もう一度".
#pragma once

#include <QString>

#include <cstdint>

namespace tavoro::core {
struct AppState;
struct Criteria;
} // namespace tavoro::core

namespace tavoro::records {

// The clear condition of a level for a pupil: period points and period runs have reached
// the level's clear points and clear count.
bool ClearConditionHolds(const core::AppState &state, int pupil, int level);

// The too-much condition: the runs or the earned points of the overuse period have reached
// a limit that is set (not 0).
bool TooMuchConditionHolds(const core::AppState &state, int pupil, int level);

// The points of the run just ended (p) and the points it earns with the level's multiplier
// (e).
struct FinishPoints {
    int points = 0;
    int earned = 0;
};
FinishPoints FinishRunPoints(const core::Criteria &criteria, int level, std::int32_t runTime);

// "獲得ポイント：11点×1.5→16点".
QString PointsLineText(const FinishPoints &points, float multiplier);
// "今の成績：42秒", or "記録なし" after a time-out.
QString ResultLineText(std::int32_t runTime);
// " (このレベル　3回目)" and "（7回目)".
QString LevelRunCountText(double runsToday);
QString DayRunCountText(double runsToday);

// The record message of the run and the sound that goes with it, in their priority: a
// time-out, a new best of the pupil (not of the school), a new best of the school, else
// the fail cue for a run within the minimum time.
enum class FinishSound { None, PersonalRecord, TopRecord, Fail };
struct RecordMessage {
    QString text; // empty: no message
    FinishSound sound = FinishSound::None;
};
RecordMessage RecordMessageFor(int timeOutFlag, int newPersonalBest, int newSchoolBest,
                               std::int32_t runTime, std::int32_t minTime);

// The goal panel is allowed unless some level's clear count is 9999.
bool GoalPanelAllowed(const core::Criteria &criteria);

// What the 500 ms timer does with "もう一度" and the clearing label.
struct RetryDecision {
    bool showRetry = true;
    enum class Label2 { Keep, Clear, MoveOn } label2 = Label2::Keep;
};
RetryDecision DecideRetry(const core::AppState &state);

QString LevelClearedText(); // "このレベルクリア"
QString MoveOnText();       // "次のレベルへ進みましょう"
QString GoalClearedText();  // "目標レベルクリア。おめでとう！"

} // namespace tavoro::records
