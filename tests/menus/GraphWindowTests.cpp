// The own-times view and the graph panel through the level menu's controls: the lists,
// drawing on the screen, printing one document per pupil on the fake printer, saving as PDF
// without a printer, and pictures of the panel and the printed pages.
#include "MenusWorld.h"

#include "menus/seisekitime1.h"
#include "support/PostedInput.h"
#include "support/Shots.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

using test::dayValue;
using test::gradeRecord;

// The number of pages of a PDF file.
int pdfPages(const QByteArray &pdf)
{
    return int(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

// The text of page `page` of a PDF, by pdftotext.
QString pdfText(const QByteArray &pdf, int page)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QStringLiteral("(pdftotext missing)");
    QProcess p;
    p.start(tool, {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                   QString::number(page), QStringLiteral("-"), QStringLiteral("-")});
    p.write(pdf);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    // The font's own character map may give radicals for some ideographs (⼭ for 山).
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// Writes the PDF to the shots folder and its pages as PNG beside it, for a person to look at.
void savePdfShots(const QByteArray &pdf, const QString &name)
{
    const QString dir = test::shotsDir();
    const QString path = dir + u'/' + name + QStringLiteral(".pdf");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(pdf);
    f.close();
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (!tool.isEmpty())
        QProcess::execute(tool, {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                 path, dir + u'/' + name});
}

class GraphPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<records::GradeRecord> records;
        // Pupil 1: level 1 from 75 s down to 42 s over a year, level 2 a few runs, level 4
        // two.
        const int times[] = {75, 70, 72, 66, 66, 60, 63, 55, 58, 50, 52, 47, 49, 45, 42, 44};
        for (int i = 0; i < 16; ++i)
            records.push_back(gradeRecord(1, 1, times[i], dayValue(2026, 1, 10) + 20 * i, 0.6));
        for (int i = 0; i < 4; ++i)
            records.push_back(gradeRecord(1, 2, 40 - i, dayValue(2026, 12, 6 + i)));
        records.push_back(gradeRecord(1, 4, 99, dayValue(2026, 12, 1)));
        records.push_back(gradeRecord(1, 4, 80, dayValue(2026, 12, 9)));
        records.push_back(gradeRecord(2, 1, 38));
        records.push_back(gradeRecord(4, 1, 90));
        world.writeGrades(records);
        world.start();
        world.listRoster();
    }

    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    seisekitime1 *open(int pupil, const QString &name, const QString &grade)
    {
        world.login(pupil, name.leftJustified(20, u' '), grade);
        delete window;
        window = new seisekitime1(*world.state);
        window->resize(1280, 960);
        window->show();
        window->Form_Activate();
        return window;
    }

    seisekitime1 *openTeacher() { return open(7, QStringLiteral("★田中先生"), QString()); }

    void ownTimes()
    {
        window->Option2[2]->setChecked(true);
        window->Option2_Click(2);
    }

    QStringList lines(int level) const
    {
        QStringList out;
        for (int i = 0; i < window->List5[level]->count(); ++i)
            out << window->List5[level]->text(i);
        return out;
    }

    std::vector<int> shownLevels() const
    {
        std::vector<int> levels;
        for (const auto &b : window->Picture11->Picture12->blocks())
            levels.push_back(b.block.level);
        return levels;
    }

    void selectPupil(int pupil)
    {
        QListWidget *l = window->Picture11->List2;
        for (int i = 0; i < l->count(); ++i)
            if (PupilOfListLine(l->item(i)->text()) == pupil)
                l->item(i)->setSelected(true);
    }

    test::MenusWorld world;
    seisekitime1 *window = nullptr;
};

TEST_F(GraphPanelTest, OwnTimesViewListsThePupilsRunsOldestFirst)
{
    open(1, QStringLiteral("山田太郎"), QStringLiteral("小３"));
    EXPECT_FALSE(window->Command17->isVisible());
    ownTimes();
    EXPECT_TRUE(window->Command17->isVisible());
    EXPECT_FALSE(window->Combo2->isVisible());
    EXPECT_EQ(window->Label5->text(), QStringLiteral("個人別ﾀｲﾑ"));
    EXPECT_EQ(window->Label9[1]->text(), QStringLiteral("今日"));
    EXPECT_EQ(lines(2), (QStringList{QStringLiteral("2026/12/06 9:00:00  40秒"),
                                     QStringLiteral("2026/12/07 9:00:00  39秒"),
                                     QStringLiteral("2026/12/08 9:00:00  38秒"),
                                     QStringLiteral("2026/12/09 9:00:00  37秒")}));
    EXPECT_EQ(lines(1).size(), 16);
    EXPECT_EQ(lines(1).first(), QStringLiteral("2026/01/10 14:24:00  75秒"));
    EXPECT_TRUE(window->List5[2]->isVisible());
    EXPECT_TRUE(window->Command1->isEnabled());
    // The level list and the pupil list of the panel.
    ASSERT_EQ(window->Picture11->List3->count(), 7);
    EXPECT_EQ(window->Picture11->List3->item(6)->text(), QStringLiteral("7"));
    // The teacher has no grade code: his line stands first.
    EXPECT_EQ(window->Picture11->List2->item(0)->text(), QStringLiteral(" /  ★田中先生/7"));
    QStringList pupils;
    for (int i = 1; i < window->Picture11->List2->count(); ++i)
        pupils << window->Picture11->List2->item(i)->text();
    EXPECT_EQ(
        pupils,
        (QStringList{QStringLiteral("高１ /  伊藤健/6"), QStringLiteral("小１ /  鈴木一郎/3"),
                     QStringLiteral("小３ /  佐藤花子/2"), QStringLiteral("小３ /  山田太郎/1"),
                     QStringLiteral("中１ /  高橋次郎/4"), QStringLiteral("幼３ /  田中ゆい/5")}));
    EXPECT_EQ(window->ShownPupil, 1);

    // A grade filter that leaves the pupil out leaves his lists empty.
    window->Combo1->setCurrentIndex(window->Combo1->findText(QStringLiteral("小１")));
    window->Option2_Click(2);
    EXPECT_TRUE(lines(1).isEmpty());
    EXPECT_TRUE(lines(2).isEmpty());
}

TEST_F(GraphPanelTest, GraphButtonDrawsTheFirstThreeLevels)
{
    open(1, QStringLiteral("山田太郎"), QStringLiteral("小３"));
    ownTimes();
    QTest::mouseClick(window->Command17, Qt::LeftButton);
    EXPECT_TRUE(window->Picture11->isVisible());
    EXPECT_EQ(window->designRect(window->Picture11).topLeft(), QPoint(120, 1740));
    EXPECT_FALSE(window->Picture11->List2->isVisible());
    EXPECT_TRUE(window->Picture11->Command25->isVisible());
    EXPECT_FALSE(window->Picture11->Command24[1]->isVisible()); // pupils do not print
    EXPECT_EQ(shownLevels(), (std::vector<int>{1, 2, 3}));
    const auto &first = window->Picture11->Picture12->blocks().front().block;
    EXPECT_EQ(first.scale, 80); // 42..75 s
    EXPECT_EQ(window->GraphTimeRank[1], QStringLiteral("  2"));
    EXPECT_EQ(window->GraphPoints[1], world.state->stats.TotalPoints(1, 1));
    test::saveShot(window, QStringLiteral("graph_panel_1280x960"));
    test::saveShot(window->Picture11->Picture12, QStringLiteral("graph_picture12"));

    // The rendered panel: the first point is red.
    const QImage image = window->Picture11->Picture12->grab().toImage();
    const double sx = image.width() / 8355.0, sy = image.height() / 8715.0;
    const GraphRun &r = first.runs.front();
    const QRgb rgb =
        image.pixel(int(r.x * 8355 / 2 * sx), int((GraphBlockTop(0, 8715) + r.d * 8715 / 3) * sy));
    EXPECT_EQ(rgb & 0xFFFFFF, 0xFF0000u);

    // Command18 hides the panel.
    QTest::mouseClick(window->Picture11->Command18, Qt::LeftButton);
    EXPECT_FALSE(window->Picture11->isVisible());
}

TEST_F(GraphPanelTest, AFourthLevelClearsTheScreen)
{
    open(1, QStringLiteral("山田太郎"), QStringLiteral("小３"));
    ownTimes();
    window->Command17_Click();
    // Selecting level 4 in the visible panel redraws it.
    window->Picture11->List3->item(3)->setSelected(true);
    window->List3_Click();
    EXPECT_EQ(shownLevels(), std::vector<int>{4});
    EXPECT_DOUBLE_EQ(window->Picture11->Picture12->blocks().front().top, 0.05 * 8715);
    test::saveShot(window->Picture11->Picture12, QStringLiteral("graph_picture12_level4"));
}

TEST_F(GraphPanelTest, FourLevelsPrintOnTwoPagesWithTheNameOnEach)
{
    openTeacher();
    EXPECT_TRUE(window->Picture11->Command24[1]->isVisible() || !window->Picture11->isVisible());
    ownTimes();
    window->Command17_Click();
    EXPECT_TRUE(window->Picture11->Command24[1]->isVisible());
    window->Picture11->Command25->click();
    EXPECT_TRUE(window->Picture11->List2->isVisible());
    for (int i = 0; i < 4; ++i)
        window->Picture11->List3->item(i)->setSelected(true);
    selectPupil(1);
    QTest::mouseClick(window->Picture11->Command24[1], Qt::LeftButton);
    ASSERT_EQ(world.printer.documents.size(), 1u);
    const auto &doc = *world.printer.documents[0];
    EXPECT_TRUE(doc.ended);
    EXPECT_EQ(pdfPages(doc.bytes), 2);
    const QString page1 = pdfText(doc.bytes, 1);
    const QString page2 = pdfText(doc.bytes, 2);
    EXPECT_TRUE(page1.contains(QStringLiteral("山田太郎"))) << page1.toStdString();
    EXPECT_TRUE(page2.contains(QStringLiteral("山田太郎"))) << page2.toStdString();
    EXPECT_TRUE(page2.contains(
        QStringLiteral("Tavoro ") +
        world.state->profile.LevelNames[4].normalized(QString::NormalizationForm_KC)))
        << page2.toStdString();
    EXPECT_FALSE(page1.contains(
        world.state->profile.LevelNames[4].normalized(QString::NormalizationForm_KC)));
    EXPECT_TRUE(page1.contains(QStringLiteral("(塾平均)")));
    savePdfShots(doc.bytes, QStringLiteral("graph_print_pupil1"));
    // The screen is left alone by printing.
    EXPECT_EQ(shownLevels(), (std::vector<int>{1, 2, 3}));
}

TEST_F(GraphPanelTest, TwoSelectedPupilsPrintTwoDocuments)
{
    openTeacher();
    ownTimes();
    window->Command17_Click();
    selectPupil(1);
    selectPupil(2);
    window->Command24_Click(1);
    // One document per selected line, from the top: 佐藤花子 stands before 山田太郎.
    ASSERT_EQ(world.printer.documents.size(), 2u);
    EXPECT_TRUE(pdfText(world.printer.documents[0]->bytes, 1).contains(QStringLiteral("佐藤花子")));
    EXPECT_TRUE(pdfText(world.printer.documents[1]->bytes, 1).contains(QStringLiteral("山田太郎")));
    for (const auto &doc : world.printer.documents) {
        EXPECT_TRUE(doc->ended);
        EXPECT_EQ(pdfPages(doc->bytes), 1);
    }
    EXPECT_EQ(window->ShownPupil, 1);
    // Showing draws each selected pupil in turn; the screen keeps the last.
    window->Command24_Click(0);
    EXPECT_EQ(window->Picture11->Picture12->blocks().front().block.name,
              QStringLiteral("山田太郎"));
    EXPECT_EQ(window->Picture11->Picture12->blocks().size(), 3u);
}

TEST_F(GraphPanelTest, WithoutPrinterThePagesCanBeSavedAsPdf)
{
    openTeacher();
    ownTimes();
    window->Command17_Click();
    world.printer.available = false;
    const QString path = world.inst.root() + QStringLiteral("/sheet.pdf");
    world.dialogs.nextAnswer = true;
    world.dialogs.nextFileName = path;
    window->Command24_Click(1);
    ASSERT_GE(world.dialogs.calls.size(), 2u);
    EXPECT_EQ(world.dialogs.calls[0].kind, QStringLiteral("okCancel"));
    EXPECT_EQ(
        world.dialogs.calls[0].text,
        QStringLiteral("プリンターが使えません。\n同じページを PDF ファイルに保存しますか？"));
    EXPECT_EQ(world.dialogs.calls[1].kind, QStringLiteral("saveFileName"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdfPages(pdf), 1);

    // Declining saves nothing.
    world.dialogs.calls.clear();
    world.dialogs.nextAnswer = false;
    QFile::remove(path);
    window->Command24_Click(1);
    EXPECT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_FALSE(QFile::exists(path));
}

// ---- Keys redraw as clicks do ----------------------------------------------------------

// The count of runs of the block of `level` on the screen; -1 when it is not shown.
int shownCount(const seisekitime1 *window, int level)
{
    for (const auto &b : window->Picture11->Picture12->blocks())
        if (b.block.level == level)
            return b.block.count;
    return -1;
}

struct ListKeyCase {
    const char *name;
    bool pupils;  // List2, else List3
    int current;  // the line the caret stands on
    Qt::Key key;
    std::vector<int> levels; // the levels on the screen afterwards
    QString pupil;           // the pupil drawn afterwards
};

class GraphListKeys : public GraphPanelTest, public ::testing::WithParamInterface<ListKeyCase> {};

// A key that moves the caret of a list, or chooses its line, redraws the panel as a click
// on the list does: a run recorded meanwhile is in the new drawing.
TEST_P(GraphListKeys, RedrawThePanel)
{
    const ListKeyCase &c = GetParam();
    openTeacher();
    ownTimes();
    window->Command17_Click();
    window->Picture11->Command25->click();
    QListWidget *list = c.pupils ? window->Picture11->List2 : window->Picture11->List3;
    list->setCurrentRow(c.current, QItemSelectionModel::NoUpdate);
    list->setFocus();
    const int before = shownCount(window, 1);
    // Another PC records a run of the teacher on level 1.
    std::vector<records::GradeRecord> records = test::decodeRecords(world.gradeBytes());
    records.push_back(gradeRecord(7, 1, 33));
    world.writeGrades(records);
    QTest::keyClick(list, c.key);
    EXPECT_EQ(shownLevels(), c.levels);
    EXPECT_EQ(window->Picture11->Picture12->blocks().front().block.name, c.pupil);
    if (c.pupil == QStringLiteral("★田中先生") && c.levels.front() == 1) {
        EXPECT_EQ(shownCount(window, 1), before + 1);
    }
    test::saveShot(window, QStringLiteral("graph_keys_") + QString::fromLatin1(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GraphListKeys,
    ::testing::Values(
        ListKeyCase{"LevelCaretDown", false, 3, Qt::Key_Down, {1, 2, 3}, QStringLiteral("★田中先生")},
        ListKeyCase{"LevelCaretHome", false, 3, Qt::Key_Home, {1, 2, 3}, QStringLiteral("★田中先生")},
        // Space chooses level 4: the screen holds three blocks, the fourth clears it.
        ListKeyCase{"LevelSpace", false, 3, Qt::Key_Space, {4}, QStringLiteral("★田中先生")},
        ListKeyCase{"PupilCaretDown", true, 0, Qt::Key_Down, {1, 2, 3}, QStringLiteral("★田中先生")},
        // Space chooses the line of 山田太郎 (the fifth): his graph is drawn.
        ListKeyCase{"PupilSpace", true, 4, Qt::Key_Space, {1, 2, 3}, QStringLiteral("山田太郎")}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- Clicks during a print wait for its end -----------------------------------------------

struct PrintClickCase {
    const char *name;
    // What the teacher does while the pages are drawn.
    std::function<void(seisekitime1 *)> act;
    std::size_t documents;   // printed in all
    std::vector<int> levels; // on the screen afterwards
};

class ClicksDuringAPrint : public GraphPanelTest,
                           public ::testing::WithParamInterface<PrintClickCase> {};

TEST_P(ClicksDuringAPrint, AreHandledAfterTheDocumentIsFinished)
{
    const PrintClickCase &c = GetParam();
    openTeacher();
    ownTimes();
    window->Command17_Click();
    // Drawing takes time: every reading of the tick is 100 ms later, so the panel lets its
    // events run between the blocks; a timer that fires then queues the click.
    world.clock.tickStepPerRead = 100;
    QTimer during;
    during.setSingleShot(true);
    QObject::connect(&during, &QTimer::timeout, [&] { c.act(window); });
    during.start(0);
    QTest::mouseClick(window->Picture11->Command24[1], Qt::LeftButton);
    ASSERT_FALSE(during.isActive()) << "the timer did not fire during the print";
    // The print is over, whole, before the click is handled.
    ASSERT_EQ(world.printer.documents.size(), 1u);
    EXPECT_TRUE(world.printer.documents[0]->ended);
    EXPECT_EQ(shownLevels(), (std::vector<int>{1, 2, 3}));
    QCoreApplication::processEvents();
    world.clock.tickStepPerRead = 0;

    EXPECT_TRUE(world.dialogs.calls.empty()) << world.dialogs.kindsAndTexts().join(u' ').toStdString();
    ASSERT_EQ(world.printer.documents.size(), c.documents);
    for (const auto &doc : world.printer.documents) {
        EXPECT_TRUE(doc->ended);
        EXPECT_EQ(pdfPages(doc->bytes), 1);
        EXPECT_TRUE(pdfText(doc->bytes, 1).contains(QStringLiteral("(塾平均)")));
    }
    EXPECT_EQ(shownLevels(), c.levels);
    test::saveShot(window, QStringLiteral("graph_after_print_") + QString::fromLatin1(c.name));
}

QPoint lineCentre(QListWidget *list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ClicksDuringAPrint,
    ::testing::Values(
        // A second 印刷 prints a second document once the first is finished.
        PrintClickCase{"SecondPrint",
                       [](seisekitime1 *w) { test::postClick(w->Picture11->Command24[1]); },
                       2,
                       {1, 2, 3}},
        // A click that chooses level 4 redraws the screen after the print.
        PrintClickCase{"LevelList",
                       [](seisekitime1 *w) {
                           QListWidget *l = w->Picture11->List3;
                           test::postClick(l->viewport(), lineCentre(l, 3));
                       },
                       1,
                       {4}},
        PrintClickCase{"LevelKey",
                       [](seisekitime1 *w) {
                           QListWidget *l = w->Picture11->List3;
                           l->setCurrentRow(3, QItemSelectionModel::NoUpdate);
                           l->setFocus();
                           test::postKey(l, Qt::Key_Space, QStringLiteral(" "));
                       },
                       1,
                       {4}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tavoro::menus
