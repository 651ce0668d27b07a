// The criteria file as the editor reads and writes it: plain cell texts, the file text byte
// by byte, quoting that reads back as typed, refused characters, the replacing write.
#include "menus/MenusWorld.h"

#include "core/Criteria.h"
#include "platform/FieldReader.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "teacher/CriteriaGrid.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace tavoro::teacher {
namespace {

CriteriaRow row(std::initializer_list<const char *> cells)
{
    CriteriaRow r;
    std::size_t i = 0;
    for (const char *c : cells)
        r[i++] = QString::fromUtf8(c);
    return r;
}

TEST(CriteriaGrid, LevelLinesInTheirPlainForm)
{
    const QString text = QStringLiteral("x,y,,,,,,,,,,\r\n"
                                        "007,60,100,3,1.50,0,,7,7,,,\r\n"
                                        "30, 45,9999,2,1,\"a,b\",abc,7,7,1,2,3\r\n");
    const std::vector<CriteriaRow> rows = ParseCriteriaGrid(text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], row({"7", "60", "100", "3", "1.5", "0", "", "7", "7", "", "", ""}));
    EXPECT_EQ(rows[1], row({"30", "45", "9999", "2", "1", "a,b", "abc", "7", "7", "1", "2", "3"}));
    EXPECT_TRUE(ParseCriteriaGrid(QStringLiteral("目標Time,最低Time,,,,,,,,,,\r\n")).empty());
    EXPECT_TRUE(ParseCriteriaGrid(QString()).empty());
}

TEST(CriteriaGrid, TheFileTextByteForByte)
{
    const QByteArray bytes = platform::toCp932(CriteriaFileText(
        {row({"30", "60", "100", "3", "1.5", "0", "", "7", "7", "", "", ""}),
         row({"25", "50", "9999", "2", "1", "a,b", " x", "7", "7", "q\"r", "", "z"})}));
    // "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,"
    const QByteArray heading = QByteArray::fromHex(
        "96da955754696d652c8dc592e154696d652cb8d8b1cedfb2ddc42cb8d8b189f190942ccedfb2ddc4947b"
        "97a62c8bd689f12c8bd6935f2c94bb8afa8ad42c8bd68afa8ad42c2c2c0d0a");
    const QByteArray levels = "30,60,100,3,1.5,0,,7,7,,,\r\n"
                              "25,50,9999,2,1,\"a,b\",\" x\",7,7,q\"r,,z\r\n";
    EXPECT_EQ(bytes.toHex(), (heading + levels).toHex());
}

class QuotedCell : public ::testing::TestWithParam<const char *> {};

TEST_P(QuotedCell, ReadsBackAsTyped)
{
    const QString cell = QString::fromUtf8(GetParam());
    ASSERT_TRUE(CriteriaCellRefusal(cell).isEmpty());
    CriteriaRow r;
    r.fill(QStringLiteral("1"));
    r[5] = cell;
    r[11] = cell;
    platform::FieldReader reader(CriteriaFileText({r}));
    for (int i = 0; i < kCriteriaFields; ++i)
        reader.next(); // the heading
    for (int i = 0; i < kCriteriaFields; ++i)
        EXPECT_EQ(reader.next(), r[std::size_t(i)]) << "field " << i + 1;
    EXPECT_TRUE(reader.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Cells, QuotedCell,
                         ::testing::Values("a,b", ",", "line\r\nbreak", "two\nlines", " lead",
                                           "\tlead", "in\"side", "trail ", "①", "全角，"));

struct Refusal {
    const char *cell;
    const char *message; // empty: accepted
    int field = 0;       // the cell's field, 0 for none
};

class CellRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(CellRefusal, RefusesWhatCannotBeWrittenFaithfully)
{
    EXPECT_EQ(CriteriaCellRefusal(QString::fromUtf8(GetParam().cell), GetParam().field),
              QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellRefusal,
    ::testing::Values(Refusal{"30", ""}, Refusal{"", ""}, Refusal{"ｸﾘｱ", ""}, Refusal{"髙", ""},
                      Refusal{"é", "「é」はこのデータには使えない文字です"},
                      Refusal{"1€", "「€」はこのデータには使えない文字です"},
                      Refusal{"\xF0\x9F\x98\x80", "このデータには使えない文字があります"},
                      Refusal{"\"30", "「\"」はここには使えません"},
                      Refusal{"a,\"b", "「\"」はここには使えません"}, Refusal{"a\"b", ""},
                      // Numbers within their field's range, texts, and the spare fields
                      Refusal{"99999", "", 1}, Refusal{"0", "", 2}, Refusal{"32767", "", 4},
                      Refusal{"1000", "", 5}, Refusal{"0.7", "", 5}, Refusal{"abc", "", 6},
                      Refusal{"", "", 8}, Refusal{"1e400", "", 10}, Refusal{"-5", "", 12},
                      Refusal{"100000", "目標Time は 0～99999 の数にしてください", 1},
                      Refusal{"-1", "最低Time は 0～99999 の数にしてください", 2},
                      Refusal{"1e400", "ｸﾘｱﾎﾟｲﾝﾄ は 0～999999999 の数にしてください", 3},
                      Refusal{"32768", "ｸﾘｱ回数 は 0～32767 の数にしてください", 4},
                      Refusal{"1000.5", "ﾎﾟｲﾝﾄ倍率 は 0～1000 の数にしてください", 5},
                      Refusal{"-1", "禁回 は 0～32767 の数にしてください", 6},
                      Refusal{"1e9", "禁点 は 0～999999999 の数にしてください", 7},
                      Refusal{"100000", "判期間 は 0～99999 の数にしてください", 8},
                      Refusal{" 1e308", "禁期間 は 0～99999 の数にしてください", 9}));

TEST(CriteriaGrid, WritingReplacesTheFileAndLeavesNothingElse)
{
    test::MenusWorld world;
    world.start();
    const std::vector<CriteriaRow> rows = {
        row({"31", "61", "100", "3", "1", "0", "0", "7", "7", "", "", ""})};
    QString error;
    ASSERT_TRUE(WriteCriteriaFile(*world.state, rows, &error)) << error.toStdString();
    EXPECT_EQ(world.inst.readBytes(QStringLiteral("data/Tavoro/タイム回数データ.txt")),
              platform::toCp932(CriteriaFileText(rows)));
    const QDir folder(world.inst.programDataFolder());
    EXPECT_EQ(folder.entryList(QDir::Files), QStringList{QStringLiteral("タイム回数データ.txt")});
    ASSERT_FALSE(core::LoadCriteria(*world.state).has_value());
    EXPECT_EQ(world.state->criteria.TargetTime[1], 31);
}

TEST(CriteriaGrid, AFailedWriteReportsWhyAndKeepsTheOldFile)
{
    test::MenusWorld world;
    world.start();
    const QByteArray before =
        world.inst.readBytes(QStringLiteral("data/Tavoro/タイム回数データ.txt"));
    // A folder in the way of the temporary file's rename.
    const QString path = platform::localPath(core::CriteriaFilePath(*world.state));
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".old")));
    ASSERT_TRUE(QDir().mkpath(path));
    QString error;
    EXPECT_FALSE(WriteCriteriaFile(*world.state, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(world.inst.readBytes(QStringLiteral("data/Tavoro/タイム回数データ.txt.old")), before);
}

} // namespace
} // namespace tavoro::teacher
