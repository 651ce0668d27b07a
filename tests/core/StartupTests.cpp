// Start-up: the settings files, folder resolution, school code, season colours, era dates,
// the profile and the start of a run.
#include "core/AppState.h"
#include "core/Criteria.h"
#include "core/Profile.h"
#include "core/Settings.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include <gtest/gtest.h>

using namespace tavoro;
using tavoro::test::FakeWorld;
using tavoro::test::Installation;

namespace {

struct SchoolCase {
    const char16_t *field;
    const char16_t *code;
    const char16_t *name;
};

class SchoolField : public ::testing::TestWithParam<SchoolCase> {};

TEST_P(SchoolField, SplitsCodeAndName)
{
    QString code = QStringLiteral("junk"), name;
    core::SplitSchool(QString::fromUtf16(GetParam().field), &code, &name);
    EXPECT_EQ(code, QString::fromUtf16(GetParam().code));
    EXPECT_EQ(name, QString::fromUtf16(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SchoolField,
    ::testing::Values(SchoolCase{u"12345みどり小学校", u"12345", u"みどり小学校"},
                      SchoolCase{u"みどり小学校", u"", u"みどり小学校"},
                      SchoolCase{u"00000みどり小学校", u"", u"00000みどり小学校"},
                      SchoolCase{u"123みどり小学校", u"123みど",
                                 u"り小学校"}, // Val("123みど") = 123
                      SchoolCase{u"12345", u"12345", u""}, SchoolCase{u"", u"", u""},
                      SchoolCase{u"  42 学園", u"  42 ", u"学園"}));

struct MonthCase {
    int month;
    std::optional<std::uint32_t> color;
};

class SeasonColor : public ::testing::TestWithParam<MonthCase> {};

TEST_P(SeasonColor, FollowsTheMonth)
{
    EXPECT_EQ(core::SeasonColorForMonth(GetParam().month), GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(Months, SeasonColor,
                         ::testing::Values(MonthCase{1, 0x80FF}, MonthCase{2, 0x80FF},
                                           MonthCase{3, 0xC0FFC0}, MonthCase{5, 0xC0FFC0},
                                           MonthCase{6, 0xC0C000}, MonthCase{8, 0xC0C000},
                                           MonthCase{9, 0x40C0}, MonthCase{11, 0x40C0},
                                           MonthCase{12, 0xC0FFC0}, MonthCase{0, std::nullopt},
                                           MonthCase{13, std::nullopt}));

struct EraCase {
    QDate date;
    const char16_t *text;
};

class EraDate : public ::testing::TestWithParam<EraCase> {};

TEST_P(EraDate, WritesEraYearMonthDayAndWeekday)
{
    EXPECT_EQ(core::EraDateText(GetParam().date), QString::fromUtf16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Dates, EraDate,
                         ::testing::Values(EraCase{QDate(2026, 12, 9), u"令和8年 12月 09日（水）"},
                                           EraCase{QDate(2019, 4, 30), u"平成31年 4月 30日（火）"},
                                           EraCase{QDate(2019, 5, 1), u"令和1年 5月 01日（水）"},
                                           EraCase{QDate(1989, 1, 7), u"昭和64年 1月 07日（土）"},
                                           EraCase{QDate(1989, 1, 8), u"平成1年 1月 08日（日）"},
                                           EraCase{QDate(2024, 2, 29), u"令和6年 2月 29日（木）"}));

class Startup : public ::testing::Test {
protected:
    FakeWorld world;
    Installation inst;
    core::AppState &state() { return *world.state; }
};

TEST_F(Startup, ResolvesFoldersFromThePathDataFile)
{
    inst.writeDefaults();
    ASSERT_FALSE(core::LoadSettings(state(), inst.programFolder()));
    const core::Settings &s = state().settings;
    EXPECT_EQ(s.AppFolder, inst.programFolder() + u'/');
    EXPECT_EQ(s.DataFolder, inst.dataFolder());
    EXPECT_EQ(s.ProgramFolderName, QStringLiteral("Tavoro"));
    EXPECT_EQ(s.ProgramDataFolder, inst.dataFolder() + QStringLiteral("Tavoro\\"));
    EXPECT_EQ(s.SoundFolder, inst.dataFolder() + QStringLiteral("音フォルダ\\"));
    EXPECT_EQ(s.SchoolCode, QStringLiteral("12345"));
    EXPECT_EQ(s.SchoolName, QStringLiteral("テスト小学校"));
    EXPECT_TRUE(s.SchoolYearStartMonth.equals(4));
    EXPECT_TRUE(s.RosterSwitch.equals(0));
    EXPECT_EQ(s.DataChangePassword.text(), QStringLiteral("abc"));
    EXPECT_EQ(state().profile.ProgramTitle, QStringLiteral("Tavoro"));
    EXPECT_EQ(state().criteria.TargetTime[1], 25);
    EXPECT_EQ(state().sound.SoundTable[2][21], QStringLiteral("2"));
}

struct FolderCase {
    const char16_t *programFolder;
    const char16_t *dataField;
    const char16_t *dataFolder;
    const char16_t *programData;
    const char16_t *sound;
};

class Folders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(Folders, DeriveFromProgramFolderAndDataField)
{
    core::Settings s;
    core::DeriveFolders(s, QString::fromUtf16(GetParam().programFolder),
                        QString::fromUtf16(GetParam().dataField));
    EXPECT_EQ(s.ProgramFolderName, QStringLiteral("Tavoro"));
    EXPECT_EQ(s.DataFolder, QString::fromUtf16(GetParam().dataFolder));
    EXPECT_EQ(s.ProgramDataFolder, QString::fromUtf16(GetParam().programData));
    EXPECT_EQ(s.SoundFolder, QString::fromUtf16(GetParam().sound));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Folders,
    ::testing::Values(FolderCase{u"C:\\apps\\Tavoro", u"E:\\data\\", u"E:\\data\\",
                                 u"E:\\data\\Tavoro\\", u"E:\\data\\音フォルダ\\"},
                      FolderCase{u"C:\\apps\\Tavoro\\", u"E:\\data", u"E:\\data\\",
                                 u"E:\\data\\Tavoro\\", u"E:\\data\\音フォルダ\\"},
                      FolderCase{u"/opt/tavoro/Tavoro", u"/srv/data", u"/srv/data/",
                                 u"/srv/data/Tavoro\\", u"/srv/data/音フォルダ\\"},
                      FolderCase{u"/opt/tavoro/Tavoro", u"\\\\server\\share\\",
                                 u"\\\\server\\share\\", u"\\\\server\\share\\Tavoro\\",
                                 u"\\\\server\\share\\音フォルダ\\"},
                      FolderCase{u"/opt/tavoro/Tavoro", u"..\\data\\",
                                 u"/opt/tavoro/Tavoro/..\\data\\",
                                 u"/opt/tavoro/Tavoro/..\\data\\Tavoro\\",
                                 u"/opt/tavoro/Tavoro/..\\data\\音フォルダ\\"}));

TEST_F(Startup, DataFolderWithoutTrailingSeparatorGetsOne)
{
    inst.writeDefaults();
    QString folder = inst.dataFolder();
    folder.chop(1);
    inst.writePathData(folder);
    ASSERT_FALSE(core::LoadSettings(state(), inst.programFolder()));
    EXPECT_EQ(state().settings.DataFolder, folder + u'/');
    EXPECT_EQ(state().settings.ProgramDataFolder, folder + QStringLiteral("/Tavoro\\"));
    EXPECT_EQ(state().criteria.MinTime[7], 95);
}

TEST_F(Startup, BackslashSeparatorsWorkOnThisPlatform)
{
    inst.writeDefaults();
    QString folder = inst.dataFolder();
    folder.replace(u'/', u'\\');
    inst.writePathData(folder);
    ASSERT_FALSE(core::LoadSettings(state(), inst.programFolder()));
    EXPECT_EQ(state().criteria.TargetTime[3], 35);
}

TEST_F(Startup, RelativeDataFolderIsTakenFromTheProgramFolder)
{
    inst.writeDefaults();
    inst.writePathData(QStringLiteral("..\\data\\"));
    ASSERT_FALSE(core::LoadSettings(state(), inst.programFolder()));
    EXPECT_EQ(state().criteria.TargetTime[2], 30);
}

struct BrokenSetup {
    const char *what;
    std::function<void(Installation &)> breakIt;
    const char16_t *file;    // tail of the named file
    const char16_t *message; // part of the message
};

class StartupFailure : public ::testing::TestWithParam<BrokenSetup> {};

TEST_P(StartupFailure, NamesTheFileAndWhatIsMissing)
{
    FakeWorld world;
    Installation inst;
    inst.writeDefaults();
    GetParam().breakIt(inst);
    const auto err = core::LoadSettings(*world.state, inst.programFolder());
    ASSERT_TRUE(err) << GetParam().what;
    EXPECT_TRUE(err->file.endsWith(QString::fromUtf16(GetParam().file))) << err->file.toStdString();
    EXPECT_TRUE(err->message.contains(QString::fromUtf16(GetParam().message)))
        << err->message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, StartupFailure,
    ::testing::Values(BrokenSetup{"no path data",
                                  [](Installation &i) {
                                      QFile::remove(i.root() + QStringLiteral("/パスデータ.txt"));
                                  },
                                  u"..\\パスデータ.txt", u"ファイルがありません"},
                      BrokenSetup{"short path data",
                                  [](Installation &i) {
                                      i.writeLines(QStringLiteral("パスデータ.txt"),
                                                   {i.dataFolder(), QStringLiteral("x")});
                                  },
                                  u"パスデータ.txt", u"10 項目が必要ですが、2 項目しかありません"},
                      BrokenSetup{"no common data",
                                  [](Installation &i) {
                                      QFile::remove(i.dataFolder() +
                                                    QStringLiteral("共通データ.txt"));
                                  },
                                  u"共通データ.txt", u"ファイルがありません"},
                      BrokenSetup{"short common data",
                                  [](Installation &i) {
                                      i.writeCommonData({QStringLiteral("4"),
                                                         QStringLiteral("学校"),
                                                         QStringLiteral("0")});
                                  },
                                  u"共通データ.txt", u"3 項目しかありません"},
                      BrokenSetup{"no criteria",
                                  [](Installation &i) {
                                      QFile::remove(i.programDataFolder() +
                                                    QStringLiteral("タイム回数データ.txt"));
                                  },
                                  u"タイム回数データ.txt", u"ファイルがありません"},
                      // A number beyond its field's range is named by line, field and text;
                      // one that does not read as a number at all stays 0.
                      BrokenSetup{"criteria multiplier 1e308",
                                  [](Installation &i) {
                                      i.writeCriteria({QStringLiteral("30,60,100,3,1,0,0,7,7,,,"),
                                                       QStringLiteral("30,60,100,3,1e308,0,0,7,7,,,")});
                                  },
                                  u"タイム回数データ.txt",
                                  u"3 行目の 5 番目の項目（ﾎﾟｲﾝﾄ倍率）「1e308」が 0～1000 "
                                  u"の範囲にありません。"},
                      BrokenSetup{"criteria time too large for a double",
                                  [](Installation &i) {
                                      i.writeCriteria({QStringLiteral("1e400,-1,100,3,1,0,0,7,7,,,"),
                                                       QStringLiteral("30,60,100,40000,1,0,0,7,7,,,")});
                                  },
                                  u"タイム回数データ.txt",
                                  u"2 行目の 1 番目の項目（目標Time）「1e400」が 0～99999 "
                                  u"の範囲にありません。（ほかに 2 か所あります）"},
                      BrokenSetup{"criteria period beyond its days",
                                  [](Installation &i) {
                                      i.writeCriteria({QStringLiteral("30,60,100,3,1,0,0,7,100000,,,")});
                                  },
                                  u"タイム回数データ.txt",
                                  u"2 行目の 9 番目の項目（禁期間）「100000」が 0～99999"},
                      BrokenSetup{"roster switch 2",
                                  [](Installation &i) {
                                      i.writeCommonData({QStringLiteral("4"),
                                                         QStringLiteral("学校"),
                                                         QStringLiteral("2"), QStringLiteral("0"),
                                                         QStringLiteral("0"), QStringLiteral("0"),
                                                         QStringLiteral("0"), QStringLiteral("0"),
                                                         QStringLiteral("0"), QStringLiteral("0")});
                                  },
                                  u"共通データ.txt",
                                  u"3 行目の 3 番目の項目（名簿スイッチ）「2」が 0～1 の範囲にありません"}));

TEST(Criteria, AFileWithANumberOutOfRangeLeavesTheCriteriaAsTheyWere)
{
    FakeWorld world;
    core::AppState &s = *world.state;
    const QString heading = QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n");
    ASSERT_FALSE(core::TakeCriteria(s, heading + QStringLiteral("30,60,100,3,1.5,0,0,7,7,,,\r\n")));
    EXPECT_TRUE(core::TakeCriteria(
        s, heading + QStringLiteral("31,61,101,4,2,0,0,7,7,,,\r\n30,60,100,3,1,-1,0,7,7,,,\r\n")));
    EXPECT_EQ(s.criteria.TargetTime[1], 30);
    EXPECT_EQ(s.criteria.PointMultiplier[1], 1.5f);
    EXPECT_TRUE(s.criteria.OveruseCount[2].isEmpty());
    // The spare fields and texts in the variant fields hold anything.
    EXPECT_FALSE(core::TakeCriteria(
        s, heading + QStringLiteral("30,60,100,3,1,abc,,7,7,1e400,-5,x\r\n")));
    EXPECT_EQ(s.criteria.OveruseCount[1].text(), QStringLiteral("abc"));
}

TEST_F(Startup, StartProgramShowsTheNameSelection)
{
    inst.writeDefaults();
    core::StartProgram(state(), inst.programFolder());
    EXPECT_EQ(world.screens.log, QStringList{QStringLiteral("showNameSelection")});
    EXPECT_TRUE(world.dialogs.calls.empty());
    EXPECT_FALSE(world.programExit.requested);
}

TEST_F(Startup, StartProgramWithAMissingFileShowsAMessageAndEnds)
{
    inst.writeDefaults();
    QFile::remove(inst.dataFolder() + QStringLiteral("共通データ.txt"));
    core::StartProgram(state(), inst.programFolder());
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_TRUE(world.dialogs.calls[0].text.contains(QStringLiteral("共通データ.txt")));
    EXPECT_TRUE(world.dialogs.calls[0].text.contains(QStringLiteral("ファイルがありません")));
    EXPECT_TRUE(world.programExit.requested);
    EXPECT_FALSE(world.screens.log.contains(QStringLiteral("showNameSelection")));
}

TEST(Profile, LevelTableIsByteExactAfterEveryLogin)
{
    FakeWorld world;
    core::AppState &s = *world.state;
    core::SetProfile(s);
    EXPECT_EQ(s.profile.ProgramTitle, QStringLiteral("Tavoro"));
    EXPECT_EQ(s.profile.AllLevelsOpen, 1);
    EXPECT_EQ(s.profile.MenuPrintMode, 0);
    for (int login = 0; login < 2; ++login) {
        core::SetLevelTableAndShowMenu(s);
        EXPECT_EQ(s.profile.LevelCount, 7);
        EXPECT_EQ(s.profile.GoalLevel, 7);
        EXPECT_EQ(s.profile.LevelNames[1], QString::fromUtf16(u"\uFF9A\uFF8D\uFF9E\uFF991"));
        EXPECT_EQ(s.profile.LevelNames[6], QStringLiteral("ﾚﾍﾞﾙ6"));
        EXPECT_EQ(s.profile.LevelNames[7], QStringLiteral("混合"));
        EXPECT_EQ(s.profile.LevelNames[11], QString::fromUtf16(u"レベル４－1"));
        EXPECT_EQ(s.profile.LevelNames[12], QString::fromUtf16(u"レベル４－２"));
        EXPECT_EQ(s.profile.LevelNames[20], QString::fromUtf16(u"レベル７－1"));
        EXPECT_EQ(s.profile.LevelNames[24], QString::fromUtf16(u"レベル８－２"));
        EXPECT_TRUE(s.profile.LevelNames[0].isEmpty());
        for (int i = 1; i <= 24; ++i)
            EXPECT_EQ(s.profile.LevelRecorded[i], 1) << i;
        for (int i = 25; i <= 35; ++i) {
            EXPECT_EQ(s.profile.LevelRecorded[i], 0) << i;
            EXPECT_TRUE(s.profile.LevelNames[i].isEmpty()) << i;
        }
    }
    EXPECT_EQ(world.screens.log.count(QStringLiteral("showLevelMenu")), 2);
    EXPECT_TRUE(core::IsPracticeLevel(s, 10));
    EXPECT_FALSE(core::IsPracticeLevel(s, 7));
    EXPECT_TRUE(core::IsTeacherName(QStringLiteral("山田先生")));
    EXPECT_TRUE(core::IsTeacherName(QStringLiteral("★すずき")));
    EXPECT_FALSE(core::IsTeacherName(QStringLiteral("先山 生子")));
}

TEST(Profile, StartLevelResetsTheRunAndShowsTheDrill)
{
    FakeWorld world;
    core::AppState &s = *world.state;
    s.run.CurrentLevel = 3;
    s.run.RunFinished = 1;
    s.run.RecordingStarted = 1;
    s.run.SolvedCount = 10;
    s.run.TimeOutFlag = 1;
    core::StartLevel(s);
    EXPECT_EQ(s.run.RunFinished, 0);
    EXPECT_EQ(s.run.RecordingStarted, 0);
    EXPECT_EQ(s.run.SolvedCount, 0);
    EXPECT_EQ(s.run.TimeOutFlag, 0);
    EXPECT_EQ(s.run.CurrentLevel, 3);
    EXPECT_EQ(world.screens.log, QStringList{QStringLiteral("showDrill")});
}

} // namespace
