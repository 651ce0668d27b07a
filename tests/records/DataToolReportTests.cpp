// tavoro-data report: the rows of a small hand-made grade file (runs and points of the
// period, cleared levels and levels barred as done too much at its end, best times, the
// last day), read back from the CSV and from the text of the PDF pages.
#include "RecordsWorld.h"

#include "ClassReport.h"
#include "DataTool.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace tavoro;
using namespace tavoro::test;

namespace {

class DataToolReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst.writeDefaults();
        // Level 1: cleared with 10 points in 2 runs, barred after 3 runs in 7 days. Level 2:
        // cleared alike, never barred. Levels 3..7 as usual (level 3: target 35 seconds).
        QStringList levels{QStringLiteral("30,60,10,2,1,3,0,7,7,,,"),
                           QStringLiteral("30,60,10,2,1,0,0,7,7,,,")};
        for (int level = 3; level <= 7; ++level)
            levels << QStringLiteral("%1,%2,100,3,1,0,0,7,7,,,")
                          .arg(20 + 5 * level)
                          .arg(60 + 5 * level);
        inst.writeCriteria(levels);
        inst.writeRoster({QStringLiteral("7,2016,0,0,山田　花子,0,,"),  // 小４
                          QStringLiteral("12,2015,0,0,佐藤　一郎,0,,"), // 小５
                          QStringLiteral("13,2016,0,0,田中　三郎,0,,"), // 小４, no run this week
                          QStringLiteral("99,2016,0,0,先生★,0,,"),      // a teacher
                          QStringLiteral("14,2016,0,0,休み,1,,")});     // not listed
        QFile f(inst.gradeFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(encode({
            makeRecord(7, 1, 20, day(2026, 12, 7)),    // 6 points
            makeRecord(7, 1, 25, day(2026, 12, 8)),    // 5
            makeRecord(7, 1, 40, day(2026, 12, 9)),    // 4: the third run of level 1 in 7 days
            makeRecord(7, 2, 15, day(2026, 12, 5)),    // 11, the Saturday before
            makeRecord(7, 2, 99999, day(2026, 12, 8)), // a time-out: no run, no points
            makeRecord(12, 2, 20, day(2026, 12, 4)),   // 6
            makeRecord(12, 2, 20, day(2026, 12, 5)),   // 6: level 2 cleared before the week
            makeRecord(12, 3, 30, day(2026, 12, 8)),   // 5
            makeRecord(13, 1, 30, day(2026, 11, 30)),  // 5, long ago
            makeRecord(99, 1, 10, day(2026, 12, 9)),
            makeRecord(14, 1, 10, day(2026, 12, 9)),
        }));
    }

    datatool::Result run(const QStringList &args)
    {
        return datatool::Run(QStringList{QStringLiteral("--app-folder"), inst.programFolder(),
                                         QStringLiteral("--today"), QStringLiteral("2026-12-09")} +
                                 args,
                             QStringLiteral("/nonexistent"), QDate(2000, 1, 1));
    }

    QString text(const QByteArray &out) const
    {
        return QString::fromUtf8(out).replace(inst.root(), QStringLiteral("ROOT"));
    }

    Installation inst;
};

const char kHeader[] = "学年,番号,氏名,回数,ポイント,クリアしたレベル,やりすぎ禁止のレベル,"
                       "最高(ﾚﾍﾞﾙ1),最高(ﾚﾍﾞﾙ2),最高(ﾚﾍﾞﾙ3),最高(ﾚﾍﾞﾙ4),最高(ﾚﾍﾞﾙ5),"
                       "最高(ﾚﾍﾞﾙ6),最高(混合),最後の日,練習なし\n";

} // namespace

TEST_F(DataToolReport, ThisWeekGradeByGrade)
{
    const datatool::Result r = run({QStringLiteral("report"), QStringLiteral("--csv")});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(text(r.out),
              QString::fromUtf8(kHeader) +
                  QStringLiteral(
                      // 3 runs, 6 + 5 + 4 points; level 1 cleared and barred on the 9th.
                      "小４,7,山田　花子,3,15,1,1,20,,,,,,,2026-12-09,\n"
                      "小４,13,田中　三郎,0,0,,,,,,,,,,,＊\n"
                      // Level 2 cleared by the runs of the week before.
                      "小５,12,佐藤　一郎,1,5,2,,,,30,,,,,2026-12-08,\n"));
}

TEST_F(DataToolReport, APeriodOfItsOwnCountsUpToItsLastDay)
{
    const datatool::Result r =
        run({QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("2026-12-01"),
             QStringLiteral("--to=2026-12-08"), QStringLiteral("--csv")});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    // On the 8th pupil 7 had run level 1 twice in 7 days: not barred yet.
    EXPECT_EQ(text(r.out),
              QString::fromUtf8(kHeader) +
                  QStringLiteral("小４,7,山田　花子,3,22,1,,20,15,,,,,,2026-12-08,\n"
                                 "小４,13,田中　三郎,0,0,,,,,,,,,,,＊\n"
                                 "小５,12,佐藤　一郎,3,17,2,,,20,30,,,,,2026-12-08,\n"));
    // Only --to: the week of that day.
    const datatool::Result week = run({QStringLiteral("report"), QStringLiteral("--to"),
                                       QStringLiteral("2026-12-05"), QStringLiteral("--csv")});
    EXPECT_TRUE(text(week.out).contains(
        QStringLiteral("小５,12,佐藤　一郎,2,12,2,,,20,,,,,,2026-12-05,\n")))
        << text(week.out).toStdString();
}

TEST_F(DataToolReport, OneGradeAsTheFilterOrAClassListNamesIt)
{
    for (const char *grade : {"小５", "小5", "5", "5年"}) {
        const datatool::Result r = run({QStringLiteral("report"), QStringLiteral("--grade"),
                                        QString::fromUtf8(grade), QStringLiteral("--csv")});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        EXPECT_EQ(text(r.out),
                  QString::fromUtf8(kHeader) +
                      QStringLiteral("小５,12,佐藤　一郎,1,5,2,,,,30,,,,,2026-12-08,\n"))
            << grade;
    }
    const datatool::Result all = run({QStringLiteral("report"), QStringLiteral("--grade"),
                                      QStringLiteral("小学生全体"), QStringLiteral("--csv")});
    EXPECT_EQ(all.out.count('\n'), 4);
    const datatool::Result none = run({QStringLiteral("report"), QStringLiteral("--grade"),
                                       QStringLiteral("中学生全体"), QStringLiteral("--csv")});
    EXPECT_EQ(none.out, QByteArray(kHeader));
}

namespace {

QString pdfLayoutText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    // The CJK fonts map some ideographs to their radicals: NFKC takes them back.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

} // namespace

TEST_F(DataToolReport, ThePagesSayTheSame)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString pdf = inst.root() + QStringLiteral("/report.pdf");
    const datatool::Result r = run({QStringLiteral("report"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty());
    const QString t = pdfLayoutText(pdf);
    const QStringList pages = t.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2) << t.toStdString(); // a page for each grade
    const struct {
        int page;
        const char16_t *pattern;
    } lines[] = {
        {0, u"テスト小学校 Tavoro 練習の記録\\s+印刷 2026年12月9日\\(水\\)"},
        {0, u"期間 2026年12月7日\\(月\\) \\S 2026年12月9日\\(水\\)"},
        {0, u"クリア\\Sやりすぎ禁止は 12/9\\(水\\) の時点"}, // the font maps its "・" oddly
        {0, u"小4 2人\\(期間中に練習していない生徒 1人\\)"},
        {0, u"^\\s*7\\s+山田\\s+花子\\s+3\\s+15\\s+1\\s+1\\s+20\\s+12/9\\(水\\)\\s*$"},
        {0, u"^\\s*13\\s+\\*田中\\s+三郎\\s+0\\s+0\\s*$"},
        {0, u"\\*太字: 期間中に練習していない生徒\\s+1\\s*/\\s*2"},
        {1, u"小5 1人\\(期間中に練習していない生徒 0人\\)"},
        {1, u"^\\s*12\\s+佐藤\\s+一郎\\s+1\\s+5\\s+2\\s+30\\s+12/8\\(火\\)\\s*$"},
        {1, u"\\s2\\s*/\\s*2\\s*$"},
    };
    for (const auto &l : lines) {
        // The layout puts one space or more between words.
        const QRegularExpression re(
            QString::fromUtf16(l.pattern).replace(u' ', QStringLiteral("\\s+")),
            QRegularExpression::MultilineOption);
        EXPECT_TRUE(re.match(pages.at(l.page)).hasMatch())
            << QString::fromUtf16(l.pattern).toStdString() << "\n"
            << pages.at(l.page).toStdString();
    }
    EXPECT_FALSE(t.contains(QStringLiteral("先生"))); // teachers are left out
    EXPECT_FALSE(t.contains(QStringLiteral("休み"))); // so are pupils not listed
}

TEST_F(DataToolReport, AGradeWithoutPupilsStillGivesAPage)
{
    const QString pdf = inst.root() + QStringLiteral("/report.pdf");
    const datatool::Result r = run({QStringLiteral("report"), QStringLiteral("--grade"),
                                    QStringLiteral("中１"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(f.readAll())
                  .count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))),
              1);
}

TEST(ClassReportTexts, LevelsAsACellAndAsThePageShowsThem)
{
    const std::vector<int> levels{1, 2, 3, 5, 6, 9};
    EXPECT_EQ(datatool::LevelListText(levels), QStringLiteral("1 2 3 5 6 9"));
    EXPECT_EQ(datatool::LevelRangesText(levels), QStringLiteral("1～3・5・6・9"));
    EXPECT_EQ(datatool::LevelRangesText({}), QString());
    EXPECT_EQ(datatool::LevelRangesText({4}), QStringLiteral("4"));
    EXPECT_EQ(datatool::LevelRangesText({1, 2, 3, 4, 5, 6, 7}), QStringLiteral("1～7"));
}

TEST(ClassReportWeek, MondayToToday)
{
    const struct {
        QDate today, monday;
    } cases[] = {{QDate(2026, 12, 7), QDate(2026, 12, 7)},  // a Monday
                 {QDate(2026, 12, 9), QDate(2026, 12, 7)},  // Wednesday
                 {QDate(2026, 12, 13), QDate(2026, 12, 7)}, // Sunday
                 {QDate(2027, 1, 1), QDate(2026, 12, 28)}}; // over the new year
    for (const auto &c : cases) {
        const datatool::ReportPeriod p = datatool::ThisWeek(c.today);
        EXPECT_EQ(p.from, c.monday) << c.today.toString().toStdString();
        EXPECT_EQ(p.to, c.today);
    }
}

struct BadReportArgs {
    const char *name;
    QStringList args;
    const char16_t *message;
};

class DataToolBadReport : public DataToolReport,
                          public ::testing::WithParamInterface<BadReportArgs> {};

TEST_P(DataToolBadReport, SaysWhy)
{
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("PDF"), inst.root() + QStringLiteral("/r.pdf"));
    const datatool::Result r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(text(r.err).startsWith(QStringLiteral("tavoro-data: ") +
                                       QString::fromUtf16(GetParam().message) + u'\n'))
        << text(r.err).toStdString();
    EXPECT_FALSE(QFile::exists(inst.root() + QStringLiteral("/r.pdf")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataToolBadReport,
    ::testing::Values(
        BadReportArgs{"NeitherPdfNorCsv",
                      {"report"},
                      u"report には --pdf FILE か --csv のどちらか一つが要ります"},
        BadReportArgs{"BothPdfAndCsv",
                      {"report", "--csv", "--pdf", "PDF"},
                      u"report には --pdf FILE か --csv のどちらか一つが要ります"},
        BadReportArgs{"StartAfterEnd",
                      {"report", "--csv", "--from", "2026-12-10"},
                      u"期間の始まり 2026-12-10 が終わり 2026-12-09 より後です"},
        BadReportArgs{"NoDate",
                      {"report", "--csv", "--from", "2026-13-01"},
                      u"--from の日付「2026-13-01」が読めません（2026-12-09 のように書きます）"},
        BadReportArgs{"NoGrade",
                      {"report", "--csv", "--grade", "高1"},
                      u"--grade の学年「高1」が読めません（小３・小3・中1・小学生全体・中学生全体 "
                      u"など）"},
        BadReportArgs{"ReportOptionElsewhere",
                      {"stats", "--to", "2026-12-01"},
                      u"--from, --to, --grade, --csv は report だけのオプションです"},
        BadReportArgs{"ExcelOnThePdf",
                      {"report", "--pdf", "PDF", "--excel"},
                      u"--excel は CSV を書くコマンド (export, stats, best, roster export, report "
                      u"--csv) だけのオプションです"},
        BadReportArgs{"GraphOption",
                      {"report", "--csv", "--pupil", "7"},
                      u"--pupil と --levels は graph だけのオプションです"}),
    [](const auto &info) { return std::string(info.param.name); });
