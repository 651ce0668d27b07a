// tavoro-data on prepared installations: the CSV of every command byte by byte, the
// problems check finds, and the exit statuses.
#include "RecordsWorld.h"

#include "DataTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace tavoro;
using namespace tavoro::test;
using records::GradeRecord;

namespace {

const QDate kToday(2026, 12, 9);

class DataTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst.writeDefaults();
        inst.writeRoster({QStringLiteral("7,2016,0,0,山田　花子,0,,"),
                          QStringLiteral("12,2015,0,0,佐藤　一郎,0,,")});
    }

    void writeGrades(const std::vector<GradeRecord> &records, const QByteArray &tail = {})
    {
        QFile f(inst.gradeFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(encode(records) + tail);
    }

    datatool::Result run(const QStringList &args)
    {
        return datatool::Run(QStringList{QStringLiteral("--app-folder"), inst.programFolder(),
                                         QStringLiteral("--today"), QStringLiteral("2026-12-09")} +
                                 args,
                             QStringLiteral("/nonexistent"), QDate(2000, 1, 1));
    }

    // Output with the installation's temporary root written as ROOT.
    QString text(const QByteArray &out) const
    {
        return QString::fromUtf8(out).replace(inst.root(), QStringLiteral("ROOT"));
    }

    std::vector<GradeRecord> sample() const
    {
        GradeRecord noted = makeRecord(12, 3, 30, day(2026, 11, 29), 47107.6 / 86400.0);
        noted.RecNote = records::GradeTextField(QStringLiteral("a,\"b"));
        noted.RecSchool = records::GradeTextField(QStringLiteral("あい"));
        return {
            makeRecord(12, 3, 40, day(2026, 12, 9), 0.375), // today: 4 points (target 35)
            noted,                                          // ten days ago: 5 points
            makeRecord(7, 1, 25, day(2026, 12, 8), 0.5),    // yesterday: 5 points (target 25)
            makeRecord(0, 1, 10, day(2026, 12, 9), 0.75),   // pupil 0: the best only
            makeRecord(5001, 1, 5, day(2026, 12, 9), 0.25), // outside the tables
        };
    }

    Installation inst;
};

} // namespace

TEST(DataToolCsv, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(datatool::CsvField(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(datatool::CsvField(QString()), QString());
    EXPECT_EQ(datatool::CsvField(QStringLiteral(" a ")), QStringLiteral(" a "));
    EXPECT_EQ(datatool::CsvField(QStringLiteral("a,b")), QStringLiteral("\"a,b\""));
    EXPECT_EQ(datatool::CsvField(QStringLiteral("say \"hi\"")),
              QStringLiteral("\"say \"\"hi\"\"\""));
    EXPECT_EQ(datatool::CsvField(QStringLiteral("a\nb")), QStringLiteral("\"a\nb\""));
}

TEST_F(DataTool, ExportListsEveryWholeRecordInFileOrder)
{
    writeGrades(sample(), QByteArray(10, '\0'));
    const datatool::Result r = run({QStringLiteral("export")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    EXPECT_EQ(r.out, QStringLiteral("record,date,time,pupil,level,seconds,school,note,points\n"
                                    "1,2026-12-09,09:00:00,12,3,40,12345,,0\n"
                                    "2,2026-11-29,13:05:08,12,3,30,あい,\"a,\"\"b\",0\n"
                                    "3,2026-12-08,12:00:00,7,1,25,12345,,0\n"
                                    "4,2026-12-09,18:00:00,0,1,10,12345,,0\n"
                                    "5,2026-12-09,06:00:00,5001,1,5,12345,,0\n")
                         .toUtf8());
}

TEST_F(DataTool, StatsAreThoseOfTheProgram)
{
    writeGrades(sample());
    const datatool::Result r = run({QStringLiteral("stats")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              QByteArray("pupil,level,total_runs,total_points,period_runs,period_points,"
                         "overuse_runs,overuse_earned,runs_today,points_today,personal_best\n"
                         "7,1,1,5,1,5,1,5,0,0,25\n"
                         "12,3,2,9,1,4,1,4,1,4,30\n"));
}

TEST_F(DataTool, TodayComesFromTheOption)
{
    writeGrades(sample());
    const datatool::Result r = datatool::Run(
        {QStringLiteral("--today=2026-12-08"),
         QStringLiteral("--app-folder=") + inst.programFolder(), QStringLiteral("stats")},
        QString(), kToday);
    EXPECT_EQ(r.status, 0);
    // On the 8th, pupil 7's run is of today and pupil 12's run of the 9th lies ahead (a date
    // later than the day before the period counts).
    EXPECT_EQ(r.out,
              QByteArray("pupil,level,total_runs,total_points,period_runs,period_points,"
                         "overuse_runs,overuse_earned,runs_today,points_today,personal_best\n"
                         "7,1,1,5,1,5,1,5,1,5,25\n"
                         "12,3,2,9,1,4,1,4,0,0,30\n"));
}

TEST_F(DataTool, BestOverPupilsOneToAThousand)
{
    writeGrades(sample());
    const datatool::Result r = run({QStringLiteral("best")});
    EXPECT_EQ(r.status, 0);
    QByteArray expected = "level,school_best\n1,25\n2,99999\n3,30\n";
    for (int l = 4; l <= 35; ++l)
        expected += QByteArray::number(l) + ",99999\n";
    EXPECT_EQ(r.out, expected);
}

TEST_F(DataTool, StatsNeedTheCriteriaTheBestTimesDoNot)
{
    writeGrades(sample());
    QFile::remove(inst.programDataFolder() + QStringLiteral("タイム回数データ.txt"));
    const datatool::Result stats = run({QStringLiteral("stats")});
    EXPECT_EQ(stats.status, 2);
    EXPECT_TRUE(stats.out.isEmpty());
    EXPECT_EQ(text(stats.err),
              QStringLiteral(
                  "ROOT/data/Tavoro/タイム回数データ.txt: 基準データのファイルがありません。\n"));
    const datatool::Result best = run({QStringLiteral("best")});
    EXPECT_EQ(best.status, 0);
    EXPECT_TRUE(best.out.startsWith("level,school_best\n1,25\n2,99999\n3,30\n"));
}

TEST_F(DataTool, AMissingGradeFileHasNoRecords)
{
    const datatool::Result r = run({QStringLiteral("export")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QByteArray("record,date,time,pupil,level,seconds,school,note,points\n"));
    EXPECT_FALSE(QFile::exists(inst.gradeFilePath())); // the tool creates nothing
    EXPECT_EQ(run({QStringLiteral("check")}).status, 0);
}

TEST_F(DataTool, TheProgramFolderDefaultsToTheToolsOwn)
{
    writeGrades(sample());
    const datatool::Result r =
        datatool::Run({QStringLiteral("best")}, inst.programFolder(), kToday);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("level,school_best\n1,25\n"));
}

TEST_F(DataTool, CheckFindsNothingInACleanInstallation)
{
    writeGrades({makeRecord(12, 3, 40)});
    const datatool::Result r = run({QStringLiteral("check")});
    EXPECT_EQ(text(r.out), QString());
    EXPECT_EQ(r.status, 0);
}

TEST_F(DataTool, CheckReportsEveryProblemOnItsLine)
{
    inst.writeCommonData({QStringLiteral("13"), QStringLiteral("12345テスト小学校"),
                          QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("0"), QStringLiteral("0")});
    inst.writeRoster({QStringLiteral("7,2016,0,0,山田　花子,0,,"),
                      QStringLiteral("8,2016,0,0,短い"), QStringLiteral("7,2016,0,0,二度目,0,,"),
                      QStringLiteral("6000,2016,0,0,範囲外,0,,"),
                      QStringLiteral("9,40000,0,0,生年が範囲外,0,,")});
    QStringList levels;
    for (int level = 1; level <= 6; ++level)
        levels << QStringLiteral("%1,60,100,3,1,0,0,7,7,,,")
                      .arg(level == 2 ? QStringLiteral("abc") : QStringLiteral("30"));
    levels[0] = QStringLiteral("30,60,100,3,1e308,0,0,7,7,,,");
    levels[3] = QStringLiteral("0,60,100,3,1,0,0,7,7,,"); // eleven fields, no target
    inst.writeCriteria(levels);
    inst.writeSoundTable({QStringLiteral("正解音2,seikai1,seikai9,*"),
                          QStringLiteral("間違い音2,machigai1"),
                          QStringLiteral("自己最高音2,jiko1,*")});
    QFile::remove(inst.soundFolder() + QStringLiteral("合格.wav"));
    inst.writeBytes(QStringLiteral("data/音フォルダ/jiko1.wav"), QByteArray("not a wave"));
    writeGrades({makeRecord(12, 3, 40), makeRecord(5001, 36, 40), makeRecord(-1, 1, 40),
                 makeRecord(12, 3, -5)},
                QByteArray(30, 'x'));

    const datatool::Result r = run({QStringLiteral("check")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        text(r.out).split(u'\n'),
        QStringLiteral(
            "ROOT/data/共通データ.txt:1: 1 番目の項目（年度の始まりの月）「13」が 0～12 "
            "の範囲にありません（このままでは起動できません）\n"
            "ROOT/data/新名簿.txt:2: 項目が 5 個しかありません（8 個必要です）\n"
            "ROOT/data/新名簿.txt:3: 生徒番号 7 は 1 行目にもあります（この行を読みます）\n"
            "ROOT/data/新名簿.txt:4: 生徒番号「6000」が 1～5000 の範囲にありません\n"
            "ROOT/data/新名簿.txt:5: 2 番目の項目（生年）「40000」が -32768～32767 "
            "の範囲にありません\n"
            "ROOT/data/Tavoro/タイム回数データ.txt:3: 目標Time「abc」が数ではありません（0 "
            "として読まれます）\n"
            "ROOT/data/Tavoro/タイム回数データ.txt:5: 項目が 11 個あります（12 "
            "個必要です）。これより後の項目がずれて読まれます\n"
            "ROOT/data/Tavoro/タイム回数データ.txt:5: 目標Time が 0 "
            "以下です（ポイントが付きません）\n"
            "ROOT/data/Tavoro/タイム回数データ.txt:2: 5 番目の項目（ﾎﾟｲﾝﾄ倍率）「1e308」が "
            "0～1000 の範囲にありません（このままでは起動できません）\n"
            "ROOT/data/Tavoro/タイム回数データ.txt:0: レベルの行が 6 行しかありません（7 "
            "行必要です）\n"
            "ROOT/data/音フォルダ/新音ファイル.txt:1: 「正解音2」の音ファイル seikai9.wav "
            "のファイルがありません\n"
            // line 2 has no "*": line 3 is read as more files of its cue
            "ROOT/data/音フォルダ/新音ファイル.txt:2: 「間違い音2」の音ファイルの並びが * "
            "で終わっていません（次の行も音ファイルとして読まれます）\n"
            "ROOT/data/音フォルダ/新音ファイル.txt:2: 「間違い音2」の音ファイル 自己最高音2.wav "
            "のファイルがありません\n"
            "ROOT/data/音フォルダ/新音ファイル.txt:2: 「間違い音2」の音ファイル jiko1.wav "
            "のファイルを再生できません（not a RIFF/WAVE file）\n"
            "ROOT/data/音フォルダ/新音ファイル.txt:3: 「自己最高音2」に音ファイルがありません\n"
            "ROOT/data/音フォルダ/新音ファイル.txt:0: 「不合格音1」に音ファイルがありません\n"
            "ROOT/data/音フォルダ/合格.wav:0: ファイルがありません\n"
            "ROOT/data/Tavoro/成績累積データ.dat:2: 生徒番号 5001 が 0～5000 "
            "の範囲にありません（この記録は読まれません）\n"
            "ROOT/data/Tavoro/成績累積データ.dat:2: レベル 36 が 0～35 "
            "の範囲にありません（この記録は読まれません）\n"
            "ROOT/data/Tavoro/成績累積データ.dat:3: 生徒番号 -1 が 0～5000 "
            "の範囲にありません（この記録は読まれません）\n"
            "ROOT/data/Tavoro/成績累積データ.dat:4: 秒数 -5 が 0～99999 "
            "の範囲にありません（この記録は読まれません）\n"
            "ROOT/data/Tavoro/成績累積データ.dat:5: 最後の記録が途中で切れています（30 "
            "バイトしかありません。記録は 44 バイトです）\n")
            .split(u'\n'));
}

TEST_F(DataTool, CheckReportsAnInterruptedChangeOfTheRecords)
{
    writeGrades({makeRecord(12, 3, 40)});
    inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データtemp.dat"), QByteArray(44, '\0'));
    const datatool::Result r = run({QStringLiteral("check")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(text(r.out),
              QStringLiteral("ROOT/data/Tavoro/成績累積データtemp.dat:0: "
                             "成績データの書き換えが途中で終わっています（記録の変更画面を"
                             "開くと、書き換える前のデータに戻せます）\n"));
}

TEST_F(DataTool, CheckReportsBackupsOlderThanThirtyDays)
{
    writeGrades({makeRecord(12, 3, 40)});
    const QString folder = QStringLiteral("data/Tavoro/成績累積データバックアップ/");
    inst.writeBytes(folder + QStringLiteral("成績累積データ20261109-100000.dat"), QByteArray());
    EXPECT_EQ(run({QStringLiteral("check")}).status, 0); // 30 days ago
    QFile::remove(inst.root() + u'/' + folder +
                  QStringLiteral("成績累積データ20261109-100000.dat"));
    inst.writeBytes(folder + QStringLiteral("成績累積データ20261108-100000.dat"), QByteArray());
    const datatool::Result r = run({QStringLiteral("check")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(text(r.out),
              QStringLiteral("ROOT/data/Tavoro/成績累積データバックアップ:0: "
                             "30 日以内のバックアップがありません（最新は 2026/11/08）\n"));
    QFile::remove(inst.root() + u'/' + folder +
                  QStringLiteral("成績累積データ20261108-100000.dat"));
    EXPECT_EQ(text(run({QStringLiteral("check")}).out),
              QStringLiteral(
                  "ROOT/data/Tavoro/成績累積データバックアップ:0: バックアップがありません\n"));
}

TEST_F(DataTool, CheckSaysWhenAFileCannotBeRead)
{
    QFile::remove(inst.dataFolder() + QStringLiteral("新名簿.txt"));
    const datatool::Result r = run({QStringLiteral("check")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(text(r.out), QStringLiteral("ROOT/data/新名簿.txt:0: ファイルがありません\n"));
}

TEST_F(DataTool, AMissingSettingsFileStopsEveryCommand)
{
    QFile::remove(inst.root() + QStringLiteral("/パスデータ.txt"));
    const datatool::Result check = run({QStringLiteral("check")});
    EXPECT_EQ(check.status, 2);
    EXPECT_EQ(text(check.out), QStringLiteral("ROOT/パスデータ.txt:0: ファイルがありません。\n"));
    const datatool::Result stats = run({QStringLiteral("stats")});
    EXPECT_EQ(stats.status, 2);
    EXPECT_TRUE(stats.out.isEmpty());
    EXPECT_EQ(text(stats.err), QStringLiteral("ROOT/パスデータ.txt: ファイルがありません。\n"));
}

TEST_F(DataTool, AMissingProgramDataFolderCannotBeRead)
{
    QDir(inst.programDataFolder()).removeRecursively();
    const datatool::Result r = run({QStringLiteral("export")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(text(r.err).startsWith(
        QStringLiteral("ROOT/data/Tavoro/成績累積データ.dat: ファイルがありません")))
        << r.err.constData();
}

struct BadArgs {
    const char *name;
    QStringList args;
};

class DataToolArguments : public ::testing::TestWithParam<BadArgs> {};

TEST_P(DataToolArguments, BadArgumentsGiveTheUsageAndStatusTwo)
{
    const datatool::Result r =
        datatool::Run(GetParam().args, QStringLiteral("/nonexistent"), kToday);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(datatool::Usage()));
}

INSTANTIATE_TEST_SUITE_P(Cases, DataToolArguments,
                         ::testing::Values(BadArgs{"none", {}}, BadArgs{"unknown", {"list"}},
                                           BadArgs{"twoCommands", {"best", "stats"}},
                                           BadArgs{"badDate", {"--today", "2026-13-01", "best"}},
                                           BadArgs{"shortDate", {"--today", "2026-1-01", "best"}},
                                           BadArgs{"noDate", {"best", "--today"}},
                                           BadArgs{"noFolder", {"--app-folder"}},
                                           BadArgs{"emptyFolder", {"--app-folder=", "best"}},
                                           BadArgs{"unknownOption", {"--verbose", "best"}}),
                         [](const auto &info) { return std::string(info.param.name); });

// The environment of a machine without any display.
static QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

TEST_F(DataTool, TheExecutableRunsWithoutADisplay)
{
    writeGrades(sample());
    QProcess p;
    p.setProcessEnvironment(withoutDisplay());
    p.start(QStringLiteral(TAVORO_DATA_TOOL),
            {QStringLiteral("--app-folder"), inst.programFolder(), QStringLiteral("--today"),
             QStringLiteral("2026-12-09"), QStringLiteral("stats")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(p.readAllStandardOutput(),
              QByteArray("pupil,level,total_runs,total_points,period_runs,period_points,"
                         "overuse_runs,overuse_earned,runs_today,points_today,personal_best\n"
                         "7,1,1,5,1,5,1,5,0,0,25\n"
                         "12,3,2,9,1,4,1,4,1,4,30\n"));

    writeGrades(sample(), QByteArray(3, 'x'));
    p.start(QStringLiteral(TAVORO_DATA_TOOL),
            {QStringLiteral("--app-folder"), inst.programFolder(), QStringLiteral("check")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(
        QString::fromUtf8(p.readAllStandardOutput()).replace(inst.root(), QStringLiteral("ROOT")),
        QStringLiteral("ROOT/data/Tavoro/成績累積データ.dat:5: 生徒番号 5001 が 0～5000 "
                       "の範囲にありません（この記録は読まれません）\n"
                       "ROOT/data/Tavoro/成績累積データ.dat:6: 最後の記録が途中で切れています（3 "
                       "バイトしかありません。記録は 44 バイトです）\n"));

    p.start(QStringLiteral(TAVORO_DATA_TOOL), {QStringLiteral("frobnicate")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("tavoro-data [--app-folder DIR]"));
}

namespace {

int pdfPageCount(const QByteArray &pdf)
{
    return int(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(DataTool, GraphWritesThePrintedPagesOfAPupil)
{
    writeGrades(sample());
    const QString pdf = inst.root() + QStringLiteral("/sheet.pdf");
    datatool::Result r = run({QStringLiteral("graph"), QStringLiteral("--pupil"),
                              QStringLiteral("12"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty());
    QByteArray bytes = fileBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(pdfPageCount(bytes), 1); // levels 1..3
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("佐藤 一郎"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("(塾平均)")));
    EXPECT_TRUE(text.contains(QStringLiteral("30秒"))); // his best on level 3

    r = run({QStringLiteral("graph"), QStringLiteral("--pupil=7"), QStringLiteral("--levels"),
             QStringLiteral("1,2,3,4"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    bytes = fileBytes(pdf);
    EXPECT_EQ(pdfPageCount(bytes), 2);
    EXPECT_FALSE(QFileInfo::exists(pdf + QStringLiteral(".tmp")));
}

struct BadGraphCase {
    const char *name;
    QStringList args;
    const char16_t *message;
};

class DataToolBadGraph : public DataTool, public ::testing::WithParamInterface<BadGraphCase> {};

TEST_P(DataToolBadGraph, SaysWhyAndWritesNothing)
{
    writeGrades(sample());
    const QString pdf = inst.root() + QStringLiteral("/sheet.pdf");
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("before");
    old.close();
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("PDF"), pdf);
    const datatool::Result r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(text(r.err).contains(QString::fromUtf16(GetParam().message)))
        << text(r.err).toStdString();
    EXPECT_EQ(fileBytes(pdf), QByteArray("before"));
    EXPECT_EQ(QDir(inst.root()).entryList(QDir::Files).filter(QStringLiteral("sheet")),
              QStringList{QStringLiteral("sheet.pdf")});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataToolBadGraph,
    ::testing::Values(
        BadGraphCase{"NoPdf", {"graph", "--pupil", "7"}, u"graph には --pupil と --pdf が要ります"},
        BadGraphCase{
            "NoPupil", {"graph", "--pdf", "PDF"}, u"graph には --pupil と --pdf が要ります"},
        BadGraphCase{"PupilNotANumber",
                     {"graph", "--pupil", "x7", "--pdf", "PDF"},
                     u"--pupil の生徒番号「x7」は 1～5000 の数ではありません"},
        BadGraphCase{"PupilOutOfRange",
                     {"graph", "--pupil", "5001", "--pdf", "PDF"},
                     u"--pupil の生徒番号「5001」は 1～5000 の数ではありません"},
        BadGraphCase{"LevelZero",
                     {"graph", "--pupil", "7", "--levels", "1,0", "--pdf", "PDF"},
                     u"--levels のレベル「0」が読めません"},
        BadGraphCase{"LevelBeyondTheProgram",
                     {"graph", "--pupil", "7", "--levels", "8", "--pdf", "PDF"},
                     u"レベル 8 はありません（レベルは 1～7）"},
        BadGraphCase{"UnknownPupil",
                     {"graph", "--pupil", "99", "--pdf", "PDF"},
                     u"ROOT/data/新名簿.txt: 生徒番号 99 は名簿にありません"},
        BadGraphCase{"OptionOfAnotherCommand",
                     {"stats", "--pupil", "7"},
                     u"--pupil と --levels は graph だけのオプションです"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DataTool, GraphIntoAFolderThatCannotBeWrittenFails)
{
    writeGrades(sample());
    const QString pdf = inst.root() + QStringLiteral("/missing/sheet.pdf");
    const datatool::Result r = run({QStringLiteral("graph"), QStringLiteral("--pupil"),
                                    QStringLiteral("7"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(text(r.err).startsWith(QStringLiteral("ROOT/missing/sheet.pdf: 書けません")))
        << text(r.err).toStdString();
    EXPECT_FALSE(QFileInfo::exists(inst.root() + QStringLiteral("/missing")));
}

TEST_F(DataTool, GraphRunsWithoutAnyDisplay)
{
    writeGrades(sample());
    const QString pdf = inst.root() + QStringLiteral("/headless.pdf");
    QProcess p;
    p.setProcessEnvironment(withoutDisplay());
    p.start(QStringLiteral(TAVORO_DATA_TOOL),
            {QStringLiteral("--app-folder"), inst.programFolder(), QStringLiteral("--today"),
             QStringLiteral("2026-12-09"), QStringLiteral("graph"), QStringLiteral("--pupil"),
             QStringLiteral("7"), QStringLiteral("--pdf"), pdf});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(pdfPageCount(fileBytes(pdf)), 1);
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("山田 花子")));
}
