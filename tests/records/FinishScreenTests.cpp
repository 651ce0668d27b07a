// The finish screen FrmSyuuryou: the run's points and the points line, the result line, the
// record message and its sound in their priority, the level and goal clearing with the pass
// sound only for the first clearing, and the 500 ms timer that offers "メニューへ" and
// "もう一度".
#include "RecordsWorld.h"

#include "core/Profile.h"
#include "core/Settings.h"
#include "records/FrmSyuuryou.h"
#include "support/Shots.h"

#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

namespace tavoro::records {
namespace {

struct PointsCase {
    std::int32_t target;
    std::int32_t runTime;
    float multiplier;
    int points;
    int earned;
};

class FinishPointsTable : public ::testing::TestWithParam<PointsCase> {};

TEST_P(FinishPointsTable, PointsAndEarned)
{
    const PointsCase c = GetParam();
    core::Criteria criteria;
    criteria.TargetTime[4] = c.target;
    criteria.PointMultiplier[4] = c.multiplier;
    const FinishPoints fp = FinishRunPoints(criteria, 4, c.runTime);
    EXPECT_EQ(fp.points, c.points);
    EXPECT_EQ(fp.earned, c.earned);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FinishPointsTable,
    ::testing::Values(PointsCase{60, 30, 1.5f, 11, 16}, PointsCase{60, 0, 1, 55, 55},
                      PointsCase{60, 60, 1, 5, 5}, PointsCase{60, 61, 1, 4, 4},
                      PointsCase{60, 119, 1, 4, 4}, PointsCase{60, 120, 1, 1, 1},
                      PointsCase{60, 599, 2, 1, 2}, PointsCase{60, 600, 1, 0, 0},
                      PointsCase{60, 99999, 1, 0, 0}, PointsCase{100, 53, 1.1f, 10, 11},
                      PointsCase{100, 53, 0.7f, 10, 7}, PointsCase{0, 5, 1, 0, 0},
                      // Ten times the target and more earns nothing, also above 1000 s.
                      PointsCase{200, 1999, 1, 1, 1}, PointsCase{200, 2000, 1, 0, 0}));

TEST(FinishTexts, ResultAndPointsLines)
{
    EXPECT_EQ(PointsLineText({11, 16}, 1.5f), QStringLiteral("獲得ポイント：11点×1.5→16点"));
    EXPECT_EQ(PointsLineText({5, 5}, 1.0f), QStringLiteral("獲得ポイント：5点×1→5点"));
    EXPECT_EQ(ResultLineText(42), QStringLiteral("今の成績：42秒"));
    EXPECT_EQ(ResultLineText(99997), QStringLiteral("今の成績：99997秒"));
    EXPECT_EQ(ResultLineText(99998), QStringLiteral("記録なし"));
    EXPECT_EQ(ResultLineText(99999), QStringLiteral("記録なし"));
    EXPECT_EQ(LevelRunCountText(3), QStringLiteral(" (このレベル　3回目)"));
    EXPECT_EQ(DayRunCountText(12), QStringLiteral("（12回目)"));
}

struct MessageCase {
    int timeOut, personal, school;
    std::int32_t runTime, minTime;
    const char16_t *text;
    FinishSound sound;
};

class MessagePriority : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessagePriority, MessageAndSound)
{
    const MessageCase c = GetParam();
    const RecordMessage m = RecordMessageFor(c.timeOut, c.personal, c.school, c.runTime, c.minTime);
    EXPECT_EQ(m.text, QString::fromUtf16(c.text));
    EXPECT_EQ(int(m.sound), int(c.sound));
}

INSTANTIATE_TEST_SUITE_P(
    Priority, MessagePriority,
    ::testing::Values(
        MessageCase{1, 1, 1, 99999, 60, u"時間切れ", FinishSound::None},
        MessageCase{1, 0, 0, 99999, 60, u"時間切れ", FinishSound::None},
        MessageCase{0, 1, 0, 40, 60, u"新記録おめでとう", FinishSound::PersonalRecord},
        MessageCase{0, 1, 1, 40, 60, u"！！！最高新記録！！！", FinishSound::TopRecord},
        MessageCase{0, 0, 1, 40, 60, u"！！！最高新記録！！！", FinishSound::TopRecord},
        MessageCase{0, 0, 0, 60, 60, u"", FinishSound::Fail},
        MessageCase{0, 0, 0, 59, 60, u"", FinishSound::Fail},
        MessageCase{0, 0, 0, 61, 60, u"", FinishSound::None}));

TEST(FinishRules, GoalPanelNeedsNoClearCountOf9999)
{
    core::Criteria c;
    EXPECT_TRUE(GoalPanelAllowed(c));
    c.ClearCount[35] = 9999;
    EXPECT_FALSE(GoalPanelAllowed(c));
}

// A finish screen after a recorded run: the settings and criteria of a default installation,
// the grade file as the recording step left it, the run's globals as the drill set them.
class Finish : public ::testing::Test {
protected:
    void SetUp() override { world.inst.writeDefaults(); }
    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void start()
    {
        ASSERT_FALSE(core::LoadSettings(state, world.inst.programFolder()).has_value());
        core::SetLevelTable(state);
        state.pupil.CurrentStudent = 1;
        if (state.pupil.StudentName.isEmpty())
            state.pupil.StudentName = QStringLiteral("山田太郎").leftJustified(20, u' ');
    }

    // The run of `seconds` on `level` just recorded, after `earlier` records.
    void finish(int level, std::int32_t seconds, std::vector<GradeRecord> earlier = {})
    {
        start();
        earlier.push_back(test::makeRecord(1, level, seconds));
        world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"),
                              test::encode(earlier));
        state.run.CurrentLevel = std::int16_t(level);
        state.run.RunTime = seconds;
        state.run.TimeOutFlag = seconds == 99999 ? 1 : 0;
        window = new FrmSyuuryou(state);
        window->show();
        window->Form_Activate();
    }

    QStringList playedFiles() const
    {
        QStringList out;
        for (const QString &p : world.sound.played)
            out << p.mid(std::max(p.lastIndexOf(u'/'), p.lastIndexOf(u'\\')) + 1);
        return out;
    }

    test::RecordsWorld world;
    core::AppState &state = *world.state;
    FrmSyuuryou *window = nullptr;
};

TEST_F(Finish, PersonalBestRun)
{
    state.run.NewPersonalBest = 1;
    finish(3, 30, {test::makeRecord(1, 3, 40), test::makeRecord(1, 1, 40)});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("終了"));
    EXPECT_EQ(window->Label15->text(), QStringLiteral("Tavoro"));
    EXPECT_EQ(window->Label16->text(), QStringLiteral("ﾚﾍﾞﾙ3"));
    EXPECT_EQ(window->Label17->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(window->Label18->text(), QStringLiteral("今の成績：30秒"));
    // Target 35 s: ((35 - 30) / 35)^3 x 50 + 5 = 5.1.
    EXPECT_EQ(window->Label19->text(), QStringLiteral("獲得ポイント：5点×1→5点"));
    EXPECT_TRUE(window->Label20->isVisible());
    EXPECT_EQ(window->Label20->text(), QStringLiteral("新記録おめでとう"));
    EXPECT_EQ(window->Label13->text(), QStringLiteral(" (このレベル　2回目)"));
    EXPECT_EQ(window->Label14->text(), QStringLiteral("（3回目)"));
    EXPECT_EQ(playedFiles(), QStringList{QStringLiteral("jiko1.wav")});
    EXPECT_EQ(state.run.NewPersonalBest, 0);
    EXPECT_EQ(state.run.NewSchoolBest, 0);
    EXPECT_FALSE(window->Label2->isVisible());
    EXPECT_FALSE(window->Picture1->isVisible());
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 500);
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("closeWait")));
    EXPECT_FALSE(window->Command4->isVisible());
    EXPECT_FALSE(window->Command5->isVisible());

    window->Timer1_Timer();
    EXPECT_TRUE(window->Command4->isVisible());
    EXPECT_TRUE(window->Command5->isVisible());
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_EQ(window->Command4->text(), QStringLiteral("メニューへ"));
    EXPECT_EQ(window->Command5->text(), QStringLiteral("もう一度"));
}

TEST_F(Finish, TimeOut)
{
    state.run.NewPersonalBest = 1; // a time-out outranks any record flag
    finish(2, 99999);
    EXPECT_EQ(window->Label18->text(), QStringLiteral("記録なし"));
    EXPECT_EQ(window->Label19->text(), QStringLiteral("獲得ポイント：0点×1→0点"));
    EXPECT_EQ(window->Label20->text(), QStringLiteral("時間切れ"));
    EXPECT_TRUE(window->Label20->isVisible());
    EXPECT_TRUE(world.sound.played.isEmpty());
}

TEST_F(Finish, SchoolBestOutranksPersonalBest)
{
    state.run.NewPersonalBest = 1;
    state.run.NewSchoolBest = 1;
    finish(1, 12);
    EXPECT_EQ(window->Label20->text(), QStringLiteral("！！！最高新記録！！！"));
    EXPECT_EQ(playedFiles(), QStringList{QStringLiteral("最高1.wav")});
}

TEST_F(Finish, NoRecordWithinTheMinimumTimePlaysTheFailCue)
{
    finish(1, 65); // minimum time of level 1: 65 s
    EXPECT_FALSE(window->Label20->isVisible());
    EXPECT_EQ(playedFiles(), QStringList{QStringLiteral("fugoukaku1.wav")});
    delete window;
    window = nullptr;
    world.sound.played.clear();
    finish(1, 66);
    EXPECT_TRUE(world.sound.played.isEmpty());
}

TEST_F(Finish, MultiplierWithADecimal)
{
    world.inst.writeCriteria({QStringLiteral("60,90,100,3,1.5,0,0,7,7,,,")});
    finish(1, 30);
    EXPECT_EQ(window->Label19->text(), QStringLiteral("獲得ポイント：11点×1.5→16点"));
}

// Level 7 (target 55 s) cleared: three runs of one second earn 52 points each, 156 of the
// 100 needed, with the 3 runs needed.
std::vector<GradeRecord> twoFastRunsOfTheGoal()
{
    return {test::makeRecord(1, 7, 1), test::makeRecord(1, 7, 1)};
}

TEST_F(Finish, GoalClearedForTheFirstTime)
{
    state.run.AlreadyCleared = 0;
    finish(7, 1, twoFastRunsOfTheGoal());
    EXPECT_TRUE(window->Label2->isVisible());
    EXPECT_EQ(window->Label2->text(), QStringLiteral("このレベルクリア"));
    EXPECT_TRUE(window->Picture1->isVisible());
    EXPECT_EQ(window->Label1->text(), QStringLiteral("目標レベルクリア。おめでとう！"));
    EXPECT_EQ(window->goalAllowedMark(), 0);
    EXPECT_EQ(playedFiles(),
              (QStringList{QStringLiteral("fugoukaku1.wav"), QStringLiteral("合格.wav")}));
    test::saveShot(window, QStringLiteral("FrmSyuuryou_goal_1024x768"));

    window->Timer1_Timer();
    EXPECT_FALSE(window->Picture1->isVisible());
    EXPECT_TRUE(window->Label2->isVisible());
    EXPECT_TRUE(window->Command5->isVisible());
}

TEST_F(Finish, GoalClearedAgainHasNoPassSound)
{
    state.run.AlreadyCleared = 1;
    finish(7, 1, twoFastRunsOfTheGoal());
    EXPECT_TRUE(window->Label2->isVisible());
    EXPECT_TRUE(window->Picture1->isVisible());
    EXPECT_FALSE(playedFiles().contains(QStringLiteral("合格.wav")));
}

TEST_F(Finish, ClearCount9999KeepsTheGoalPanelHidden)
{
    QStringList criteria;
    for (int level = 1; level <= 7; ++level)
        criteria << QStringLiteral("%1,%2,100,%3,1,0,0,7,7,,,")
                        .arg(20 + 5 * level)
                        .arg(60 + 5 * level)
                        .arg(level == 4 ? 9999 : 3);
    world.inst.writeCriteria(criteria);
    finish(7, 1, twoFastRunsOfTheGoal());
    EXPECT_TRUE(window->Label2->isVisible());
    EXPECT_FALSE(window->Picture1->isVisible());
    EXPECT_EQ(window->goalAllowedMark(), -1);
}

TEST_F(Finish, LevelNotClearedShowsNoClearing)
{
    finish(7, 1, {test::makeRecord(1, 7, 1)}); // two runs: one short of the count
    EXPECT_FALSE(window->Label2->isVisible());
    EXPECT_FALSE(window->Picture1->isVisible());
    EXPECT_FALSE(playedFiles().contains(QStringLiteral("合格.wav")));
}

class TooMuch : public Finish {
protected:
    void finishLevel(int level, int goalCleared)
    {
        QStringList criteria;
        for (int l = 1; l <= 7; ++l)
            criteria << QStringLiteral("%1,%2,100,3,1,3,0,7,7,,,").arg(20 + 5 * l).arg(60 + 5 * l);
        world.inst.writeCriteria(criteria);
        state.stats.GoalCleared = goalCleared;
        // Three runs of one second: cleared, and done too much (3 runs of 3 allowed).
        finish(level, 1, {test::makeRecord(1, level, 1), test::makeRecord(1, level, 1)});
        window->Timer1_Timer();
    }
};

TEST_F(TooMuch, ClearedLevelBeforeTheGoalWithholdsOnceMore)
{
    finishLevel(3, 0);
    EXPECT_TRUE(window->Command4->isVisible());
    EXPECT_FALSE(window->Command5->isVisible());
    EXPECT_TRUE(window->Label2->isVisible());
    EXPECT_EQ(window->Label2->text(), QStringLiteral("次のレベルへ進みましょう"));
    test::saveShot(window, QStringLiteral("FrmSyuuryou_moveon_1024x768"));
}

TEST_F(TooMuch, GoalAlreadyClearedOffersOnceMore)
{
    finishLevel(3, 1);
    EXPECT_TRUE(window->Command5->isVisible());
    EXPECT_EQ(window->Label2->text(), QStringLiteral("このレベルクリア"));
}

TEST_F(TooMuch, TheGoalLevelItselfOffersOnceMore)
{
    finishLevel(7, 0);
    EXPECT_TRUE(window->Command5->isVisible());
    EXPECT_FALSE(window->Label2->isVisible());
    EXPECT_TRUE(window->Label2->text().isEmpty());
}

TEST_F(TooMuch, NotClearedOffersOnceMore)
{
    QStringList criteria;
    for (int l = 1; l <= 7; ++l)
        criteria << QStringLiteral("%1,%2,9000,3,1,3,0,7,7,,,").arg(20 + 5 * l).arg(60 + 5 * l);
    world.inst.writeCriteria(criteria);
    finish(3, 1, {test::makeRecord(1, 3, 1), test::makeRecord(1, 3, 1)});
    window->Timer1_Timer();
    EXPECT_TRUE(window->Command5->isVisible());
    EXPECT_FALSE(window->Label2->isVisible());
}

TEST_F(Finish, MenuButtonReturnsToANewMenu)
{
    finish(2, 40);
    window->Timer1_Timer();
    world.screens.log.clear();
    QTest::mouseClick(window->Command4, Qt::LeftButton);
    EXPECT_FALSE(window->Command4->isEnabled());
    EXPECT_EQ(world.screens.log,
              (QStringList{QStringLiteral("showLevelMenu"), QStringLiteral("closeFinish")}));
}

TEST_F(Finish, EnterOnTheFocusedMenuButtonReturnsToANewMenu)
{
    finish(2, 40);
    window->activateWindow();
    window->Timer1_Timer();
    ASSERT_EQ(QApplication::focusWidget(), window->Command4);
    world.screens.log.clear();
    QTest::keyClick(window->Command4, Qt::Key_Return);
    EXPECT_EQ(world.screens.log,
              (QStringList{QStringLiteral("showLevelMenu"), QStringLiteral("closeFinish")}));
}

TEST_F(Finish, OnceMoreStartsTheSameLevel)
{
    finish(2, 40);
    window->Timer1_Timer();
    world.screens.log.clear();
    state.run.SolvedCount = 10;
    state.run.RunFinished = 1;
    state.run.RecordingStarted = 1;
    QTest::mouseClick(window->Command5, Qt::LeftButton);
    EXPECT_EQ(world.screens.log,
              (QStringList{QStringLiteral("showWait"), QStringLiteral("closeFinish"),
                           QStringLiteral("showDrill")}));
    EXPECT_EQ(state.run.CurrentLevel, 2);
    EXPECT_EQ(state.run.SolvedCount, 0);
    EXPECT_EQ(state.run.RunFinished, 0);
    EXPECT_EQ(state.run.RecordingStarted, 0);
    EXPECT_EQ(state.run.TimeOutFlag, 0);
}

TEST_F(Finish, ScreenReadersSeeTheTexts)
{
    finish(2, 40);
    window->Timer1_Timer();
    QAccessibleInterface *result = QAccessible::queryAccessibleInterface(window->Label18);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->text(QAccessible::Name), QStringLiteral("今の成績：40秒"));
    QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(window->Command4);
    EXPECT_EQ(menu->text(QAccessible::Name), QStringLiteral("メニューへ"));
}

TEST_F(Finish, Shots)
{
    state.run.NewSchoolBest = 1;
    state.pupil.StudentName = QStringLiteral("長谷川　みなみ");
    world.inst.writeCriteria({QStringLiteral("60,90,100,3,1.5,0,0,7,7,,,")});
    finish(1, 30, {test::makeRecord(1, 1, 30), test::makeRecord(1, 1, 30)});
    window->resize(1024, 768);
    test::saveShot(window, QStringLiteral("FrmSyuuryou_1024x768"));
    window->Timer1_Timer();
    window->resize(1920, 1080);
    test::saveShot(window, QStringLiteral("FrmSyuuryou_1920x1080"));
}

} // namespace
} // namespace tavoro::records
