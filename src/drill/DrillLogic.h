// The rules of the multiples drill that need no window: the number groups and the drawing
// of a problem, the judging of a click, the run clock with its lamps and time bar, and the
// counts of the status panel. MainFrm asks these and sets its controls.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace tavoro::platform {
class Random;
}

namespace tavoro::core {
struct AppState;
}

namespace tavoro::drill {

// Problems in one run.
constexpr int kQuestionsPerRun = 10;
// The time penalty of a wrong answer, in seconds.
constexpr float kWrongPenaltySeconds = 10.0f;
// Seconds in a day: the clock restarts from 0 at midnight.
constexpr int kSecondsPerDay = 86400;

// The time bar of the status panel, in design twips.
constexpr int kTimeBarTrackWidth = 15105;
constexpr int kTimeBarHeight = 150;

// The countdown lamps sPicture3(10..39); only the "Pass" row 30..39 ever goes out.
constexpr int kFirstLamp = 10;
constexpr int kLastLamp = 39;
constexpr int kFirstPassLamp = 30;

// The texts of the drill.
QString InstructionText(); // "の倍数のはじめの５つを選びなさい（１００まで）"
QString HintCaption();     // "ヒント"
QString RecordingText();   // "成績記録中"
QString RecordingWaitText(); // "成績記録中（順番を待っています）"
QString TimeUpText();        // "時間切れ"
QString NotCountedText();    // "－", the run numbers of a practice level

// ---- Problems -------------------------------------------------------------------------

// The number groups of levels 1..6: two-digit numbers written one after another.
QString NumberGroup(int group);

// The group a problem of `level` draws from: levels 1..6 their own, level 7 ("混合") one
// of the six drawn afresh with `random`. Any other level draws like level 7 as well, so
// that a stray level number can never leave the draw without numbers.
int GroupForLevel(int level, platform::Random &random);

// The number at the odd position drawn by r in [0, 1): p = 2 * int(L * r / 2 + 1) - 1,
// N = the two characters from position p.
int NumberAt(const QString &group, double r);

// How many multiples of n the pupil must click: the first five, or as many as fit in 100.
int AnswerCountFor(int n);

struct Problem {
    int group = 0;
    int base = 0;        // N
    int answerCount = 0; // 5, 4, 3 or 2
};

// Draws the next problem of `level`. N never equals `previousBase`, the N of the previous
// problem of the run (0 before the first).
Problem DrawProblem(int level, int previousBase, platform::Random &random);

// True when clicking `index` is right for the problem N = `base`: one of the first five
// multiples (a larger multiple is wrong).
bool IsCorrectClick(int index, int base);

// ---- Run clock ------------------------------------------------------------------------

// The seconds of the run as the status panel shows them: clock - RunStartTimer rounded to
// the nearest second, halves to even. A run that crosses midnight sees the clock start
// again from 0; a negative difference is therefore taken a day later.
std::int32_t ElapsedSecondsAt(float clock, float runStartTimer);

// The time limit of a level: five times its minimum time.
std::int32_t TimeLimitFor(std::int32_t minTime);

// Width of the track divided by the time limit (0 for a limit of 0, whose run ends at the
// first tick).
double TimeBarScaleFor(std::int32_t timeLimit);

// A width on the time bar in twips: seconds x scale, never beyond the track.
int BarWidth(double seconds, double scale);

// Width of the elapsed bar sShape2 at `elapsed` seconds: the full track from the limit on.
int ElapsedBarWidth(std::int32_t elapsed, std::int32_t timeLimit, double scale);

// True when the run has reached its time limit.
bool TimeLimitReached(std::int32_t elapsed, std::int32_t timeLimit);

// The "Pass" lamps that are out once `elapsed` seconds are shown (index 30..39 set). In
// the last ten seconds before the target time they go out one a second from the left
// (lamp 30 at target - 9, all at the target time); in the last ten seconds before the
// minimum time the same again from the pass-line countdown. Lamps due at seconds the
// clock jumped over (a penalty, a late tick) are out too.
std::array<bool, kLastLamp + 1> PassLampsOut(std::int32_t elapsed, std::int32_t targetTime,
                                             std::int32_t minTime);

// ---- Status panel ---------------------------------------------------------------------

// Whole minutes since the pupil logged in (the clock restarts at midnight, as above).
int MinutesSinceLogin(float clock, std::int32_t loginTime);

// True when the ten-second timer also closes every open file: at 0, 10, 20, ... minutes.
bool ClosesFilesAt(int minutes);

// Font size of the title label sLabel2: 14 points for a title longer than 9 characters,
// else 16.8.
double TitleFontPoints(const QString &title);

// The run numbers of the status panel: today's run of all levels (sLabel12) and this
// level's run today (sLabel11); "－" for both on a practice level.
struct RunNumbers {
    QString today;
    QString level;
};
RunNumbers RunNumbersFor(const core::AppState &state);

// The problems-left text of sLabel9.
QString ProblemsLeftText(int questionsPerRun, std::int32_t solved);

} // namespace tavoro::drill
