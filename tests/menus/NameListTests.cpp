// The name selection's list texts: school year, grade and list codes, the totals, the key
// texts, the rows a filter shows, the roster tables and the order of the sorted lists.
#include "MenusWorld.h"

#include "menus/NameList.h"
#include "menus/SortedList.h"
#include "platform/Paths.h"
#include "records/RosterFile.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

const QString FW = QStringLiteral("　"); // one full-width space

TEST(Trim, OnlyHalfWidthSpaces)
{
    EXPECT_EQ(TrimSpaces(QStringLiteral("  山田　太郎　  ")), QStringLiteral("山田　太郎　"));
    EXPECT_EQ(TrimSpaces(QStringLiteral("   ")), QString());
}

TEST(SchoolYear, JanuaryBelongsToThePreviousYear)
{
    EXPECT_EQ(SchoolYearOf(QDate(2027, 1, 15), core::Variant(4)), 2026);
    EXPECT_EQ(SchoolYearOf(QDate(2027, 3, 31), core::Variant(4)), 2026);
    EXPECT_EQ(SchoolYearOf(QDate(2027, 4, 1), core::Variant(4)), 2027);
    EXPECT_EQ(SchoolYearOf(QDate(2026, 12, 9), core::Variant(4)), 2026);
    // Without a start month the calendar year is the school year.
    EXPECT_EQ(SchoolYearOf(QDate(2027, 1, 15), core::Variant()), 2027);
}

struct CodeCase {
    int grade;
    const char16_t *gradeCode; // nullptr: none
    const char16_t *listCode;
};

class Codes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(Codes, GradeAndListCode)
{
    const CodeCase c = GetParam();
    const auto code = GradeCode(c.grade);
    if (c.gradeCode) {
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, QString::fromUtf16(c.gradeCode));
    } else {
        EXPECT_FALSE(code.has_value());
    }
    EXPECT_EQ(ListCode(c.grade), QString::fromUtf16(c.listCode));
}

INSTANTIATE_TEST_SUITE_P(
    Grades, Codes,
    ::testing::Values(CodeCase{-5, nullptr, u"幼-"}, CodeCase{-3, nullptr, u"幼-"},
                      CodeCase{-2, nullptr, u"幼1"}, CodeCase{-1, nullptr, u"幼2"},
                      CodeCase{0, u"幼３", u"幼3"}, CodeCase{1, u"小１", u"小1"},
                      CodeCase{3, u"小３", u"小3"}, CodeCase{6, u"小６", u"小6"},
                      CodeCase{7, u"中１", u"中1"}, CodeCase{9, u"中３", u"中3"},
                      CodeCase{10, u"高１", u"高1"}, CodeCase{11, nullptr, u"高2"},
                      CodeCase{12, nullptr, u"高3"}, CodeCase{13, nullptr, u"大+"},
                      CodeCase{40, nullptr, u"大+"}));

TEST(TotalsTexts, ZeroAndRightAligned)
{
    EXPECT_EQ(RunsTodayText(0), QStringLiteral("     "));
    EXPECT_EQ(RunsTodayText(3), QStringLiteral("  3回"));
    EXPECT_EQ(RunsTodayText(123), QStringLiteral("123回"));
    EXPECT_EQ(RunsTodayText(1234), QStringLiteral("234回")); // only three places
    EXPECT_EQ(PointsTodayText(0), QStringLiteral("  ") + FW);
    EXPECT_EQ(PointsTodayText(7), QStringLiteral("   7"));
    EXPECT_EQ(PointsTodayText(12345), QStringLiteral("2345"));
    EXPECT_EQ(RunsSoFarText(0), QStringLiteral("     ") + FW);
    EXPECT_EQ(RunsSoFarText(25), QStringLiteral("   25回"));
    EXPECT_EQ(PointsSoFarText(0), QStringLiteral("       "));
    EXPECT_EQ(PointsSoFarText(4711), QStringLiteral("   4711"));
    EXPECT_EQ(PointsSoFarText(123456789), QStringLiteral("3456789"));
    // Negative points (a negative multiplier) keep the sign while it fits.
    EXPECT_EQ(PointsTodayText(-12), QStringLiteral(" -12"));
    EXPECT_EQ(PointsTodayText(-1234), QStringLiteral("1234"));
    EXPECT_EQ(PointsSoFarText(-4711), QStringLiteral("  -4711"));
    EXPECT_EQ(PointsSoFarText(-98765432), QStringLiteral("8765432"));
    EXPECT_EQ(RunsSoFarText(2147483647), QStringLiteral("83647回"));
}

TEST(TotalsTexts, PairOfEachDisplayMode)
{
    const PupilTotals t{3, 40, 25, 310};
    EXPECT_EQ(TotalsPairText(0, t), QStringLiteral("  3回/   25回"));
    EXPECT_EQ(TotalsPairText(1, t), QStringLiteral("  40/    310"));
    EXPECT_EQ(TotalsPairText(2, t), QStringLiteral("  40/  3回"));
    EXPECT_EQ(TotalsPairText(3, t), QStringLiteral("    310/   25回"));
    const PupilTotals none{};
    EXPECT_EQ(TotalsPairText(0, none), QStringLiteral("     /     ") + FW);
    EXPECT_EQ(TotalsPairText(1, none), QStringLiteral("  ") + FW + QStringLiteral("/       "));
    EXPECT_EQ(TotalsPairText(2, none), QStringLiteral("  ") + FW + QStringLiteral("/     "));
    EXPECT_EQ(TotalsPairText(3, none), QStringLiteral("       /     ") + FW);
}

TEST(KeyText, PupilWithRunsInModeZero)
{
    const QString name = QStringLiteral("山田太郎                "); // padded as read
    EXPECT_EQ(ListKeyText(2017, 2026, name, 0, {3, 40, 25, 310}, 1),
              QStringLiteral("2017小3 山田太郎") + FW + FW + QStringLiteral("  3回/   25回*1"));
    EXPECT_EQ(ListKeyText(2017, 2026, name, 0, {}, 17), QStringLiteral("2017小3 山田太郎") + FW +
                                                            FW + QStringLiteral("     /     ") +
                                                            FW + QStringLiteral("*17"));
}

TEST(KeyText, KindergartenColumnIsWiderExceptInModeOne)
{
    const QString name = QStringLiteral("田中ゆい");
    const PupilTotals t{};
    const QString fill4 = QString(4, QChar(0x3000));
    const QString fill2 = QString(2, QChar(0x3000));
    EXPECT_TRUE(ListKeyText(2020, 2026, name, 0, t, 5)
                    .startsWith(QStringLiteral("2020幼3 田中ゆい") + fill4 + u' '));
    EXPECT_TRUE(ListKeyText(2020, 2026, name, 2, t, 5)
                    .startsWith(QStringLiteral("2020幼3 田中ゆい") + fill4 + u' '));
    EXPECT_TRUE(ListKeyText(2020, 2026, name, 3, t, 5)
                    .startsWith(QStringLiteral("2020幼3 田中ゆい") + fill4 + u' '));
    EXPECT_TRUE(ListKeyText(2020, 2026, name, 1, t, 5)
                    .startsWith(QStringLiteral("2020幼3 田中ゆい") + fill2 + u' '));
    // A school pupil keeps nine in every mode.
    EXPECT_TRUE(ListKeyText(2017, 2026, name, 0, t, 5)
                    .startsWith(QStringLiteral("2017小3 田中ゆい") + fill2 + u' '));
}

TEST(KeyText, OddYearsAndSpacesAroundTheName)
{
    // Half-width spaces at either end go; a full-width one stays part of the name.
    EXPECT_EQ(ListKeyText(2017, 2026, QStringLiteral("  山田　花  "), 2, {0, -7, 0, 0}, 42),
              QStringLiteral("2017小3 山田　花") + FW + FW + QStringLiteral("  -7/     *42"));
    // Born later than four years before school: "幼-", still a kindergarten column.
    EXPECT_EQ(ListKeyText(2024, 2026, QStringLiteral("ゆい"), 0, {}, 3),
              QStringLiteral("2024幼- ゆい") + QString(6, QChar(0x3000)) +
                  QStringLiteral("     /     ") + FW + QStringLiteral("*3"));
    // A year of other than four digits stays as written.
    EXPECT_TRUE(ListKeyText(0, 2026, QStringLiteral("某"), 0, {}, 7)
                    .startsWith(QStringLiteral("0大+ 某") + QString(5, QChar(0x3000)) + u' '));
    EXPECT_TRUE(ListKeyText(-5, 2026, QStringLiteral("某"), 0, {}, 7)
                    .startsWith(QStringLiteral("-5大+ 某")));
}

TEST(KeyText, LongNameGetsNoFill)
{
    const QString key =
        ListKeyText(2017, 2026, QStringLiteral("寿限無寿限無五劫の擦り切れ"), 1, {}, 9);
    EXPECT_EQ(key, QStringLiteral("2017小3 寿限無寿限無五劫の擦り切れ  ") + FW +
                       QStringLiteral("/       *9"));
}

TEST(Rows, FilterShowsTheGradesOfItsText)
{
    // School year 2026: 2020 kindergarten, 2019 grade 1, 2017 grade 3, 2013 grade 7, 2010
    // grade 10.
    const QStringList keys{
        QStringLiteral("2010高1 伊藤健　　 /x*6"), QStringLiteral("2013中1 高橋次郎 /x*4"),
        QStringLiteral("2017小3 山田太郎 /x*1"),   QStringLiteral("2019小1 鈴木一郎 /x*3"),
        QStringLiteral("2020幼3 田中ゆい /x*5"),
    };
    auto numbers = [&](const QString &filter) { return ShownRows(keys, 2026, filter).numbers; };
    EXPECT_EQ(numbers(QStringLiteral("全学年")), (std::vector<int>{6, 4, 1, 3, 5}));
    EXPECT_EQ(numbers(QStringLiteral("小学生全体")), (std::vector<int>{1, 3}));
    EXPECT_EQ(numbers(QStringLiteral("中学生全体")), (std::vector<int>{4}));
    EXPECT_EQ(numbers(QStringLiteral("小３")), (std::vector<int>{1}));
    EXPECT_EQ(numbers(QStringLiteral("小１")), (std::vector<int>{3}));
    EXPECT_EQ(numbers(QStringLiteral("中１")), (std::vector<int>{4}));
    EXPECT_TRUE(numbers(QStringLiteral("小２")).empty());
    EXPECT_TRUE(numbers(QStringLiteral("なにか")).empty());

    const NameRows rows = ShownRows(keys, 2026, QStringLiteral("小学生全体"));
    EXPECT_EQ(rows.rows,
              (QStringList{QStringLiteral("小3 山田太郎 /x"), QStringLiteral("小1 鈴木一郎 /x")}));
    EXPECT_EQ(rows.numbered, (QStringList{QStringLiteral("小3 山田太郎 /x*1"),
                                          QStringLiteral("小1 鈴木一郎 /x*3")}));
}

TEST(Rows, ChosenAndConfirmedNameTexts)
{
    const QString row = QStringLiteral("小3 山田太郎") + FW + FW + QStringLiteral("  3回/   25回");
    EXPECT_EQ(ChosenNameText(row), QStringLiteral("小3 山田太郎") + FW + FW);
    EXPECT_EQ(ChosenNameText(QStringLiteral("小3 林") + QString(6, QChar(0x3000)) +
                             QStringLiteral("     /")),
              QStringLiteral("小3 林") + QString(6, QChar(0x3000)));
    EXPECT_EQ(ConfirmedNameText(row),
              QStringLiteral("小3 山田太郎") + FW + FW + QStringLiteral("  3回"));
    EXPECT_EQ(NumberOfRow(QStringLiteral("小3 山田*x /a*1234")), 1234);
    EXPECT_EQ(NumberOfRow(QStringLiteral("no number")), 0);
}

TEST(Rows, FilterItemsInTheirOrder)
{
    const QStringList items = GradeFilterItems();
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items.front(), QStringLiteral("全学年"));
    EXPECT_EQ(items.at(1), QStringLiteral("中学生全体"));
    EXPECT_EQ(items.at(2), QStringLiteral("小学生全体"));
    EXPECT_EQ(items.at(3), QStringLiteral("中３"));
    EXPECT_EQ(items.back(), QStringLiteral("小１"));
}

class RosterTables : public ::testing::Test {
protected:
    test::MenusWorld world;
    core::AppState &state = *world.state;

    QStringList fill(const QStringList &lines, int mode, bool rosterSwitch)
    {
        QString text;
        for (const QString &l : lines)
            text += l + QStringLiteral("\r\n");
        records::RosterFile roster;
        roster.parse(text);
        state.roster.SchoolYear = 2026;
        return FillRosterTables(state, roster.lines(), mode, rosterSwitch);
    }
};

TEST_F(RosterTables, StateTwoIsListedOnlyWithTheSwitch)
{
    const QStringList lines{
        QStringLiteral("10,2017,0,0,あおき,0,,"), QStringLiteral("11,2017,0,0,いとう,2,,"),
        QStringLiteral("12,2017,0,0,うえだ,1,,"), QStringLiteral("13,2017,0,0,えのき,0,,")};
    QStringList keys = fill(lines, 1, false);
    ASSERT_EQ(keys.size(), 2);
    EXPECT_TRUE(keys.at(0).endsWith(QStringLiteral("*10")));
    EXPECT_TRUE(keys.at(1).endsWith(QStringLiteral("*13")));
    EXPECT_EQ(state.roster.RosterCount, 2);
    EXPECT_EQ(state.roster.RosterNumbers[1], 10);
    EXPECT_EQ(state.roster.RosterNumbers[2], 13);
    EXPECT_EQ(state.roster.Entries[2].Number, 13);
    // Names, birth years and grade codes are kept for unlisted lines too.
    EXPECT_EQ(state.roster.StudentNames[12], QStringLiteral("うえだ").leftJustified(20, u' '));
    EXPECT_EQ(state.roster.GradeCodes[12], QStringLiteral("小３"));

    keys = fill(lines, 1, true);
    ASSERT_EQ(keys.size(), 3);
    EXPECT_TRUE(keys.at(1).endsWith(QStringLiteral("*11")));
    EXPECT_EQ(state.roster.RosterCount, 3);
}

TEST_F(RosterTables, GradeCodeKeptWhenTheGradeHasNone)
{
    state.roster.GradeCodes[20] = QStringLiteral("小６");
    fill({QStringLiteral("20,2008,0,0,おおた,0,,")}, 0, false); // grade 12: no code
    EXPECT_EQ(state.roster.GradeCodes[20], QStringLiteral("小６"));
    fill({QStringLiteral("20,2016,0,0,おおた,0,,")}, 0, false); // grade 4
    EXPECT_EQ(state.roster.GradeCodes[20], QStringLiteral("小４"));
    EXPECT_EQ(state.roster.BirthYears[20], 2016);
}

TEST(SortedLists, OldestFirstThenByNameIgnoringCase)
{
    QStringList keys{QStringLiteral("2019小1 うえだ*3"), QStringLiteral("2017小3 いとう*2"),
                     QStringLiteral("2017小3 あおき*1"), QStringLiteral("2013中1 えのき*4")};
    SortListTexts(keys);
    EXPECT_EQ(keys, (QStringList{
                        QStringLiteral("2013中1 えのき*4"), QStringLiteral("2017小3 あおき*1"),
                        QStringLiteral("2017小3 いとう*2"), QStringLiteral("2019小1 うえだ*3")}));

    QStringList latin{QStringLiteral("abe"), QStringLiteral("ABD"), QStringLiteral("abc")};
    SortListTexts(latin);
    EXPECT_EQ(latin,
              (QStringList{QStringLiteral("abc"), QStringLiteral("ABD"), QStringLiteral("abe")}));

    // Equal but for case: the order they were added in.
    QStringList same{QStringLiteral("Abc"), QStringLiteral("abc"), QStringLiteral("ABC")};
    SortListTexts(same);
    EXPECT_EQ(same,
              (QStringList{QStringLiteral("Abc"), QStringLiteral("abc"), QStringLiteral("ABC")}));
}

TEST(SortedLists, RanksWithALeadingSpaceStandBeforeTwoDigitRanks)
{
    QStringList lines{QStringLiteral("10●x"), QStringLiteral(" 9①x"), QStringLiteral(" 1①x")};
    SortListTexts(lines);
    EXPECT_EQ(lines.at(0), QStringLiteral(" 1①x"));
    EXPECT_EQ(lines.at(1), QStringLiteral(" 9①x"));
    EXPECT_EQ(lines.at(2), QStringLiteral("10●x"));
    EXPECT_TRUE(ListTextLess(QStringLiteral(" 9"), QStringLiteral("10")));
}

// Pairs that every sorted list must hold in this order, whatever stands around them.
struct OrderCase {
    const char *what;
    const char16_t *first;
    const char16_t *second;
};

class ListOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ListOrder, FirstStandsBeforeSecond)
{
    const QString a = QString::fromUtf16(GetParam().first);
    const QString b = QString::fromUtf16(GetParam().second);
    EXPECT_TRUE(ListTextLess(a, b));
    EXPECT_FALSE(ListTextLess(b, a));
    QStringList both{b, a};
    SortListTexts(both);
    EXPECT_EQ(both, (QStringList{a, b}));
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ListOrder,
    ::testing::Values(
        // right-aligned numbers in numeric order
        OrderCase{"ranks", u" 9①山田　　  5/    5", u"10●佐藤　　  0/    0"},
        OrderCase{"threeDigitRanks", u" 99①山田", u"100①佐藤"},
        OrderCase{"times", u"   9秒 10:30①山田", u"  35秒 08:00①佐藤"},
        OrderCase{"fourDigitTimes", u" 999秒 10:30①山田", u"1234秒 08:00①佐藤"},
        OrderCase{"points", u"    4 12/01①山田", u"   11 12/01①佐藤"},
        // a time-out after every timed run
        OrderCase{"timeOutAfterOneDigit", u"   9秒 23:59①山田", u"　　× 00:01①佐藤"},
        OrderCase{"timeOutAfterFourDigits", u"9999秒 23:59①山田", u"　　× 00:01①佐藤"},
        OrderCase{"timeOutsByTime", u"　　× 08:15①山田", u"　　× 09:00①佐藤"},
        // a pupil without a time after every ranked pupil
        OrderCase{"noTimeAfterRankOne", u" 1①山田　　    42 　", u"--①佐藤　　------ 　"},
        OrderCase{"noTimeAfterRank99", u"99　山田　　  1000 　", u"--①佐藤　　------ 　"},
        OrderCase{"noTimeAfterRank123", u"123　山田　　  1000 　", u"---①佐藤　　------ 　"},
        // names by their reading, a shorter name first
        OrderCase{"kana", u"2017小3 いとう", u"2017小3 イワタ"},
        OrderCase{"shorterName", u"2017小3 いと　　", u"2017小3 いとう　"}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(RosterFileLoad, EveryLoadReadsTheFileAsItIsNow)
{
    test::MenusWorld world;
    world.inst.writeRoster(
        {QStringLiteral("1,2017,0,0,山田太郎,0,,"), QStringLiteral("2,2017,0,0,佐藤花子,0,,")});
    world.start();
    const QString path = records::RosterFile::path(world.state->settings);
    records::RosterFile roster;
    ASSERT_TRUE(roster.load(path));
    ASSERT_EQ(roster.lines().size(), 2u);
    EXPECT_EQ(roster.lines()[1].Name, QStringLiteral("佐藤花子").leftJustified(20, u' '));

    // The same length, one character changed.
    world.inst.writeRoster(
        {QStringLiteral("1,2017,0,0,山田太郎,0,,"), QStringLiteral("2,2017,0,0,佐藤花美,0,,")});
    ASSERT_TRUE(roster.load(path));
    EXPECT_EQ(roster.lines()[1].Name, QStringLiteral("佐藤花美").leftJustified(20, u' '));

    // Gone: nothing is kept.
    QFile::remove(platform::localPath(path));
    EXPECT_FALSE(roster.load(path));
    EXPECT_TRUE(roster.lines().empty());
    EXPECT_EQ(roster.error(), platform::FileError::NotFound);
}

} // namespace
} // namespace tavoro::menus
