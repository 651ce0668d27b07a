// The rules of the multiples drill.
#include "DrillLogic.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "platform/Numbers.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace tavoro::drill {

QString InstructionText()
{
    return QStringLiteral("の倍数のはじめの５つを選びなさい（１００まで）");
}

QString HintCaption()
{
    return QStringLiteral("ヒント");
}

QString RecordingText()
{
    return QStringLiteral("成績記録中");
}

QString RecordingWaitText()
{
    return QStringLiteral("成績記録中（順番を待っています）");
}

QString TimeUpText()
{
    return QStringLiteral("時間切れ");
}

QString NotCountedText()
{
    return QStringLiteral("－");
}

// ---- Problems -------------------------------------------------------------------------

QString NumberGroup(int group)
{
    switch (group) {
    case 1:
        return QStringLiteral("0203040506070809");
    case 2:
        return QStringLiteral("1011121314151617");
    case 3:
        return QStringLiteral("1819202122232425");
    case 4:
        return QStringLiteral("2627282930313233");
    case 5:
        return QStringLiteral("3435363738394041");
    case 6:
        return QStringLiteral("424344454647484950");
    default:
        return {};
    }
}

int GroupForLevel(int level, platform::Random &random)
{
    if (level >= 1 && level <= 6)
        return level;
    const int g = int(6 * random.next() + 1);
    return std::clamp(g, 1, 6);
}

int NumberAt(const QString &group, double r)
{
    const int length = int(group.size());
    if (length < 2)
        return 0;
    int p = 2 * int(length * r / 2 + 1) - 1;
    p = std::clamp(p, 1, length - 1);
    return group.mid(p - 1, 2).toInt();
}

int AnswerCountFor(int n)
{
    if (n <= 0)
        return 5;
    return std::min(5, 100 / n);
}

Problem DrawProblem(int level, int previousBase, platform::Random &random)
{
    Problem problem;
    problem.group = GroupForLevel(level, random);
    const QString text = NumberGroup(problem.group);
    do {
        problem.base = NumberAt(text, random.next());
    } while (problem.base == previousBase);
    problem.answerCount = AnswerCountFor(problem.base);
    return problem;
}

bool IsCorrectClick(int index, int base)
{
    return base > 0 && index % base == 0 && index / base <= 5;
}

// ---- Run clock ------------------------------------------------------------------------

std::int32_t ElapsedSecondsAt(float clock, float runStartTimer)
{
    // The clock is a single-precision reading, and so is the difference.
    float d = clock - runStartTimer;
    if (d < 0)
        d += float(kSecondsPerDay);
    return platform::toIntegral<std::int32_t>(double(d));
}

std::int32_t TimeLimitFor(std::int32_t minTime)
{
    return platform::toIntegral<std::int32_t>(5.0 * double(minTime));
}

double TimeBarScaleFor(std::int32_t timeLimit)
{
    return timeLimit > 0 ? double(kTimeBarTrackWidth) / double(timeLimit) : 0.0;
}

int BarWidth(double seconds, double scale)
{
    const double w = seconds * scale;
    if (!(w > 0))
        return 0;
    return int(std::lround(std::min(w, double(kTimeBarTrackWidth))));
}

int ElapsedBarWidth(std::int32_t elapsed, std::int32_t timeLimit, double scale)
{
    if (TimeLimitReached(elapsed, timeLimit))
        return kTimeBarTrackWidth;
    return BarWidth(double(elapsed), scale);
}

bool TimeLimitReached(std::int32_t elapsed, std::int32_t timeLimit)
{
    return elapsed >= timeLimit;
}

std::array<bool, kLastLamp + 1> PassLampsOut(std::int32_t elapsed, std::int32_t targetTime,
                                             std::int32_t minTime)
{
    std::array<bool, kLastLamp + 1> out{};
    // Target countdown: lamp 30 + k is due at target - 9 + k.
    const long long byTarget = (long long)elapsed - targetTime + 9;
    for (long long k = 0; k <= std::min<long long>(byTarget, 9); ++k)
        out[kFirstPassLamp + k] = true;
    // Pass-line countdown: lamp 39 - k is due at minTime - k.
    const long long first = std::max<long long>(0, (long long)minTime - elapsed);
    for (long long k = first; k <= 9; ++k)
        out[kLastLamp - k] = true;
    return out;
}

// ---- Status panel ---------------------------------------------------------------------

int MinutesSinceLogin(float clock, std::int32_t loginTime)
{
    long long d = (long long)std::floor(double(clock)) - loginTime;
    if (d < 0)
        d += kSecondsPerDay;
    return int(d / 60);
}

bool ClosesFilesAt(int minutes)
{
    return minutes % 10 == 0;
}

double TitleFontPoints(const QString &title)
{
    return title.size() > 9 ? 14.0 : 16.8;
}

RunNumbers RunNumbersFor(const core::AppState &state)
{
    const int student = state.pupil.CurrentStudent;
    const int level = state.run.CurrentLevel;
    if (core::IsPracticeLevel(state, level))
        return {NotCountedText(), NotCountedText()};
    if (student < 0 || student > core::kMaxStudent || level < 0 || level > core::kMaxLevel)
        return {QStringLiteral("1"), QStringLiteral("1")};
    // Today's runs of levels 1..15, summed in a 16-bit count.
    std::int16_t total = 0;
    for (int k = 1; k <= 15; ++k)
        total = platform::toIntegral<std::int16_t>(double(total) +
                                                   double(state.stats.RunsToday(student, k)));
    return {QString::number(int(total) + 1),
            platform::numberText(double(state.stats.RunsToday(student, level)) + 1)};
}

QString ProblemsLeftText(int questionsPerRun, std::int32_t solved)
{
    return QString::number(questionsPerRun - solved);
}

} // namespace tavoro::drill
