// Every window of a pupil's session at the sizes a school's screens have: 1024 x 768, and
// 1920 x 1080 at a scale factor of 2 (960 x 540 in the windows' own pixels; the test runs a
// second time with QT_SCALE_FACTOR=2). At each size no caption is clipped, every visible
// control has a name for screen readers, and Enter presses every button that has the focus.
// The 1024 x 768 pictures are the README's screenshots (scripts/readme-shots copies them into
// docs/).
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
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tavoro {
namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class WindowSizes : public ::testing::TestWithParam<QSize> {
protected:
    WindowSizes() : screens(*world.state)
    {
        world.state->screens = &screens;
        world.writeGrades(test::MenusWorld::typicalGrades());
        world.start();
    }
    ~WindowSizes() override
    {
        screens.closeAll();
        flushDeletes();
    }

    // Sizes the window, looks at it as a reader and as a screen reader, and keeps a picture.
    void look(QWidget *window, const QString &name)
    {
        ASSERT_NE(window, nullptr) << name.toStdString();
        window->resize(GetParam());
        QApplication::processEvents();
        const QStringList clipped = test::clippedCaptions(window);
        EXPECT_TRUE(clipped.isEmpty())
            << name.toStdString() << ": " << clipped.join(QStringLiteral("; ")).toStdString();
        const QStringList unnamed = test::unnamedControls(window);
        EXPECT_TRUE(unnamed.isEmpty())
            << name.toStdString() << ": " << unnamed.join(QStringLiteral(", ")).toStdString();
        // Enter presses a focused button, as Space does.
        for (const QPushButton *button : window->findChildren<QPushButton *>()) {
            if (button->isVisibleTo(window)) {
                EXPECT_TRUE(button->autoDefault() || button->isDefault())
                    << name.toStdString() << ": " << button->objectName().toStdString();
            }
        }
        const qreal scale = window->devicePixelRatioF();
        test::saveShot(window, QStringLiteral("%1-%2x%3%4")
                                   .arg(name)
                                   .arg(GetParam().width())
                                   .arg(GetParam().height())
                                   .arg(scale > 1 ? QStringLiteral("@%1").arg(scale) : QString()));
    }

    test::MenusWorld world;
    app::AppScreens screens;
};

TEST_P(WindowSizes, NoCaptionIsClippedAndEveryControlIsNamed)
{
    core::AppState &s = *world.state;

    auto *splash = new core::Firstfrm(s, world.inst.programFolder());
    splash->Form_Load();
    splash->Timer1->stop();
    look(splash, QStringLiteral("splash"));
    delete splash;

    core::BASEFRM wait;
    wait.show();
    look(&wait, QStringLiteral("wait"));
    wait.hide();

    core::frmver version(s);
    version.show();
    look(&version, QStringLiteral("version"));
    version.hide();

    screens.showNameSelection();
    auto *names = qobject_cast<menus::namesel *>(screens.nameSelection());
    ASSERT_NE(names, nullptr);
    names->List1->setCurrentRow(2);
    look(names, QStringLiteral("namesel"));

    // 佐藤花子 chooses level 1.
    names->List1->setCurrentRow(-1);
    for (int i = 0; i < names->List1->count(); ++i)
        if (names->List1->text(i).contains(QStringLiteral("佐藤花子")))
            names->List1->setCurrentRow(i);
    names->Command14_Click();
    flushDeletes();
    auto *menu = qobject_cast<menus::seisekitime1 *>(screens.levelMenu());
    ASSERT_NE(menu, nullptr);
    look(menu, QStringLiteral("seisekitime1"));

    QTest::keyClick(menu, Qt::Key_1);
    flushDeletes();
    auto *drill = qobject_cast<drill::MainFrm *>(screens.drill());
    ASSERT_NE(drill, nullptr);
    QObject::disconnect(drill->sTimer1, &QTimer::timeout, nullptr, nullptr);
    QObject::disconnect(drill->sTimer2, &QTimer::timeout, nullptr, nullptr);
    // Seven seconds in, two multiples chosen, a wrong number showing its hint, and the
    // keyboard's focus frame on the next multiple.
    world.clock.advanceSeconds(7);
    drill->sTimer1_Timer();
    const int n = drill->Label2->text().toInt();
    drill->Label1_Click(n + 1);
    drill->Label1_Click(n);
    drill->Label1_Click(2 * n);
    for (int k = 0; k < 3; ++k)
        QTest::keyClick(drill, Qt::Key_Right);
    look(drill, QStringLiteral("MainFrm"));
    EXPECT_EQ(drill->focusedCell(), 3);

    drill->showEndNotice(false);
    look(drill, QStringLiteral("MainFrm-notice"));
    drill->showRecordingWait(false);
    drill->sPicture2->hide();

    // The rest of the run, then the finish screen with its buttons.
    for (int problem = 1; problem <= 10 && !screens.finish(); ++problem) {
        const int base = drill->Label2->text().toInt();
        for (int i = 1; i <= std::min(5, 100 / base) && !screens.finish(); ++i)
            drill->Label1_Click(i * base);
    }
    flushDeletes();
    auto *finish = qobject_cast<records::FrmSyuuryou *>(screens.finish());
    ASSERT_NE(finish, nullptr);
    QObject::disconnect(finish->Timer1, &QTimer::timeout, nullptr, nullptr);
    finish->Timer1_Timer();
    look(finish, QStringLiteral("FrmSyuuryou"));
}

// A teacher's windows: the level menu's own-times view with the graph panel, its password
// panel, the criteria editor and the record browser.
TEST_P(WindowSizes, TeacherWindowsAndTheGraphPanel)
{
    core::AppState &s = *world.state;
    world.listRoster();
    world.login(7, QStringLiteral("★田中先生").leftJustified(20, u' '), QString());
    screens.showLevelMenu();
    flushDeletes();
    auto *menu = qobject_cast<menus::seisekitime1 *>(screens.levelMenu());
    ASSERT_NE(menu, nullptr);
    menu->Option2[2]->setChecked(true);
    menu->Option2_Click(2);
    look(menu, QStringLiteral("seisekitime1-owntimes"));
    menu->Command17_Click();
    look(menu, QStringLiteral("seisekitime1-graph"));
    menu->Command18_Click();
    menu->Command8_Click();
    ASSERT_TRUE(menu->Picture7->isVisible());
    look(menu, QStringLiteral("seisekitime1-password"));

    menu->Text3->setText(s.settings.DataChangePassword.text());
    menu->Command10_Click(1);
    flushDeletes();
    QWidget *editor = screens.criteriaEditor();
    ASSERT_NE(editor, nullptr);
    look(editor, QStringLiteral("FrmTimeData"));
    screens.closeCriteriaEditor();
    flushDeletes();

    screens.showRecordBrowser();
    flushDeletes();
    QWidget *browser = screens.recordBrowser();
    ASSERT_NE(browser, nullptr);
    look(browser, QStringLiteral("FrmData"));
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowSizes,
                         ::testing::Values(QSize(1024, 768), QSize(960, 540), QSize(1920, 1080)),
                         [](const ::testing::TestParamInfo<QSize> &info) {
                             return std::to_string(info.param.width()) + "x" +
                                    std::to_string(info.param.height());
                         });

} // namespace
} // namespace tavoro
