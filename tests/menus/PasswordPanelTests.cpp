// The password panel on the level menu through its controls: opening it, wrong and right
// passwords, the two data functions, and the menu keys while the entry has the focus.
#include "MenusWorld.h"

#include "menus/seisekitime1.h"
#include "support/Shots.h"

#include <QTest>

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

class PasswordPanel : public ::testing::Test {
protected:
    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The menu of the teacher, with the data-change password `password`.
    seisekitime1 *open(const QString &password = QStringLiteral("abc"))
    {
        world.inst.writeCommonData({QStringLiteral("4"), QStringLiteral("12345テスト小学校"),
                                    QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                    password, QStringLiteral("0"), QStringLiteral("0"),
                                    QStringLiteral("0"), QStringLiteral("0")});
        world.writeGrades(test::MenusWorld::typicalGrades());
        world.start();
        world.listRoster();
        world.login(7, QStringLiteral("★田中先生").leftJustified(20, u' '), QString());
        window = new seisekitime1(*world.state);
        window->show();
        window->activateWindow();
        window->Form_Activate();
        world.screens.log.clear();
        return window;
    }

    void openPanel()
    {
        QTest::mouseClick(window->Command8, Qt::LeftButton);
        ASSERT_TRUE(window->Picture7->isVisible());
    }

    QStringList messages() const { return world.dialogs.kindsAndTexts(); }

    test::MenusWorld world;
    seisekitime1 *window = nullptr;
};

TEST_F(PasswordPanel, OpensInFrontWithItsControls)
{
    open();
    EXPECT_FALSE(window->Picture7->isVisible());
    openPanel();
    EXPECT_EQ(window->Label28->text(), QStringLiteral("データ変更パスワード"));
    EXPECT_EQ(window->Command10[0]->text(), QStringLiteral("データ変更"));
    EXPECT_EQ(window->Command10[1]->text(), QStringLiteral("合格タイムデータ変更"));
    EXPECT_EQ(window->Command12->text(), QStringLiteral("戻る"));
    EXPECT_EQ(window->Command10[1]->objectName(), QStringLiteral("Command10_1"));
    EXPECT_EQ(window->designRect(window->Picture7), QRect(4860, 3600, 6045, 3945));
    EXPECT_EQ(window->designRect(window->Command12), QRect(3825, 2115, 1545, 855));
    // In front of every other control of the menu.
    EXPECT_EQ(window->children().last(), window->Picture7);
    EXPECT_EQ(window->Text3->echoMode(), QLineEdit::Password);
    QTest::keyClicks(window->Text3, QStringLiteral("ab"));
    EXPECT_EQ(window->Text3->text(), QStringLiteral("ab"));
    const QImage shot = window->grab().toImage();
    test::saveShot(window, QStringLiteral("menu-password-panel"));
    const QRect panel = window->Picture7->geometry();
    EXPECT_EQ(shot.pixelColor(panel.left() + 4, panel.bottom() - 4), QColor(0, 0xC0, 0));
}

TEST_F(PasswordPanel, AWrongOrEmptyPasswordKeepsThePanelOpen)
{
    open();
    openPanel();
    QTest::mouseClick(window->Command10[0], Qt::LeftButton);
    QTest::keyClicks(window->Text3, QStringLiteral("abd"));
    QTest::mouseClick(window->Command10[1], Qt::LeftButton);
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("message:パスワードを入力して下さい"),
                                       QStringLiteral("message:パスワードを入力して下さい")}));
    EXPECT_TRUE(window->Picture7->isVisible());
    EXPECT_TRUE(world.screens.log.isEmpty()) << world.screens.log.join(u' ').toStdString();
}

TEST_F(PasswordPanel, TheRightPasswordOpensTheRecordBrowserAndClosesTheMenu)
{
    open();
    openPanel();
    QTest::keyClicks(window->Text3, QStringLiteral("abc"));
    QTest::mouseClick(window->Command10[0], Qt::LeftButton);
    EXPECT_TRUE(world.dialogs.calls.empty());
    EXPECT_EQ(world.screens.log,
              (QStringList{QStringLiteral("showRecordBrowser"), QStringLiteral("closeLevelMenu")}));
}

TEST_F(PasswordPanel, TheRightPasswordOpensTheCriteriaEditorAndClosesTheMenu)
{
    open();
    openPanel();
    QTest::keyClicks(window->Text3, QStringLiteral("abc"));
    QTest::mouseClick(window->Command10[1], Qt::LeftButton);
    EXPECT_EQ(world.screens.log, (QStringList{QStringLiteral("showCriteriaEditor"),
                                              QStringLiteral("closeLevelMenu")}));
}

TEST_F(PasswordPanel, APasswordWithDigitsAndZeroIsTypedIntoTheEntry)
{
    open(QStringLiteral("2008"));
    openPanel();
    ASSERT_TRUE(window->Text3->hasFocus());
    QTest::keyClicks(window->Text3, QStringLiteral("2008"));
    EXPECT_EQ(window->Text3->text(), QStringLiteral("2008"));
    // Neither "戻る(0)" nor a level start ran.
    EXPECT_TRUE(world.screens.log.isEmpty()) << world.screens.log.join(u' ').toStdString();
    EXPECT_EQ(world.state->run.CurrentLevel, 0);
    QTest::mouseClick(window->Command10[0], Qt::LeftButton);
    EXPECT_TRUE(world.dialogs.calls.empty());
    EXPECT_EQ(world.screens.log,
              (QStringList{QStringLiteral("showRecordBrowser"), QStringLiteral("closeLevelMenu")}));
}

TEST_F(PasswordPanel, LevelStartsAreIgnoredWhileThePanelIsOpen)
{
    open();
    openPanel();
    ASSERT_TRUE(window->Command4[1]->isEnabled());
    QTest::mouseClick(window->Command4[1], Qt::LeftButton);
    window->Label3_Click(2);
    window->Form_KeyPress(u'3');
    window->Form_KeyPress(u'0');
    QTest::keyClick(window, Qt::Key_3);
    EXPECT_TRUE(world.screens.log.isEmpty()) << world.screens.log.join(u' ').toStdString();
    EXPECT_EQ(world.state->run.CurrentLevel, 0);
}

TEST_F(PasswordPanel, BackHidesThePanelAndTheMenuKeysActAgain)
{
    open();
    openPanel();
    QTest::keyClicks(window->Text3, QStringLiteral("x3"));
    QTest::mouseClick(window->Command12, Qt::LeftButton);
    EXPECT_FALSE(window->Picture7->isVisible());
    EXPECT_TRUE(world.screens.log.isEmpty());
    // The entry keeps its text for the next opening.
    openPanel();
    EXPECT_EQ(window->Text3->text(), QStringLiteral("x3"));
    QTest::mouseClick(window->Command12, Qt::LeftButton);
    QTest::keyClick(window->Command4[1], Qt::Key_3);
    EXPECT_EQ(world.state->run.CurrentLevel, 3);
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("showDrill")));
}

} // namespace
} // namespace tavoro::menus
