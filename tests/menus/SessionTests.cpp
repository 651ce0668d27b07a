// A pupil's whole session through the program's real windows on the offscreen platform:
// splash, name selection, level menu, drill, finish screen, once more, a time-out, back to
// the menu, back to the name selection, and out through the program menu. The clock, the
// random generator and the sound are test doubles; the installation is a temporary one
// whose grade file the runs really write.
#include "MenusWorld.h"

#include "app/AppScreens.h"
#include "core/Windows.h"
#include "drill/MainFrm.h"
#include "menus/namesel.h"
#include "menus/seisekitime1.h"
#include "records/FrmSyuuryou.h"
#include "records/Points.h"
#include "records/Statistics.h"

#include <QTest>

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

const QString FW = QStringLiteral("　");

// Lets deferred deletions run, as the event loop does once a handler has returned.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Session : public ::testing::Test {
protected:
    Session() : screens(*world.state)
    {
        world.state->screens = &screens;
        // Pupil 2 has run level 1 twice today in 20 seconds: 10 points.
        world.writeGrades({test::gradeRecord(2, 1, 20), test::gradeRecord(2, 1, 20)});
    }
    ~Session() override
    {
        screens.closeAll();
        flushDeletes();
    }

    namesel *nameSelection() const { return qobject_cast<namesel *>(screens.nameSelection()); }
    seisekitime1 *menu() const { return qobject_cast<seisekitime1 *>(screens.levelMenu()); }
    drill::MainFrm *drillWindow() const { return qobject_cast<drill::MainFrm *>(screens.drill()); }
    records::FrmSyuuryou *finish() const
    {
        return qobject_cast<records::FrmSyuuryou *>(screens.finish());
    }

    // The drill's clock is driven by the test alone.
    drill::MainFrm *takeDrill()
    {
        drill::MainFrm *d = drillWindow();
        if (d) {
            QObject::disconnect(d->sTimer1, &QTimer::timeout, nullptr, nullptr);
            QObject::disconnect(d->sTimer2, &QTimer::timeout, nullptr, nullptr);
        }
        return d;
    }

    // Solves the problem shown: a second passes, then its multiples are clicked.
    void solveProblem(drill::MainFrm *d)
    {
        world.clock.advanceSeconds(1);
        d->sTimer1_Timer();
        const int n = d->Label2->text().toInt();
        ASSERT_GT(n, 0);
        const int count = std::min(5, 100 / n);
        for (int i = 1; i <= count; ++i)
            QTest::mouseClick(d->Label1[i * n], Qt::LeftButton);
    }

    std::vector<records::GradeRecord> gradeRecords() const
    {
        const QByteArray bytes = world.gradeBytes();
        std::vector<records::GradeRecord> out;
        for (qsizetype at = 0; at + records::kGradeRecordSize <= bytes.size();
             at += records::kGradeRecordSize)
            out.push_back(records::DecodeGradeRecord(bytes.constData() + at));
        return out;
    }

    test::MenusWorld world;
    app::AppScreens screens;
};

TEST_F(Session, APupilsWholeSession)
{
    core::AppState &s = *world.state;

    // Splash, then the name selection.
    auto *splash = new core::Firstfrm(s, world.inst.programFolder());
    splash->Form_Load();
    splash->Timer1_Timer();
    flushDeletes();
    namesel *names = nameSelection();
    ASSERT_NE(names, nullptr);
    ASSERT_TRUE(names->isVisible());
    EXPECT_EQ(names->DisplayMode, 1);

    // Choose 山田太郎 and confirm with the key "1".
    int row = -1;
    for (int i = 1; i < names->List1->count(); ++i)
        if (names->List1->text(i).contains(QStringLiteral("山田太郎")))
            row = i;
    ASSERT_GT(row, 0);
    names->List1->setFocus();
    names->List1->setCurrentRow(row);
    QTest::keyClick(names->List1, Qt::Key_1);
    flushDeletes();
    EXPECT_EQ(nameSelection(), nullptr); // the menu closed it
    seisekitime1 *m = menu();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(s.pupil.CurrentStudent, 1);
    EXPECT_EQ(m->MenuReady, 1);
    EXPECT_EQ(m->Label14[1]->text(), QStringLiteral("-----"));
    ASSERT_GE(m->List5[1]->count(), 2);
    EXPECT_EQ(m->List5[1]->text(0),
              QStringLiteral(" 1③佐藤花子") + FW + QStringLiteral(" 10/   10"));

    // Level 1 by its key.
    QTest::keyClick(m, Qt::Key_1);
    flushDeletes();
    EXPECT_EQ(menu(), nullptr); // the drill closed it
    drill::MainFrm *d = takeDrill();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(s.run.CurrentLevel, 1);

    // Ten problems, one second each.
    for (int problem = 1; problem <= 10 && !finish(); ++problem)
        solveProblem(d);
    flushDeletes();
    records::FrmSyuuryou *f = finish();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(drillWindow(), nullptr);
    EXPECT_EQ(s.run.SolvedCount, 10);
    EXPECT_EQ(s.run.TimeOutFlag, 0);
    const std::int32_t firstTime = s.run.RunTime;
    EXPECT_GE(firstTime, 9);
    EXPECT_LE(firstTime, 11);
    const int firstPoints = records::RunPoints(25, firstTime);
    EXPECT_EQ(f->Label18->text(), QStringLiteral("今の成績：%1秒").arg(firstTime));
    EXPECT_EQ(f->Label19->text(), QStringLiteral("獲得ポイント：%1点×1→%1点").arg(firstPoints));
    EXPECT_EQ(f->Label16->text(), QStringLiteral("ﾚﾍﾞﾙ1"));
    EXPECT_EQ(f->Label17->text(), QStringLiteral("山田太郎"));
    // The first run of the pupil on the level is his best, and the school's.
    EXPECT_EQ(f->Label20->text(), QStringLiteral("！！！最高新記録！！！"));
    EXPECT_EQ(f->Label13->text(), QStringLiteral(" (このレベル　1回目)"));
    std::vector<records::GradeRecord> recs = gradeRecords();
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[2].RecStudent, 1);
    EXPECT_EQ(recs[2].RecLevel, 1);
    EXPECT_EQ(recs[2].RecSeconds, firstTime);
    EXPECT_EQ(recs[2].RecDate, test::dayValue(2026, 12, 9));
    EXPECT_EQ(screens.wait(), nullptr);

    // Once more.
    QObject::disconnect(f->Timer1, &QTimer::timeout, nullptr, nullptr);
    f->Timer1_Timer();
    ASSERT_TRUE(f->Command5->isVisible());
    QTest::mouseClick(f->Command5, Qt::LeftButton);
    flushDeletes();
    EXPECT_EQ(finish(), nullptr);
    d = takeDrill();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(s.run.CurrentLevel, 1);
    EXPECT_EQ(s.run.SolvedCount, 0);

    // A time-out: five times the minimum time of 65 seconds.
    solveProblem(d);
    world.clock.advanceSeconds(5 * 65);
    d->sTimer1_Timer();
    flushDeletes();
    f = finish();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(s.run.TimeOutFlag, 1);
    EXPECT_EQ(f->Label18->text(), QStringLiteral("記録なし"));
    EXPECT_EQ(f->Label19->text(), QStringLiteral("獲得ポイント：0点×1→0点"));
    EXPECT_EQ(f->Label20->text(), QStringLiteral("時間切れ"));
    recs = gradeRecords();
    ASSERT_EQ(recs.size(), 4u);
    EXPECT_EQ(recs[3].RecSeconds, 99999);

    // Back to a new menu: the counts and the ranking include the runs.
    QObject::disconnect(f->Timer1, &QTimer::timeout, nullptr, nullptr);
    f->Timer1_Timer();
    ASSERT_TRUE(f->Command4->isVisible());
    QTest::mouseClick(f->Command4, Qt::LeftButton);
    flushDeletes();
    EXPECT_EQ(finish(), nullptr);
    m = menu();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->MenuReady, 1);
    const QString firstPointsText = QString::number(firstPoints);
    EXPECT_EQ(m->Label14[1]->text(), QStringLiteral("1回/%1点").arg(firstPoints));
    EXPECT_EQ(m->Label15[1]->text(), QStringLiteral("1回/%1点").arg(firstPoints));
    EXPECT_EQ(m->Label18->text(), QStringLiteral("本日総回数＝1回"));
    ASSERT_GT(firstPoints, 10);
    EXPECT_EQ(m->List5[1]->text(0), QStringLiteral(" 1●山田太郎") + FW +
                                        QStringLiteral(" %1/   %1").arg(firstPointsText));
    EXPECT_EQ(m->List5[1]->text(1),
              QStringLiteral(" 2③佐藤花子") + FW + QStringLiteral(" 10/   10"));

    // "戻る(0)" by its key, then out through the program menu.
    QTest::keyClick(m, Qt::Key_0);
    flushDeletes();
    EXPECT_EQ(menu(), nullptr);
    names = nameSelection();
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->Label1->text(), QStringLiteral("名前を選びなさい"));
    QTest::keyClick(names->List1, Qt::Key_0);
    ASSERT_EQ(world.launcher.programs.size(), 1);
    EXPECT_TRUE(world.launcher.programs.front().endsWith(
        QStringLiteral("\\..\\起動\\プログラムメニューc.exe")));
    EXPECT_EQ(world.launcher.arguments.front(), QStringList{QStringLiteral("001")});
    EXPECT_TRUE(world.programExit.requested);
    EXPECT_TRUE(world.dialogs.calls.empty());
}

} // namespace
} // namespace tavoro::menus
