// The level menu's lists of runs and rankings as plain texts: today's and a period's runs,
// the week rules of the periods, the colour of a list of times, and ranks of 100 and more.
#include "MenusWorld.h"

#include "menus/Ranking.h"
#include "menus/ResultLists.h"
#include "menus/SortedList.h"

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

const QString FW = QStringLiteral("　");

class RunLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.start();
        world.writeGrades({});
        world.listRoster();
        world.login(1, QStringLiteral("山田太郎"), QStringLiteral("小３"));
    }
    core::AppState &state() { return *world.state; }

    test::MenusWorld world; // today is Wednesday 2026-12-09
};

TEST_F(RunLists, TodayLinesTimedAndTimedOut)
{
    // Level 1 has the target 25 s: 20 s earns int(50 x (5/25)^3 + 5) = 5 points.
    EXPECT_EQ(TodayLine(state(), test::gradeRecord(2, 1, 20, test::dayValue(2026, 12, 9), 0.375)),
              QStringLiteral("  20秒 09:00③佐藤花子") + FW + QStringLiteral("③5"));
    EXPECT_EQ(TodayLine(state(), test::gradeRecord(1, 1, 9, test::dayValue(2026, 12, 9), 0.5)),
              QStringLiteral("   9秒 12:00●山田太郎") + FW + QStringLiteral("●18"));
    EXPECT_EQ(TodayLine(state(), test::gradeRecord(4, 1, 1234, test::dayValue(2026, 12, 9),
                                                   23.0 / 24 + 59.0 / 1440)),
              QStringLiteral("1234秒 23:59Ⅰ高橋次郎") + FW + QStringLiteral("Ⅰ0"));
    EXPECT_EQ(TodayLine(state(), test::gradeRecord(2, 1, 99999, test::dayValue(2026, 12, 9),
                                                   0.375)),
              QStringLiteral("　　× 09:00③佐藤花子") + FW + QStringLiteral("③"));
}

TEST_F(RunLists, TodaysRunsInTheListsOrderFastestFirstAndTimeOutsLast)
{
    const double today = test::dayValue(2026, 12, 9);
    const std::vector<records::GradeRecord> records{
        test::gradeRecord(2, 1, 35, today, 0.30), test::gradeRecord(3, 1, 99999, today, 0.31),
        test::gradeRecord(1, 1, 9, today, 0.90),  test::gradeRecord(1, 1, 9, today - 1, 0.2),
        test::gradeRecord(6, 2, 40, today, 0.5),  test::gradeRecord(1, 9, 40, today, 0.5)};
    LinesByLevel lines = TodayLines(state(), records, QStringLiteral("全学年"));
    SortListTexts(lines[1]);
    ASSERT_EQ(lines[1].size(), 3); // yesterday's run is not today's
    EXPECT_TRUE(lines[1].at(0).startsWith(QStringLiteral("   9秒 21:36●")));
    EXPECT_TRUE(lines[1].at(1).startsWith(QStringLiteral("  35秒 07:12③")));
    EXPECT_TRUE(lines[1].at(2).startsWith(QStringLiteral("　　× 07:26①鈴木一郎")));
    EXPECT_EQ(lines[2].size(), 1);
    EXPECT_TRUE(lines[9].isEmpty()) << "the menu has seven levels";

    // The group filter passes grade 3 only.
    lines = TodayLines(state(), records, QStringLiteral("小３"));
    EXPECT_EQ(lines[1].size(), 2);
    EXPECT_TRUE(lines[2].isEmpty());
}

struct PeriodCase {
    const char *what;
    QDate today;
    int period;
    int days;
};

class PeriodDays : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodDays, OfEachPeriod)
{
    EXPECT_EQ(PeriodDaysFor(GetParam().period, GetParam().today), GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(
    Weeks, PeriodDays,
    ::testing::Values(PeriodCase{"thisWeekOnAMonday", QDate(2026, 12, 7), 1, 1},
                      PeriodCase{"thisWeekOnAWednesday", QDate(2026, 12, 9), 1, 3},
                      PeriodCase{"thisWeekOnASaturday", QDate(2026, 12, 12), 1, 6},
                      PeriodCase{"thisWeekOnASunday", QDate(2026, 12, 13), 1, 7},
                      PeriodCase{"sinceLastWeekOnAWednesday", QDate(2026, 12, 9), 2, 10},
                      PeriodCase{"sinceLastWeekOnASunday", QDate(2026, 12, 13), 2, 14},
                      PeriodCase{"aMonth", QDate(2026, 12, 9), 3, 30},
                      PeriodCase{"aYear", QDate(2026, 12, 9), 4, 365},
                      PeriodCase{"all", QDate(2026, 12, 9), 5, 3650}),
    [](const auto &info) { return std::string(info.param.what); });

TEST_F(RunLists, ThisWeekOnAWednesdayRunsFromMonday)
{
    std::vector<records::GradeRecord> records;
    for (int day = 5; day <= 9; ++day) // Saturday the 5th to Wednesday the 9th
        records.push_back(test::gradeRecord(1, 1, 20 + day, test::dayValue(2026, 12, day)));
    const int days = PeriodDaysFor(1, world.clock.date);
    QStringList lines = PeriodLines(state(), records, days, ListMode::Times,
                                    QStringLiteral("全学年"))[1];
    SortListTexts(lines);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("  27秒 12/07●山田太郎") + FW +
                                      QStringLiteral("●4"),
                                  QStringLiteral("  28秒 12/08●山田太郎") + FW +
                                      QStringLiteral("●4"),
                                  QStringLiteral("  29秒 12/09●山田太郎") + FW +
                                      QStringLiteral("●4")}));

    // On Sunday the 13th: the seven days from Monday the 7th.
    world.clock.date = QDate(2026, 12, 13);
    records.push_back(test::gradeRecord(2, 1, 20, test::dayValue(2026, 12, 13)));
    lines = PeriodLines(state(), records, PeriodDaysFor(1, world.clock.date), ListMode::Points,
                        QStringLiteral("全学年"))[1];
    SortListTexts(lines);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.at(0), QStringLiteral("    4 12/07●山田太郎") + FW + QStringLiteral("●27秒"));
    EXPECT_EQ(lines.at(3), QStringLiteral("    5 12/13③佐藤花子") + FW + QStringLiteral("③20秒"));
}

struct ColourCase {
    const char *what;
    std::vector<const char16_t *> lines; // sorted
    std::optional<TimesColour> colour;   // target 25, minimum 60
};

class ListColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ListColour, FromTheSlowestTimedRun)
{
    QStringList lines;
    for (const char16_t *l : GetParam().lines)
        lines << QString::fromUtf16(l);
    EXPECT_EQ(TimesListColour(lines, 25, 60), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListColour,
    ::testing::Values(
        ColourCase{"empty", {}, std::nullopt},
        ColourCase{"onlyTimeOuts", {u"　　× 09:00●山田"}, std::nullopt},
        ColourCase{"onTarget", {u"   9秒 09:00●山田", u"  25秒 09:00①鈴木"}, TimesColour::Target},
        ColourCase{"slowestWithinMinimum",
                   {u"   9秒 09:00●山田", u"  60秒 09:00①鈴木", u"　　× 09:00③佐藤"},
                   TimesColour::Minimum},
        ColourCase{"slower", {u"  61秒 09:00●山田"}, TimesColour::Slower},
        // 1234 seconds is read whole, not as its last three digits
        ColourCase{"fourDigits", {u"   9秒 09:00●山田", u"1234秒 09:00①鈴木"},
                   TimesColour::Slower}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(RankingWidth, RanksOfAHundredAndMoreAreWrittenWholeAndKeepTheirOrder)
{
    test::FakeWorld world;
    core::AppState &state = *world.state;
    state.roster.SchoolYear = 2026;
    constexpr int kPupils = 130;
    for (int p = 1; p <= kPupils; ++p) {
        state.roster.RosterNumbers[std::size_t(p)] = std::int16_t(p);
        state.roster.StudentNames[std::size_t(p)] = QStringLiteral("生徒%1").arg(p);
        state.roster.BirthYears[std::size_t(p)] = 2017;
        // Pupil p ran level 1 in 10 + p seconds; pupils 1 and 2 tie; 126..130 have no run.
        state.stats.PersonalBest(p, 1) = p > 125 ? core::kNoTime : p == 2 ? 11 : 10 + p;
    }
    state.roster.RosterCount = kPupils;
    const QStringList lines = SortedRankingLines(state, 1, ListMode::Times,
                                                 PointsOrder::Cumulative, QStringLiteral("全学年"));
    ASSERT_EQ(lines.size(), kPupils);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("  1③生徒1")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("  1③生徒2")));
    EXPECT_TRUE(lines.at(2).startsWith(QStringLiteral("  3③生徒3")));
    EXPECT_TRUE(lines.at(98).startsWith(QStringLiteral(" 99③生徒99")));
    EXPECT_TRUE(lines.at(99).startsWith(QStringLiteral("100③生徒100")));
    EXPECT_TRUE(lines.at(124).startsWith(QStringLiteral("125③生徒125")));
    EXPECT_TRUE(lines.at(125).startsWith(QStringLiteral("---③生徒12")));
    EXPECT_TRUE(lines.at(125).endsWith(QStringLiteral("------ 　")));

    // Below a hundred listed ranks keep two characters, "--" for no time.
    state.roster.RosterCount = 20;
    state.stats.PersonalBest(20, 1) = core::kNoTime;
    const QStringList few = SortedRankingLines(state, 1, ListMode::Times, PointsOrder::Cumulative,
                                               QStringLiteral("全学年"));
    EXPECT_TRUE(few.at(0).startsWith(QStringLiteral(" 1③生徒1")));
    EXPECT_TRUE(few.at(18).startsWith(QStringLiteral("19③生徒19")));
    EXPECT_EQ(few.at(19), QStringLiteral("--③生徒20") + FW + QStringLiteral("------ 　"));
}

} // namespace
} // namespace tavoro::menus
