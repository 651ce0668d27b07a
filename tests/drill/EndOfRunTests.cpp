// The end-of-run sequence and the one-second wait, without the drill window: a view that
// records what the sequence asks of it, the logging screens of the fakes and a temporary
// installation whose grade file the recording step writes.
#include "drill/EndOfRun.h"

#include "core/Profile.h"
#include "core/Settings.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace tavoro;
using namespace tavoro::test;

namespace {

class FakeView final : public drill::RunEndView {
public:
    void showEndNotice(bool timedOut) override
    {
        calls << (timedOut ? "notice:timeout" : "notice:recording");
    }
    void showRecordingWait(bool waiting) override { calls << (waiting ? "wait:on" : "wait:off"); }
    void stopRunClock() override { calls << QStringLiteral("stopClock"); }
    QStringList calls;
};

class EndOfRun : public ::testing::Test {
protected:
    EndOfRun()
    {
        inst.writeDefaults();
        core::AppState &s = *world.state;
        if (auto err = core::LoadSettings(s, inst.programFolder()))
            ADD_FAILURE() << err->message.toStdString();
        core::SetLevelTable(s);
        s.pupil.CurrentStudent = 7;
        s.run.CurrentLevel = 4;
        s.run.ElapsedSeconds = 58;
        s.run.RunFinished = 1;
        s.stats.PersonalBest(7, 4) = core::kNoTime;
        s.stats.SchoolBest[4] = core::kNoTime;
    }
    core::AppState &state() { return *world.state; }
    QByteArray gradeFile() const
    {
        return inst.readBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"));
    }

    Installation inst;
    FakeWorld world;
    FakeView view;
};

TEST_F(EndOfRun, RecordsTheElapsedTimeAndOpensTheFinishScreenAfterOneSecond)
{
    drill::EndRun(state(), view);
    EXPECT_EQ(state().run.RecordingStarted, 1);
    EXPECT_EQ(state().run.RunTime, 58);
    EXPECT_EQ(view.calls, QStringList({"notice:recording", "stopClock"}));
    EXPECT_EQ(world.screens.log, QStringList({"showWait", "closeDrill", "showFinish"}));
    const QByteArray file = gradeFile();
    ASSERT_EQ(file.size(), 44);
    EXPECT_EQ(file.mid(16, 8), QByteArray::fromHex("07000400"
                                                   "3a000000"));
    EXPECT_EQ(state().run.NewPersonalBest, 1);
    EXPECT_EQ(state().run.NewSchoolBest, 1);
    EXPECT_GE(world.clock.tick, 1000u + 1000u);
}

TEST_F(EndOfRun, RunsOncePerRun)
{
    drill::EndRun(state(), view);
    drill::EndRun(state(), view);
    EXPECT_EQ(gradeFile().size(), 44);
    EXPECT_EQ(world.screens.log.count(QStringLiteral("showFinish")), 1);
    EXPECT_EQ(view.calls.count(QStringLiteral("notice:recording")), 1);
}

TEST_F(EndOfRun, TimeOutIsRecordedAs99999WithoutANewBest)
{
    state().run.RunFinished = 0;
    state().run.TimeOutFlag = 1;
    drill::EndRun(state(), view);
    EXPECT_EQ(state().run.RunTime, 99999);
    EXPECT_EQ(view.calls.first(), QStringLiteral("notice:timeout"));
    EXPECT_EQ(gradeFile().mid(20, 4), QByteArray::fromHex("9f860100"));
    EXPECT_EQ(state().run.NewPersonalBest, 0);
    EXPECT_EQ(state().run.NewSchoolBest, 0);
}

TEST_F(EndOfRun, PracticeLevelReturnsToTheMenuWithoutRecording)
{
    state().profile.LevelNames[4] = QStringLiteral("レベル４練習");
    drill::EndRun(state(), view);
    EXPECT_EQ(view.calls, QStringList({"notice:recording"}));
    EXPECT_EQ(world.screens.log, QStringList({"showWait", "closeDrill", "showLevelMenu"}));
    EXPECT_TRUE(gradeFile().isEmpty());
    EXPECT_EQ(state().run.RunTime, 0);
}

TEST_F(EndOfRun, FailedRecordingEndsTheProgramAndNoFinishScreenOpens)
{
    // A data folder that does not exist: the grade file cannot be created.
    state().settings.ProgramDataFolder = inst.root() + QStringLiteral("/missing/folder/");
    drill::EndRun(state(), view);
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_TRUE(world.dialogs.calls[0].text.startsWith(QStringLiteral("成績ランダムファイル記録")));
    // It names the folder and says that the run is lost.
    EXPECT_TRUE(world.dialogs.calls[0].text.endsWith(
        QStringLiteral("\r\nフォルダがありません：") + inst.root() +
        QStringLiteral("/missing/folder/\r\nこの回の成績は記録されていません。")));
    EXPECT_TRUE(world.programExit.requested);
    EXPECT_FALSE(world.screens.log.contains(QStringLiteral("showFinish")));
    EXPECT_FALSE(world.screens.log.contains(QStringLiteral("showWait")));
}

// ---- The wait ---------------------------------------------------------------------------

TEST(WaitThenShowFinish, WindowEventsRunDuringTheWait)
{
    FakeWorld world;
    int fired = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
    timer.start();
    drill::WaitThenShowFinish(*world.state, 1.0);
    // One pass of the loop for each 10 ms of the fake tick, events let run after each.
    EXPECT_GE(fired, 100);
}

struct WaitCase {
    double seconds;
    std::uint32_t startTick;
    std::uint32_t idleStep;
    std::uint32_t expectedMs;
};

class Wait : public ::testing::TestWithParam<WaitCase> {};

TEST_P(Wait, CountsTenMillisecondStepsOnTheTick)
{
    const WaitCase c = GetParam();
    FakeWorld world;
    world.clock.tick = c.startTick;
    world.clock.idleStepMs = c.idleStep;
    drill::WaitThenShowFinish(*world.state, c.seconds);
    EXPECT_EQ(std::uint32_t(world.clock.tick - c.startTick), c.expectedMs);
    EXPECT_EQ(world.screens.log, QStringList({"closeDrill", "showFinish"}));
}

// One step per pass: a step counts once more than 10 ms have passed since the last one,
// and the excess over 10 ms is carried into the next step.
INSTANTIATE_TEST_SUITE_P(Ticks, Wait,
                         ::testing::Values(WaitCase{1.0, 1000, 10, 1010},
                                           WaitCase{2.0, 1000, 10, 2010},
                                           WaitCase{0.5, 1000, 10, 510},
                                           WaitCase{1.0, 1000, 11, 1100},
                                           WaitCase{1.0, 1000, 5, 1005},
                                           // The tick wraps during the wait.
                                           WaitCase{1.0, 0xFFFFFF00u, 10, 1010}));

} // namespace
