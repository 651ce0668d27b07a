// The roster file reader: eight fields a line, the problems of single lines.
#include "RecordsWorld.h"

#include "records/FieldLines.h"
#include "records/RosterFile.h"

#include <gtest/gtest.h>

using namespace tavoro;
using namespace tavoro::test;
using records::RosterFile;

TEST(FieldLines, FieldsLineByLine)
{
    const auto lines = records::ReadFieldLines(QStringLiteral("a, b,\"c,d\"\r\n\r\n1,2,\r\nlast"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].line, 1);
    EXPECT_EQ(lines[0].fields, (QStringList{"a", "b", "c,d"}));
    EXPECT_EQ(lines[1].line, 2);
    EXPECT_TRUE(lines[1].isBlank());
    EXPECT_EQ(lines[2].fields, (QStringList{"1", "2", ""}));
    EXPECT_EQ(lines[3].line, 4);
    EXPECT_EQ(lines[3].fields, QStringList{"last"});
}

TEST(RosterFile, ReadsTheEightFields)
{
    RosterFile roster;
    roster.parse(QStringLiteral("12,2016,3,4,山田　太郎,0,備考,\"x,y\"\r\n"
                                "7,2015,0,0,\"先生★\",2,,\r\n"));
    EXPECT_TRUE(roster.problems().empty());
    ASSERT_EQ(roster.lines().size(), 2u);
    const records::RosterLine &a = roster.lines()[0];
    EXPECT_EQ(a.line, 1);
    EXPECT_EQ(a.Number, 12);
    EXPECT_EQ(a.BirthYear, 2016);
    EXPECT_EQ(a.Field3, 3);
    EXPECT_EQ(a.Field4, 4);
    EXPECT_EQ(a.Name, QStringLiteral("山田　太郎               "));
    EXPECT_EQ(a.Name.size(), 20);
    EXPECT_EQ(a.State, 0);
    EXPECT_EQ(a.Field7, QStringLiteral("備考                  "));
    EXPECT_EQ(a.Field8, QStringLiteral("x,y                 "));
    EXPECT_EQ(roster.lines()[1].Name.trimmed(), QStringLiteral("先生★"));
    EXPECT_EQ(roster.lines()[1].State, 2);
}

TEST(RosterFile, ANameLongerThanTwentyCharactersIsCut)
{
    RosterFile roster;
    roster.parse(
        QStringLiteral("1,2016,0,0,あいうえおかきくけこさしすせそたちつてとなにぬ,0,,\r\n"));
    ASSERT_EQ(roster.lines().size(), 1u);
    EXPECT_EQ(roster.lines()[0].Name, QStringLiteral("あいうえおかきくけこさしすせそたちつてと"));
}

TEST(RosterFile, ReportsFaultyLinesAndKeepsTheOthers)
{
    RosterFile roster;
    roster.parse(QStringLiteral("1,2016,0,0,一郎,0,,\r\n"     // 1 fine
                                "2,2016,0,0,二郎\r\n"         // 2 five fields
                                "3,2016,0,0,三郎,0,,\r\n"     // 3 fine: not shifted by line 2
                                "0,2016,0,0,零,0,,\r\n"       // 4 pupil 0
                                "5001,2016,0,0,多,0,,\r\n"    // 5 above 5000
                                "abc,2016,0,0,字,0,,\r\n"     // 6 not a number
                                "1,2017,0,0,重複,0,,\r\n"     // 7 number of line 1 again
                                "\r\n"                        // 8 blank: passed over
                                "5000,2016,0,0,末,0,,,\r\n"   // 9 nine fields: fine
                                "4.5,2016,0,0,半,0,,\r\n"     // 10 not a whole number
                                "6,2016,0,0,十,0,,,x,\r\n")); // 11 ten fields: kept
    ASSERT_EQ(roster.lines().size(), 4u);
    EXPECT_EQ(roster.lines()[0].Number, 3);
    EXPECT_EQ(roster.lines()[0].line, 3);
    // The later line of pupil 1 replaced the earlier one.
    EXPECT_EQ(roster.lines()[1].Number, 1);
    EXPECT_EQ(roster.lines()[1].line, 7);
    EXPECT_EQ(roster.lines()[1].Name.trimmed(), QStringLiteral("重複"));
    EXPECT_EQ(roster.lines()[1].BirthYear, 2017);
    EXPECT_EQ(roster.lines()[2].Number, 5000);
    EXPECT_EQ(roster.lines()[2].Name.trimmed(), QStringLiteral("末"));
    EXPECT_EQ(roster.lines()[3].Number, 6);

    std::vector<std::pair<int, QString>> got;
    for (const auto &p : roster.problems())
        got.push_back({p.line, p.message});
    const std::vector<std::pair<int, QString>> expected{
        {2, QStringLiteral("項目が 5 個しかありません（8 個必要です）")},
        {4, QStringLiteral("生徒番号「0」が 1～5000 の範囲にありません")},
        {5, QStringLiteral("生徒番号「5001」が 1～5000 の範囲にありません")},
        {6, QStringLiteral("生徒番号「abc」が 1～5000 の範囲にありません")},
        {7, QStringLiteral("生徒番号 1 は 1 行目にもあります（この行を読みます）")},
        {10, QStringLiteral("生徒番号「4.5」が 1～5000 の範囲にありません")},
        {11, QStringLiteral("項目が 10 個あります（8 個目までを読みます）")},
    };
    EXPECT_EQ(got, expected);
}

TEST(RosterFile, LoadsFromTheDataFolder)
{
    RecordsWorld w;
    w.inst.writeRoster({QStringLiteral("3,2016,0,0,花子,0,,")});
    RosterFile roster;
    ASSERT_TRUE(roster.load(RosterFile::path(w.state->settings)));
    ASSERT_EQ(roster.lines().size(), 1u);
    EXPECT_EQ(roster.lines()[0].Name.trimmed(), QStringLiteral("花子"));

    RosterFile missing;
    EXPECT_FALSE(missing.load(w.inst.dataFolder() + QStringLiteral("ない.txt")));
    EXPECT_EQ(missing.error(), platform::FileError::NotFound);
}
