// The level menu's logic: column geometry, per-level and header texts, the level rules and
// the keys.
#include "MenusWorld.h"

#include "menus/LevelMenu.h"

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

TEST(Columns, SevenLevelsScrollFourAtATime)
{
    const ColumnGeometry g = ColumnGeometryFor(7);
    EXPECT_EQ(g.width, 3456);
    EXPECT_TRUE(g.scrolls);
    EXPECT_EQ(g.scrollMaximum, 4);
}

TEST(Columns, FourOrFewerLevelsShareTheWidth)
{
    EXPECT_EQ(ColumnGeometryFor(3).width, 4864);
    EXPECT_FALSE(ColumnGeometryFor(3).scrolls);
    EXPECT_EQ(ColumnGeometryFor(4).width, 3648);
    EXPECT_FALSE(ColumnGeometryFor(4).scrolls);
    EXPECT_EQ(ColumnGeometryFor(1).width, 14592);
    EXPECT_EQ(ColumnGeometryFor(5).width, 3456);
    EXPECT_EQ(ColumnGeometryFor(5).scrollMaximum, 2);
}

TEST(Columns, ScrolledColumnsMoveOutOfSightToTheRight)
{
    EXPECT_EQ(FirstColumnLeft(), 307);
    EXPECT_EQ(ColumnLeft(1, 1, 3456), 307);
    EXPECT_EQ(ColumnLeft(2, 1, 3456), 307 + 3456);
    EXPECT_EQ(ColumnLeft(4, 4, 3456), 307);
    EXPECT_EQ(ColumnLeft(7, 4, 3456), 307 + 3 * 3456);
    EXPECT_EQ(ColumnLeft(1, 4, 3456), 15360);
    EXPECT_EQ(ColumnLeft(3, 4, 3456), 15360);
}

TEST(Columns, FirstColumnIsKeptWithinTheScrollRange)
{
    EXPECT_EQ(EffectiveFirstColumn(0, 4), 1);
    EXPECT_EQ(EffectiveFirstColumn(3, 4), 3);
    EXPECT_EQ(EffectiveFirstColumn(4, 4), 4);
    EXPECT_EQ(EffectiveFirstColumn(5, 4), 1);
    EXPECT_EQ(EffectiveFirstColumn(2, 0), 1);
}

class MenuTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.inst.writeCriteria({
            QStringLiteral("25,65,100,3,1,0,0,7,7,,,"),
            QStringLiteral("30,70,100,3,1.5,5,0,7,7,,,"),
            QStringLiteral("35,75,9999,3,1,0,200,14,7,,,"),
            QStringLiteral("40,80,100,3,1,0,0,7,7,,,"),
            QStringLiteral("45,85,100,3,1,0,0,7,7,,,"),
            QStringLiteral("50,90,100,3,1,0,0,7,7,,,"),
            QStringLiteral("55,95,100,3,1,5,0,7,7,,,"),
        });
        world.start();
        world.login(17, QStringLiteral("山田太郎            "), QStringLiteral("小３"));
    }
    test::MenusWorld world;
    core::AppState &state = *world.state;
};

TEST_F(MenuTexts, StartButtonCaption)
{
    EXPECT_EQ(StartButtonCaption(3), QStringLiteral("ｽﾀｰﾄ(&3)"));
    EXPECT_EQ(StartButtonCaption(12), QStringLiteral("ｽﾀｰﾄ(&12)"));
}

TEST_F(MenuTexts, CriteriaOfALevel)
{
    EXPECT_EQ(CriteriaText(state, 1), QStringLiteral("目標=25秒 3回/100点(×1)"));
    EXPECT_EQ(CriteriaText(state, 2), QStringLiteral("目標=30秒 3回/100点(×1.5)"));
    // No point target: the time alone.
    EXPECT_EQ(CriteriaText(state, 3), QStringLiteral("目標=35秒 --------"));
}

TEST_F(MenuTexts, PupilCounts)
{
    state.stats.PeriodRuns(17, 3) = 2;
    state.stats.PeriodPoints(17, 3) = 33;
    EXPECT_EQ(PeriodText(state, 3), QStringLiteral("最近14日=2回 / 33点"));
    EXPECT_EQ(PeriodText(state, 1), QStringLiteral("最近7日=0回 / 0点"));

    EXPECT_EQ(TodayText(state, 1), QStringLiteral("-----"));
    EXPECT_EQ(TotalText(state, 1), QStringLiteral("------"));
    state.stats.RunsToday(17, 1) = 2;
    state.stats.PointsToday(17, 1) = 30;
    state.stats.TotalRuns(17, 1) = 12;
    state.stats.TotalPoints(17, 1) = 140;
    EXPECT_EQ(TodayText(state, 1), QStringLiteral("2回/30点"));
    EXPECT_EQ(TotalText(state, 1), QStringLiteral("12回/140点"));
    // Points without a run (a record of 6000 seconds or more) show no count.
    state.stats.TotalRuns(17, 2) = 0;
    state.stats.TotalPoints(17, 2) = 1;
    EXPECT_EQ(TotalText(state, 2), QStringLiteral("------"));
}

TEST_F(MenuTexts, Header)
{
    world.clock.seconds = 9 * 3600 + 185.5;
    EXPECT_EQ(MinutesSinceLoginText(state), QStringLiteral("起動後3分"));
    world.clock.seconds = 9 * 3600 + 59.9;
    EXPECT_EQ(MinutesSinceLoginText(state), QStringLiteral("起動後0分"));

    EXPECT_EQ(RunsTodayTotalText(state), QStringLiteral("本日総回数＝0回"));
    state.stats.RunsToday(17, 1) = 2;
    state.stats.RunsToday(17, 3) = 1;
    state.stats.RunsToday(18, 3) = 5; // another pupil
    EXPECT_EQ(RunsTodayTotalText(state), QStringLiteral("本日総回数＝3回"));

    EXPECT_EQ(PupilNumberText(state), QStringLiteral("17:テスト小学校"));
    EXPECT_EQ(PupilNameText(state), QStringLiteral("山田太郎 小３"));
    EXPECT_EQ(TitleFontPoints(QStringLiteral("Tavoro")), 24);
    EXPECT_EQ(TitleFontPoints(QStringLiteral("123456789")), 24);
    EXPECT_EQ(TitleFontPoints(QStringLiteral("1234567890")), 20);
}

TEST_F(MenuTexts, EveryLevelOpenWithoutRecords)
{
    const LevelRules r = LevelRulesFor(state);
    for (int i = 1; i <= 7; ++i) {
        EXPECT_TRUE(r.enabled[i]) << i;
        EXPECT_FALSE(r.barred[i]) << i;
    }
    EXPECT_FALSE(r.enabled[8]);
    EXPECT_EQ(state.stats.GoalCleared, 0);
}

TEST_F(MenuTexts, BarredExactlyAtTheOveruseCount)
{
    state.stats.OveruseRuns(17, 2) = 4;
    LevelRules r = LevelRulesFor(state);
    EXPECT_TRUE(r.enabled[2]);
    EXPECT_FALSE(r.barred[2]);

    state.stats.OveruseRuns(17, 2) = 5;
    r = LevelRulesFor(state);
    EXPECT_FALSE(r.enabled[2]);
    EXPECT_TRUE(r.barred[2]);
    EXPECT_TRUE(r.enabled[3]);
    EXPECT_FALSE(r.barred[3]);
    EXPECT_TRUE(r.enabled[1]);
}

TEST_F(MenuTexts, BarredByOverusePoints)
{
    state.stats.OveruseEarned(17, 3) = 199;
    EXPECT_FALSE(LevelRulesFor(state).barred[3]);
    state.stats.OveruseEarned(17, 3) = 200;
    const LevelRules r = LevelRulesFor(state);
    EXPECT_TRUE(r.barred[3]);
    EXPECT_FALSE(r.enabled[3]);
}

TEST_F(MenuTexts, TheLastLevelIsNeverBarred)
{
    state.stats.OveruseRuns(17, 7) = 500;
    const LevelRules r = LevelRulesFor(state);
    EXPECT_TRUE(r.enabled[7]);
    EXPECT_FALSE(r.barred[7]);
}

TEST_F(MenuTexts, GoalClearedLiftsEveryBar)
{
    state.stats.OveruseRuns(17, 2) = 9;
    state.stats.PeriodPoints(17, 7) = 100;
    state.stats.PeriodRuns(17, 7) = 2; // one pass short
    LevelRules r = LevelRulesFor(state);
    EXPECT_EQ(state.stats.GoalCleared, 0);
    EXPECT_TRUE(r.barred[2]);

    state.stats.PeriodRuns(17, 7) = 3;
    r = LevelRulesFor(state);
    EXPECT_EQ(state.stats.GoalCleared, 1);
    EXPECT_FALSE(r.barred[2]);
    EXPECT_TRUE(r.enabled[2]);
}

TEST_F(MenuTexts, PracticeLevelIsNeverBarred)
{
    state.profile.LevelNames[2] = QStringLiteral("レベル２練習");
    state.stats.OveruseRuns(17, 2) = 9;
    const LevelRules r = LevelRulesFor(state);
    EXPECT_TRUE(r.enabled[2]);
    EXPECT_FALSE(r.barred[2]);
}

TEST_F(MenuTexts, WithoutAllLevelsOpenAClosedLevelStopsTheWay)
{
    state.profile.AllLevelsOpen = 0;
    // Level 1 passed, level 2 not: levels 1..2 open, the rest closed.
    state.stats.PeriodPoints(17, 1) = 100;
    state.stats.PeriodRuns(17, 1) = 3;
    LevelRules r = LevelRulesFor(state);
    EXPECT_TRUE(r.enabled[1]);
    EXPECT_TRUE(r.enabled[2]);
    // Level 3 has no point target (9999), so level 2 opens level 3.
    EXPECT_TRUE(r.enabled[3]);
    EXPECT_FALSE(r.enabled[4]);
    EXPECT_FALSE(r.enabled[5]);

    // The teacher named exactly "先生" has every level.
    world.login(7, QStringLiteral("  先生  "), QString());
    r = LevelRulesFor(state);
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(r.enabled[i]) << i;
}

struct KeyCase {
    char16_t key;
    int levels;
    int expected; // 0: none
};

class Keys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Keys, LevelOfAKey)
{
    const KeyCase c = GetParam();
    const auto level = LevelForKey(QChar(c.key), c.levels);
    if (c.expected == 0)
        EXPECT_FALSE(level.has_value());
    else
        EXPECT_EQ(level.value_or(-1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(SevenAndThirteenLevels, Keys,
                         ::testing::Values(KeyCase{u'1', 7, 1}, KeyCase{u'2', 7, 2},
                                           KeyCase{u'7', 7, 7}, KeyCase{u'8', 7, 0},
                                           KeyCase{u'9', 7, 0}, KeyCase{u'a', 7, 0},
                                           KeyCase{u'A', 7, 0}, KeyCase{u'0', 7, 0},
                                           KeyCase{u'e', 13, 0}, KeyCase{u'9', 9, 9},
                                           KeyCase{u'a', 10, 10}, KeyCase{u'b', 10, 0},
                                           KeyCase{u'd', 13, 13}, KeyCase{u'D', 13, 0},
                                           KeyCase{u'1', 1, 1}, KeyCase{u'2', 1, 0}));

} // namespace
} // namespace tavoro::menus
