// The own-times lines, the hidden rankings, the data of a graph block and its drawing,
// on temporary installations: exact texts, the axis scale, the record-breaking runs, the
// x positions at the edges of the grade file, and the colours and bounds of the drawing.
#include "MenusWorld.h"

#include "menus/Graph.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

using test::dayValue;
using test::gradeRecord;

const QString kAll = QStringLiteral("全学年");

class Graph : public ::testing::Test {
protected:
    void ready(const std::vector<records::GradeRecord> &records)
    {
        world.writeGrades(records);
        world.start();
        world.listRoster();
        world.login(1, QStringLiteral("山田太郎"), QStringLiteral("小３"));
    }

    GraphBlock block(int level, int pupil = 1, const QString &filter = kAll)
    {
        return ComputeGraphBlock(*world.state, level, pupil, filter,
                                 GraphFiguresOf(*world.state, level, pupil, 1, filter));
    }

    // The block drawn at slot `slot` of a screen of the design size, 1 pixel = 10 twips.
    QImage render(const GraphBlock &b, int slot = 0)
    {
        QImage image(836, 872, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setViewport(0, 0, 836, 872);
        p.setWindow(0, 0, 8360, 8720);
        DrawGraphBlock(p, GraphSurface{QSizeF(8360, 8720), false, 6}, GraphBlockTop(slot, 8720), b);
        return image;
    }

    // The pixel at a run's point.
    static QRgb pointPixel(const QImage &image, const GraphRun &r, int slot = 0)
    {
        const double u = 8360.0 / 2, v = 8720.0 / 3;
        const double y = GraphBlockTop(slot, 8720) + std::max(r.d, 0.1) * v;
        return image.pixel(int(r.x * u / 10), int(y / 10)) & 0xFFFFFF;
    }

    test::MenusWorld world;
};

struct PadCase {
    const char16_t *text;
    int width;
    const char16_t *expected;
};

class PadLeftCases : public ::testing::TestWithParam<PadCase> {};

TEST_P(PadLeftCases, AddsSpacesOrKeepsTheLastCharacters)
{
    const PadCase c = GetParam();
    EXPECT_EQ(PadLeft(QString::fromUtf16(c.text), c.width), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Texts, PadLeftCases,
                         ::testing::Values(PadCase{u"42秒", 5, u"  42秒"},
                                           PadCase{u"1234", 3, u"234"}, PadCase{u"", 5, u"     "},
                                           PadCase{u"12345", 5, u"12345"},
                                           PadCase{u"100秒", 6, u"  100秒"}));

TEST(GraphTexts, WholeNumbersAndRanks)
{
    EXPECT_EQ(WholeText(0), QString());
    EXPECT_EQ(WholeText(42), QStringLiteral("42"));
    EXPECT_EQ(WholeText(42.5), QStringLiteral("43"));
    EXPECT_EQ(WholeText(0.4), QString());
    EXPECT_EQ(RankWholeText(QStringLiteral("  3")), QStringLiteral("3"));
    EXPECT_EQ(RankWholeText(QStringLiteral("---")), QStringLiteral("---"));
    EXPECT_EQ(RankWholeText(QString()), QString());
}

TEST(GraphTexts, PupilListLines)
{
    EXPECT_EQ(PupilListLine(QStringLiteral("小３"), QStringLiteral(" 山田太郎   "), 12),
              QStringLiteral("小３ /  山田太郎/12"));
    EXPECT_EQ(PupilOfListLine(QStringLiteral("小３ /  山田/太郎/12")), 12);
    EXPECT_EQ(PupilOfListLine(QStringLiteral("no number")), 0);
}

TEST(GraphTexts, OwnTimeLineOfARunAndOfATimeOut)
{
    EXPECT_EQ(OwnTimeLine(gradeRecord(1, 1, 42, dayValue(2026, 12, 9), 0.375)),
              QStringLiteral("2026/12/09 9:00:00  42秒"));
    EXPECT_EQ(OwnTimeLine(gradeRecord(1, 1, 89999, dayValue(2026, 1, 2), 0.75)),
              QStringLiteral("2026/01/02 18:00:009999秒"));
    EXPECT_EQ(OwnTimeLine(gradeRecord(1, 1, 90000, dayValue(2026, 1, 2), 0.5 + 1.0 / 86400)),
              QStringLiteral("2026/01/02 12:00:01"));
}

TEST_F(Graph, OwnTimesListsStandOldestFirstAndKeepToThePupilAndPeriod)
{
    ready({gradeRecord(1, 2, 40, dayValue(2026, 12, 9), 0.5),
           gradeRecord(1, 2, 55, dayValue(2025, 3, 1), 0.5),
           gradeRecord(2, 2, 30, dayValue(2026, 1, 1)),
           gradeRecord(1, 2, 99999, dayValue(2026, 6, 1), 0.25),
           gradeRecord(1, 2, 20, dayValue(2016, 12, 9)), // 3650 days ago: outside
           gradeRecord(1, 8, 20, dayValue(2026, 12, 9)), // beyond the seven levels
           gradeRecord(1, 1, 33, dayValue(2026, 12, 8), 0.5)});
    const auto lists = OwnTimesLists(*world.state, 1, kAll);
    EXPECT_EQ(lists[2], (QStringList{QStringLiteral("2025/03/01 12:00:00  55秒"),
                                     QStringLiteral("2026/06/01 6:00:00"),
                                     QStringLiteral("2026/12/09 12:00:00  40秒")}));
    EXPECT_EQ(lists[1], QStringList{QStringLiteral("2026/12/08 12:00:00  33秒")});
    for (int level = 3; level < core::kLevels; ++level)
        EXPECT_TRUE(lists[std::size_t(level)].isEmpty()) << level;

    // Pupil 1 is in grade 3: a filter for grade 1 leaves his lists empty.
    const auto filtered = OwnTimesLists(*world.state, 1, QStringLiteral("小１"));
    for (const QStringList &l : filtered)
        EXPECT_TRUE(l.isEmpty());
}

// A grade file cut inside its last record: the cut record is no run of the own times, the
// graph or its rankings.
TEST_F(Graph, ACutLastRecordIsNoRun)
{
    const std::vector<records::GradeRecord> whole = {
        gradeRecord(1, 2, 40, dayValue(2026, 12, 9), 0.5),
        gradeRecord(2, 2, 35, dayValue(2026, 12, 8), 0.5)};
    ready(whole);
    const auto lists = OwnTimesLists(*world.state, 1, kAll);
    const GraphBlock before = block(2);
    const QStringList ranking =
        GraphRankingOf(*world.state, 2, GraphRankingKind::Times, 1, kAll).lines;
    // Read as a record, the first 30 bytes of a faster run of pupil 1 would count.
    world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"),
                          test::encodeRecords(whole) +
                              test::encodeRecords({gradeRecord(1, 2, 20)}).left(30));
    EXPECT_EQ(OwnTimesLists(*world.state, 1, kAll), lists);
    const GraphBlock after = block(2);
    EXPECT_EQ(after.count, before.count);
    EXPECT_EQ(after.sum, before.sum);
    EXPECT_EQ(after.runs.size(), before.runs.size());
    EXPECT_EQ(after.figures, before.figures);
    EXPECT_EQ(GraphRankingOf(*world.state, 2, GraphRankingKind::Times, 1, kAll).lines, ranking);
}

TEST_F(Graph, AxisMaximumIsTheNextTenAboveTheSlowestRun)
{
    ready({gradeRecord(1, 1, 42), gradeRecord(1, 1, 75), gradeRecord(1, 1, 60),
           gradeRecord(1, 1, 1800), gradeRecord(1, 2, 70), gradeRecord(1, 3, 1500),
           gradeRecord(1, 4, 1799)});
    EXPECT_EQ(block(1).scale, 80);
    EXPECT_EQ(block(2).scale, 80);   // 70 gives the next ten
    EXPECT_EQ(block(3).scale, 1000); // capped
    EXPECT_EQ(block(4).scale, 1000);
    EXPECT_EQ(block(5).scale, 10); // no run
}

TEST_F(Graph, OnlyAStrictlyFasterRunBreaksTheRecord)
{
    ready({gradeRecord(1, 1, 50), gradeRecord(1, 1, 50), gradeRecord(1, 1, 45),
           gradeRecord(1, 1, 48), gradeRecord(1, 1, 40)});
    const GraphBlock b = block(1);
    ASSERT_EQ(b.runs.size(), 5u);
    EXPECT_EQ(b.records, (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(b.runs[0].record);
    EXPECT_FALSE(b.runs[1].record);
    // Five runs spread over the x axis: the last at its end.
    EXPECT_DOUBLE_EQ(b.runs[0].x, 0.2 + 0.7 / 5);
    EXPECT_DOUBLE_EQ(b.runs[4].x, 0.9);

    const QImage image = render(b);
    EXPECT_EQ(pointPixel(image, b.runs[0]), 0xFF0000u); // red
    EXPECT_EQ(pointPixel(image, b.runs[1]), 0x0000FFu); // blue: equal, not faster
    EXPECT_EQ(pointPixel(image, b.runs[3]), 0x0000FFu);
    EXPECT_EQ(pointPixel(image, b.runs[4]), 0xFF0000u);
}

TEST_F(Graph, FiguresOfATypicalLevel)
{
    // Pupil 1: 30 s x 25; pupil 2: 20 s x 2 (see MenusWorld).
    ready(test::MenusWorld::typicalGrades());
    const GraphBlock b = block(1);
    EXPECT_EQ(b.count, 25);
    EXPECT_EQ(b.figures[0], QStringLiteral("回数　　　　　　　 25回"));
    EXPECT_EQ(b.figures[1], QStringLiteral("タイム  　　 　    本人 / 塾全体"));
    EXPECT_EQ(b.figures[2], QStringLiteral("　　順位　　　　    2位"));
    EXPECT_EQ(b.figures[3], QStringLiteral("　　最高　　　　   30秒 /   20秒"));
    // School: (25 x 30 + 2 x 20) / 27 = 29.26.
    EXPECT_EQ(b.figures[4], QStringLiteral("　　平均　　　　   30秒 /   29秒"));
    EXPECT_EQ(b.figures[5], QStringLiteral("ポイント  　　　"));
    // Pupil 1 has 25 x 4 = 100 points, pupil 2 10: first.
    EXPECT_EQ(b.figures[6], QStringLiteral("　　順位　　　　    1位"));
    EXPECT_EQ(b.figures[7], QStringLiteral("　　獲得ポイント  100点"));
    EXPECT_EQ(b.figures[8], QStringLiteral("　　　　　　　　　　　　/   55点"));
    EXPECT_EQ(b.figures[9], QStringLiteral("　　　　　　　　　　　　 (塾平均)"));
    EXPECT_EQ(b.title, QStringLiteral("Tavoro ") + world.state->profile.LevelNames[1]);
    EXPECT_EQ(b.name, QStringLiteral("山田太郎"));
}

TEST_F(Graph, ACountOf1234ShowsItsLastThreeDigits)
{
    std::vector<records::GradeRecord> records(1234, gradeRecord(1, 1, 30));
    ready(records);
    EXPECT_EQ(block(1).figures[0], QStringLiteral("回数　　　　　　　234回"));
}

TEST_F(Graph, APupilWithoutRunsOrPointsGetsBlanks)
{
    ready(test::MenusWorld::typicalGrades());
    const GraphBlock b = block(1, 3);
    EXPECT_TRUE(b.runs.empty());
    EXPECT_EQ(b.figures[0], QStringLiteral("回数　　　　　　　   回"));
    EXPECT_EQ(b.figures[2], QStringLiteral("　　順位　　　　  ---位"));
    EXPECT_EQ(b.figures[3], QStringLiteral("　　最高　　　　       /   20秒"));
    EXPECT_TRUE(b.figures[4].isEmpty()); // no average line
    EXPECT_EQ(b.figures[7], QStringLiteral("　　獲得ポイント     点"));
}

TEST_F(Graph, TheGradeFilterHidesThePointsButNotTheFigures)
{
    ready(test::MenusWorld::typicalGrades());
    const GraphBlock b = block(1, 1, QStringLiteral("小１"));
    EXPECT_TRUE(b.runs.empty());
    EXPECT_EQ(b.count, 25);
    EXPECT_EQ(b.figures[2], QStringLiteral("　　順位　　　　     位")); // not in the list
}

TEST_F(Graph, SlowRunsDoNotAdvanceTheXPosition)
{
    ready({gradeRecord(1, 1, 40), gradeRecord(1, 1, 1800), gradeRecord(1, 1, 99999),
           gradeRecord(1, 1, 30)});
    const GraphBlock b = block(1);
    ASSERT_EQ(b.runs.size(), 4u);
    EXPECT_EQ(b.count, 2);
    EXPECT_DOUBLE_EQ(b.runs[0].x, 0.55);
    EXPECT_DOUBLE_EQ(b.runs[1].x, 0.55);
    EXPECT_DOUBLE_EQ(b.runs[2].x, 0.55);
    EXPECT_DOUBLE_EQ(b.runs[3].x, 0.9);
    EXPECT_LT(b.runs[1].d, 0); // above the block
}

TEST_F(Graph, OnlyTimeOutsInTheNewestRecordsDoNotDivideByZero)
{
    ready({gradeRecord(1, 1, 99999), gradeRecord(1, 1, 2000)});
    const GraphBlock b = block(1);
    EXPECT_EQ(b.count, 0);
    ASSERT_EQ(b.runs.size(), 2u);
    for (const GraphRun &r : b.runs)
        EXPECT_DOUBLE_EQ(r.x, 0.2);
    EXPECT_TRUE(b.figures[4].isEmpty());
}

TEST_F(Graph, RunsOlderThanTheNewestRecordsStayOnTheAxis)
{
    // Ten runs of pupil 1, then 20000 records of pupil 2: the first pass sees none of his.
    std::vector<records::GradeRecord> records(10, gradeRecord(1, 1, 30, dayValue(2026, 1, 5)));
    records.insert(records.end(), 20000, gradeRecord(2, 1, 25));
    ready(records);
    const GraphBlock b = block(1);
    EXPECT_EQ(b.count, 0);
    ASSERT_EQ(b.runs.size(), 10u);
    EXPECT_DOUBLE_EQ(b.runs.front().x, 0.2 + 0.07);
    EXPECT_DOUBLE_EQ(b.runs.back().x, 0.9);
}

TEST_F(Graph, EverythingButTheNameStaysInsideItsBand)
{
    // A run of 1500 s caps the axis at 1000: it is placed at the axis's top; the time-out
    // lies above the block and is clipped away.
    ready({gradeRecord(1, 1, 99999), gradeRecord(1, 1, 1500), gradeRecord(1, 1, 20),
           gradeRecord(1, 1, 10, dayValue(2025, 12, 31)), gradeRecord(1, 1, 5)});
    const GraphBlock b = block(1);
    EXPECT_EQ(b.scale, 1000);
    const QImage image = render(b, 1);
    const int top = int(GraphBlockTop(1, 8720) / 10);
    const int bottom = int((GraphBlockTop(1, 8720) + 0.3 * 8720) / 10);
    for (int y = 0; y < image.height(); ++y) {
        if (y >= top && y <= bottom)
            continue;
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
    }
    // The 1500 s run is faster than the time-out before it: a red point at the axis's top.
    EXPECT_EQ(pointPixel(image, b.runs[1], 1), 0xFF0000u);
    EXPECT_EQ(pointPixel(image, b.runs[2], 1), 0xFF0000u);
}

// ---- Widths and labels of the drawing --------------------------------------------------

// The number of pixels in row `y` from `x0` to `x1` that `match` takes.
template <typename Match>
int pixelsInRow(const QImage &image, int y, int x0, int x1, Match match)
{
    int n = 0;
    for (int x = std::max(0, x0); x <= std::min(image.width() - 1, x1); ++x)
        n += match(image.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
    return n;
}

class GraphWidths : public Graph, public ::testing::WithParamInterface<bool> {};

// The axes are drawn at the drawing width of the points (5 on the screen, 30 on the
// printer): the y axis is as thick as a point is wide.
TEST_P(GraphWidths, TheAxesAreAsThickAsThePoints)
{
    const bool printer = GetParam();
    ready({gradeRecord(1, 1, 40), gradeRecord(1, 1, 50), gradeRecord(1, 1, 30)});
    const GraphBlock b = block(1);
    QImage image(836, 872, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setViewport(0, 0, 836, 872);
        p.setWindow(0, 0, 8360, 8720);
        DrawGraphBlock(p, GraphSurface{QSizeF(8360, 8720), printer, 6}, 0, b);
    }
    const double u = 8360.0 / 2, v = 8720.0 / 3;
    const auto black = [](QRgb c) { return c == 0x000000u; };
    const int axisX = int(0.2 * u / 10);
    const int axis = pixelsInRow(image, int(0.5 * v / 10), axisX - 20, axisX + 20, black);
    // The middle run's point, away from the axes and the line of the records.
    const GraphRun &run = b.runs[1];
    ASSERT_FALSE(run.record);
    const QPointF at = GraphPointPosition(GraphSurface{QSizeF(8360, 8720), printer, 6}, 0, run);
    const int point = pixelsInRow(image, int(at.y() / 10), int(at.x() / 10) - 20,
                                  int(at.x() / 10) + 20, [](QRgb c) { return c == 0x0000FFu; });
    ASSERT_GT(point, 3);
    EXPECT_NEAR(axis, point, 1) << "axis " << axis << " px, point " << point << " px";
    // The x axis too.
    const int axisY = int(0.8 * v / 10);
    int thick = 0;
    for (int y = axisY - 20; y <= axisY + 20; ++y)
        thick += black(image.pixel(int(0.5 * u / 10), y) & 0xFFFFFF) ? 1 : 0;
    EXPECT_NEAR(thick, point, 1);
}

INSTANTIATE_TEST_SUITE_P(Surfaces, GraphWidths, ::testing::Values(false, true),
                         [](const auto &info) { return std::string(info.param ? "Printer" : "Screen"); });

struct LabelCase {
    const char *name;
    std::vector<std::int32_t> seconds; // the pupil's runs in file order
    QStringList times;                 // the time labels drawn, in order
};

class GraphLabels : public Graph, public ::testing::WithParamInterface<LabelCase> {};

// The labels of the record-breaking runs stand by their points as drawn: a point raised to
// the axis's top takes its labels with it; a point outside the block has none.
TEST_P(GraphLabels, StandByTheirPoints)
{
    std::vector<records::GradeRecord> records;
    for (std::int32_t s : GetParam().seconds)
        records.push_back(gradeRecord(1, 1, s));
    ready(records);
    const GraphBlock b = block(1);
    const GraphSurface surface{QSizeF(8360, 8720), false, 6};
    const double top = GraphBlockTop(1, 8720);
    const double v = 8720.0 / 3;
    const QRectF band(0, top, 8360, 0.3 * 8720);
    const std::vector<GraphLabel> labels = GraphPointLabels(surface, top, b);
    QStringList times;
    for (const GraphLabel &l : labels)
        if (l.text.endsWith(QStringLiteral("秒")))
            times << l.text;
    EXPECT_EQ(times, GetParam().times);
    EXPECT_EQ(labels.size(), std::size_t(2 * times.size())); // a date with every time
    // Each time label is placed from its point's drawn position.
    for (std::size_t i = 0; i < b.records.size(); ++i) {
        const GraphRun &r = b.runs[std::size_t(b.records[i])];
        const QPointF at = GraphPointPosition(surface, top, r);
        const QString text = QString::number(r.seconds) + QStringLiteral("秒");
        const auto found = std::find_if(labels.begin(), labels.end(),
                                        [&](const GraphLabel &l) { return l.text == text; });
        if (!band.contains(at)) {
            EXPECT_EQ(found, labels.end()) << text.toStdString();
            continue;
        }
        if (!GetParam().times.contains(text))
            continue; // a record-breaking run without labels of its own
        ASSERT_NE(found, labels.end()) << text.toStdString();
        const double offset = i == 0 ? -0.01 : (i + 1 == b.records.size() ? 0.04 : 0.01);
        EXPECT_NEAR(found->at.y(), at.y() + offset * v, 1e-6) << text.toStdString();
        if (r.d < 0.1 && r.seconds < kGraphSlowRun) {
            EXPECT_NEAR(at.y(), top + 0.1 * v, 1e-6); // raised to the axis's top
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, GraphLabels,
    ::testing::Values(
        // 1500 s caps the axis at 1000: the first point is raised, its label with it.
        LabelCase{"RaisedFirstRun", {1500, 20}, {QStringLiteral("1500秒"), QStringLiteral("20秒")}},
        // A time-out lies above the block: its point and labels are left out.
        LabelCase{"TimeOutFirst", {99999, 30}, {QStringLiteral("30秒")}},
        LabelCase{"OnlyATimeOut", {99999}, {}},
        LabelCase{"EveryThird",
                  {90, 80, 70, 60, 50, 40, 30},
                  {QStringLiteral("90秒"), QStringLiteral("70秒"), QStringLiteral("30秒")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Graph, TheLabelOfATimeOutIsNotMovedOverTheBlocksHeading)
{
    ready({gradeRecord(1, 1, 99999), gradeRecord(1, 1, 30)});
    const GraphBlock b = block(1);
    const QImage image = render(b, 1);
    // Left of the y axis, between the two lines at the block's top, nothing is written.
    const double u = 8360.0 / 2, v = 8720.0 / 3;
    const int top = int(GraphBlockTop(1, 8720) / 10);
    for (int y = top + 3; y < top + int(0.09 * v / 10) - 3; ++y)
        ASSERT_EQ(pixelsInRow(image, y, int(0.1 * u / 10), int(0.19 * u / 10),
                              [](QRgb c) { return c != 0xFFFFFFu; }),
                  0)
            << y;
}

TEST_F(Graph, HiddenRankingsAndTheirFigures)
{
    ready(test::MenusWorld::typicalGrades());
    const GraphRanking times = GraphRankingOf(*world.state, 1, GraphRankingKind::Times, 1, kAll);
    ASSERT_GE(times.lines.size(), 3);
    EXPECT_EQ(times.lines[0], QStringLiteral("  1③佐藤花子　    20 　"));
    EXPECT_EQ(times.lines[1], QStringLiteral("  2●山田太郎　    30 ●"));
    EXPECT_EQ(times.lines[2], QStringLiteral("---①鈴木一郎　------ 　"));
    EXPECT_EQ(TimeRankOf(times, 1), QStringLiteral("  2"));
    const GraphRanking points = GraphRankingOf(*world.state, 1, GraphRankingKind::Points, 1, kAll);
    EXPECT_EQ(points.lines[0], QStringLiteral("  1●山田太郎　 12/  100"));
    const PointsFigures f = PointsFiguresOf(points, 2);
    EXPECT_EQ(f.rank, QStringLiteral("  2"));
    EXPECT_EQ(f.points, 10);
    EXPECT_EQ(f.sum, 110);
    EXPECT_EQ(f.count, 2);
    // Today's order lists only the pupils with points today.
    EXPECT_EQ(GraphRankingOf(*world.state, 1, GraphRankingKind::Points, 2, kAll).lines.size(), 2);
}

TEST_F(Graph, PagesHoldThreeBlocks)
{
    ready(test::MenusWorld::typicalGrades());
    const auto pages = GraphPages(*world.state, 1, {1, 2, 3, 4}, 1, kAll);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].size(), 3u);
    ASSERT_EQ(pages[1].size(), 1u);
    EXPECT_EQ(pages[1][0].level, 4);
    EXPECT_DOUBLE_EQ(GraphBlockTop(2, 1000), 650);
}

} // namespace
} // namespace tavoro::menus

namespace tavoro::menus {
namespace {

TEST(GraphPupilList, GradeCodesAreThoseOfTheNameSelectionBeforeTheYearsStartMonth)
{
    test::MenusWorld world;
    world.start();
    world.clock.date = QDate(2027, 2, 10); // school year 2026, the year starts in April
    const QStringList lines = ReloadPupilLines(*world.state);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral("小３ /  山田太郎/1")); // born 2017: grade 3
    EXPECT_EQ(lines[3], QStringLiteral("中１ /  高橋次郎/4")); // born 2013: grade 7
    EXPECT_EQ(lines[5], QStringLiteral("高１ /  伊藤健/6"));   // born 2010: grade 10
    EXPECT_EQ(lines[6], QStringLiteral(" /  ★田中先生/7"));    // no grade code
    EXPECT_EQ(world.state->roster.GradeCodes[1], QStringLiteral("小３"));
    EXPECT_EQ(world.state->roster.SchoolYear, 2026);
}

} // namespace
} // namespace tavoro::menus
