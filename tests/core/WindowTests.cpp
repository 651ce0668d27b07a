// The splash, the wait window and the version dialog.
#include "core/AppState.h"
#include "core/Windows.h"
#include "support/Fakes.h"
#include "support/Installation.h"
#include "support/Shots.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavoro;

namespace {

TEST(Firstfrm, ShowsTheEraDateOnTheSeasonColourThenStartsTheProgram)
{
    test::FakeWorld world;
    test::Installation inst;
    inst.writeDefaults();
    world.clock.date = QDate(2026, 2, 3);
    world.clock.seconds = 8 * 3600 + 5;
    auto *splash = new core::Firstfrm(*world.state, inst.programFolder());
    QPointer<core::Firstfrm> alive(splash);
    splash->Form_Load();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->Label5->text(), QStringLiteral("令和8年 2月 03日（火）"));
    EXPECT_EQ(splash->Label1->text(), QStringLiteral("Just a moment, please."));
    ASSERT_TRUE(world.state->settings.SeasonColor);
    EXPECT_EQ(*world.state->settings.SeasonColor, 0x80FFu);
    EXPECT_EQ(splash->palette().color(QPalette::Window), QColor(0xFF, 0x80, 0x00));
    ASSERT_EQ(world.random.seeds.size(), 1u);
    EXPECT_DOUBLE_EQ(world.random.seeds[0], 8 * 3600 + 5);
    EXPECT_TRUE(splash->Timer1->isActive());
    EXPECT_EQ(splash->Timer1->interval(), 100);
    test::saveShot(splash, QStringLiteral("splash"));

    // Nothing is read before the timer fires.
    EXPECT_TRUE(world.state->settings.DataFolder.isEmpty());
    splash->Timer1_Timer();
    EXPECT_FALSE(splash->Timer1->isActive());
    EXPECT_EQ(world.state->settings.SchoolName, QStringLiteral("テスト小学校"));
    EXPECT_EQ(world.screens.log, QStringList{QStringLiteral("showNameSelection")});
    EXPECT_FALSE(splash->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST(Firstfrm, TimerFiresOnItsOwnAfterAHundredMilliseconds)
{
    test::FakeWorld world;
    test::Installation inst;
    inst.writeDefaults();
    auto *splash = new core::Firstfrm(*world.state, inst.programFolder());
    splash->Form_Load();
    QTRY_VERIFY_WITH_TIMEOUT(world.screens.log.contains(QStringLiteral("showNameSelection")), 2000);
}

TEST(BASEFRM, ShowsTheWaitLineInWhiteOnDarkCyan)
{
    core::BASEFRM wait;
    wait.show();
    EXPECT_EQ(wait.Label19->text(), QStringLiteral("Just a moment, please."));
    EXPECT_EQ(wait.palette().color(QPalette::Window), QColor(0x00, 0x80, 0x80));
    EXPECT_EQ(wait.Label19->palette().color(QPalette::WindowText), QColor(Qt::white));
    const QImage img =
        test::saveShot(&wait, QStringLiteral("wait")).isEmpty() ? QImage() : wait.grab().toImage();
    EXPECT_EQ(img.pixelColor(2, 2), QColor(0x00, 0x80, 0x80));
}

TEST(frmver, FillsTitleVersionAndMakerWhenActivated)
{
    test::FakeWorld world;
    world.state->profile.ProgramTitle = QStringLiteral("Tavoro");
    core::frmver dialog(*world.state);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    dialog.show();
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Tavoro"));
    EXPECT_EQ(dialog.Label2->text(), QStringLiteral("Version%1.%2.%3")
                                         .arg(TAVORO_VERSION_MAJOR)
                                         .arg(TAVORO_VERSION_MINOR)
                                         .arg(TAVORO_VERSION_PATCH));
    EXPECT_TRUE(dialog.Label2->text().contains(
        QRegularExpression(QStringLiteral("^Version\\d+\\.\\d+\\.\\d+$"))));
    EXPECT_EQ(dialog.Label4->text(), QStringLiteral("Quillbrook"));
    EXPECT_FALSE(dialog.Label5->text().isEmpty());
    EXPECT_EQ(dialog.Command1->text(), QStringLiteral("O.K."));
    EXPECT_FALSE(dialog.Command2->isVisible());
    test::saveShot(&dialog, QStringLiteral("version"));
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
