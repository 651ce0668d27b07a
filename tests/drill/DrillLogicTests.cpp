// The rules of the drill without its window: number groups, the draw, judging, the run
// clock, the lamps, the time bar and the status-panel counts.
#include "drill/DrillLogic.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <set>

using namespace tavoro;
using namespace tavoro::drill;

namespace {

// ---- Number groups and the draw ----------------------------------------------------------

TEST(NumberGroups, TextsOfTheSixGroups)
{
    EXPECT_EQ(NumberGroup(1), QStringLiteral("0203040506070809"));
    EXPECT_EQ(NumberGroup(2), QStringLiteral("1011121314151617"));
    EXPECT_EQ(NumberGroup(3), QStringLiteral("1819202122232425"));
    EXPECT_EQ(NumberGroup(4), QStringLiteral("2627282930313233"));
    EXPECT_EQ(NumberGroup(5), QStringLiteral("3435363738394041"));
    EXPECT_EQ(NumberGroup(6), QStringLiteral("424344454647484950"));
    EXPECT_TRUE(NumberGroup(0).isEmpty());
    EXPECT_TRUE(NumberGroup(7).isEmpty());
}

struct DrawCase {
    int group;
    double r;
    int n;
};

class OddPositionDraw : public ::testing::TestWithParam<DrawCase> {};

TEST_P(OddPositionDraw, TwoCharactersFromTheDrawnOddPosition)
{
    EXPECT_EQ(NumberAt(NumberGroup(GetParam().group), GetParam().r), GetParam().n);
}

// p = 2 * int(L * r / 2 + 1) - 1: eight positions for 16 characters, nine for 18.
INSTANTIATE_TEST_SUITE_P(
    Groups, OddPositionDraw,
    ::testing::Values(DrawCase{1, 0.0, 2}, DrawCase{1, 0.1249, 2}, DrawCase{1, 0.125, 3},
                      DrawCase{1, 0.7, 7}, DrawCase{1, 0.875, 9}, DrawCase{1, 0.9999, 9},
                      DrawCase{2, 0.0, 10}, DrawCase{2, 0.9999, 17}, DrawCase{3, 0.4, 21},
                      DrawCase{4, 0.5, 30}, DrawCase{5, 0.99, 41}, DrawCase{6, 0.0, 42},
                      DrawCase{6, 1.0 / 9, 43}, DrawCase{6, 8.0 / 9, 50}, DrawCase{6, 0.9999, 50}));

TEST(OddPositionDraw, EveryNumberOfAGroupEquallyLikely)
{
    test::FakeRandom random(7);
    for (int group = 1; group <= 6; ++group) {
        const QString text = NumberGroup(group);
        const int count = int(text.size()) / 2;
        std::map<int, int> seen;
        const int draws = 9000;
        for (int i = 0; i < draws; ++i)
            ++seen[NumberAt(text, random.next())];
        ASSERT_EQ(int(seen.size()), count) << "group " << group;
        for (const auto &[n, times] : seen) {
            EXPECT_EQ(text.indexOf(QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))) % 2, 0);
            EXPECT_NEAR(times, draws / count, draws / count * 0.15) << "N " << n;
        }
    }
}

struct CountCase {
    int n;
    int count;
};

class AnswerCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(AnswerCounts, FiveOrAsManyAsFitInAHundred)
{
    EXPECT_EQ(AnswerCountFor(GetParam().n), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Bounds, AnswerCounts,
                         ::testing::Values(CountCase{2, 5}, CountCase{7, 5}, CountCase{20, 5},
                                           CountCase{21, 4}, CountCase{25, 4}, CountCase{26, 3},
                                           CountCase{33, 3}, CountCase{34, 2}, CountCase{50, 2}));

struct ClickCase {
    int index;
    int base;
    bool correct;
};

class Judging : public ::testing::TestWithParam<ClickCase> {};

TEST_P(Judging, OnlyTheFirstFiveMultiplesAreRight)
{
    EXPECT_EQ(IsCorrectClick(GetParam().index, GetParam().base), GetParam().correct);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, Judging,
    ::testing::Values(ClickCase{7, 7, true}, ClickCase{14, 7, true}, ClickCase{35, 7, true},
                      ClickCase{42, 7, false}, ClickCase{8, 7, false}, ClickCase{1, 7, false},
                      ClickCase{84, 21, true}, ClickCase{63, 21, true}, ClickCase{22, 21, false},
                      ClickCase{50, 50, true}, ClickCase{100, 50, true}, ClickCase{10, 2, true},
                      ClickCase{12, 2, false}, ClickCase{99, 33, true}, ClickCase{100, 20, true}));

TEST(Draw, LevelsOneToSixDrawFromTheirGroupAndNeverRepeatTheLastN)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        test::FakeRandom random(seed);
        for (int level = 1; level <= 6; ++level) {
            const QString text = NumberGroup(level);
            int previous = 0;
            for (int i = 0; i < 10; ++i) {
                const Problem p = DrawProblem(level, previous, random);
                ASSERT_EQ(p.group, level);
                ASSERT_NE(p.base, previous) << "seed " << seed << " level " << level;
                ASSERT_EQ(
                    text.indexOf(QStringLiteral("%1").arg(p.base, 2, 10, QLatin1Char('0'))) % 2, 0);
                ASSERT_EQ(p.answerCount, AnswerCountFor(p.base));
                previous = p.base;
            }
        }
    }
}

TEST(Draw, MixedLevelDrawsItsGroupAfreshForEveryProblem)
{
    std::set<int> groupsSeen;
    int runsWithSwitch = 0;
    for (unsigned seed = 1; seed <= 500; ++seed) {
        test::FakeRandom random(seed);
        int previous = 0;
        std::set<int> groupsOfRun;
        for (int i = 0; i < 10; ++i) {
            const Problem p = DrawProblem(7, previous, random);
            ASSERT_GE(p.group, 1);
            ASSERT_LE(p.group, 6);
            ASSERT_TRUE(NumberGroup(p.group).contains(QString::number(p.base)));
            ASSERT_NE(p.base, previous);
            groupsOfRun.insert(p.group);
            groupsSeen.insert(p.group);
            previous = p.base;
        }
        if (groupsOfRun.size() > 1)
            ++runsWithSwitch;
    }
    EXPECT_EQ(groupsSeen.size(), 6u);
    // Ten problems from one group by chance: 6 * (1/6)^10 per run.
    EXPECT_EQ(runsWithSwitch, 500);
}

TEST(Draw, MixedLevelUsesOneRandomValueForTheGroupThenOneForN)
{
    test::FakeRandom random;
    // g = int(6 r + 1): 0.5 gives group 4; then r = 0.0 gives its first number.
    random.queued = {0.5, 0.0};
    const Problem p = DrawProblem(7, 0, random);
    EXPECT_EQ(p.group, 4);
    EXPECT_EQ(p.base, 26);
    EXPECT_EQ(p.answerCount, 3);
}

TEST(Draw, RedrawsWhileNEqualsThePreviousProblemsN)
{
    test::FakeRandom random;
    random.queued = {0.7, 0.7, 0.7, 0.0};
    const Problem p = DrawProblem(1, 7, random);
    EXPECT_EQ(p.base, 2);
    EXPECT_TRUE(random.queued.empty());
}

// ---- Run clock --------------------------------------------------------------------------

struct ElapsedCase {
    float clock;
    float start;
    int seconds;
};

class Elapsed : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(Elapsed, RoundedHalvesToEvenAndAcrossMidnight)
{
    EXPECT_EQ(ElapsedSecondsAt(GetParam().clock, GetParam().start), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Seconds, Elapsed,
    ::testing::Values(ElapsedCase{32400.0f, 32400.0f, 0}, ElapsedCase{32400.5f, 32400.0f, 0},
                      ElapsedCase{32401.5f, 32400.0f, 2}, ElapsedCase{32402.5f, 32400.0f, 2},
                      ElapsedCase{32403.5f, 32400.0f, 4}, ElapsedCase{32400.75f, 32400.0f, 1},
                      ElapsedCase{32425.0f, 32390.0f, 35},
                      // A wrong answer just after midnight moves the start below zero.
                      ElapsedCase{12.0f, -8.0f, 20},
                      // Crossing midnight: the clock starts again from 0.
                      ElapsedCase{10.0f, 86390.0f, 20}, ElapsedCase{3.0f, 86385.0f, 18},
                      ElapsedCase{0.0f, 86399.5f, 0}));

TEST(TimeBar, LimitAndScale)
{
    EXPECT_EQ(TimeLimitFor(60), 300);
    EXPECT_EQ(TimeLimitFor(0), 0);
    EXPECT_DOUBLE_EQ(TimeBarScaleFor(300), 15105.0 / 300);
    EXPECT_EQ(TimeBarScaleFor(0), 0.0);
}

struct BarCase {
    int elapsed;
    int limit;
    int width;
};

class ElapsedBar : public ::testing::TestWithParam<BarCase> {};

TEST_P(ElapsedBar, WidthIsSecondsTimesScaleAndFullFromTheLimitOn)
{
    const auto &c = GetParam();
    EXPECT_EQ(ElapsedBarWidth(c.elapsed, c.limit, TimeBarScaleFor(c.limit)), c.width);
}

INSTANTIATE_TEST_SUITE_P(Widths, ElapsedBar,
                         ::testing::Values(BarCase{0, 300, 0}, BarCase{1, 300, 50},
                                           BarCase{150, 300, 7553}, BarCase{299, 300, 15055},
                                           BarCase{300, 300, 15105}, BarCase{450, 300, 15105},
                                           BarCase{1, 0, 15105}));

TEST(TimeBar, CriteriaSegmentsStayOnTheTrack)
{
    const double scale = TimeBarScaleFor(300);
    EXPECT_EQ(BarWidth(30, scale), 1511);
    EXPECT_EQ(BarWidth(60, scale), 3021);
    EXPECT_EQ(BarWidth(400, scale), kTimeBarTrackWidth);
    EXPECT_EQ(BarWidth(0, scale), 0);
}

// ---- Lamps ------------------------------------------------------------------------------

// The "Pass" lamps that are out, as a string of ten marks for lamps 30..39 ('x' out).
std::string lamps(int elapsed, int target, int minTime)
{
    const auto out = PassLampsOut(elapsed, target, minTime);
    std::string s;
    for (int k = kFirstPassLamp; k <= kLastLamp; ++k)
        s += out[k] ? 'x' : 'o';
    for (int k = 0; k < kFirstPassLamp; ++k)
        EXPECT_FALSE(out[k]) << "lamp " << k;
    return s;
}

struct LampCase {
    int elapsed;
    int target;
    int minTime;
    const char *marks;
};

class Lamps : public ::testing::TestWithParam<LampCase> {};

TEST_P(Lamps, PassRowCountsDown)
{
    const auto &c = GetParam();
    EXPECT_EQ(lamps(c.elapsed, c.target, c.minTime), std::string(c.marks))
        << "at " << c.elapsed << " s, target " << c.target << ", min " << c.minTime;
}

INSTANTIATE_TEST_SUITE_P(Seconds, Lamps,
                         ::testing::Values(
                             // Target countdown with TargetTime 30: lamp 30 at 21 s, all at 30 s.
                             LampCase{0, 30, 60, "oooooooooo"}, LampCase{20, 30, 60, "oooooooooo"},
                             LampCase{21, 30, 60, "xooooooooo"}, LampCase{22, 30, 60, "xxoooooooo"},
                             LampCase{29, 30, 60, "xxxxxxxxxo"}, LampCase{30, 30, 60, "xxxxxxxxxx"},
                             LampCase{31, 30, 60, "xxxxxxxxxx"},
                             // A penalty jump past the target puts out every lamp due by then.
                             LampCase{36, 30, 60, "xxxxxxxxxx"}, LampCase{36, 40, 60, "xxxxxxoooo"},
                             // Pass-line countdown with MinTime 40 when the target lies beyond it.
                             LampCase{30, 100, 40, "oooooooooo"},
                             LampCase{31, 100, 40, "xooooooooo"},
                             LampCase{35, 100, 40, "xxxxxooooo"},
                             LampCase{40, 100, 40, "xxxxxxxxxx"},
                             LampCase{41, 100, 40, "xxxxxxxxxx"},
                             // A target of 0 puts every lamp out at the first tick.
                             LampCase{0, 0, 0, "xxxxxxxxxx"}));

TEST(Lamps, OneSecondStepsPutOutOneLampEachInTheLastTenSeconds)
{
    int previous = 0;
    for (int e = 0; e <= 40; ++e) {
        const auto out = PassLampsOut(e, 30, 60);
        const int count = int(std::count(out.begin(), out.end(), true));
        if (e >= 21 && e <= 30)
            EXPECT_EQ(count, previous + 1) << e;
        else
            EXPECT_EQ(count, previous) << e;
        previous = count;
    }
}

// ---- Status panel -----------------------------------------------------------------------

TEST(StatusPanel, MinutesSinceLogin)
{
    EXPECT_EQ(MinutesSinceLogin(32400.0f, 32400), 0);
    EXPECT_EQ(MinutesSinceLogin(32459.9f, 32400), 0);
    EXPECT_EQ(MinutesSinceLogin(32460.0f, 32400), 1);
    EXPECT_EQ(MinutesSinceLogin(33000.0f, 32400), 10);
    // Logged in five minutes before midnight, ten minutes have passed at 00:05.
    EXPECT_EQ(MinutesSinceLogin(300.0f, 86100), 10);
    EXPECT_TRUE(ClosesFilesAt(0));
    EXPECT_TRUE(ClosesFilesAt(20));
    EXPECT_FALSE(ClosesFilesAt(11));
}

TEST(StatusPanel, TitleFont)
{
    EXPECT_DOUBLE_EQ(TitleFontPoints(QStringLiteral("Tavoro")), 16.8);
    EXPECT_DOUBLE_EQ(TitleFontPoints(QStringLiteral("123456789")), 16.8);
    EXPECT_DOUBLE_EQ(TitleFontPoints(QStringLiteral("1234567890")), 14.0);
}

TEST(StatusPanel, RunNumbersOfTodayAndOfTheLevel)
{
    test::FakeWorld world;
    core::AppState &state = *world.state;
    core::SetLevelTable(state);
    state.pupil.CurrentStudent = 12;
    state.run.CurrentLevel = 3;
    EXPECT_EQ(RunNumbersFor(state).today, QStringLiteral("1"));
    EXPECT_EQ(RunNumbersFor(state).level, QStringLiteral("1"));
    state.stats.RunsToday(12, 1) = 2;
    state.stats.RunsToday(12, 3) = 4;
    state.stats.RunsToday(12, 15) = 1;
    state.stats.RunsToday(12, 16) = 9; // beyond the levels summed
    state.stats.RunsToday(11, 3) = 7;  // another pupil
    EXPECT_EQ(RunNumbersFor(state).today, QStringLiteral("8"));
    EXPECT_EQ(RunNumbersFor(state).level, QStringLiteral("5"));
    state.profile.LevelNames[3] = QStringLiteral("レベル３練習");
    EXPECT_EQ(RunNumbersFor(state).today, QStringLiteral("－"));
    EXPECT_EQ(RunNumbersFor(state).level, QStringLiteral("－"));
}

TEST(StatusPanel, Texts)
{
    EXPECT_EQ(InstructionText(), QStringLiteral("の倍数のはじめの５つを選びなさい（１００まで）"));
    EXPECT_EQ(HintCaption(), QStringLiteral("ヒント"));
    EXPECT_EQ(RecordingText(), QStringLiteral("成績記録中"));
    EXPECT_EQ(TimeUpText(), QStringLiteral("時間切れ"));
    EXPECT_EQ(NotCountedText(), QString(QChar(0xFF0D)));
    EXPECT_EQ(ProblemsLeftText(10, 3), QStringLiteral("7"));
}

} // namespace
