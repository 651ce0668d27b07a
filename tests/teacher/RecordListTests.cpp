// The record browser's listing: the browser's roster, the exact row texts, and the model
// over the file's records.
#include "menus/MenusWorld.h"

#include "core/Variant.h"
#include "teacher/RecordList.h"

#include <gtest/gtest.h>

namespace tavoro::teacher {
namespace {

using test::gradeRecord;

class Listing : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.start();
        records::RosterFile file;
        ASSERT_TRUE(file.load(records::RosterFile::path(world.state->settings)));
        roster = MakeBrowserRoster(file.lines(), world.clock.date,
                                   world.state->settings.SchoolYearStartMonth);
    }

    test::MenusWorld world;
    BrowserRoster roster;
};

TEST_F(Listing, TheRosterOfTheBrowser)
{
    EXPECT_EQ(roster.names[1], QStringLiteral("山田太郎"));
    EXPECT_EQ(roster.gradeCodes[1], QStringLiteral("小３"));
    EXPECT_EQ(roster.gradeCodes[4], QStringLiteral("中１"));
    EXPECT_EQ(roster.gradeCodes[7], QString()); // a teacher has no grade
    ASSERT_EQ(roster.pupils.size(), 7);
    EXPECT_EQ(roster.pupils[0], QStringLiteral("1 /  山田太郎"));
    EXPECT_EQ(roster.pupils[6], QStringLiteral("7 /  ★田中先生"));
}

TEST_F(Listing, GradesAreOneLowerBeforeTheStartMonth)
{
    const core::Variant april(4);
    EXPECT_EQ(BrowserGrade(2017, QDate(2026, 12, 9), april), 3);
    EXPECT_EQ(BrowserGrade(2017, QDate(2026, 4, 1), april), 3);
    // In February the school year is still 2026, and the browser counts one lower still.
    EXPECT_EQ(BrowserGrade(2017, QDate(2027, 2, 1), april), 2);
    EXPECT_EQ(BrowserGrade(2017, QDate(2027, 2, 1), core::Variant(1)), 4);
}

TEST_F(Listing, RowTextsOfThisAndAnotherSchool)
{
    const records::GradeRecord r = gradeRecord(1, 1, 30, test::dayValue(2026, 12, 9), 0.375);
    EXPECT_EQ(
        RecordRowText(1, r, roster, world.state->settings),
        QStringLiteral(
            "   1 2026/12/09　  9:00:00ﾚﾍﾞﾙ1　   30秒 　   1 山田太郎　　 小３++テスト小学校"));
    records::GradeRecord other =
        gradeRecord(4, 12, 99999, test::dayValue(2026, 1, 5), (13 * 3600 + 5 * 60 + 7) / 86400.0);
    other.RecSchool = records::GradeTextField(QStringLiteral("99999"));
    EXPECT_EQ(
        RecordRowText(25, other, roster, world.state->settings),
        QStringLiteral("  25 2026/01/05　 13:05:07ﾚﾍﾞﾙ12　99999秒 　   4 高橋次郎　　 中１++他塾"));
    // A pupil the roster does not know, and a long name cut to six characters.
    roster.names[3] = QStringLiteral("長い長い名前の人");
    EXPECT_EQ(
        RecordRowText(3, gradeRecord(3, 2, 5), roster, world.state->settings),
        QStringLiteral(
            "   3 2026/12/09　  9:00:00ﾚﾍﾞﾙ2　    5秒 　   3 長い長い名前 小１++テスト小学校"));
    EXPECT_EQ(RecordRowText(4, gradeRecord(4999, 2, 5), roster, world.state->settings),
              QStringLiteral(
                  "   4 2026/12/09　  9:00:00ﾚﾍﾞﾙ2　    5秒 　4999 　　　　　 ++テスト小学校"));
}

TEST_F(Listing, WithoutASchoolCodeEveryRecordIsOfAnotherSchool)
{
    world.state->settings.SchoolCode.clear();
    records::GradeRecord r = gradeRecord(1, 1, 30);
    r.RecSchool = records::GradeTextField(QString());
    EXPECT_TRUE(RecordRowText(1, r, roster, world.state->settings).endsWith(u"++他塾"));
}

TEST_F(Listing, RecordNumbersBeyondNineThousandNineHundredNinetyNineKeepTheirOrder)
{
    const records::GradeRecord r = gradeRecord(1, 1, 30);
    const QString row9999 = RecordRowText(9999, r, roster, world.state->settings);
    const QString row10000 = RecordRowText(10000, r, roster, world.state->settings);
    const QString row123456 = RecordRowText(123456, r, roster, world.state->settings);
    EXPECT_TRUE(row10000.startsWith(u"10000 2026/12/09"));
    EXPECT_TRUE(row123456.startsWith(u"123456 2026/12/09"));
    EXPECT_EQ(row9999.left(5), QStringLiteral("9999 "));
}

TEST_F(Listing, TheModelListsEveryRecordButThoseOfLevelZero)
{
    std::vector<records::GradeRecord> records = {gradeRecord(1, 1, 30), gradeRecord(2, 0, 40),
                                                 gradeRecord(3, 2, 50)};
    QByteArray bytes = test::encodeRecords(records);
    bytes.append("partial"); // a cut last record is no record
    GradeListModel model;
    model.reset(bytes, roster, world.state->settings);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.recordNumber(0), 1);
    EXPECT_EQ(model.recordNumber(1), 3);
    EXPECT_EQ(model.recordNumber(2), 0);
    EXPECT_EQ(model.rowOfRecord(3), 1);
    EXPECT_EQ(model.rowOfRecord(2), -1);
    EXPECT_EQ(model.record(1), records[2]);
    EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(),
              RecordRowText(3, records[2], roster, world.state->settings));
    EXPECT_FALSE(model.data(model.index(1), Qt::ToolTipRole).isValid());
}

TEST(PupilNumber, TheNumberBeforeTheSlash)
{
    EXPECT_EQ(PupilNumberPart(QStringLiteral("12 /  山田太郎")), QStringLiteral("12"));
    EXPECT_EQ(PupilNumberPart(QStringLiteral(" 7")), QStringLiteral("7"));
    EXPECT_EQ(PupilNumberPart(QStringLiteral("x/1")), QStringLiteral("x"));
}

} // namespace
} // namespace tavoro::teacher
