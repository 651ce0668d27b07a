// The level menu window through its controls: the columns and their texts, the refresh and
// its points rankings, the too-much bar, starting a level by button, name and key, going
// back, scrolling, and the teacher's button.
#include "MenusWorld.h"

#include "menus/LevelMenu.h"
#include "menus/Ranking.h"
#include "menus/seisekitime1.h"
#include "support/Shots.h"

#include <QAccessible>
#include <QTest>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

const QString FW = QStringLiteral("　");

class Menu : public ::testing::Test {
protected:
    void SetUp() override { world.writeGrades(test::MenusWorld::typicalGrades()); }

    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    seisekitime1 *open(int pupil = 1, const QString &name = QStringLiteral("山田太郎"),
                       const QString &grade = QStringLiteral("小３"))
    {
        if (!started) {
            world.start();
            world.listRoster();
            started = true;
        }
        world.login(pupil, name.leftJustified(20, u' '), grade);
        delete window;
        window = new seisekitime1(*world.state);
        window->show();
        window->Form_Activate();
        return window;
    }

    QStringList lines(int level) const
    {
        QStringList out;
        for (int i = 0; i < window->List5[level]->count(); ++i)
            out << window->List5[level]->text(i);
        return out;
    }

    test::MenusWorld world;
    seisekitime1 *window = nullptr;
    bool started = false;
};

TEST_F(Menu, SevenColumnsOfFourThousandAndFiftySixTwips)
{
    open();
    EXPECT_EQ(window->columnWidth(), 3456);
    EXPECT_TRUE(window->HScroll1->isVisible());
    EXPECT_EQ(window->HScroll1->maximum(), 4);
    const QRect list1 = window->designRect(window->List5[1]);
    EXPECT_EQ(list1.left(), 307);
    EXPECT_EQ(list1.width(), 3456);
    EXPECT_EQ(window->designRect(window->List5[2]).left(), 307 + 3456);
    EXPECT_EQ(window->designRect(window->Label1[1]).width(), 691);
    EXPECT_EQ(window->designRect(window->Label3[1]).left(), 307 + 691);
    EXPECT_EQ(window->designRect(window->Label3[1]).width(), 3456 - 691);
    EXPECT_EQ(window->designRect(window->Label15[1]).left(), 307 + 1728);
    // Each row directly below the one above it.
    const int row1 = window->designRect(window->Label1[1]).top();
    EXPECT_EQ(row1, 1200 + 525 * 105 / 100);
    EXPECT_EQ(window->designRect(window->Command4[1]).top(),
              row1 + window->designRect(window->Label1[1]).height());
    EXPECT_EQ(window->designRect(window->Label7[1]).top(), list1.top() + list1.height());
    EXPECT_LE(window->designRect(window->Label7[1]).bottom(), 10680);
    EXPECT_EQ(window->Label1[8], nullptr);
    EXPECT_FALSE(window->List5[0]->isVisible());
}

TEST_F(Menu, RefreshFillsTheTextsOfEveryLevel)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(window->Label11->text(), QStringLiteral("Tavoro"));
    EXPECT_EQ(window->Label12->text(), QStringLiteral("山田太郎 小３"));
    EXPECT_EQ(window->Label13->text(), QStringLiteral("1:テスト小学校"));
    EXPECT_EQ(window->Label17->text(), QStringLiteral("起動後0分"));
    EXPECT_EQ(window->Label18->text(), QStringLiteral("本日総回数＝3回"));
    EXPECT_EQ(window->Label5->text(), QStringLiteral("獲得ポイント（今まで順位）"));
    EXPECT_EQ(window->Option1[1]->text(), QStringLiteral("累計順"));
    EXPECT_EQ(window->Option1[2]->text(), QStringLiteral("本日順"));
    EXPECT_EQ(window->Option1[3]->text(), QStringLiteral("オール表示"));
    EXPECT_TRUE(window->Option1[1]->isChecked());
    EXPECT_TRUE(window->Option2[1]->isChecked());

    EXPECT_EQ(window->Label1[1]->text(), QStringLiteral("1"));
    EXPECT_EQ(window->Label3[1]->text(), QStringLiteral("ﾚﾍﾞﾙ1"));
    EXPECT_EQ(window->Label3[1]->toolTip(), QStringLiteral("ﾚﾍﾞﾙ1"));
    EXPECT_EQ(window->Label3[7]->text(), QStringLiteral("混合"));
    EXPECT_EQ(window->Command4[3]->text(), QStringLiteral("ｽﾀｰﾄ(&3)"));
    EXPECT_EQ(window->Label7[1]->text(), QStringLiteral("目標=25秒 3回/100点(×1)"));
    EXPECT_EQ(window->Label8[1]->text(), QStringLiteral("最近7日=3回 / 12点"));
    EXPECT_EQ(window->Label14[1]->text(), QStringLiteral("3回/12点"));
    EXPECT_EQ(window->Label15[1]->text(), QStringLiteral("25回/100点"));
    EXPECT_EQ(window->Label14[2]->text(), QStringLiteral("-----"));
    EXPECT_EQ(window->Label15[2]->text(), QStringLiteral("------"));
    EXPECT_EQ(window->Label9[4]->text(), QStringLiteral("今日"));
    EXPECT_EQ(window->Label10[4]->text(), QStringLiteral("今まで"));

    EXPECT_EQ(window->MenuReady, 1);
    EXPECT_EQ(window->ListMode, 2);
    EXPECT_EQ(window->PointsOrder, 1);
    EXPECT_EQ(window->SelectingDefaults, 0);
    EXPECT_FALSE(window->Picture2->isVisible());
    EXPECT_FALSE(window->Picture6->isVisible());
    EXPECT_TRUE(window->Command1->isEnabled());
    EXPECT_FALSE(window->Command8->isVisible());
    for (int i = 1; i <= 7; ++i) {
        EXPECT_TRUE(window->Command4[i]->isEnabled()) << i;
        EXPECT_FALSE(window->Text1[i]->isVisible()) << i;
        EXPECT_TRUE(window->List5[i]->isVisible()) << i;
    }
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("closeNameSelection")));
}

TEST_F(Menu, CumulativeAndTodayRankings)
{
    open();
    QStringList l = lines(1);
    ASSERT_EQ(l.size(), 7);
    EXPECT_EQ(l.at(0), QStringLiteral(" 1●山田太郎") + FW + QStringLiteral(" 12/  100"));
    EXPECT_EQ(l.at(1), QStringLiteral(" 2③佐藤花子") + FW + QStringLiteral(" 10/   10"));
    for (int i = 2; i < 7; ++i)
        EXPECT_TRUE(l.at(i).startsWith(QStringLiteral(" 3"))) << l.at(i).toStdString();
    EXPECT_TRUE(l.contains(QStringLiteral(" 3　★田中先生  0/    0")));
    EXPECT_EQ(lines(2).size(), 7);
    EXPECT_EQ(window->List5[1]->currentRow(), -1);

    QTest::mouseClick(window->Option1[2], Qt::LeftButton);
    EXPECT_EQ(window->PointsOrder, 2);
    EXPECT_EQ(window->Label5->text(), QStringLiteral("獲得ポイント（今日の順位）"));
    EXPECT_EQ(lines(1),
              (QStringList{QStringLiteral(" 1●山田太郎") + FW + QStringLiteral(" 12/  100"),
                           QStringLiteral(" 2③佐藤花子") + FW + QStringLiteral(" 10/   10")}));
    EXPECT_TRUE(lines(2).isEmpty());
    EXPECT_TRUE(window->Command1->isEnabled());
    EXPECT_TRUE(window->Command4[1]->isEnabled());
}

TEST_F(Menu, PointsThatDoNotFitWidenTheirColumn)
{
    // Level 1 with a point factor of 10: four fast runs today make over 1000 points.
    QStringList levels;
    for (int level = 1; level <= 7; ++level)
        levels << QStringLiteral("%1,%2,100,3,%3,0,0,7,7,,,")
                      .arg(20 + 5 * level)
                      .arg(60 + 5 * level)
                      .arg(level == 1 ? 10 : 1);
    world.inst.writeCriteria(levels);
    std::vector<records::GradeRecord> records = test::MenusWorld::typicalGrades();
    for (int i = 0; i < 4; ++i)
        records.push_back(test::gradeRecord(2, 1, 5));
    world.writeGrades(records);
    open();
    const int today = world.state->stats.PointsToday(2, 1);
    const int total = world.state->stats.TotalPoints(2, 1);
    ASSERT_GE(today, 1000);
    const QStringList l = lines(1);
    ASSERT_GE(l.size(), 2);
    EXPECT_EQ(l.at(0), QStringLiteral(" 1③佐藤花子") + FW + QString::number(today) + u'/' +
                           QString::number(total).rightJustified(5, u' '));
    for (const QString &line : l)
        EXPECT_EQ(line.size(), l.at(0).size()) << line.toStdString();
    test::saveShot(window, QStringLiteral("seisekitime1_wide_points_1024x768"));
}

TEST_F(Menu, RefreshShowsWhatChangedSinceTheLastShowing)
{
    open();
    const QStringList level1 = lines(1);
    window->List5[1]->setCurrentRow(1);

    // Nothing new: the lists show the same lines, with no current row.
    window->Form_Activate();
    EXPECT_EQ(lines(1), level1);
    EXPECT_EQ(window->List5[1]->currentRow(), -1);
    EXPECT_TRUE(window->List5[1]->selectionModel()->selectedIndexes().isEmpty());

    // Another PC wrote a run of pupil 3 at level 2.
    auto grades = test::MenusWorld::typicalGrades();
    grades.push_back(test::gradeRecord(3, 2, 20));
    world.writeGrades(grades);
    window->Form_Activate();
    EXPECT_EQ(lines(1), level1);
    EXPECT_EQ(lines(2).at(0), QStringLiteral(" 1①鈴木一郎") + FW + QStringLiteral("  6/    6"));
    EXPECT_EQ(window->Label18->text(), RunsTodayTotalText(*world.state));

    // A new name in the roster shows in every list.
    world.state->roster.StudentNames[2] = QStringLiteral("佐藤はな").leftJustified(20, u' ');
    window->Form_Activate();
    EXPECT_EQ(lines(1).at(1), QStringLiteral(" 2③佐藤はな") + FW + QStringLiteral(" 10/   10"));
    EXPECT_TRUE(lines(3).contains(QStringLiteral(" 1③佐藤はな") + FW + QStringLiteral("  0/    0")))
        << lines(3).join(u'|').toStdString();
}

// Counts the paints of a widget.
struct Paints : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(Menu, QuickRefreshNeverPaintsItsWaitPanel)
{
    open();
    Paints panel;
    window->Picture2->installEventFilter(&panel);
    QCoreApplication::processEvents();
    panel.count = 0;

    // The wait panel is shown and hidden again within one quick piece of work, in which no
    // window events run: it is never painted.
    window->Form_Activate();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.count, 0);
    EXPECT_TRUE(window->List5[1]->isVisible());
    EXPECT_FALSE(window->Picture2->isVisible());
    EXPECT_EQ(window->MenuReady, 1);
}

TEST_F(Menu, SlowRefreshShowsItsWaitPanelWhileEventsRun)
{
    open();
    // Every reading of the tick is 60 ms on, so every chance to let events run is taken. The
    // look posts itself again at each run, so it sees the window at every event run.
    struct Look : QObject {
        seisekitime1 *window = nullptr;
        bool again = true;
        std::vector<std::array<bool, 5>> seen; // wait panel, bar, list 1, view panel, start 1
        bool event(QEvent *e) override
        {
            if (e->type() != QEvent::User)
                return QObject::event(e);
            seen.push_back({window->Picture2->isVisible(), window->ProgressBar1->isVisible(),
                            window->List5[1]->isVisible(), window->Picture6->isVisible(),
                            window->Command4[1]->isEnabled()});
            if (again)
                QCoreApplication::postEvent(this, new QEvent(QEvent::User));
            return true;
        }
    } look;
    look.window = window;
    world.clock.tickStepPerRead = 60;
    QCoreApplication::postEvent(&look, new QEvent(QEvent::User));
    window->Form_Activate();
    world.clock.tickStepPerRead = 0;
    look.again = false;
    QCoreApplication::processEvents();

    ASSERT_GE(look.seen.size(), 3u);
    using Seen = std::array<bool, 5>;
    EXPECT_EQ(look.seen.front(), (Seen{true, true, true, false, true}))
        << "the wait panel comes first, over the menu as it was";
    const bool viewRebuilt = std::any_of(look.seen.begin(), look.seen.end(), [](const Seen &s) {
        return s == Seen{true, true, false, true, false};
    });
    EXPECT_TRUE(viewRebuilt) << "while the view is rebuilt its lists are hidden and the start "
                                "buttons cannot be clicked";
    EXPECT_EQ(look.seen.back(), (Seen{false, false, true, false, true}))
        << "the last run paints the finished menu";
    EXPECT_EQ(window->MenuReady, 1);
}

TEST_F(Menu, GroupFilterKeepsTheRanks)
{
    world.state->roster.GradeFilter = QStringLiteral("中学生全体");
    open();
    EXPECT_EQ(window->Combo1->currentText(), QStringLiteral("中学生全体"));
    EXPECT_EQ(lines(1),
              QStringList{QStringLiteral(" 3Ⅰ高橋次郎") + FW + QStringLiteral("  0/    0")});

    window->Combo1->setCurrentText(QStringLiteral("小３"));
    window->Combo1_Click();
    EXPECT_EQ(window->Option1[1]->text(), QStringLiteral("合計累計"));
    EXPECT_EQ(window->Option1[2]->text(), QStringLiteral("合計本日"));
    EXPECT_EQ(window->Option1[3]->text(), QStringLiteral("すべて"));
    EXPECT_EQ(lines(1),
              (QStringList{QStringLiteral(" 1●山田太郎") + FW + QStringLiteral(" 12/  100"),
                           QStringLiteral(" 2③佐藤花子") + FW + QStringLiteral(" 10/   10")}));
    EXPECT_TRUE(window->List5[1]->isVisible());
    EXPECT_TRUE(window->Command4[1]->hasFocus() || !window->isActiveWindow());
}

TEST_F(Menu, EnterOnTheFocusedStartButtonStartsItsLevel)
{
    open();
    window->activateWindow();
    window->Combo1->setCurrentText(QStringLiteral("小３"));
    window->Combo1_Click();
    ASSERT_EQ(QApplication::focusWidget(), window->Command4[1]);
    world.screens.log.clear();
    QTest::keyClick(window->Command4[1], Qt::Key_Return);
    EXPECT_EQ(world.state->run.CurrentLevel, 1);
    EXPECT_EQ(world.screens.log, QStringList{QStringLiteral("showDrill")});
}

TEST_F(Menu, TooMuchBarsTheLevelUntilTheGoalIsCleared)
{
    QStringList criteria;
    for (int level = 1; level <= 7; ++level)
        criteria << QStringLiteral("%1,%2,100,3,1,%3,0,7,7,,,")
                        .arg(20 + 5 * level)
                        .arg(60 + 5 * level)
                        .arg(level == 2 || level == 7 ? 3 : 0);
    world.inst.writeCriteria(criteria);
    std::vector<records::GradeRecord> records;
    for (int i = 0; i < 3; ++i) {
        records.push_back(test::gradeRecord(1, 2, 40));
        records.push_back(test::gradeRecord(1, 7, 200)); // the last level, done too much
    }
    world.writeGrades(records);
    open();
    EXPECT_FALSE(window->Command4[2]->isEnabled());
    EXPECT_TRUE(window->Text1[2]->isVisible());
    EXPECT_EQ(window->Text1[2]->text(), QStringLiteral("やりすぎ禁止"));
    EXPECT_TRUE(window->Command4[3]->isEnabled());
    EXPECT_FALSE(window->Text1[3]->isVisible());
    EXPECT_TRUE(window->Command4[7]->isEnabled());
    EXPECT_FALSE(window->Text1[7]->isVisible());

    // A barred level does not start, neither by key nor by its name.
    QTest::keyClick(window, Qt::Key_2);
    window->Label3_Click(2);
    EXPECT_FALSE(world.screens.log.contains(QStringLiteral("showDrill")));
    EXPECT_EQ(window->MenuReady, 1);

    // Level 7 cleared within the pass period: three runs of 1 second earn 52 points each.
    for (int i = 0; i < 3; ++i)
        records.push_back(test::gradeRecord(1, 7, 1));
    world.writeGrades(records);
    open();
    EXPECT_EQ(world.state->stats.GoalCleared, 1);
    EXPECT_TRUE(window->Command4[2]->isEnabled());
    EXPECT_FALSE(window->Text1[2]->isVisible());
}

TEST_F(Menu, KeysStartTheirLevels)
{
    open();
    world.screens.log.clear();
    QTest::keyClick(window, Qt::Key_A);
    QTest::keyClick(window, 'a');
    QTest::keyClick(window, Qt::Key_8);
    QTest::keyClick(window, Qt::Key_E);
    EXPECT_TRUE(world.screens.log.isEmpty());
    EXPECT_EQ(window->MenuReady, 1);

    QTest::keyClick(window->Combo1, Qt::Key_7); // the window sees the key first
    EXPECT_EQ(world.screens.log, QStringList{QStringLiteral("showDrill")});
    EXPECT_EQ(world.state->run.CurrentLevel, 7);
    EXPECT_EQ(window->MenuReady, 0);
    EXPECT_TRUE(window->Picture2->isVisible());

    // Keys are ignored while the menu is not ready.
    QTest::keyClick(window, Qt::Key_1);
    EXPECT_EQ(world.screens.log.size(), 1);
}

TEST_F(Menu, StartButtonAndNameLabel)
{
    open();
    world.screens.log.clear();
    QTest::mouseClick(window->Command4[5], Qt::LeftButton);
    EXPECT_EQ(world.state->run.CurrentLevel, 5);
    EXPECT_EQ(world.screens.log, QStringList{QStringLiteral("showDrill")});

    open();
    world.screens.log.clear();
    QTest::mouseClick(window->Label3[3], Qt::LeftButton);
    EXPECT_EQ(world.state->run.CurrentLevel, 3);
    EXPECT_EQ(world.screens.log,
              (QStringList{QStringLiteral("showDrill"), QStringLiteral("closeLevelMenu")}));
    EXPECT_EQ(world.state->run.SolvedCount, 0);

    // Nothing starts while the password panel is open.
    open();
    world.screens.log.clear();
    window->Picture7->show();
    window->Command4_Click(1);
    window->Label3_Click(1);
    EXPECT_TRUE(world.screens.log.isEmpty());
}

TEST_F(Menu, BackWithZeroOnlyWhileTheButtonIsEnabled)
{
    open();
    world.screens.log.clear();
    window->Command1->setEnabled(false); // a list is being rebuilt
    QTest::keyClick(window, Qt::Key_0);
    EXPECT_TRUE(world.screens.log.isEmpty());
    window->Command1->setEnabled(true);
    QTest::keyClick(window, Qt::Key_0);
    EXPECT_EQ(world.screens.log, QStringList{QStringLiteral("showNameSelection")});
    EXPECT_TRUE(window->Picture2->isVisible());
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    EXPECT_EQ(world.screens.log.size(), 2);
}

TEST_F(Menu, ScrollingKeepsTheFirstColumnForTheNextShowing)
{
    open();
    EXPECT_EQ(world.state->menu.FirstColumn, 1);
    window->HScroll1->setValue(4);
    EXPECT_EQ(world.state->menu.FirstColumn, 4);
    EXPECT_EQ(window->designRect(window->Label1[4]).left(), 307);
    EXPECT_EQ(window->designRect(window->Command4[7]).left(), 307 + 3 * 3456);
    EXPECT_EQ(window->designRect(window->List5[1]).left(), 15360);
    EXPECT_EQ(window->designRect(window->Label3[3]).left(), 15360 + 691);
    EXPECT_EQ(window->designRect(window->Label10[5]).left(), 307 + 3456 + 1728);
    test::saveShot(window, QStringLiteral("seisekitime1_scrolled_1024x768"));

    open();
    EXPECT_EQ(window->HScroll1->value(), 4);
    EXPECT_EQ(window->designRect(window->Label1[4]).left(), 307);
    EXPECT_EQ(window->designRect(window->Label1[1]).left(), 15360);
}

TEST_F(Menu, ListsOfColumnsOutOfViewAreMadeWhenScrolledIntoView)
{
    open();
    // Columns 1..5 lie (partly) within the window; 6 and 7 are filled when they come into
    // view, with the lines of the view chosen meanwhile.
    ASSERT_EQ(lines(5).size(), 7);
    EXPECT_TRUE(lines(7).isEmpty());
    QTest::mouseClick(window->Option1[2], Qt::LeftButton);
    EXPECT_TRUE(lines(7).isEmpty());
    const QStringList today7 =
        SortedRankingLines(*world.state, 7, ListMode::Points, PointsOrder::Today, u"全学年"_qs);
    window->HScroll1->setValue(3);
    EXPECT_EQ(lines(7), today7);
    EXPECT_EQ(lines(6), SortedRankingLines(*world.state, 6, ListMode::Points,
                                           PointsOrder::Today, u"全学年"_qs));

    // A new showing scrolled to column 3 fills 3..7 at once.
    world.writeGrades({test::gradeRecord(1, 7, 30)});
    open();
    ASSERT_EQ(lines(7).size(), 7);
    EXPECT_EQ(lines(7).at(0), QStringLiteral(" 1●山田太郎") + FW + QStringLiteral("  9/    9"));
}

TEST_F(Menu, TeacherSeesTheDataButton)
{
    open(7, QStringLiteral("★田中先生"), QString());
    EXPECT_TRUE(window->Command8->isVisible());
    EXPECT_EQ(window->Command8->text(), QStringLiteral("データ処理"));
    window->Command8_Click();
    open(1);
    EXPECT_FALSE(window->Command8->isVisible());
    open(9, QStringLiteral("佐藤先生"), QString());
    EXPECT_TRUE(window->Command8->isVisible());
}

TEST_F(Menu, FewerLevelsShareTheWidthWithoutScrollBar)
{
    world.start();
    world.listRoster();
    started = true;
    world.state->profile.LevelCount = 3;
    open();
    EXPECT_EQ(window->columnWidth(), 4864);
    EXPECT_FALSE(window->HScroll1->isVisible());
    EXPECT_EQ(window->designRect(window->List5[3]).left(), 307 + 2 * 4864);
    EXPECT_EQ(window->Label1[4], nullptr);
}

TEST_F(Menu, ScreenReadersSeeButtonsAndListLines)
{
    open();
    QAccessibleInterface *start = QAccessible::queryAccessibleInterface(window->Command4[2]);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->text(QAccessible::Name), QStringLiteral("ｽﾀｰﾄ(2)"));
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(window->List5[1]);
    ASSERT_EQ(list->childCount(), window->List5[1]->count());
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), window->List5[1]->text(0));
    QAccessibleInterface *back = QAccessible::queryAccessibleInterface(window->Command1);
    EXPECT_EQ(back->text(QAccessible::Name), QStringLiteral("戻る(0)"));
    QAccessibleInterface *scroll = QAccessible::queryAccessibleInterface(window->HScroll1);
    EXPECT_FALSE(scroll->text(QAccessible::Name).isEmpty());
}

// Level 1: target 25 s, minimum 65 s (see MenusWorld).
std::vector<records::GradeRecord> runsOfTheWeek()
{
    const double today = test::dayValue(2026, 12, 9); // a Wednesday
    return {test::gradeRecord(1, 1, 30, today, 0.40),
            test::gradeRecord(2, 1, 9, today, 0.41),
            test::gradeRecord(2, 1, 20, today, 0.42),
            test::gradeRecord(3, 1, 99999, today, 0.43), // a time-out: no colour
            test::gradeRecord(4, 1, 50, today - 2, 0.5), // Monday
            test::gradeRecord(4, 1, 25, today - 3, 0.5), // Sunday: not this week
            test::gradeRecord(2, 2, 20, today, 0.44)};
}

TEST_F(Menu, BestTimesViewRanksByTimeWithTiesAndNoTimeLast)
{
    std::vector<records::GradeRecord> records{test::gradeRecord(1, 1, 30),
                                              test::gradeRecord(2, 1, 30),
                                              test::gradeRecord(3, 1, 35)};
    world.writeGrades(records);
    open();
    QTest::mouseClick(window->Option2[0], Qt::LeftButton);
    EXPECT_EQ(window->ListMode, 1);
    EXPECT_EQ(window->Option1[1]->text(), QStringLiteral("BEST表示"));
    EXPECT_EQ(window->Option1[2]->text(), QStringLiteral("本日のみ"));
    EXPECT_EQ(window->Label5->text(), QStringLiteral("ベスト成績"));
    const QStringList l = lines(1);
    ASSERT_EQ(l.size(), 7);
    EXPECT_EQ(l.at(0), QStringLiteral(" 1●山田太郎") + FW + QStringLiteral("    30 ●"));
    EXPECT_EQ(l.at(1), QStringLiteral(" 1③佐藤花子") + FW + QStringLiteral("    30 ") + FW);
    EXPECT_EQ(l.at(2), QStringLiteral(" 3①鈴木一郎") + FW + QStringLiteral("    35 ") + FW);
    for (int i = 3; i < 7; ++i)
        EXPECT_TRUE(l.at(i).startsWith(QStringLiteral("--"))) << l.at(i).toStdString();
    EXPECT_TRUE(window->Command4[1]->isEnabled());
    EXPECT_FALSE(window->Picture6->isVisible());
    test::saveShot(window, QStringLiteral("seisekitime1_best_1024x768"));
}

TEST_F(Menu, TodaysRunsFastestFirstAndTheListColouredByTheSlowest)
{
    world.writeGrades(runsOfTheWeek());
    open();
    QTest::mouseClick(window->Option2[0], Qt::LeftButton);
    QTest::mouseClick(window->Option1[2], Qt::LeftButton);
    EXPECT_EQ(window->Label5->text(), QStringLiteral("本日の成績"));
    EXPECT_EQ(lines(1), (QStringList{QStringLiteral("   9秒 09:50③佐藤花子") + FW +
                                         QStringLiteral("③18"),
                                     QStringLiteral("  20秒 10:04③佐藤花子") + FW +
                                         QStringLiteral("③5"),
                                     QStringLiteral("  30秒 09:36●山田太郎") + FW +
                                         QStringLiteral("●4"),
                                     QStringLiteral("　　× 10:19①鈴木一郎") + FW +
                                         QStringLiteral("①")}));
    // The slowest timed run, 30 s, is within the minimum time: light green.
    EXPECT_EQ(window->List5[1]->palette().color(QPalette::Base), QColor(0xC0, 0xFF, 0xC0));
    // 20 s on level 2 (target 30 s): green.
    EXPECT_EQ(window->List5[2]->palette().color(QPalette::Base), QColor(0x00, 0xC0, 0x00));
    EXPECT_TRUE(lines(3).isEmpty());
    test::saveShot(window, QStringLiteral("seisekitime1_today_1024x768"));
}

TEST_F(Menu, RunsOfAPeriodFromTheirOptionAndThePeriodBox)
{
    world.writeGrades(runsOfTheWeek());
    open();
    QTest::mouseClick(window->Option2[0], Qt::LeftButton);
    QTest::mouseClick(window->Option1[3], Qt::LeftButton);
    EXPECT_TRUE(window->Combo2->isVisible());
    EXPECT_EQ(window->Label5->text(), QString());
    EXPECT_EQ(window->Combo2->currentIndex(), 2); // a month
    EXPECT_EQ(lines(1).size(), 6);

    // This week, on a Wednesday: from Monday.
    window->Combo2->setCurrentIndex(0);
    window->Combo2_Click();
    EXPECT_EQ(world.state->menu.ReportPeriod, 1);
    QStringList l = lines(1);
    ASSERT_EQ(l.size(), 5);
    EXPECT_EQ(l.at(3), QStringLiteral("  50秒 12/07Ⅰ高橋次郎") + FW + QStringLiteral("Ⅰ1"));

    // The points view of the same period: points first.
    QTest::mouseClick(window->Option2[1], Qt::LeftButton);
    EXPECT_EQ(window->Option1[3]->text(), QStringLiteral("すべて"));
    EXPECT_TRUE(window->Option1[3]->isChecked());
    l = lines(1);
    ASSERT_EQ(l.size(), 5);
    EXPECT_EQ(l.at(0), QStringLiteral("    1 12/07Ⅰ高橋次郎") + FW + QStringLiteral("Ⅰ50秒"));
    EXPECT_EQ(l.at(4), QStringLiteral("　　× 12/09①鈴木一郎") + FW + QStringLiteral("①"));
    test::saveShot(window, QStringLiteral("seisekitime1_period_points_1024x768"));
}

TEST_F(Menu, Shots)
{
    world.state->settings.SeasonColor = 0xC0FFC0;
    QStringList criteria;
    for (int level = 1; level <= 7; ++level)
        criteria << QStringLiteral("%1,%2,%3,3,%4,%5,0,7,7,,,")
                        .arg(20 + 5 * level)
                        .arg(60 + 5 * level)
                        .arg(level == 6 ? 9999 : 100)
                        .arg(level == 3 ? QStringLiteral("1.5") : QStringLiteral("1"))
                        .arg(level == 2 ? 2 : 0);
    world.inst.writeCriteria(criteria);
    std::vector<records::GradeRecord> records;
    for (int pupil = 1; pupil <= 7; ++pupil)
        for (int i = 0; i < pupil; ++i)
            records.push_back(test::gradeRecord(pupil, 1 + i % 3, 20 + 3 * pupil));
    world.writeGrades(records);
    open(7, QStringLiteral("★田中先生"), QString());
    open(1);
    window->resize(1024, 768);
    test::saveShot(window, QStringLiteral("seisekitime1_1024x768"));
    window->resize(1920, 1080);
    test::saveShot(window, QStringLiteral("seisekitime1_1920x1080"));
    open(7, QStringLiteral("★田中先生"), QString());
    window->resize(1920, 1080);
    test::saveShot(window, QStringLiteral("seisekitime1_teacher_1920x1080"));
}

} // namespace
} // namespace tavoro::menus
