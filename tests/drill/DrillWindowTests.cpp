// Whole runs through the real drill window on the offscreen platform: the test clicks the
// panel with the mouse, moves the clock and fires the run clock; the recording step writes
// the temporary installation's grade file.
#include "DrillHarness.h"

#include "core/Profile.h"
#include "drill/DrillLogic.h"
#include "platform/RecordFile.h"
#include "support/PostedInput.h"
#include "support/Shots.h"

#include <QDate>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <set>

using namespace tavoro;
using namespace tavoro::test;
using drill::MainFrm;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kWhite(255, 255, 255);

QColor cellColor(const MainFrm *w, int k)
{
    return w->Label1[k]->palette().color(QPalette::Window);
}

// The "Pass" lamps 30..39 as ten marks, 'x' for a lamp that is out.
std::string passLamps(const MainFrm *w)
{
    std::string s;
    for (int k = 30; k <= 39; ++k)
        s += w->sPicture3[k]->isHidden() ? 'x' : 'o';
    return s;
}

int groupOf(int n)
{
    for (int g = 1; g <= 6; ++g) {
        const QString text = drill::NumberGroup(g);
        for (int p = 0; p + 1 < text.size(); p += 2)
            if (text.mid(p, 2).toInt() == n)
                return g;
    }
    return 0;
}

int countSuffix(const QStringList &plays, const QString &suffix)
{
    int n = 0;
    for (const QString &p : plays)
        if (p.endsWith(suffix))
            ++n;
    return n;
}

// ---- A clean run --------------------------------------------------------------------------

TEST_F(DrillTest, CleanRunOfTenProblemsIsRecordedAndOpensTheFinishScreen)
{
    start(3);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(w->sLabel9->text(), QStringLiteral("10"));
    EXPECT_TRUE(w->sTimer1->isActive());
    EXPECT_EQ(w->sTimer1->interval(), 1000);
    EXPECT_EQ(w->sTimer2->interval(), 10000);
    EXPECT_FLOAT_EQ(state().run.RunStartTimer, 9 * 3600.0f);

    int previous = 0;
    int playsBefore = 0;
    bool checkedWait = false;
    for (int problem = 1; problem <= 10; ++problem) {
        const int n = shownN();
        ASSERT_GE(n, 18);
        ASSERT_LE(n, 25);
        ASSERT_NE(n, previous);
        previous = n;
        const int count = n <= 20 ? 5 : 4;
        EXPECT_EQ(w->AnswerCount, count);
        if (problem == 10) {
            // The end of the run: input during the notice and the wait is ignored.
            screens.onShowWait = [&] {
                checkedWait = true;
                EXPECT_TRUE(w->sPicture2->isVisible());
                EXPECT_TRUE(w->lblsss1->isVisible());
                EXPECT_FALSE(w->lblsss2->isVisible());
                EXPECT_EQ(w->lblsss1->text(), QStringLiteral("成績記録中"));
                EXPECT_EQ(gradeFile().size(), 44); // recorded before the wait
                const float startTimer = state().run.RunStartTimer;
                const int plays = int(world.sound.played.size());
                click(1);
                click(99);
                w->Command1_Click();
                world.clock.advanceSeconds(500);
                w->sTimer1_Timer();
                EXPECT_EQ(int(world.sound.played.size()), plays);
                EXPECT_EQ(state().run.RunStartTimer, startTimer);
                EXPECT_EQ(state().run.TimeOutFlag, 0);
                EXPECT_EQ(state().run.SolvedCount, 10);
                EXPECT_FALSE(w->Picture1->isVisible());
            };
        }
        for (int i = 1; i <= count; ++i) {
            if (i < count || problem < 10) {
                click(i * n);
            } else {
                const std::uint32_t before = world.clock.tick;
                click(i * n);
                EXPECT_GE(world.clock.tick - before, 1000u);
            }
            if (problem < 10 && i < count) {
                EXPECT_EQ(cellColor(w, i * n), kWhite);
                EXPECT_FALSE(w->Label1[i * n]->isEnabled());
            }
        }
        EXPECT_EQ(state().run.SolvedCount, problem);
        EXPECT_EQ(int(world.sound.played.size()), playsBefore + 1);
        EXPECT_TRUE(world.sound.played.last().endsWith(QStringLiteral("seikai1.wav")) ||
                    world.sound.played.last().endsWith(QStringLiteral("seikai2.wav")));
        playsBefore = int(world.sound.played.size());
        if (problem < 10) {
            EXPECT_EQ(w->sLabel9->text(), QString::number(10 - problem));
            // The next problem starts on a green panel.
            for (int k = 1; k <= 100; ++k) {
                ASSERT_EQ(cellColor(w, k), kGreen) << k;
                ASSERT_TRUE(w->Label1[k]->isEnabled());
            }
            tick(4);
            EXPECT_EQ(w->sLabel10->text(), QString::number(4 * problem));
        }
    }
    EXPECT_TRUE(checkedWait);
    EXPECT_EQ(state().run.RunFinished, 1);
    EXPECT_EQ(state().run.RecordingStarted, 1);
    EXPECT_EQ(state().run.RunTime, 36);
    EXPECT_EQ(screens.log, QStringList({"showDrill", "closeLevelMenu", "closeWait", "showWait",
                                        "closeDrill", "showFinish"}));
    // One second counted in ten-millisecond steps: a step counts once more than 10 ms have
    // passed, so the hundredth step ends 1010 ms after the start.
    EXPECT_EQ(screens.finishTick - screens.waitTick, 1010u);

    const QByteArray file = gradeFile();
    ASSERT_EQ(file.size(), 44);
    const RecordFields r = ReadRecord(file, 1);
    EXPECT_EQ(r.date, double(QDate(1899, 12, 30).daysTo(QDate(2026, 12, 9))));
    EXPECT_DOUBLE_EQ(r.clock, (9 * 3600.0 + 36) / 86400.0);
    EXPECT_EQ(r.student, 12);
    EXPECT_EQ(r.level, 3);
    EXPECT_EQ(r.seconds, 36);
    EXPECT_EQ(r.school, QByteArray("12345"));
    EXPECT_EQ(r.note, QByteArray("     "));
    EXPECT_EQ(r.points, QByteArray("0    "));
    EXPECT_EQ(state().stats.PersonalBest(12, 3), 36);
    EXPECT_EQ(state().run.NewPersonalBest, 1);

    flushDeletes();
    EXPECT_FALSE(w) << "the drill window is unloaded";
}

// ---- Problems as the levels give them --------------------------------------------------------

struct ProblemCase {
    int level;
    double r; // the random value that draws N
    int n;
    int count;
};

class DrillProblems : public DrillTest, public ::testing::WithParamInterface<ProblemCase> {};

TEST_P(DrillProblems, TheFirstMultiplesCompleteTheProblem)
{
    const ProblemCase c = GetParam();
    world.random.queued = {c.r};
    start(c.level);
    ASSERT_EQ(shownN(), c.n);
    EXPECT_EQ(w->Label2->text(), QString::number(c.n));
    EXPECT_EQ(w->AnswerCount, c.count);
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(w->Label5[k]->text(), QString::number(k * c.n));
    for (int i = 1; i < c.count; ++i)
        click(i * c.n);
    EXPECT_EQ(state().run.SolvedCount, 0);
    EXPECT_EQ(w->List1->count(), c.count - 1);
    click(c.count * c.n);
    EXPECT_EQ(state().run.SolvedCount, 1);
    EXPECT_EQ(w->sLabel9->text(), QStringLiteral("9"));
    EXPECT_NE(shownN(), c.n);
    EXPECT_EQ(w->List1->count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, DrillProblems,
                         ::testing::Values(ProblemCase{1, 0.7, 7, 5}, ProblemCase{2, 0.9, 17, 5},
                                           ProblemCase{3, 0.4, 21, 4}, ProblemCase{4, 0.0, 26, 3},
                                           ProblemCase{5, 0.0, 34, 2},
                                           ProblemCase{6, 0.95, 50, 2}));

TEST_F(DrillTest, SixthMultipleIsWrong)
{
    world.random.queued = {0.7}; // N = 7
    start(1);
    ASSERT_EQ(shownN(), 7);
    click(7);
    click(42);
    EXPECT_EQ(state().run.SolvedCount, 0);
    EXPECT_EQ(w->WrongInProblem, 1);
    EXPECT_EQ(cellColor(w, 7), kGreen);
}

// ---- Wrong clicks and hints ---------------------------------------------------------------

TEST_F(DrillTest, WrongClicksShowHintsOneByOneAndTheStripHidesAtTheNextClick)
{
    world.random.queued = {0.7}; // N = 7
    start(1);
    ASSERT_EQ(shownN(), 7);
    EXPECT_FALSE(w->Picture1->isVisible());
    EXPECT_EQ(w->Label4->text(), QStringLiteral("ヒント"));
    const float start = state().run.RunStartTimer;

    click(7);
    click(14);
    click(21);
    EXPECT_EQ(cellColor(w, 21), kWhite);
    click(42); // a multiple, but not one of the first five
    EXPECT_TRUE(w->Picture1->isVisible());
    EXPECT_TRUE(w->Label5[1]->isVisible());
    EXPECT_EQ(w->Label5[1]->text(), QStringLiteral("7"));
    for (int k = 2; k <= 5; ++k)
        EXPECT_FALSE(w->Label5[k]->isVisible()) << k;
    EXPECT_FLOAT_EQ(state().run.RunStartTimer, start - 10);
    EXPECT_TRUE(world.sound.played.last().endsWith(QStringLiteral("machigai1.wav")));
    // The problem starts over: every number green and clickable, the same N.
    for (int k = 1; k <= 100; ++k) {
        ASSERT_EQ(cellColor(w, k), kGreen) << k;
        ASSERT_TRUE(w->Label1[k]->isEnabled()) << k;
    }
    EXPECT_EQ(w->List1->count(), 0);
    EXPECT_EQ(shownN(), 7);
    EXPECT_EQ(w->sLabel9->text(), QStringLiteral("10"));

    click(7); // the next click hides the strip
    EXPECT_FALSE(w->Picture1->isVisible());
    EXPECT_EQ(cellColor(w, 7), kWhite);

    click(8);
    EXPECT_TRUE(w->Picture1->isVisible());
    EXPECT_TRUE(w->Label5[1]->isVisible());
    EXPECT_TRUE(w->Label5[2]->isVisible());
    EXPECT_EQ(w->Label5[2]->text(), QStringLiteral("14"));
    EXPECT_FALSE(w->Label5[3]->isVisible());
    EXPECT_EQ(cellColor(w, 7), kGreen);

    for (int k : {1, 2, 3}) // third, fourth and fifth wrong answer
        click(k);
    for (int k = 1; k <= 5; ++k)
        EXPECT_TRUE(w->Label5[k]->isVisible()) << k;
    EXPECT_EQ(w->Label5[5]->text(), QStringLiteral("35"));
    saveShot(w, QStringLiteral("drill_hints_all_five_1024x768"));
    click(4); // a sixth: no more hints to show
    EXPECT_EQ(w->WrongInProblem, 6);
    EXPECT_FLOAT_EQ(state().run.RunStartTimer, start - 60);
    EXPECT_EQ(countSuffix(world.sound.played, QStringLiteral("machigai1.wav")), 6);

    tick(1);
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("61"));
    EXPECT_EQ(state().run.ElapsedSeconds, 61);
}

TEST_F(DrillTest, HintsStopAtTheAnswersOfTheProblem)
{
    world.random.queued = {0.95}; // level 6, N = 50: two answers
    start(6);
    ASSERT_EQ(shownN(), 50);
    for (int k : {1, 2, 3})
        click(k);
    EXPECT_TRUE(w->Label5[1]->isVisible());
    EXPECT_TRUE(w->Label5[2]->isVisible());
    EXPECT_FALSE(w->Label5[3]->isVisible());
    EXPECT_EQ(w->Label5[3]->text(), QStringLiteral("150"));
    click(50);
    click(100);
    EXPECT_EQ(state().run.SolvedCount, 1);
    // The new problem hides the strip and its hints.
    EXPECT_FALSE(w->Picture1->isVisible());
    EXPECT_EQ(w->WrongInProblem, 0);
    for (int k = 1; k <= 5; ++k)
        EXPECT_TRUE(w->Label5[k]->isHidden());
}

// ---- The clock, the penalty and the lamps -------------------------------------------------

TEST_F(DrillTest, PenaltyShowsInTheNextTickAndPutsOutTheLampsDueAtOnce)
{
    state().criteria.TargetTime[2] = 40;
    state().criteria.MinTime[2] = 60;
    start(2);
    tick(25);
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("25"));
    EXPECT_EQ(passLamps(w), "oooooooooo");
    EXPECT_EQ(w->designRect(w->sShape2).width(), 1259); // 25 x 15105 / 300
    click(1);
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("25")); // shown at the next tick
    tick(1);
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("36"));
    EXPECT_EQ(passLamps(w), "xxxxxxoooo");
    EXPECT_EQ(w->designRect(w->sShape2).width(), 1813);
}

TEST_F(DrillTest, PenaltyPastTheTargetPutsOutTheWholeRow)
{
    state().criteria.TargetTime[2] = 30;
    state().criteria.MinTime[2] = 60;
    start(2);
    tick(25);
    EXPECT_EQ(passLamps(w), "xxxxxooooo");
    click(1);
    tick(1);
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("36"));
    EXPECT_EQ(passLamps(w), "xxxxxxxxxx");
}

TEST_F(DrillTest, TargetCountdownLampsAtTheirSeconds)
{
    state().criteria.TargetTime[1] = 30;
    state().criteria.MinTime[1] = 60;
    start(1);
    for (int s = 1; s <= 31; ++s) {
        tick(1);
        ASSERT_EQ(w->sLabel10->text(), QString::number(s));
        std::string expected(10, 'o');
        for (int k = 0; k <= std::min(9, s - 21); ++k)
            expected[k] = 'x';
        ASSERT_EQ(passLamps(w), expected) << "at " << s << " s";
        for (int k = 10; k <= 29; ++k)
            ASSERT_FALSE(w->sPicture3[k]->isHidden()) << "lamp " << k << " at " << s;
    }
}

TEST_F(DrillTest, PassLineCountdownLampsAtTheirSeconds)
{
    state().criteria.TargetTime[1] = 100;
    state().criteria.MinTime[1] = 40;
    start(1);
    tick(30);
    EXPECT_EQ(passLamps(w), "oooooooooo");
    tick(1);
    EXPECT_EQ(passLamps(w), "xooooooooo");
    tick(4);
    EXPECT_EQ(passLamps(w), "xxxxxooooo");
    tick(5);
    EXPECT_EQ(passLamps(w), "xxxxxxxxxx");
}

TEST_F(DrillTest, HalfSecondsRoundToEven)
{
    start(1);
    tick(2.5);
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("2"));
    tick(1.0); // 3.5
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("4"));
    tick(1.25); // 4.75
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("5"));
}

TEST_F(DrillTest, RunCrossingMidnightKeepsCounting)
{
    world.clock.seconds = 86390; // 23:59:50
    state().pupil.LoginTime = 86100;
    start(1);
    EXPECT_EQ(w->sLabel13->text(), QStringLiteral("4"));
    world.clock.seconds = 10; // 00:00:10
    world.clock.tick += 20000;
    w->sTimer1_Timer();
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("20"));
    EXPECT_EQ(state().run.TimeOutFlag, 0);
    w->sTimer2_Timer();
    EXPECT_EQ(w->sLabel13->text(), QStringLiteral("5"));
}

// ---- Time-out -----------------------------------------------------------------------------

TEST_F(DrillTest, TimeOutAtFiveTimesTheMinimumTime)
{
    state().criteria.TargetTime[2] = 30;
    state().criteria.MinTime[2] = 60;
    start(2);
    EXPECT_EQ(state().run.TimeLimit, 300);
    tick(299);
    EXPECT_EQ(state().run.TimeOutFlag, 0);
    EXPECT_EQ(w->designRect(w->sShape2).width(), 15055);
    bool noticeSeen = false;
    screens.onShowWait = [&] {
        noticeSeen = true;
        EXPECT_TRUE(w->sPicture2->isVisible());
        EXPECT_TRUE(w->lblsss2->isVisible());
        EXPECT_EQ(w->lblsss2->text(), QStringLiteral("時間切れ"));
        EXPECT_FALSE(w->lblsss1->isVisible());
        EXPECT_EQ(w->sPicture2->geometry(), w->rect());
        saveShot(w, QStringLiteral("drill_timeout_1024x768"));
        // Clicks after the time-out are ignored.
        const int plays = int(world.sound.played.size());
        click(1);
        click(shownN());
        EXPECT_EQ(int(world.sound.played.size()), plays);
    };
    tick(1);
    EXPECT_TRUE(noticeSeen);
    EXPECT_EQ(state().run.TimeOutFlag, 1);
    EXPECT_EQ(state().run.RunTime, 99999);
    EXPECT_EQ(state().run.SolvedCount, 0);
    EXPECT_EQ(state().run.NewPersonalBest, 0);
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->sTimer1->isActive());
    EXPECT_EQ(w->designRect(w->sShape2).width(), drill::kTimeBarTrackWidth);
    EXPECT_EQ(screens.log.count(QStringLiteral("showFinish")), 1);
    const QByteArray file = gradeFile();
    ASSERT_EQ(file.size(), 44);
    EXPECT_EQ(ReadRecord(file, 1).seconds, 99999);
    EXPECT_EQ(ReadRecord(file, 1).level, 2);
}

TEST_F(DrillTest, TimeOutCountsThePenalties)
{
    state().criteria.MinTime[2] = 60;
    start(2);
    for (int i = 0; i < 29; ++i)
        click(1);
    tick(9);
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("299"));
    EXPECT_EQ(state().run.TimeOutFlag, 0);
    tick(1);
    EXPECT_EQ(state().run.TimeOutFlag, 1);
    EXPECT_EQ(ReadRecord(gradeFile(), 1).seconds, 99999);
}

// ---- A tenth solve and a time-out in the same moment --------------------------------------

class SameMoment : public DrillTest {
protected:
    // Nine problems solved, the clock at 299 s, the tenth problem one click from solved.
    void prepare()
    {
        state().criteria.MinTime[6] = 60;
        start(6);
        for (int p = 0; p < 9; ++p)
            clickMultiples();
        ASSERT_EQ(state().run.SolvedCount, 9);
        tick(299);
        EXPECT_EQ(state().run.ElapsedSeconds, 299);
        clickMultiples(1);
        m_last = 2 * shownN();
        world.clock.advanceSeconds(1); // the limit is reached; its tick is due
    }
    int m_last = 0;
};

TEST_F(SameMoment, SolveFirstRecordsTheElapsedTimeOnce)
{
    prepare();
    screens.onShowWait = [&] {
        w->sTimer1_Timer(); // the tick due at the limit arrives during the end of the run
        EXPECT_EQ(state().run.TimeOutFlag, 0);
        EXPECT_TRUE(w->lblsss1->isVisible());
        EXPECT_FALSE(w->lblsss2->isVisible());
    };
    click(m_last);
    EXPECT_EQ(state().run.SolvedCount, 10);
    EXPECT_EQ(state().run.RunTime, 299);
    EXPECT_EQ(screens.log.count(QStringLiteral("showFinish")), 1);
    const QByteArray file = gradeFile();
    ASSERT_EQ(file.size(), 44);
    EXPECT_EQ(ReadRecord(file, 1).seconds, 299);
}

TEST_F(SameMoment, TickFirstRecordsTheTimeOutOnce)
{
    prepare();
    screens.onShowWait = [&] { click(m_last); };
    w->sTimer1_Timer();
    EXPECT_EQ(state().run.TimeOutFlag, 1);
    EXPECT_EQ(state().run.SolvedCount, 9);
    EXPECT_EQ(screens.log.count(QStringLiteral("showFinish")), 1);
    const QByteArray file = gradeFile();
    ASSERT_EQ(file.size(), 44);
    EXPECT_EQ(ReadRecord(file, 1).seconds, 99999);
}

TEST_F(SameMoment, TickArrivingWhileTheClickIsHandledRecordsOnce)
{
    prepare();
    QPointer<MainFrm> window = w;
    QMetaObject::invokeMethod(
        w,
        [window] {
            if (window)
                window->sTimer1_Timer();
        },
        Qt::QueuedConnection);
    click(m_last);
    EXPECT_EQ(state().run.RecordingStarted, 1);
    EXPECT_EQ(screens.log.count(QStringLiteral("showWait")), 1);
    EXPECT_EQ(screens.log.count(QStringLiteral("showFinish")), 1);
    EXPECT_EQ(gradeFile().size(), 44);
    EXPECT_EQ(int(world.sound.played.size()),
              countSuffix(world.sound.played, QStringLiteral("seikai1.wav")) +
                  countSuffix(world.sound.played, QStringLiteral("seikai2.wav")));
}

// ---- N within a run -------------------------------------------------------------------------

struct SeedCase {
    int level;
    unsigned seed;
};

class SeededRuns : public DrillTest, public ::testing::WithParamInterface<SeedCase> {};

TEST_P(SeededRuns, NeverTheSameNTwiceInARowAndLevelSevenSwitchesGroups)
{
    const SeedCase c = GetParam();
    world.random = FakeRandom(c.seed);
    start(c.level);
    std::vector<int> ns;
    for (int p = 0; p < 10; ++p) {
        ns.push_back(shownN());
        clickMultiples();
    }
    ASSERT_EQ(state().run.SolvedCount, 10);
    std::set<int> groups;
    for (std::size_t i = 0; i < ns.size(); ++i) {
        if (i > 0) {
            EXPECT_NE(ns[i], ns[i - 1]) << "problem " << i + 1;
        }
        const int g = groupOf(ns[i]);
        ASSERT_NE(g, 0) << ns[i];
        if (c.level != 7) {
            EXPECT_EQ(g, c.level) << ns[i];
        }
        groups.insert(g);
    }
    if (c.level == 7) {
        EXPECT_GE(groups.size(), 3u) << "level 7 draws its group afresh for every problem";
    }
    EXPECT_EQ(gradeFile().size(), 44);
}

std::vector<SeedCase> seedCases()
{
    std::vector<SeedCase> cases;
    for (unsigned seed = 1; seed <= 4; ++seed)
        for (int level = 1; level <= 6; ++level)
            cases.push_back({level, seed * 31 + unsigned(level)});
    for (unsigned seed = 1; seed <= 16; ++seed)
        cases.push_back({7, seed * 977});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Seeds, SeededRuns, ::testing::ValuesIn(seedCases()));

TEST_F(DrillTest, NextRunMayStartWithTheLastNOfThePreviousRun)
{
    world.random.queued = {0.7}; // N = 7
    start(1);
    ASSERT_EQ(shownN(), 7);
    EXPECT_EQ(w->PreviousBase, 7);
    tick(1);
    w->close();
    flushDeletes();
    world.random.queued = {0.7};
    start(1);
    EXPECT_EQ(shownN(), 7);
}

// ---- Status panel -------------------------------------------------------------------------

TEST_F(DrillTest, StatusPanelShowsPupilLevelAndCounts)
{
    state().stats.RunsToday(12, 1) = 2;
    state().stats.RunsToday(12, 3) = 1;
    start(3);
    EXPECT_EQ(w->sLabel2->text(), QStringLiteral("Tavoro"));
    EXPECT_EQ(w->sLabel7->text(), QStringLiteral("山田　太郎"));
    EXPECT_EQ(w->sLabel8->text(), QStringLiteral("ﾚﾍﾞﾙ3"));
    EXPECT_EQ(w->sLabel14->text(), QStringLiteral("テスト小学校"));
    EXPECT_EQ(w->sLabel3->text(), QStringLiteral("レベル"));
    EXPECT_EQ(w->sLabel13->text(), QStringLiteral("10"));
    EXPECT_EQ(w->sLabel12->text(), QStringLiteral("4"));
    EXPECT_EQ(w->sLabel11->text(), QStringLiteral("2"));
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("0"));
    EXPECT_EQ(w->sLabel9->text(), QStringLiteral("10"));
    EXPECT_EQ(w->remainCaption->text(), QStringLiteral("残り"));
    EXPECT_EQ(w->problemsCaption->text(), QStringLiteral("問"));
    EXPECT_EQ(w->timeCaption->text(), QStringLiteral("タイム"));
    const char16_t *fixed[6] = {u"起動後", u"分", u"本日", u"回目", u"このレベル", u"回目"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w->sLabel16[i]->text(), QString::fromUtf16(fixed[i]));
    EXPECT_EQ(w->bestCaption->text(), QStringLiteral("Best"));
    EXPECT_EQ(w->yourBestCaption->text(), QStringLiteral("YourBest"));
    EXPECT_EQ(w->passCaption->text(), QStringLiteral("Pass"));

    // Level 3: target 35, minimum 75 seconds, limit 375.
    EXPECT_EQ(state().run.TimeLimit, 375);
    EXPECT_DOUBLE_EQ(state().run.TimeBarScale, 15105.0 / 375);
    EXPECT_EQ(w->designRect(w->sShape5), QRect(120, 1200, 15105, 150));
    EXPECT_EQ(w->designRect(w->sShape3), QRect(120, 1200, 1410, 150));
    EXPECT_EQ(w->designRect(w->sShape4), QRect(120, 1200, 3021, 150));
    EXPECT_EQ(w->designRect(w->sShape2).width(), 0);
    EXPECT_EQ(w->designRect(w->sShape7).width(), 0);
    for (int k = 10; k <= 39; ++k) {
        EXPECT_EQ(w->designRect(w->sPicture3[k]).size(), QSize(255, 135));
        EXPECT_EQ(w->designRect(w->sPicture3[k]).top(), 1440);
        EXPECT_FALSE(w->sPicture3[k]->isHidden());
    }
    EXPECT_EQ(w->sPicture3[10]->palette().color(QPalette::Window), ui::vbColor(0x8000));
    EXPECT_EQ(w->sPicture3[20]->palette().color(QPalette::Window), ui::vbColor(0xC0C0));
    EXPECT_EQ(w->sPicture3[30]->palette().color(QPalette::Window), ui::vbColor(0xC0));

    world.clock.advanceSeconds(59.5);
    w->sTimer2_Timer();
    EXPECT_EQ(w->sLabel13->text(), QStringLiteral("10"));
    world.clock.advanceSeconds(0.5);
    w->sTimer2_Timer();
    EXPECT_EQ(w->sLabel13->text(), QStringLiteral("11"));
}

TEST_F(DrillTest, PracticeLevelIsNeitherRecordedNorFinished)
{
    state().profile.LevelNames[3] = QStringLiteral("レベル３練習");
    start(3);
    EXPECT_EQ(w->sLabel12->text(), QStringLiteral("－"));
    EXPECT_EQ(w->sLabel11->text(), QStringLiteral("－"));
    for (int p = 0; p < 10; ++p)
        clickMultiples();
    EXPECT_EQ(state().run.RunFinished, 1);
    EXPECT_EQ(screens.log, QStringList({"showDrill", "closeLevelMenu", "closeWait", "showWait",
                                        "closeDrill", "showLevelMenu"}));
    EXPECT_TRUE(gradeFile().isEmpty());
}

// ---- Recording waits for a locked grade file ---------------------------------------------

TEST_F(DrillTest, NoticeTellsThatRecordingWaitsWhileTheFileIsLocked)
{
    platform::RecordFile other;
    ASSERT_TRUE(other.open(inst.gradeFilePath()));
    ASSERT_TRUE(other.tryLockWhole());
    int waitingSeen = 0;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (w && w->lblsss1->isVisible() &&
            w->lblsss1->text() == QStringLiteral("成績記録中（順番を待っています）")) {
            if (++waitingSeen == 3) {
                EXPECT_TRUE(gradeFile().isEmpty());
                other.close(); // the other PC has finished
            }
        }
    });
    watcher.start();
    screens.onShowWait = [&] {
        EXPECT_EQ(w->lblsss1->text(), QStringLiteral("成績記録中"));
        EXPECT_EQ(gradeFile().size(), 44);
    };
    start(1);
    for (int p = 0; p < 10; ++p)
        clickMultiples();
    watcher.stop();
    EXPECT_GE(waitingSeen, 3);
    EXPECT_EQ(gradeFile().size(), 44);
    EXPECT_EQ(screens.log.count(QStringLiteral("showFinish")), 1);
}

TEST_F(DrillTest, TimeOutNoticeAlsoTellsThatRecordingWaits)
{
    state().criteria.MinTime[1] = 10;
    platform::RecordFile other;
    ASSERT_TRUE(other.open(inst.gradeFilePath()));
    ASSERT_TRUE(other.tryLockWhole());
    bool bothSeen = false;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (w && other.isOpen() && w->lblsss2->isVisible() && w->lblsss1->isVisible()) {
            bothSeen = w->lblsss1->text() == QStringLiteral("成績記録中（順番を待っています）");
            other.close();
        }
    });
    watcher.start();
    screens.onShowWait = [&] { EXPECT_FALSE(w->lblsss1->isVisible()); };
    start(1);
    tick(50);
    watcher.stop();
    EXPECT_TRUE(bothSeen);
    EXPECT_EQ(ReadRecord(gradeFile(), 1).seconds, 99999);
}

// ---- Sound failure ------------------------------------------------------------------------

TEST_F(DrillTest, FourthSoundFailureEndsTheProgramWithoutGoingOn)
{
    start(1);
    state().sound.SoundErrorCount = 3;
    world.sound.results = {platform::SoundPlayer::FileNotFound};
    click(1); // never a multiple of N
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_TRUE(world.dialogs.calls[0].text.startsWith(
        QStringLiteral("音声がでません。先生を呼びなさい。\r\n")));
    EXPECT_EQ(world.dialogs.calls[0].title, QStringLiteral("音声エラー"));
    EXPECT_TRUE(world.programExit.requested);
    EXPECT_TRUE(screens.log.contains(QStringLiteral("closeAll")));
    flushDeletes();
    EXPECT_FALSE(w);
}

// ---- Sounds play to their end before the next click ----------------------------------------

TEST_F(DrillTest, ClicksMadeWhileACueSoundsAreHandledAfterIt)
{
    world.random.queued = {0.7}; // N = 7
    start(1);
    world.sound.onPlay = [&](const QString &) {
        // The pupil clicks 7 while the wrong cue is sounding.
        QWidget *cell = w->Label1[7];
        const QPointF c = QRectF(cell->rect()).center();
        const QPointF g = cell->mapToGlobal(c);
        QCoreApplication::postEvent(cell,
                                    new QMouseEvent(QEvent::MouseButtonPress, c, g, Qt::LeftButton,
                                                    Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(cell,
                                    new QMouseEvent(QEvent::MouseButtonRelease, c, g,
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        world.sound.onPlay = nullptr;
    };
    click(1);
    EXPECT_EQ(cellColor(w, 7), kGreen);
    QCoreApplication::processEvents();
    // Handled after the wrong answer reset the panel, so it stands.
    EXPECT_EQ(cellColor(w, 7), kWhite);
    EXPECT_EQ(w->List1->count(), 1);
}

// Clicks made while the click that solves a problem is handled (its step before the
// "right" cue, or the cue itself) belong to the next problem: they are judged after it, in
// their order, against the next problem.
struct ClicksOnTheNextProblem {
    const char *name;
    bool duringTheSound; // queued while the cue plays; else while the solving click waits
    std::vector<int> multiples; // of the next N, clicked in this order
};

class ClicksAfterASolvedProblem : public DrillTest,
                                  public ::testing::WithParamInterface<ClicksOnTheNextProblem> {
};

TEST_P(ClicksAfterASolvedProblem, AreJudgedAgainstTheNextProblem)
{
    const ClicksOnTheNextProblem &c = GetParam();
    // N = 7, then a value for the cue, then the next problem's N, foreseen the same way.
    world.random.queued = {0.7, 0.5, 0.3};
    test::FakeRandom foresee;
    foresee.queued = {0.7, 0.3};
    const int first = drill::DrawProblem(1, 0, foresee).base;
    const int next = drill::DrawProblem(1, first, foresee).base;
    ASSERT_NE(next, first);
    start(1);
    ASSERT_EQ(shownN(), first);
    std::vector<int> cells;
    for (int m : c.multiples) {
        cells.push_back(m * next);
        ASSERT_FALSE(drill::IsCorrectClick(m * next, first)) << "choose a cell wrong for N = " << first;
    }
    const auto queueClicks = [&] {
        for (int k : cells)
            test::postClick(w->Label1[k]);
    };
    const int answers = w->AnswerCount;
    clickMultiples(answers - 1);
    const float startTimer = state().run.RunStartTimer;
    const qsizetype playsBefore = world.sound.played.size();
    if (c.duringTheSound) {
        world.sound.onPlay = [&](const QString &) {
            queueClicks();
            world.sound.onPlay = nullptr;
        };
    } else {
        // Clicked right after the solving click: they stand in the queue behind it while it
        // is handled and lets events run before its cue.
        queueClicks();
    }
    click(answers * first);
    // The problem is solved with the right cue alone; the clicks wait.
    EXPECT_EQ(state().run.SolvedCount, 1);
    EXPECT_EQ(world.sound.played.size(), playsBefore + 1);
    EXPECT_EQ(shownN(), next);
    EXPECT_EQ(w->List1->count(), 0);
    // The event loop goes on (a few passes: Windows hands timers and posted events over in
    // passes of their own).
    for (int pass = 0; pass < 5; ++pass)
        QCoreApplication::processEvents();
    // Then each is judged, in its order, as a right answer of the next problem.
    QStringList expected;
    for (int k : cells) {
        expected << QString::number(k);
        EXPECT_EQ(cellColor(w, k), kWhite) << k;
    }
    QStringList judged;
    for (int i = 0; i < w->List1->count(); ++i)
        judged << w->List1->item(i)->text();
    EXPECT_EQ(judged, expected);
    EXPECT_EQ(state().run.RunStartTimer, startTimer) << "no ten seconds' penalty";
    EXPECT_EQ(world.sound.played.size(), playsBefore + 1) << "no wrong cue";
    EXPECT_FALSE(w->Picture1->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Moments, ClicksAfterASolvedProblem,
                         ::testing::Values(ClicksOnTheNextProblem{"WhileHandled", false, {1}},
                                           ClicksOnTheNextProblem{"TwoWhileHandled", false, {1, 2}},
                                           ClicksOnTheNextProblem{"DuringTheSound", true, {2, 1}}),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- Activation ---------------------------------------------------------------------------

TEST_F(DrillTest, PanelIsBuiltOnceAndTheRunStartsOnce)
{
    start(1);
    const int n = shownN();
    const float startTimer = state().run.RunStartTimer;
    EXPECT_EQ(w->findChildren<ui::ClickableLabel *>().size(), 101);
    world.clock.advanceSeconds(5);
    w->Form_Activate();
    w->hide();
    w->show();
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(w, &activation);
    EXPECT_EQ(w->findChildren<ui::ClickableLabel *>().size(), 101);
    EXPECT_EQ(shownN(), n);
    EXPECT_EQ(state().run.RunStartTimer, startTimer);
    EXPECT_EQ(screens.log.count(QStringLiteral("closeLevelMenu")), 1);
    EXPECT_TRUE(w->Label1[0]->isHidden());
}

TEST_F(DrillTest, TimersDriveTheirHandlers)
{
    screens.timersConnected = true;
    start(1);
    world.clock.advanceSeconds(3);
    ASSERT_TRUE(QMetaObject::invokeMethod(w->sTimer1, "timeout"));
    EXPECT_EQ(w->sLabel10->text(), QStringLiteral("3"));
    world.clock.advanceSeconds(60);
    ASSERT_TRUE(QMetaObject::invokeMethod(w->sTimer2, "timeout"));
    EXPECT_EQ(w->sLabel13->text(), QStringLiteral("11"));
    EXPECT_TRUE(w->sTimer2->isActive());
}

// ---- Accessibility ------------------------------------------------------------------------

TEST_F(DrillTest, PanelNumbersCarryTheirNumbersAsNames)
{
    start(1);
    for (int k = 1; k <= 100; ++k) {
        EXPECT_EQ(w->Label1[k]->accessibleName(), QString::number(k));
        EXPECT_EQ(w->Label1[k]->text(), QString::number(k));
        EXPECT_EQ(w->Label1[k]->objectName(), QStringLiteral("Label1_%1").arg(k));
    }
    EXPECT_EQ(w->Label3->text(), QStringLiteral("の倍数のはじめの５つを選びなさい（１００まで）"));
    EXPECT_EQ(w->lblsss1->text(), QStringLiteral("成績記録中"));
    EXPECT_EQ(w->lblsss2->text(), QStringLiteral("時間切れ"));
    EXPECT_EQ(w->sPicture3[37]->accessibleName(), QStringLiteral("Pass 8"));
    EXPECT_EQ(w->Command1->text(), QStringLiteral("判定"));
    EXPECT_TRUE(w->Command1->isHidden());
    EXPECT_TRUE(w->List1->isHidden());
}

// ---- Layout at two screen sizes ------------------------------------------------------------

class DrillLayout : public DrillTest, public ::testing::WithParamInterface<QSize> {
protected:
    QString suffix() const
    {
        return QStringLiteral("_%1x%2").arg(GetParam().width()).arg(GetParam().height());
    }
};

// True when `text` drawn in `label`'s font fits its width.
bool fits(const QLabel *label)
{
    const QFontMetrics fm(label->font());
    return fm.horizontalAdvance(label->text()) <= label->contentsRect().width();
}

TEST_P(DrillLayout, PanelKeepsItsProportionsAndLargeDigits)
{
    screens.size = GetParam();
    state().criteria.TargetTime[1] = 30;
    state().criteria.MinTime[1] = 60;
    start(1);
    ASSERT_EQ(w->size(), GetParam());
    EXPECT_EQ(w->sPicture1->geometry().left(), 0);
    EXPECT_EQ(w->sPicture1->width(), w->width());
    EXPECT_EQ(w->Picture2->geometry().top(), w->sPicture1->geometry().bottom() + 1);
    EXPECT_EQ(w->Picture2->geometry().bottom(), w->height() - 1);

    const QRect first = w->Label1[1]->geometry();
    const double ratio = double(first.width()) / first.height();
    EXPECT_NEAR(ratio, 1005.0 / 825.0, 0.04);
    EXPECT_GE(first.height(), GetParam().height() / 15);
    for (int k = 1; k <= 100; ++k) {
        const QRect r = w->Label1[k]->geometry();
        EXPECT_NEAR(r.width(), first.width(), 1) << k;
        EXPECT_NEAR(r.height(), first.height(), 1) << k;
        EXPECT_TRUE(w->Picture2->rect().contains(r)) << k;
        EXPECT_TRUE(fits(w->Label1[k])) << k;
        // Digits at least two fifths of the cell high.
        EXPECT_GE(
            QFontMetrics(w->Label1[k]->font()).tightBoundingRect(QStringLiteral("8")).height(),
            r.height() * 2 / 5)
            << k;
    }
    // Cells side by side: column 2 starts where column 1 ends, row 2 below row 1.
    EXPECT_NEAR(w->Label1[2]->geometry().left(), first.right() + 1, 1);
    EXPECT_NEAR(w->Label1[11]->geometry().top(), first.bottom() + 1, 1);

    for (QLabel *label : w->sPicture1->findChildren<QLabel *>()) {
        if (!label->text().isEmpty()) {
            EXPECT_TRUE(fits(label)) << label->objectName().toStdString();
        }
    }
    for (QLabel *label : {w->Label2, w->Label3, w->Label4, w->Label5[1]})
        EXPECT_TRUE(fits(label)) << label->objectName().toStdString();

    // No two labels of the status panel overlap (the title stands on its band).
    const auto labels = w->sPicture1->findChildren<QLabel *>();
    for (QLabel *a : labels) {
        for (QLabel *b : labels) {
            if (a < b && a != w->sLabel1 && b != w->sLabel1) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " / " << b->objectName().toStdString();
            }
        }
    }

    // Mid-run: three problems solved, two multiples white, lamps going out.
    for (int p = 0; p < 3; ++p)
        clickMultiples();
    tick(24);
    clickMultiples(2);
    saveShot(w, QStringLiteral("drill_midrun") + suffix());
    click(1);
    click(1);
    saveShot(w, QStringLiteral("drill_hints") + suffix());
    EXPECT_TRUE(w->Picture1->isVisible());
    for (int k = 1; k <= 5; ++k)
        EXPECT_TRUE(w->Picture1->rect().contains(w->Label5[k]->geometry())) << k;
    EXPECT_FALSE(w->Picture1->geometry().intersects(w->Label1[1]->geometry()));

    screens.onShowWait = [&] {
        EXPECT_EQ(w->sPicture2->geometry(), w->rect());
        EXPECT_TRUE(fits(w->lblsss2));
        EXPECT_TRUE(w->rect().contains(w->lblsss2->geometry()));
        saveShot(w, QStringLiteral("drill_timeout") + suffix());
    };
    tick(300);
    EXPECT_EQ(state().run.TimeOutFlag, 1);
}

INSTANTIATE_TEST_SUITE_P(Screens, DrillLayout,
                         ::testing::Values(QSize(1024, 768), QSize(1920, 1080)));

TEST_F(DrillTest, WaitingNoticeFitsTheWindow)
{
    start(1);
    w->showEndNotice(false);
    w->showRecordingWait(true);
    EXPECT_TRUE(fits(w->lblsss1));
    EXPECT_TRUE(w->rect().contains(w->lblsss1->geometry()));
    saveShot(w, QStringLiteral("drill_recording_wait_1024x768"));
    w->showRecordingWait(false);
    EXPECT_EQ(w->lblsss1->text(), QStringLiteral("成績記録中"));
}

} // namespace

// ---- The panel by keyboard -----------------------------------------------------------

TEST_F(DrillTest, ArrowKeysMoveAFocusFrameThatStopsAtTheEdges)
{
    MainFrm *d = start(1);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(d->focusedCell(), 0);
    EXPECT_EQ(d->Label1[1]->lineWidth(), 1);

    // The first key shows the frame at 1 without choosing anything.
    QTest::keyClick(d, Qt::Key_Return);
    EXPECT_EQ(d->focusedCell(), 1);
    EXPECT_GE(d->Label1[1]->lineWidth(), 3);
    EXPECT_TRUE(d->Label1[1]->isEnabled());
    EXPECT_FALSE(d->Picture1->isVisible());

    QTest::keyClick(d, Qt::Key_Left);
    QTest::keyClick(d, Qt::Key_Up);
    EXPECT_EQ(d->focusedCell(), 1);
    QTest::keyClick(d, Qt::Key_Right);
    EXPECT_EQ(d->focusedCell(), 2);
    EXPECT_EQ(d->Label1[1]->lineWidth(), 1);
    EXPECT_GE(d->Label1[2]->lineWidth(), 3);
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(d, Qt::Key_Right);
    EXPECT_EQ(d->focusedCell(), 10);
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(d, Qt::Key_Down);
    EXPECT_EQ(d->focusedCell(), 100);
    QTest::keyClick(d, Qt::Key_Up);
    QTest::keyClick(d, Qt::Key_Left);
    EXPECT_EQ(d->focusedCell(), 89);
    saveShot(d, QStringLiteral("drill-focus-frame"));
}

TEST_F(DrillTest, EnterAndSpaceChooseTheFramedNumberAsAClickDoes)
{
    MainFrm *d = start(1);
    ASSERT_NE(d, nullptr);
    const int n = shownN();
    QTest::keyClick(d, Qt::Key_Down); // the frame at 1
    for (int k = 1; k < n; ++k)
        QTest::keyClick(d, Qt::Key_Right);
    ASSERT_EQ(d->focusedCell(), n);
    QTest::keyClick(d, Qt::Key_Return);
    EXPECT_FALSE(d->Label1[n]->isEnabled()); // right: white
    EXPECT_EQ(d->List1->count(), 1);
    QTest::keyClick(d, Qt::Key_Space); // chosen already: nothing happens
    EXPECT_EQ(d->List1->count(), 1);
    EXPECT_FALSE(d->Picture1->isVisible());

    QTest::keyClick(d, Qt::Key_Left); // n - 1 is no multiple of n (n >= 2)
    QTest::keyClick(d, Qt::Key_Space);
    EXPECT_TRUE(d->Picture1->isVisible()); // wrong: the hint, and the problem starts again
    EXPECT_TRUE(d->Label1[n]->isEnabled());
    EXPECT_EQ(d->List1->count(), 0);
    EXPECT_EQ(world.sound.played.size(), 1); // the wrong cue
}

TEST_F(DrillTest, TheMouseLeavesTheKeyboardFrameAlone)
{
    MainFrm *d = start(1);
    ASSERT_NE(d, nullptr);
    const int n = shownN();
    click(n);
    EXPECT_EQ(d->focusedCell(), 0);
    EXPECT_EQ(d->Label1[n]->lineWidth(), 1);
    EXPECT_FALSE(d->Label1[n]->isEnabled());
}
