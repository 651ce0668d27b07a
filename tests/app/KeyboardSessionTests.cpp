// The pupil's loop without a mouse, through the program's real windows on the offscreen
// platform: every key goes to the control that has the focus, as a keyboard sends it. On the
// way, every window met is walked the way a screen reader walks it: each visible control
// must have a name to announce.
#include "menus/MenusWorld.h"
#include "support/Accessibility.h"
#include "support/Shots.h"

#include "app/AppScreens.h"
#include "core/Windows.h"
#include "drill/MainFrm.h"
#include "menus/namesel.h"
#include "menus/seisekitime1.h"
#include "records/FrmSyuuryou.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace tavoro {
namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class KeyboardSession : public ::testing::Test {
protected:
    KeyboardSession() : screens(*world.state)
    {
        world.state->screens = &screens;
        world.writeGrades(test::MenusWorld::typicalGrades());
    }
    ~KeyboardSession() override
    {
        screens.closeAll();
        flushDeletes();
    }

    menus::namesel *nameSelection() const
    {
        return qobject_cast<menus::namesel *>(screens.nameSelection());
    }
    menus::seisekitime1 *menu() const
    {
        return qobject_cast<menus::seisekitime1 *>(screens.levelMenu());
    }
    drill::MainFrm *drillWindow() const { return qobject_cast<drill::MainFrm *>(screens.drill()); }
    records::FrmSyuuryou *finish() const
    {
        return qobject_cast<records::FrmSyuuryou *>(screens.finish());
    }

    // The control that has the focus in the active window: where a key goes.
    static QWidget *focused()
    {
        QApplication::processEvents();
        return QApplication::focusWidget();
    }

    static void press(Qt::Key key, const QString &where)
    {
        QWidget *target = focused();
        ASSERT_NE(target, nullptr) << "no focus in " << where.toStdString();
        QTest::keyClick(target, key);
    }

    static void expectAllNamed(QWidget *window)
    {
        const QStringList unnamed = test::unnamedControls(window);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
    }

    // Moves the drill's focus frame to `cell` with the arrow keys and chooses it with Enter
    // or, every other time, Space.
    void choose(drill::MainFrm *d, int cell)
    {
        if (d->focusedCell() == 0)
            press(Qt::Key_Down, QStringLiteral("MainFrm")); // shows the frame at 1
        const int row = (cell - 1) / 10, column = (cell - 1) % 10;
        while ((d->focusedCell() - 1) / 10 < row)
            press(Qt::Key_Down, QStringLiteral("MainFrm"));
        while ((d->focusedCell() - 1) / 10 > row)
            press(Qt::Key_Up, QStringLiteral("MainFrm"));
        while ((d->focusedCell() - 1) % 10 < column)
            press(Qt::Key_Right, QStringLiteral("MainFrm"));
        while ((d->focusedCell() - 1) % 10 > column)
            press(Qt::Key_Left, QStringLiteral("MainFrm"));
        ASSERT_EQ(d->focusedCell(), cell);
        press(++m_chosen % 2 ? Qt::Key_Return : Qt::Key_Space, QStringLiteral("MainFrm"));
    }

    test::MenusWorld world;
    app::AppScreens screens;
    int m_chosen = 0;
};

TEST_F(KeyboardSession, NameSelectionRunFinishScreenAndBackWithoutAMouse)
{
    core::AppState &s = *world.state;
    auto *splash = new core::Firstfrm(s, world.inst.programFolder());
    splash->Form_Load();
    expectAllNamed(splash);
    splash->Timer1_Timer();
    flushDeletes();

    // The name selection: the list has the focus; down to 佐藤花子, Tab to O.K., Enter.
    menus::namesel *names = nameSelection();
    ASSERT_NE(names, nullptr);
    expectAllNamed(names);
    ASSERT_EQ(focused(), names->List1);
    int row = -1;
    for (int i = 0; i < names->List1->count(); ++i)
        if (names->List1->text(i).contains(QStringLiteral("佐藤花子")))
            row = i;
    ASSERT_GT(row, 0);
    while (names->List1->currentRow() < row)
        press(Qt::Key_Down, QStringLiteral("namesel"));
    for (int i = 0; i < 10 && focused() != names->Command14; ++i)
        press(Qt::Key_Tab, QStringLiteral("namesel"));
    ASSERT_EQ(focused(), names->Command14);
    press(Qt::Key_Return, QStringLiteral("namesel"));
    flushDeletes();

    // The level menu: Tab to the start button of level 1 (the level's key "1" would do as
    // well), Enter starts it.
    menus::seisekitime1 *m = menu();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(s.pupil.CurrentStudent, 2);
    expectAllNamed(m);
    for (int i = 0; i < 100 && focused() != m->Command4[1]; ++i)
        press(Qt::Key_Tab, QStringLiteral("seisekitime1"));
    ASSERT_EQ(focused(), m->Command4[1]);
    press(Qt::Key_Return, QStringLiteral("seisekitime1"));
    flushDeletes();

    // The drill: ten problems chosen with the arrow keys and Enter or Space, one wrong
    // number among them.
    drill::MainFrm *d = drillWindow();
    ASSERT_NE(d, nullptr);
    QObject::disconnect(d->sTimer1, &QTimer::timeout, nullptr, nullptr);
    QObject::disconnect(d->sTimer2, &QTimer::timeout, nullptr, nullptr);
    ASSERT_EQ(focused(), d);
    expectAllNamed(d);
    EXPECT_EQ(d->sPicture1->accessibleName(), QStringLiteral("残り 10 問、タイム 0 秒"));
    for (int problem = 1; problem <= 10 && !finish(); ++problem) {
        world.clock.advanceSeconds(1);
        d->sTimer1_Timer();
        const int n = d->Label2->text().toInt();
        ASSERT_GT(n, 0);
        if (problem == 3) {
            choose(d, n + 1); // not a multiple: a hint and ten seconds
            EXPECT_TRUE(d->Picture1->isVisible());
            EXPECT_TRUE(d->Label5[1]->isVisible());
            expectAllNamed(d);
        }
        const int count = std::min(5, 100 / n);
        for (int i = 1; i <= count; ++i) {
            choose(d, i * n);
            if (i < count) {
                EXPECT_FALSE(d->Label1[i * n]->isEnabled()); // chosen: white
            }
        }
        if (problem == 5) {
            EXPECT_EQ(d->sPicture1->accessibleName(),
                      QStringLiteral("残り 5 問、タイム %1 秒").arg(d->sLabel10->text()));
        }
    }
    flushDeletes();

    // The finish screen: "メニューへ" has the focus once it shows; Enter takes it.
    records::FrmSyuuryou *f = finish();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(s.run.SolvedCount, 10);
    EXPECT_EQ(s.run.TimeOutFlag, 0);
    QObject::disconnect(f->Timer1, &QTimer::timeout, nullptr, nullptr);
    f->Timer1_Timer();
    expectAllNamed(f);
    ASSERT_EQ(focused(), f->Command4);
    press(Qt::Key_Return, QStringLiteral("FrmSyuuryou"));
    flushDeletes();

    // Back in a new level menu, "戻る(0)" by its key leads to the name selection.
    m = menu();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Label18->text(), QStringLiteral("本日総回数＝3回")); // two before today's

    QTest::keyClick(focused(), Qt::Key_0);
    flushDeletes();
    names = nameSelection();
    ASSERT_NE(names, nullptr);
    EXPECT_TRUE(names->isVisible());
    EXPECT_EQ(focused(), names->List1);
    EXPECT_TRUE(world.dialogs.calls.empty());
}

} // namespace
} // namespace tavoro
