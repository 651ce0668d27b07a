// tavoro-data roster import and export: a school's class list taken into 新名簿.txt byte by
// byte, every refusal leaving the roster as it was, grades turned into birth years around
// the start of the school year, and the CSV for Excel of every command.
#include "RecordsWorld.h"

#include "ClassList.h"
#include "DataTool.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace tavoro;
using namespace tavoro::test;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

class DataToolRoster : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst.writeDefaults();
        inst.writeRoster({QStringLiteral("7,2016,0,0,山田　花子,0,,"),
                          QStringLiteral("12,2015,0,0,佐藤　一郎,0,,")});
    }

    datatool::Result run(const QStringList &args,
                         const QString &today = QStringLiteral("2026-12-09"))
    {
        return datatool::Run(QStringList{QStringLiteral("--app-folder"), inst.programFolder(),
                                         QStringLiteral("--today"), today} +
                                 args,
                             QStringLiteral("/nonexistent"), QDate(2000, 1, 1));
    }

    // Writes a class list beside the installation and imports it.
    datatool::Result import(const QByteArray &list, const QStringList &more = {},
                            const QString &today = QStringLiteral("2026-12-09"))
    {
        inst.writeBytes(QStringLiteral("class.csv"), list);
        return run(QStringList{QStringLiteral("roster"), QStringLiteral("import"), listPath()} +
                       more,
                   today);
    }

    QString listPath() const { return inst.root() + QStringLiteral("/class.csv"); }
    QByteArray roster() const { return inst.readBytes(QStringLiteral("data/新名簿.txt")); }
    QStringList dataFiles() const
    {
        return QDir(inst.dataFolder()).entryList(QDir::Files, QDir::Name);
    }
    QString text(const QByteArray &out) const
    {
        return QString::fromUtf8(out).replace(inst.root(), QStringLiteral("ROOT"));
    }

    Installation inst;
};

// One class list, as Excel saves it in "CSV UTF-8" (byte-order mark, CR LF) and in "CSV"
// on a Japanese PC (code page 932), here with LF and other quoting.
const char16_t kListUtf8[] = u"番号,氏名,学年,状態\r\n"
                             u"7,山田　花子,小3,\r\n"
                             u"12,\"佐藤 一郎\",小３,0\r\n"
                             u"15,田中　三郎,中１,2\r\n"
                             u"21,\"高橋　四郎\",3年,\r\n";
const char16_t kListCp932[] = u"\"番号\",\"名前\",\"学年\",\"組\",\"状態\"\n"
                              u"\"7\",\"山田　花子\",\"3\",\"1組\",\"\"\n"
                              u"\"12\",\"佐藤 一郎\",\"小学3年\",\"2組\",\"0\"\n"
                              u"\n"
                              u"15 , 田中　三郎 ,中1,\"3組\",2\n"
                              u"21,高橋　四郎,３年生,\"1組, 転入\"\n";

// 新名簿.txt of that list on 2026-12-09 (school year 2026, from April), code page 932 and CR
// LF: 7,2017,0,0,山田　花子,0,, / 12,2017,0,0,佐藤 一郎,0,, / 15,2013,0,0,田中　三郎,2,, /
// 21,2017,0,0,高橋　四郎,0,,
const char kListRoster[] =
    "37 2c 32 30 31 37 2c 30 2c 30 2c 8e 52 93 63 81 40 89 d4 8e 71 2c 30 2c 2c 0d 0a 31 32 2c "
    "32 30 31 37 2c 30 2c 30 2c 8d b2 93 a1 20 88 ea 98 59 2c 30 2c 2c 0d 0a 31 35 2c 32 30 31 "
    "33 2c 30 2c 30 2c 93 63 92 86 81 40 8e 4f 98 59 2c 32 2c 2c 0d 0a 32 31 2c 32 30 31 37 2c "
    "30 2c 30 2c 8d 82 8b b4 81 40 8e 6c 98 59 2c 30 2c 2c 0d 0a";

} // namespace

TEST_F(DataToolRoster, AUtf8ListWithAByteOrderMarkAndTheSameInCodePage932GiveOneRoster)
{
    inst.writeRoster({});
    for (const QByteArray &list : {kBom + QString::fromUtf16(kListUtf8).toUtf8(),
                                   platform::toCp932(QString::fromUtf16(kListCp932)),
                                   QString::fromUtf16(kListUtf8).toUtf8()}) {
        inst.writeBytes(QStringLiteral("data/新名簿.txt"), QByteArray());
        const datatool::Result r = import(list, {QStringLiteral("--replace")});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        EXPECT_EQ(text(r.err), QString());
        EXPECT_EQ(roster(), fromHex(kListRoster));
    }
}

TEST_F(DataToolRoster, ImportSaysWhatItDidGradeByGrade)
{
    const datatool::Result r = import(kBom + QString::fromUtf16(kListUtf8).toUtf8());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(text(r.out), QStringLiteral("小３: 3人（新規 1、更新 2）\n"
                                          "中１: 1人（新規 1、更新 0）\n"
                                          "合計: 4人（新規 2、更新 2）\n"
                                          "書きました: ROOT/data/新名簿.txt\n"
                                          "前の名簿: ROOT/data/新名簿.txt.2026-12-09.bak\n"));
    // Pupils 7 and 12 were there: updated in place; 15 and 21 added at the end.
    EXPECT_EQ(platform::fromCp932(roster()),
              QStringLiteral("7,2017,0,0,山田　花子,0,,\r\n12,2017,0,0,佐藤 一郎,0,,\r\n"
                             "15,2013,0,0,田中　三郎,2,,\r\n21,2017,0,0,高橋　四郎,0,,\r\n"));
    const datatool::Result again = import(kBom + QString::fromUtf16(kListUtf8).toUtf8());
    EXPECT_EQ(text(again.out), QStringLiteral("小３: 3人（新規 0、更新 3）\n"
                                              "中１: 1人（新規 0、更新 1）\n"
                                              "合計: 4人（新規 0、更新 4）\n"
                                              "書きました: ROOT/data/新名簿.txt\n"
                                              "前の名簿: ROOT/data/新名簿.txt.2026-12-09-2.bak\n"));
}

TEST_F(DataToolRoster, AMergeKeepsEveryLineTheListDoesNotName)
{
    // Pupil 7 with the unused fields set, a faulty line, a blank line, a pupil of state 1
    // and a last line without its line end.
    const QByteArray old =
        platform::toCp932(QStringLiteral("7,2016,3,4,山田　花子,0,備考,x\r\n8,2016,0,0,短い\r\n"
                                         "\r\n12,2015,0,0,佐藤　一郎,1,,\r\n30,2014,0,0,最後,0,,"));
    inst.writeBytes(QStringLiteral("data/新名簿.txt"), old);
    const datatool::Result r =
        import(QStringLiteral("番号,氏名,生年\n7,山田　花美,2016\n40,新入生,2019\n").toUtf8());
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(roster(), fromHex("37 2c 32 30 31 36 2c 33 2c 34 2c 8e 52 93 63 81 40 89 d4 94 fc "
                                "2c 30 2c 94 f5 8d 6c 2c 78 0d 0a 38 2c 32 30 31 36 2c 30 2c 30 "
                                "2c 92 5a 82 a2 0d 0a 0d 0a 31 32 2c 32 30 31 35 2c 30 2c 30 2c "
                                "8d b2 93 a1 81 40 88 ea 98 59 2c 31 2c 2c 0d 0a 33 30 2c 32 30 "
                                "31 34 2c 30 2c 30 2c 8d c5 8c e3 2c 30 2c 2c 0d 0a 34 30 2c 32 "
                                "30 31 39 2c 30 2c 30 2c 90 56 93 fc 90 b6 2c 30 2c 2c 0d 0a"));
    EXPECT_EQ(inst.readBytes(QStringLiteral("data/新名簿.txt.2026-12-09.bak")), old);
    EXPECT_EQ(text(r.out), QStringLiteral("小１: 1人（新規 1、更新 0）\n"
                                          "小４: 1人（新規 0、更新 1）\n"
                                          "合計: 2人（新規 1、更新 1）\n"
                                          "書きました: ROOT/data/新名簿.txt\n"
                                          "前の名簿: ROOT/data/新名簿.txt.2026-12-09.bak\n"));
}

TEST_F(DataToolRoster, ReplaceLeavesOnlyThePupilsOfTheList)
{
    inst.writeRoster({QStringLiteral("7,2016,3,4,山田　花子,1,備考,x"),
                      QStringLiteral("12,2015,0,0,佐藤　一郎,0,,")});
    const datatool::Result r =
        import(QStringLiteral("番号,氏名,学年\n40,新入生,1\n7,山田　花美,小4\n").toUtf8(),
               {QStringLiteral("--replace")});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    // The list's order; pupil 7 keeps his unused fields and, on the list, is listed again.
    EXPECT_EQ(platform::fromCp932(roster()),
              QStringLiteral("40,2019,0,0,新入生,0,,\r\n7,2016,3,4,山田　花美,0,備考,x\r\n"));
    EXPECT_TRUE(text(r.out).contains(QStringLiteral("合計: 2人（新規 1、更新 1）\n"
                                                    "名簿から外した生徒: 1人\n")))
        << text(r.out).toStdString();
}

struct GradeCase {
    const char *name;
    const char *today;
    int startMonth;
    const char16_t *grade;
    int birthYear;
    const char16_t *shown; // by the roster's export
};

class DataToolGradeYear : public DataToolRoster, public ::testing::WithParamInterface<GradeCase> {};

TEST_P(DataToolGradeYear, AGradeBecomesTheBirthYearTheNameSelectionShowsAsThatGrade)
{
    const GradeCase &c = GetParam();
    inst.writeCommonData({QString::number(c.startMonth), QStringLiteral("12345テスト小学校"),
                          QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("0"), QStringLiteral("0")});
    const datatool::Result r = import(
        (QStringLiteral("番号,氏名,学年\n5,生徒,") + QString::fromUtf16(c.grade) + u'\n').toUtf8(),
        {QStringLiteral("--replace")}, QString::fromLatin1(c.today));
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(platform::fromCp932(roster()),
              QStringLiteral("5,%1,0,0,生徒,0,,\r\n").arg(c.birthYear));
    // The roster's export shows the grade again.
    const datatool::Result back =
        run({QStringLiteral("roster"), QStringLiteral("export")}, QString::fromLatin1(c.today));
    EXPECT_EQ(text(back.out), QStringLiteral("番号,氏名,学年,生年,状態\n5,生徒,%1,%2,0\n")
                                  .arg(QString::fromUtf16(c.shown))
                                  .arg(c.birthYear));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataToolGradeYear,
    ::testing::Values(
        // School year 2025 until the end of March, 2026 from the 1st of April.
        GradeCase{"LastDayBeforeTheStartMonth", "2026-03-31", 4, u"小3", 2016, u"小3"},
        GradeCase{"FirstDayOfTheStartMonth", "2026-04-01", 4, u"小3", 2017, u"小3"},
        GradeCase{"JanuaryBelongsToThePreviousYear", "2027-01-10", 4, u"小６", 2014, u"小6"},
        GradeCase{"SeptemberStartBefore", "2026-08-31", 9, u"小1", 2018, u"小1"},
        GradeCase{"SeptemberStartOn", "2026-09-01", 9, u"小1", 2019, u"小1"},
        GradeCase{"StartInJanuary", "2026-01-01", 1, u"中1", 2013, u"中1"},
        GradeCase{"ABareNineIsTheThirdJuniorYear", "2026-12-09", 4, u"中3", 2011, u"中3"},
        GradeCase{"YearsOfANineYearSchool", "2026-12-09", 4, u"3年", 2017, u"小3"}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefusalCase {
    const char *name;
    QByteArray list;     // the class list's bytes
    const char16_t *err; // standard error, ROOT for the installation
};

class DataToolRefusal : public DataToolRoster, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(DataToolRefusal, NamesEveryWrongLineAndLeavesTheRosterAsItWas)
{
    const QByteArray before = roster();
    const QStringList filesBefore = dataFiles();
    for (const QStringList &more : {QStringList{}, QStringList{QStringLiteral("--replace")}}) {
        const datatool::Result r = import(GetParam().list, more);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, QByteArray());
        EXPECT_EQ(text(r.err), QString::fromUtf16(GetParam().err));
        EXPECT_EQ(roster(), before);
        EXPECT_EQ(dataFiles(), filesBefore); // neither a backup nor a temporary file
    }
}

const char16_t kHeader[] = u"番号,氏名,学年\r\n";

QByteArray utf8List(const char16_t *rows)
{
    return (QString::fromUtf16(kHeader) + QString::fromUtf16(rows)).toUtf8();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataToolRefusal,
    ::testing::Values(
        RefusalCase{
            "EveryFaultOfALine",
            utf8List(u"1,一郎,小1\r\n"
                     u"0,零,小1\r\n"
                     u"5001,多,小1\r\n"
                     u"x7,字,小1\r\n"
                     u"1,重複,小2\r\n"
                     u",番号なし,小1\r\n"
                     u"2,,小1\r\n"
                     u"3,\"山田,花子\",小1\r\n"
                     u"4,\"山田\"\"花子\",小1\r\n"
                     u"5,𠮷田,小1\r\n"
                     u"6,あいうえおかきくけこさしすせそたちつてとな,小1\r\n"
                     u"7,七郎,小7\r\n"
                     u"8,八郎,高1\r\n"
                     u"9,九郎,\r\n"),
            u"ROOT/class.csv:3: 番号「0」が 1～5000 の数ではありません\n"
            u"ROOT/class.csv:4: 番号「5001」が 1～5000 の数ではありません\n"
            u"ROOT/class.csv:5: 番号「x7」が 1～5000 の数ではありません\n"
            u"ROOT/class.csv:6: 番号 1 は 2 行目にもあります\n"
            u"ROOT/class.csv:7: 番号がありません\n"
            u"ROOT/class.csv:8: 氏名がありません\n"
            u"ROOT/class.csv:9: 氏名「山田,花子」: コンマ（,）や二重引用符（\"）は使えません\n"
            u"ROOT/class.csv:10: 氏名「山田\"花子」: コンマ（,）や二重引用符（\"）は使えません\n"
            u"ROOT/class.csv:11: 氏名「𠮷田」: "
            u"「𠮷」はシフトJIS（コードページ932）で書けない文字です\n"
            u"ROOT/class.csv:12: 氏名「あいうえおかきくけこさしすせそたちつてとな」: 21 "
            u"文字あります（名簿は 20 文字までしか読みません）\n"
            u"ROOT/class.csv:13: 学年「小7」が読めません（小3・小３・3年・中1 や 1～9 "
            u"の数で書いてください）\n"
            u"ROOT/class.csv:14: 学年「高1」が読めません（小3・小３・3年・中1 や 1～9 "
            u"の数で書いてください）\n"
            u"ROOT/class.csv:15: 学年がありません\n"
            u"tavoro-data: 正しくない行が 13 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"OneWrongLineAmongGoodOnes",
                    utf8List(u"1,一郎,小1\r\n2,二郎,小十\r\n3,三郎,小3\r\n"),
                    u"ROOT/class.csv:3: 学年「小十」が読めません（小3・小３・3年・中1 や 1～9 "
                    u"の数で書いてください）\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"TheLineOfARowAfterALineBreakInAQuotedField",
                    utf8List(u"1,\"一\r\n郎\",小1\r\n2,二郎,小9\r\n"),
                    u"ROOT/class.csv:2: 氏名「一\r\n郎」: 改行は使えません\n"
                    u"ROOT/class.csv:4: 学年「小9」が読めません（小3・小３・3年・中1 や 1～9 "
                    u"の数で書いてください）\n"
                    u"tavoro-data: 正しくない行が 2 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{
            "AGradeAndABirthYearThatDisagree",
            // "3年" and a bare 3 beside the birth year of a third-year pupil agree with it.
            QStringLiteral("番号,氏名,学年,生年\n1,一郎,小3,2016\n2,二郎,小3,2017\n"
                           "3,三郎,3年,2017\n4,四郎,3,2017\n")
                .toUtf8(),
            u"ROOT/class.csv:2: 学年「小3」と生年「2016」が合いません（今年度の 小３ は生年 2017 "
            u"です）\n"
            u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"ABirthYearOfTwoDigits", QStringLiteral("番号,氏名,生年\n1,一郎,16\n").toUtf8(),
                    u"ROOT/class.csv:2: 生年「16」が 4 けたの年ではありません\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"AStateThatIsNoNumber",
                    QStringLiteral("番号,氏名,学年,状態\n1,一郎,1,休み\n").toUtf8(),
                    u"ROOT/class.csv:2: 状態「休み」が読めません（0: 名前の一覧に出す、2: "
                    u"名簿スイッチが 1 のときだけ出す、そのほか: 出さない）\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"AnUnclosedQuote", utf8List(u"1,一郎,小1\r\n2,\"二郎,小1\r\n"),
                    u"ROOT/class.csv:3: 二重引用符（\"）が閉じていません\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{
            "OnlyTheNumbersOfTheClasses",
            QStringLiteral("組,出席番号,氏名,学年\n1,1,一郎,小1\n").toUtf8(),
            u"ROOT/class.csv:1: "
            u"番号の列がありません。出席番号はクラスごとに同じ番号が繰り返されるので、生徒の番号に"
            u"は使えません（学校の中で一人ずつ違う 1～5000 の番号を「番号」の列に入れてください）\n"
            u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"NoHeaderRow", QStringLiteral("1,一郎,小1\n").toUtf8(),
                    u"ROOT/class.csv:1: 番号の列がありません（1 行目に 番号・氏名・学年 "
                    u"などの列の名前が要ります）\n"
                    u"ROOT/class.csv:1: 氏名（または名前）の列がありません\n"
                    u"ROOT/class.csv:1: 学年（または生年）の列がありません\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{
            "TwoNameColumns", QStringLiteral("番号,氏名,名前,学年\n1,一郎,一郎,1\n").toUtf8(),
            u"ROOT/class.csv:1: 氏名と名前の列が両方あります（どちらか一つにしてください）\n"
            u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"NeitherUtf8NorCodePage932", QByteArray("\xFF\xFE\x6A\x75\x0D\x00", 6),
                    u"ROOT/class.csv:0: UTF-8 "
                    u"でもシフトJIS（コードページ932）でもないので読めません（Excel では「CSV "
                    u"UTF-8（コンマ区切り）」か「CSV（コンマ区切り）」で保存してください）\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"AByteOrderMarkBeforeBytesOfCodePage932",
                    kBom + platform::toCp932(QStringLiteral("番号,氏名,学年\n")),
                    u"ROOT/class.csv:0: UTF-8 "
                    u"でもシフトJIS（コードページ932）でもないので読めません（Excel では「CSV "
                    u"UTF-8（コンマ区切り）」か「CSV（コンマ区切り）」で保存してください）\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{"NoPupil", utf8List(u",,\r\n"),
                    u"ROOT/class.csv:0: 生徒が一人も書かれていません\n"
                    u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"},
        RefusalCase{
            "AnEmptyFile", QByteArray(),
            u"ROOT/class.csv:0: 空です（1 行目に列の名前、2 行目から生徒が一人 1 行要ります）\n"
            u"tavoro-data: 正しくない行が 1 行あるので、名簿は書き換えませんでした\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DataToolRoster, AListThatIsNotThereIsNamed)
{
    const QByteArray before = roster();
    const datatool::Result r =
        run({QStringLiteral("roster"), QStringLiteral("import"), listPath()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(text(r.err), QStringLiteral("ROOT/class.csv: ファイルがありません\n"));
    EXPECT_EQ(roster(), before);
}

TEST_F(DataToolRoster, ExportWritesTheRosterWithTheGradesOfTheNameSelection)
{
    inst.writeRoster(
        {QStringLiteral("7,2016,0,0,山田　花子,0,,"), QStringLiteral("8,2016,0,0,短い"),
         QStringLiteral("12,2015,0,0,\"佐藤, 一郎\",2,,"), QStringLiteral("99,1980,0,0,先生★,0,,"),
         QStringLiteral("3,2021,0,0,幼,1,,")});
    datatool::Result r = run({QStringLiteral("roster"), QStringLiteral("export")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(text(r.err), QStringLiteral("ROOT/data/新名簿.txt:2: 項目が 5 個しかありません（8 "
                                          "個必要です）（この行は書き出していません）\n"));
    const QByteArray plain = "番号,氏名,学年,生年,状態\n"
                             "7,山田　花子,小4,2016,0\n"
                             "12,\"佐藤, 一郎\",小5,2015,2\n"
                             "99,先生★,大+,1980,0\n"
                             "3,幼,幼2,2021,1\n";
    EXPECT_EQ(r.out, plain);
    r = run({QStringLiteral("roster"), QStringLiteral("export"), QStringLiteral("--excel")});
    EXPECT_EQ(r.out, kBom + QByteArray(plain).replace("\n", "\r\n"));

    // Taken back in, the export is the roster it came from.
    inst.writeRoster({QStringLiteral("7,2016,0,0,山田　花子,0,,"),
                      QStringLiteral("99,1980,0,0,先生★,0,,"),
                      QStringLiteral("3,2021,0,0,幼,1,,")});
    const QByteArray before = roster();
    r = run({QStringLiteral("roster"), QStringLiteral("export"), QStringLiteral("--excel")});
    const datatool::Result back = import(r.out, {QStringLiteral("--replace")});
    EXPECT_EQ(back.status, 0) << back.err.constData();
    EXPECT_EQ(roster(), before);
}

struct ExcelCase {
    const char *name;
    QStringList args;
};

class DataToolExcel : public DataToolRoster, public ::testing::WithParamInterface<ExcelCase> {};

TEST_P(DataToolExcel, IsTheSameCsvWithAByteOrderMarkAndCrLf)
{
    QFile f(inst.gradeFilePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(encode({makeRecord(12, 3, 40), makeRecord(7, 1, 25, day(2026, 12, 8))}));
    f.close();
    const datatool::Result plain = run(GetParam().args);
    const datatool::Result excel = run(GetParam().args + QStringList{QStringLiteral("--excel")});
    ASSERT_EQ(plain.status, 0) << plain.err.constData();
    ASSERT_EQ(excel.status, 0) << excel.err.constData();
    EXPECT_FALSE(plain.out.contains('\r'));
    EXPECT_GT(plain.out.count('\n'), 1);
    EXPECT_EQ(excel.out, kBom + QByteArray(plain.out).replace("\n", "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Commands, DataToolExcel,
                         ::testing::Values(ExcelCase{"Export", {"export"}},
                                           ExcelCase{"Stats", {"stats"}},
                                           ExcelCase{"Best", {"best"}},
                                           ExcelCase{"RosterExport", {"roster", "export"}},
                                           ExcelCase{"ReportCsv", {"report", "--csv"}}),
                         [](const auto &info) { return std::string(info.param.name); });

struct BadRosterArgs {
    const char *name;
    QStringList args;
    const char16_t *message;
};

class DataToolBadRosterArgs : public DataToolRoster,
                              public ::testing::WithParamInterface<BadRosterArgs> {};

TEST_P(DataToolBadRosterArgs, SaysWhyAndWritesNothing)
{
    const QByteArray before = roster();
    const QStringList files = dataFiles();
    inst.writeBytes(QStringLiteral("class.csv"), QByteArray("番号,氏名,学年\n1,一郎,1\n"));
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("LIST"), listPath());
    const datatool::Result r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(text(r.err).startsWith(QStringLiteral("tavoro-data: ") +
                                       QString::fromUtf16(GetParam().message) + u'\n'))
        << text(r.err).toStdString();
    EXPECT_EQ(roster(), before);
    EXPECT_EQ(dataFiles(), files);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataToolBadRosterArgs,
    ::testing::Values(
        BadRosterArgs{
            "NoRosterCommand", {"roster"}, u"roster の後には import か export が要ります"},
        BadRosterArgs{"UnknownRosterCommand",
                      {"roster", "merge", "LIST"},
                      u"知らない roster のコマンド「merge」（import か export）"},
        BadRosterArgs{
            "NoFile", {"roster", "import"}, u"roster import には読み込むファイル FILE が要ります"},
        BadRosterArgs{
            "TwoFiles", {"roster", "import", "LIST", "LIST"}, u"余分な引数「ROOT/class.csv」"},
        BadRosterArgs{"ExportTakesNoFile", {"roster", "export", "x.csv"}, u"余分な引数「x.csv」"},
        BadRosterArgs{"ReplaceOnExport",
                      {"roster", "export", "--replace"},
                      u"--replace は roster import だけのオプションです"},
        BadRosterArgs{"ExcelOnImport",
                      {"roster", "import", "LIST", "--excel"},
                      u"--excel は CSV を書くコマンド (export, stats, best, roster export, report "
                      u"--csv) だけのオプションです"},
        BadRosterArgs{"ExcelOnCheck",
                      {"check", "--excel"},
                      u"--excel は CSV を書くコマンド (export, stats, best, roster export, report "
                      u"--csv) だけのオプションです"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DataToolRoster, AStartMonthOutsideTheYearStopsTheImport)
{
    inst.writeCommonData({QStringLiteral("0"), QStringLiteral("12345テスト小学校"),
                          QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("0"), QStringLiteral("0")});
    const QByteArray before = roster();
    const datatool::Result r = import(QByteArray("番号,氏名,学年\n1,一郎,1\n"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(text(r.err),
              QStringLiteral("ROOT/data/共通データ.txt: 1 番目の項目（年度の始まりの月）"
                             "「0」が 1～12 の数ではありません（学年を決められません）\n"));
    EXPECT_EQ(roster(), before);
}

// ---- The class list reader ---------------------------------------------------------------

TEST(ClassListCsv, QuotedFieldsCommasLineBreaksAndTheirLines)
{
    const auto rows = datatool::ReadCsvRows(
        QStringLiteral("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"x\ny\",,z\n\nlast,\"open"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].line, 1);
    EXPECT_EQ(rows[0].fields, (QStringList{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(rows[1].line, 2);
    EXPECT_EQ(rows[1].fields, (QStringList{"x\ny", "", "z"}));
    EXPECT_EQ(rows[2].line, 4);
    EXPECT_EQ(rows[2].fields, QStringList{""});
    EXPECT_EQ(rows[3].line, 5);
    EXPECT_EQ(rows[3].fields, (QStringList{"last", "open"}));
    EXPECT_TRUE(rows[3].unclosed);
    EXPECT_FALSE(rows[0].unclosed);
}

TEST(ClassListGrades, TheWaysASchoolWritesAGrade)
{
    const struct {
        const char16_t *text;
        int grade; // 0: not a grade
    } cases[] = {{u"小3", 3},  {u"小３", 3},    {u"小学3年", 3}, {u"3年", 3},  {u"３年生", 3},
                 {u" 6 ", 6},  {u"1", 1},       {u"9", 9},       {u"中1", 7},  {u"中学３年", 9},
                 {u"中 2", 8}, {u"0", 0},       {u"10", 0},      {u"小7", 0},  {u"小0", 0},
                 {u"中4", 0},  {u"高1", 0},     {u"幼3", 0},     {u"三年", 0}, {u"", 0},
                 {u"3-1", 0},  {u"小3年1組", 0}};
    for (const auto &c : cases) {
        const auto grade = datatool::GradeOfText(QString::fromUtf16(c.text));
        EXPECT_EQ(grade.value_or(0), c.grade) << QString::fromUtf16(c.text).toStdString();
    }
}

#ifndef _WIN32
TEST_F(DataToolRoster, TheNewRosterAndItsBackupStayWritableByTheGroup)
{
    const QByteArray folder = QFile::encodeName(inst.dataFolder());
    ASSERT_EQ(::chmod(folder.constData(), 02775), 0);
    const mode_t umask = ::umask(022);
    const datatool::Result r = import(QByteArray("番号,氏名,学年\n40,新入生,1\n"));
    ::umask(umask);
    ASSERT_EQ(r.status, 0) << r.err.constData();
    for (const char16_t *name : {u"新名簿.txt", u"新名簿.txt.2026-12-09.bak"}) {
        struct stat st {};
        ASSERT_EQ(
            ::stat(QFile::encodeName(inst.dataFolder() + QString::fromUtf16(name)).constData(),
                   &st),
            0);
        EXPECT_TRUE(st.st_mode & S_IWGRP) << QString::fromUtf16(name).toStdString();
    }
}
#endif
