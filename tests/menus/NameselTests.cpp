// The name selection window through its controls: the four display modes, the filter,
// choosing and confirming a name by click, double click and keys, O.K. without a name, the
// version dialog, leaving through the program menu, and the roster's error messages.
#include "MenusWorld.h"

#include "menus/NameList.h"
#include "menus/namesel.h"
#include "platform/Paths.h"
#include "support/Shots.h"

#include <QAccessible>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace tavoro::menus {
namespace {

const QString FW = QStringLiteral("　");

class Namesel : public ::testing::Test {
protected:
    void SetUp() override { world.writeGrades(test::MenusWorld::typicalGrades()); }

    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    namesel *open()
    {
        world.start();
        window = new namesel(*world.state);
        window->show();
        window->Form_Activate();
        return window;
    }

    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < window->List1->count(); ++i)
            out << window->List1->text(i);
        return out;
    }

    int rowOf(const QString &name) const
    {
        for (int i = 1; i < window->List1->count(); ++i)
            if (window->List1->text(i).contains(name))
                return i;
        return -1;
    }

    bool played(const QString &file) const
    {
        for (const QString &p : world.sound.played)
            if (p.endsWith(file))
                return true;
        return false;
    }

    test::MenusWorld world;
    namesel *window = nullptr;
};

TEST_F(Namesel, LoadShowsModeZeroAndActivationModeOne)
{
    world.start();
    window = new namesel(*world.state);
    // Loaded: mode 0, the oldest pupils first.
    QStringList r = rows();
    ASSERT_EQ(r.size(), 8);
    EXPECT_EQ(r.at(0), QStringLiteral("－－－－－－"));
    EXPECT_EQ(r.at(1), QStringLiteral("大+ ★田中先生") + FW + QStringLiteral("     /     ") + FW);
    EXPECT_EQ(r.at(2),
              QStringLiteral("高1 伊藤健") + FW + FW + FW + QStringLiteral("     /     ") + FW);
    EXPECT_EQ(r.at(rowOf(QStringLiteral("山田太郎"))),
              QStringLiteral("小3 山田太郎") + FW + FW + QStringLiteral("  3回/   25回"));
    EXPECT_EQ(r.at(7), QStringLiteral("幼3 田中ゆい") + QString(4, QChar(0x3000)) +
                           QStringLiteral("     /     ") + FW);
    EXPECT_EQ(window->Label4->text(), QStringLiteral("Tavoro"));
    EXPECT_FALSE(window->Picture5->isVisible());

    window->show();
    window->Form_Activate();
    EXPECT_EQ(window->DisplayMode, 1);
    EXPECT_TRUE(window->Option1[1]->isChecked());
    EXPECT_EQ(rows().at(rowOf(QStringLiteral("山田太郎"))),
              QStringLiteral("小3 山田太郎") + FW + FW + QStringLiteral("  12/    100"));
    EXPECT_EQ(rows().at(rowOf(QStringLiteral("佐藤花子"))),
              QStringLiteral("小3 佐藤花子") + FW + FW + QStringLiteral("  10/     10"));
    EXPECT_EQ(window->Label1->text(), QStringLiteral("名前を選びなさい"));
    EXPECT_EQ(world.state->roster.GradeFilter, QStringLiteral("全学年"));
    ASSERT_EQ(window->Combo1->count(), 12);
    EXPECT_EQ(window->Combo1->currentText(), QStringLiteral("全学年"));
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("closeLevelMenu")));
    EXPECT_EQ(world.state->roster.RosterCount, 7);
    EXPECT_EQ(window->List1->currentRow(), 0);
}

TEST_F(Namesel, DisplayModesTwoAndThree)
{
    open();
    QTest::mouseClick(window->Option1[2], Qt::LeftButton);
    EXPECT_EQ(window->DisplayMode, 2);
    EXPECT_EQ(rows().at(rowOf(QStringLiteral("山田太郎"))),
              QStringLiteral("小3 山田太郎") + FW + FW + QStringLiteral("  12/  3回"));
    EXPECT_EQ(rows().at(1), QStringLiteral("大+ ★田中先生") + FW + QStringLiteral("  ") + FW +
                                QStringLiteral("/     "));
    QTest::mouseClick(window->Option1[3], Qt::LeftButton);
    EXPECT_EQ(rows().at(rowOf(QStringLiteral("山田太郎"))),
              QStringLiteral("小3 山田太郎") + FW + FW + QStringLiteral("    100/   25回"));
    QTest::mouseClick(window->Option1[0], Qt::LeftButton);
    EXPECT_EQ(rows().at(rowOf(QStringLiteral("佐藤花子"))),
              QStringLiteral("小3 佐藤花子") + FW + FW + QStringLiteral("  2回/    2回"));
}

TEST_F(Namesel, FilterNarrowsTheListToItsGrades)
{
    open();
    window->Combo1->setCurrentText(QStringLiteral("小学生全体"));
    window->Combo1_Click();
    EXPECT_EQ(world.state->roster.GradeFilter, QStringLiteral("小学生全体"));
    QStringList r = rows();
    ASSERT_EQ(r.size(), 4);
    EXPECT_TRUE(r.at(1).startsWith(QStringLiteral("小3 ")));
    EXPECT_TRUE(r.at(2).startsWith(QStringLiteral("小3 ")));
    EXPECT_TRUE(r.at(3).startsWith(QStringLiteral("小1 鈴木一郎")));
    // Every listed pupil still takes part in the rankings.
    EXPECT_EQ(world.state->roster.RosterCount, 7);
    EXPECT_EQ(window->shownRows().numbers.size(), 3u);

    window->Combo1->setCurrentText(QStringLiteral("中１"));
    window->Combo1_Click();
    r = rows();
    ASSERT_EQ(r.size(), 2);
    EXPECT_TRUE(r.at(1).startsWith(QStringLiteral("中1 高橋次郎")));
}

TEST_F(Namesel, JanuaryKeepsThePupilsInTheirSchoolYear)
{
    world.clock.date = QDate(2027, 1, 15);
    open();
    EXPECT_EQ(world.state->roster.SchoolYear, 2026);
    EXPECT_GE(rowOf(QStringLiteral("小3 山田太郎")), 1);
    world.clock.date = QDate(2027, 4, 2);
    window->Form_Activate();
    EXPECT_EQ(world.state->roster.SchoolYear, 2027);
    EXPECT_GE(rowOf(QStringLiteral("小4 山田太郎")), 1);
}

TEST_F(Namesel, ClickShowsTheNameAndOkConfirmsIt)
{
    open();
    const int row = rowOf(QStringLiteral("山田太郎"));
    QTest::mouseClick(window->List1->viewport(), Qt::LeftButton, {},
                      window->List1->rowRect(row).center());
    EXPECT_EQ(window->Label1->text(), QStringLiteral("小3 山田太郎") + FW + FW);
    EXPECT_EQ(window->Label2->text(), QStringLiteral("1"));

    // The first row takes the choice back but leaves the number.
    window->List1->setCurrentRow(0);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("名前を選びなさい"));
    window->List1->setCurrentRow(row);

    world.clock.seconds = 10 * 3600 + 5.6;
    QTest::mouseClick(window->Command14, Qt::LeftButton);
    EXPECT_EQ(world.state->pupil.CurrentStudent, 1);
    EXPECT_EQ(world.state->pupil.StudentName, QStringLiteral("山田太郎").leftJustified(20, u' '));
    EXPECT_EQ(world.state->pupil.CurrentGradeCode, QStringLiteral("小３"));
    EXPECT_EQ(world.state->pupil.LoginTime, 10 * 3600 + 6);
    EXPECT_FALSE(window->Command14->isVisible());
    EXPECT_TRUE(window->Picture5->isVisible());
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("showLevelMenu")));
    EXPECT_EQ(world.state->profile.LevelNames[7], QStringLiteral("混合"));
    EXPECT_TRUE(world.sound.played.isEmpty());
}

TEST_F(Namesel, DoubleClickConfirmsAtOnce)
{
    open();
    const QRect row = window->List1->rowRect(rowOf(QStringLiteral("佐藤花子")));
    QTest::mouseClick(window->List1->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(window->List1->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(window->Label1->text(),
              QStringLiteral("小3 佐藤花子") + FW + FW + QStringLiteral("  10"));
    EXPECT_EQ(world.state->pupil.CurrentStudent, 2);
    EXPECT_EQ(world.screens.log.count(QStringLiteral("showLevelMenu")), 1);
}

TEST_F(Namesel, DoubleClickOnTheFirstRowOnlyAsks)
{
    open();
    window->List1->setCurrentRow(0);
    window->List1_DblClick();
    EXPECT_EQ(window->Label1->text(), QStringLiteral("名前を選びなさい"));
    EXPECT_FALSE(world.screens.log.contains(QStringLiteral("showLevelMenu")));
    EXPECT_TRUE(world.sound.played.isEmpty());
}

TEST_F(Namesel, OkWithoutANamePlaysTheWrongCueOnly)
{
    open();
    const auto pupilBefore = world.state->pupil.CurrentStudent;
    QTest::mouseClick(window->Command14, Qt::LeftButton);
    ASSERT_EQ(world.sound.played.size(), 1);
    EXPECT_TRUE(played(QStringLiteral("machigai1.wav")));
    EXPECT_FALSE(world.screens.log.contains(QStringLiteral("showLevelMenu")));
    EXPECT_TRUE(window->Command14->isVisible());
    EXPECT_EQ(world.state->pupil.CurrentStudent, pupilBefore);

    // The key "1" does the same.
    QTest::keyClick(window->List1, Qt::Key_1);
    EXPECT_EQ(world.sound.played.size(), 2);
    EXPECT_FALSE(world.screens.log.contains(QStringLiteral("showLevelMenu")));
}

TEST_F(Namesel, KeysOneSpaceAndEnterConfirm)
{
    open();
    window->List1->setFocus();
    window->List1->setCurrentRow(rowOf(QStringLiteral("鈴木一郎")));
    QTest::keyClick(window->List1, Qt::Key_Space);
    EXPECT_EQ(world.state->pupil.CurrentStudent, 3);

    window->Command14->show();
    window->List1->setCurrentRow(rowOf(QStringLiteral("高橋次郎")));
    QTest::keyClick(window->List1, Qt::Key_Return);
    EXPECT_EQ(world.state->pupil.CurrentStudent, 4);

    window->Command14->show();
    window->List1->setCurrentRow(rowOf(QStringLiteral("佐藤花子")));
    QTest::keyClick(window->Combo1, Qt::Key_1); // the window sees the key first
    EXPECT_EQ(world.state->pupil.CurrentStudent, 2);
    EXPECT_EQ(world.screens.log.count(QStringLiteral("showLevelMenu")), 3);
}

TEST_F(Namesel, KeyZeroStartsTheProgramMenuAndEnds)
{
    open();
    QTest::keyClick(window->List1, Qt::Key_0);
    ASSERT_EQ(world.launcher.programs.size(), 1);
    QString folder = world.state->settings.AppFolder;
    folder.chop(1);
    EXPECT_EQ(world.launcher.programs.front(),
              folder + QStringLiteral("\\..\\起動\\プログラムメニューc.exe"));
    EXPECT_EQ(world.launcher.arguments.front(), QStringList{QStringLiteral("001")});
    EXPECT_TRUE(world.programExit.requested);
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("closeAll")));
}

TEST_F(Namesel, FailedLauncherIsReportedAndTheProgramStillEnds)
{
    open();
    world.launcher.succeed = false;
    ::testing::internal::CaptureStderr();
    QTest::mouseClick(window->Command7, Qt::LeftButton);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(QString::fromLocal8Bit(err.c_str())
                  .indexOf(QStringLiteral("プログラムメニューを起動できません")),
              -1)
        << err;
    EXPECT_NE(err.find("cannot start"), std::string::npos);
    EXPECT_TRUE(world.programExit.requested);
    EXPECT_TRUE(world.dialogs.calls.empty());
}

TEST_F(Namesel, VersionDialogThenModeOneAndEveryGradeAgain)
{
    open();
    QTest::mouseClick(window->Option1[3], Qt::LeftButton);
    window->Combo1->setCurrentText(QStringLiteral("小３"));
    window->Combo1_Click();
    world.screens.log.clear();

    QTest::mouseClick(window->Label4, Qt::LeftButton);
    core::frmver *dialog = window->versionDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->Label1->text(), QStringLiteral("Tavoro"));
    EXPECT_EQ(dialog->Label2->text(), core::VersionText());
    EXPECT_EQ(dialog->Label4->text(), QStringLiteral("Quillbrook"));
    test::saveShot(dialog, QStringLiteral("frmver"));

    dialog->Command1_Click();
    EXPECT_EQ(window->DisplayMode, 1);
    EXPECT_TRUE(window->Option1[1]->isChecked());
    EXPECT_EQ(world.state->roster.GradeFilter, QStringLiteral("全学年"));
    EXPECT_EQ(window->Combo1->currentText(), QStringLiteral("全学年"));
    EXPECT_EQ(window->Combo1->count(), 12);
    EXPECT_EQ(rows().size(), 8);
    EXPECT_EQ(rows().at(rowOf(QStringLiteral("山田太郎"))),
              QStringLiteral("小3 山田太郎") + FW + FW + QStringLiteral("  12/    100"));
    EXPECT_TRUE(world.screens.log.contains(QStringLiteral("closeLevelMenu")));
}

TEST_F(Namesel, StateTwoListedWhenTheRosterSwitchIsOn)
{
    world.inst.writeRoster({QStringLiteral("1,2017,0,0,あおき,0,,"),
                            QStringLiteral("2,2017,0,0,いとう,2,,"),
                            QStringLiteral("3,2017,0,0,うえだ,1,,")});
    open();
    EXPECT_EQ(rows().size(), 2);
    delete window;
    window = nullptr;

    world.inst.writeCommonData({QStringLiteral("4"), QStringLiteral("12345テスト小学校"),
                                QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("0"), QStringLiteral("0")});
    open();
    EXPECT_EQ(rows().size(), 3);
    EXPECT_GE(rowOf(QStringLiteral("いとう")), 1);
    EXPECT_EQ(rowOf(QStringLiteral("うえだ")), -1);
}

TEST_F(Namesel, FaultyRosterLinesAreNamedAndTheOthersListed)
{
    world.inst.writeRoster(
        {QStringLiteral("1,2017,0,0,あおき,0,,"), QStringLiteral("2,2017,0,0,いとう"),
         QStringLiteral("6000,2017,0,0,うえだ,0,,"), QStringLiteral("4,2017,0,0,えのき,0,,")});
    open();
    ASSERT_EQ(world.dialogs.calls.size(), 1); // once, not at every display
    const QString text = world.dialogs.calls.front().text;
    EXPECT_NE(
        text.indexOf(platform::localPath(world.inst.dataFolder() + QStringLiteral("新名簿.txt"))),
        -1)
        << text.toStdString();
    EXPECT_NE(text.indexOf(QStringLiteral("2 行目")), -1) << text.toStdString();
    EXPECT_NE(text.indexOf(QStringLiteral("3 行目")), -1) << text.toStdString();
    EXPECT_EQ(text.indexOf(QStringLiteral("1 行目")), -1) << text.toStdString();
    EXPECT_EQ(rows().size(), 3);
    EXPECT_GE(rowOf(QStringLiteral("あおき")), 1);
    EXPECT_GE(rowOf(QStringLiteral("えのき")), 1);
}

TEST_F(Namesel, RosterProblemsAreShownOnceAProgramRunAndAReusedNumberShowsTheNewPupil)
{
    world.inst.writeRoster({QStringLiteral("1,2017,0,0,あおき,0,,"),
                            QStringLiteral("2,2017,0,0,いとう,0,,,"), // a trailing comma: fine
                            QStringLiteral("1,2016,0,0,かとう,0,,")});  // number 1 again
    open();
    ASSERT_EQ(world.dialogs.calls.size(), 1);
    EXPECT_NE(world.dialogs.calls.front().text.indexOf(QStringLiteral("3 行目")), -1);
    EXPECT_EQ(world.dialogs.calls.front().text.indexOf(QStringLiteral("2 行目")), -1);
    EXPECT_EQ(rows().size(), 3);
    EXPECT_EQ(rowOf(QStringLiteral("あおき")), -1);
    const int row = rowOf(QStringLiteral("かとう"));
    ASSERT_GE(row, 1);
    window->List1->setCurrentRow(row);
    EXPECT_EQ(window->Label2->text(), QStringLiteral("1"));
    EXPECT_EQ(world.state->roster.StudentNames[1].trimmed(), QStringLiteral("かとう"));

    // Back from the level menu: a new name selection, and no message again.
    delete window;
    window = new namesel(*world.state);
    window->show();
    window->Form_Activate();
    EXPECT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(rows().size(), 3);
}

TEST_F(Namesel, MissingRosterIsReported)
{
    QFile::remove(world.inst.dataFolder() + QStringLiteral("新名簿.txt"));
    open();
    ASSERT_EQ(world.dialogs.calls.size(), 1);
    EXPECT_NE(world.dialogs.calls.front().text.indexOf(QStringLiteral("名簿ファイルがありません")),
              -1);
    EXPECT_NE(world.dialogs.calls.front().text.indexOf(QStringLiteral("新名簿.txt")), -1);
    EXPECT_EQ(rows(), QStringList{QStringLiteral("－－－－－－")});
    QTest::mouseClick(window->Command14, Qt::LeftButton);
    EXPECT_TRUE(played(QStringLiteral("machigai1.wav")));
}

TEST_F(Namesel, ScreenReadersSeeTheRowsAndButtons)
{
    open();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(window->List1);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->childCount(), window->List1->count());
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), window->List1->text(1));
    QAccessibleInterface *ok = QAccessible::queryAccessibleInterface(window->Command14);
    EXPECT_EQ(ok->text(QAccessible::Name), QStringLiteral("O.K."));
    QAccessibleInterface *leave = QAccessible::queryAccessibleInterface(window->Command7);
    EXPECT_EQ(leave->text(QAccessible::Name), QStringLiteral("ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)"));
    QAccessibleInterface *prompt = QAccessible::queryAccessibleInterface(window->Label1);
    EXPECT_EQ(prompt->text(QAccessible::Name), QStringLiteral("名前を選びなさい"));
}

TEST_F(Namesel, Shots)
{
    world.state->settings.SeasonColor = 0xC0FFC0;
    open();
    window->List1->setCurrentRow(rowOf(QStringLiteral("山田太郎")));
    window->resize(1024, 768);
    test::saveShot(window, QStringLiteral("namesel_1024x768"));
    window->resize(1920, 1080);
    test::saveShot(window, QStringLiteral("namesel_1920x1080"));
    QTest::mouseClick(window->Option1[0], Qt::LeftButton);
    window->List1->setCurrentRow(rowOf(QStringLiteral("田中ゆい")));
    test::saveShot(window, QStringLiteral("namesel_mode0_1920x1080"));
}

} // namespace
} // namespace tavoro::menus
