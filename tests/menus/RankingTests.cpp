// The per-level ranking lines of the level menu.
#include "MenusWorld.h"

#include "menus/Ranking.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tavoro::menus {
namespace {

const QString FW = QStringLiteral("　");

TEST(RankingPieces, NameMarkNumbersAndRank)
{
    EXPECT_EQ(Name5(QStringLiteral("山田太郎            ")), QStringLiteral("山田太郎") + FW);
    EXPECT_EQ(Name5(QStringLiteral("林 ")), QStringLiteral("林") + QString(4, QChar(0x3000)));
    EXPECT_EQ(Name5(QStringLiteral("寿限無寿限無")), QStringLiteral("寿限無寿限"));
    EXPECT_EQ(RightNumber(5, 3), QStringLiteral("  5"));
    EXPECT_EQ(RightNumber(0, 3), QStringLiteral("  0"));
    EXPECT_EQ(RightNumber(123456, 5), QStringLiteral("23456"));
    EXPECT_EQ(RightNumber(7, 6), QStringLiteral("    7")); // four spaces are all there is
    EXPECT_EQ(RankText(1), QStringLiteral(" 1"));
    EXPECT_EQ(RankText(10), QStringLiteral("10"));
    EXPECT_EQ(RankText(123), QStringLiteral("23"));
}

// Where the "/" between the two points stands in a line.
qsizetype line1Slash(const QString &line)
{
    return line.lastIndexOf(u'/');
}

class Ranking : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::Roster &r = state.roster;
        r.SchoolYear = 2026;
        const struct {
            int number;
            int birth;
            const char16_t *name;
        } pupils[] = {{1, 2017, u"山田太郎"},
                      {2, 2017, u"佐藤花子"},
                      {3, 2019, u"鈴木一郎"},
                      {4, 2013, u"高橋次郎"},
                      {5, 2017, u"田中ゆい"}};
        int i = 0;
        for (const auto &p : pupils) {
            ++i;
            r.RosterNumbers[std::size_t(i)] = std::int16_t(p.number);
            r.StudentNames[std::size_t(p.number)] =
                QString::fromUtf16(p.name).leftJustified(20, u' ');
            r.BirthYears[std::size_t(p.number)] = std::int16_t(p.birth);
            for (int level = 1; level <= core::kMaxLevel; ++level)
                state.stats.PersonalBest(p.number, level) = core::kNoTime;
        }
        r.RosterCount = i;
        state.pupil.CurrentStudent = 1;
        setPoints(1, 50, 5);
        setPoints(2, 80, 0);
        setPoints(3, 80, 20);
        setPoints(4, 10, 0);
        setPoints(5, 0, 0);
    }
    void setPoints(int pupil, int total, int today)
    {
        state.stats.TotalPoints(pupil, 1) = total;
        state.stats.PointsToday(pupil, 1) = today;
    }
    QStringList lines(PointsOrder order, const QString &filter = QStringLiteral("全学年"))
    {
        return RankingLines(state, 1, ListMode::Points, order, filter);
    }

    test::FakeWorld world;
    core::AppState &state = *world.state;
};

TEST_F(Ranking, CumulativeOrderWithTiedRanks)
{
    EXPECT_EQ(lines(PointsOrder::Cumulative),
              (QStringList{
                  QStringLiteral(" 1①鈴木一郎") + FW + QStringLiteral(" 20/   80"),
                  QStringLiteral(" 1③佐藤花子") + FW + QStringLiteral("  0/   80"),
                  QStringLiteral(" 3●山田太郎") + FW + QStringLiteral("  5/   50"),
                  QStringLiteral(" 4Ⅰ高橋次郎") + FW + QStringLiteral("  0/   10"),
                  QStringLiteral(" 5③田中ゆい") + FW + QStringLiteral("  0/    0"),
              }));
}

TEST_F(Ranking, TodayOrderListsOnlyPupilsWithPointsToday)
{
    EXPECT_EQ(lines(PointsOrder::Today),
              (QStringList{
                  QStringLiteral(" 1①鈴木一郎") + FW + QStringLiteral(" 20/   80"),
                  QStringLiteral(" 2●山田太郎") + FW + QStringLiteral("  5/   50"),
              }));
}

TEST_F(Ranking, GroupFilterHidesLinesButKeepsRanks)
{
    EXPECT_EQ(lines(PointsOrder::Cumulative, QStringLiteral("小３")),
              (QStringList{
                  QStringLiteral(" 1③佐藤花子") + FW + QStringLiteral("  0/   80"),
                  QStringLiteral(" 3●山田太郎") + FW + QStringLiteral("  5/   50"),
                  QStringLiteral(" 5③田中ゆい") + FW + QStringLiteral("  0/    0"),
              }));
    EXPECT_EQ(lines(PointsOrder::Cumulative, QStringLiteral("中学生全体")),
              (QStringList{QStringLiteral(" 4Ⅰ高橋次郎") + FW + QStringLiteral("  0/   10")}));
    EXPECT_TRUE(lines(PointsOrder::Cumulative, QStringLiteral("小６")).empty());
}

TEST_F(Ranking, TodaysPointsOutweighAnyCumulativePoints)
{
    // One point more today counts for more than thousands of points over time.
    setPoints(1, 0, 0);
    setPoints(2, 5000, 1);
    setPoints(3, 2, 2);
    const QStringList l = lines(PointsOrder::Today);
    ASSERT_EQ(l.size(), 2);
    EXPECT_TRUE(l.at(0).startsWith(QStringLiteral(" 1①鈴木一郎"))) << l.at(0).toStdString();
    EXPECT_TRUE(l.at(1).startsWith(QStringLiteral(" 2③佐藤花子"))) << l.at(1).toStdString();
}

TEST_F(Ranking, CumulativePointsOutweighAThousandPointsToday)
{
    setPoints(1, 1000, 1000);
    setPoints(2, 1001, 0);
    const QStringList l = lines(PointsOrder::Cumulative);
    EXPECT_TRUE(l.at(0).startsWith(QStringLiteral(" 1③佐藤花子"))) << l.at(0).toStdString();
    EXPECT_TRUE(l.at(1).startsWith(QStringLiteral(" 2●山田太郎"))) << l.at(1).toStdString();
    // A thousand points today widen the column of today's points for every line.
    EXPECT_EQ(l.at(0), QStringLiteral(" 1③佐藤花子") + FW + QStringLiteral("   0/ 1001"));
    EXPECT_EQ(l.at(1), QStringLiteral(" 2●山田太郎") + FW + QStringLiteral("1000/ 1000"));
}

struct WideCase {
    const char *name;
    int today1, total1; // points of pupil 1 (山田太郎), today and so far
    QString line1;      // the ending of his line
    QString line5;      // the ending of the line of 田中ゆい, who has none
};

class RankingColumns : public Ranking, public ::testing::WithParamInterface<WideCase> {};

// A number wider than its column widens the column of the whole list, as the ranks do from
// 100 on, instead of losing its leading digits: the columns stay straight.
TEST_P(RankingColumns, WidenForNumbersThatDoNotFit)
{
    const WideCase &c = GetParam();
    setPoints(1, c.total1, c.today1);
    const QStringList l = lines(PointsOrder::Cumulative);
    const auto lineOf = [&](const QString &name) {
        for (const QString &line : l)
            if (line.contains(name))
                return line;
        return QString();
    };
    const QString yamada = lineOf(QStringLiteral("山田太郎"));
    const QString tanaka = lineOf(QStringLiteral("田中ゆい"));
    EXPECT_TRUE(yamada.endsWith(c.line1)) << yamada.toStdString();
    EXPECT_TRUE(tanaka.endsWith(c.line5)) << tanaka.toStdString();
    for (const QString &line : l)
        EXPECT_EQ(line.size(), yamada.size()) << line.toStdString();
    EXPECT_EQ(line1Slash(yamada), line1Slash(tanaka));
}

INSTANTIATE_TEST_SUITE_P(
    Widths, RankingColumns,
    ::testing::Values(
        WideCase{"Fitting", 999, 99999, QStringLiteral("999/99999"), QStringLiteral("  0/    0")},
        WideCase{"ThousandToday", 1000, 99999, QStringLiteral("1000/99999"),
                 QStringLiteral("   0/    0")},
        WideCase{"HundredThousandSoFar", 5, 100000, QStringLiteral("  5/100000"),
                 QStringLiteral("  0/     0")},
        WideCase{"Both", 12345, 1234567, QStringLiteral("12345/1234567"),
                 QStringLiteral("    0/      0")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Ranking, TimesRankByBestTimeAndListPupilsWithoutARun)
{
    state.stats.PersonalBest(1, 1) = 30;
    state.stats.PersonalBest(2, 1) = 30;
    state.stats.PersonalBest(4, 1) = 25;
    EXPECT_EQ(
        RankingLines(state, 1, ListMode::Times, PointsOrder::Cumulative, QStringLiteral("全学年")),
        (QStringList{
            QStringLiteral(" 1Ⅰ高橋次郎") + FW + QStringLiteral("    25 ") + FW,
            QStringLiteral(" 2●山田太郎") + FW + QStringLiteral("    30 ●"),
            QStringLiteral(" 2③佐藤花子") + FW + QStringLiteral("    30 ") + FW,
            QStringLiteral("--①鈴木一郎") + FW + QStringLiteral("------ ") + FW,
            QStringLiteral("--③田中ゆい") + FW + QStringLiteral("------ ") + FW,
        }));
}

TEST_F(Ranking, EmptyRosterGivesNoLines)
{
    state.roster.RosterCount = 0;
    EXPECT_TRUE(lines(PointsOrder::Cumulative).empty());
}

} // namespace
} // namespace tavoro::menus
