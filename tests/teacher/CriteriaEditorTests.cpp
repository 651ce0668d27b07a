// The criteria editor through its controls: the grid and its edit box, the keys, saving,
// reloading, leaving, and the distributions beside the grid.
#include "menus/MenusWorld.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "support/PostedInput.h"
#include "support/ReadOnly.h"
#include "support/Shots.h"
#include "teacher/FrmTimeData.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace tavoro::teacher {
namespace {

const QColor kYellow(255, 255, 0);
const QString kCriteriaFile = QStringLiteral("data/Tavoro/タイム回数データ.txt");

class Editor : public ::testing::Test {
protected:
    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FrmTimeData *open()
    {
        world.start();
        window = new FrmTimeData(*world.state);
        window->show();
        window->activateWindow();
        window->Form_Activate();
        return window;
    }

    QString cell(int row, int col) const
    {
        const QTableWidgetItem *item = window->MSFlexGrid1->item(row, col);
        return item ? item->text() : QString();
    }

    bool yellow(int row, int col) const
    {
        const QTableWidgetItem *item = window->MSFlexGrid1->item(row, col);
        return item && item->background().color() == kYellow;
    }

    QPoint current() const
    {
        return {window->MSFlexGrid1->currentRow(), window->MSFlexGrid1->currentColumn()};
    }

    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(window->Gridinputtext, k, m);
    }

    QString fileText() const { return platform::fromCp932(world.inst.readBytes(kCriteriaFile)); }

    test::MenusWorld world;
    FrmTimeData *window = nullptr;
};

TEST_F(Editor, TheGridOfTheCriteriaFile)
{
    std::vector<records::GradeRecord> runs;
    for (int i = 0; i < 25; ++i)
        runs.push_back(test::gradeRecord(1 + i % 5, 1, 40 + i % 10));
    world.writeGrades(runs);
    open();
    QTableWidget *grid = window->MSFlexGrid1;
    EXPECT_EQ(grid->columnCount(), 13);
    EXPECT_EQ(grid->rowCount(), 8);
    EXPECT_EQ(window->LevelLineCount, 7);
    EXPECT_EQ(cell(0, 0), QStringLiteral("レベル"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("目標Time"));
    EXPECT_EQ(cell(0, 9), QStringLiteral("禁期間"));
    EXPECT_EQ(cell(0, 10), QString());
    EXPECT_EQ(cell(3, 0), QStringLiteral("3"));
    EXPECT_EQ(cell(3, 1), QStringLiteral("35"));
    EXPECT_EQ(cell(3, 2), QStringLiteral("75"));
    EXPECT_EQ(cell(7, 8), QStringLiteral("7"));
    EXPECT_EQ(current(), QPoint(1, 1));
    EXPECT_TRUE(window->Gridinputtext->isVisible());
    EXPECT_TRUE(window->Gridinputtext->hasFocus());
    EXPECT_EQ(window->Gridinputtext->text(), QStringLiteral("25"));
    EXPECT_EQ(window->Gridinputtext->geometry().topLeft(),
              grid->geometry().topLeft() + grid->viewport()->pos() +
                  grid->visualItemRect(grid->item(1, 1)).topLeft());
    EXPECT_EQ(window->Label3->text(),
              QStringLiteral("合格基準タイム\n"
                             "　大部分の人ががんばったら出せそうなタイムにしてください"));
    EXPECT_EQ(window->Label1->text(),
              QStringLiteral("スペース：セルクリア　　Shift + ↓：セルコピー"));
    EXPECT_EQ(window->List3->text(0), QStringLiteral("レベル1 今まで25回  （★=2）"));
    EXPECT_EQ(window->List3->text(5), QStringLiteral("  40～★★★★★★★★★★★★★"));
    EXPECT_EQ(window->List3->count(), 102);
    EXPECT_EQ(window->List4->text(0), QStringLiteral("レベル1 （★=1）"));
    EXPECT_EQ(window->List4->text(5), QStringLiteral("  40～★★★★★"));
    EXPECT_EQ(window->DataChanged, 0);
    test::saveShot(window, QStringLiteral("criteria-editor"));
}

TEST_F(Editor, ArrowKeysMoveTheEditBoxAndTheExplanation)
{
    open();
    key(Qt::Key_Up);
    key(Qt::Key_Left);
    EXPECT_EQ(current(), QPoint(1, 1));
    key(Qt::Key_Right);
    EXPECT_EQ(current(), QPoint(1, 2));
    EXPECT_EQ(window->Gridinputtext->text(), QStringLiteral("65"));
    EXPECT_EQ(window->Label3->text(),
              QStringLiteral("合格最低ラインタイム\n  この５倍が時間切れになります"));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(current(), QPoint(3, 2));
    EXPECT_EQ(window->Gridinputtext->text(), QStringLiteral("75"));
    EXPECT_EQ(window->DistributionLevel, 3);
    EXPECT_EQ(window->List3->text(0), QStringLiteral("レベル3 今まで0回  （★=1）"));
    for (int i = 0; i < 20; ++i)
        key(Qt::Key_Right);
    EXPECT_EQ(current(), QPoint(3, 12));
    EXPECT_EQ(window->Label3->text(), QString());
    for (int i = 0; i < 10; ++i)
        key(Qt::Key_Down);
    EXPECT_EQ(current(), QPoint(7, 12));
    key(Qt::Key_Return);
    key(Qt::Key_Escape);
    EXPECT_EQ(current(), QPoint(7, 12));
    EXPECT_EQ(window->DataChanged, 0);
    // A click on a cell; the fixed heading row and level column take none.
    QTableWidget *grid = window->MSFlexGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(5, 6)).center());
    EXPECT_EQ(current(), QPoint(5, 6));
    EXPECT_EQ(window->Label3->text(),
              QStringLiteral("やりすぎ禁止回数\n  何回やったらやりすぎ禁止にするか\n  "));
    window->MSFlexGrid1_Click(0, 3);
    window->MSFlexGrid1_Click(2, 0);
    EXPECT_EQ(current(), QPoint(5, 6));
}

TEST_F(Editor, TypingSpaceAndCopyDown)
{
    open();
    // Typing goes to the end of the cell's text and into the cell at once.
    QTest::keyClicks(window->Gridinputtext, QStringLiteral("5"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("255"));
    EXPECT_TRUE(yellow(1, 1));
    EXPECT_EQ(window->DataChanged, 1);
    // Space empties the cell.
    key(Qt::Key_Down);
    EXPECT_FALSE(yellow(2, 1));
    QTest::keyClick(window->Gridinputtext, Qt::Key_Space);
    EXPECT_EQ(cell(2, 1), QString());
    EXPECT_EQ(window->Gridinputtext->text(), QString());
    EXPECT_TRUE(yellow(2, 1));
    QTest::keyClicks(window->Gridinputtext, QStringLiteral("44"));
    EXPECT_EQ(cell(2, 1), QStringLiteral("44"));
    // Shift+↓ twice from row 3 copies into rows 4 and 5; the current cell stays.
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    EXPECT_EQ(current(), QPoint(3, 2));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(current(), QPoint(3, 2));
    EXPECT_EQ(cell(3, 2), QStringLiteral("75"));
    EXPECT_EQ(cell(4, 2), QStringLiteral("75"));
    EXPECT_EQ(cell(5, 2), QStringLiteral("75"));
    EXPECT_EQ(cell(6, 2), QStringLiteral("90"));
    EXPECT_TRUE(yellow(4, 2));
    // At the last row the copy stops.
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(current(), QPoint(7, 2));
    test::saveShot(window, QStringLiteral("criteria-editor-edited"));
}

// Keys typed while the edit box's handling of a key lets events run (GridToText転送) wait
// for it: each goes in after the one before it.
struct FastTyping {
    const char *name;
    QString first;           // the key handled
    std::vector<Qt::Key> queued; // the keys typed meanwhile
    QString queuedText;
    QString cell11;    // row 1, column 1 afterwards
    QString cell12add; // what column 2 of row 1 gains
};

class EditorTyping : public Editor, public ::testing::WithParamInterface<FastTyping> {};

TEST_P(EditorTyping, KeysTypedDuringAKeyComeAfterIt)
{
    const FastTyping &c = GetParam();
    open();
    const QString before12 = cell(1, 2);
    QTest::keyClick(window->Gridinputtext, Qt::Key_Space); // an empty cell
    for (std::size_t i = 0; i < c.queued.size(); ++i)
        test::postKey(window->Gridinputtext, c.queued[i],
                      c.queuedText.mid(qsizetype(i), 1).trimmed());
    QTest::keyClicks(window->Gridinputtext, c.first);
    QCoreApplication::processEvents();
    EXPECT_EQ(cell(1, 1), c.cell11);
    EXPECT_EQ(cell(1, 2), before12 + c.cell12add);
    EXPECT_EQ(window->Gridinputtext->text(), c.cell12add.isEmpty() ? c.cell11 : before12 + c.cell12add);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditorTyping,
    ::testing::Values(
        FastTyping{"TwoDigits", QStringLiteral("4"), {Qt::Key_5}, QStringLiteral("5"),
                   QStringLiteral("45"), QString()},
        FastTyping{"ThreeDigits", QStringLiteral("1"), {Qt::Key_2, Qt::Key_3},
                   QStringLiteral("23"), QStringLiteral("123"), QString()},
        // An arrow typed meanwhile moves on after the digit; the next digit goes into the
        // cell to the right.
        FastTyping{"DigitArrowDigit", QStringLiteral("7"), {Qt::Key_Right, Qt::Key_8},
                   QStringLiteral(" 8"), QStringLiteral("7"), QStringLiteral("8")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Editor, ACharacterTheFileCannotHoldIsRefused)
{
    open();
    // A key of a keyboard layout that has the character.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("é"));
    QApplication::sendEvent(window->Gridinputtext, &press);
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].text, QStringLiteral("「é」はこのデータには使えない文字です"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("25"));
    EXPECT_EQ(window->Gridinputtext->text(), QStringLiteral("25"));
    EXPECT_EQ(window->DataChanged, 0);
}

TEST_F(Editor, ANumberBeyondItsFieldsRangeIsRefusedAsItIsTyped)
{
    open();
    for (int i = 0; i < 4; ++i)
        key(Qt::Key_Right);
    ASSERT_EQ(current(), QPoint(1, 5)); // ﾎﾟｲﾝﾄ倍率
    QTest::keyClick(window->Gridinputtext, Qt::Key_Space);
    QTest::keyClicks(window->Gridinputtext, QStringLiteral("2000"));
    // Start-up would refuse a file holding it; the cell keeps what it had.
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].text,
              QStringLiteral("ﾎﾟｲﾝﾄ倍率 は 0～1000 の数にしてください"));
    EXPECT_EQ(cell(1, 5), QStringLiteral("200"));
    EXPECT_EQ(window->Gridinputtext->text(), QStringLiteral("200"));
}

TEST_F(Editor, SavingWritesTheFileAndReloadsTheCriteria)
{
    world.inst.writeBytes(kCriteriaFile, "x,y,,,,,,,,,,\r\n007,60,100,3,1.50,0,0,7,7,,,\r\n"
                                         "30,65,100,3,1,0,0,7,7,,,\r\n");
    open();
    EXPECT_EQ(cell(1, 1), QStringLiteral("7"));
    EXPECT_EQ(cell(1, 5), QStringLiteral("1.5"));
    window->MSFlexGrid1_Click(2, 10);
    QTest::keyClicks(window->Gridinputtext, QStringLiteral("a,b"));
    window->MSFlexGrid1_Click(2, 1);
    QTest::keyClick(window->Gridinputtext, Qt::Key_Space);
    QTest::keyClicks(window->Gridinputtext, QStringLiteral("33"));
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    EXPECT_EQ(
        world.inst.readBytes(kCriteriaFile),
        platform::toCp932(QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,"
                                         "判期間,禁期間,,,\r\n")) +
            QByteArray("7,60,100,3,1.5,0,0,7,7,,,\r\n33,65,100,3,1,0,0,7,7,\"a,b\",,\r\n"));
    EXPECT_EQ(window->DataChanged, 0);
    EXPECT_EQ(current(), QPoint(2, 1));
    EXPECT_FALSE(window->Picture6->isVisible());
    EXPECT_EQ(world.state->criteria.TargetTime[2], 33);
    EXPECT_EQ(world.state->criteria.CriteriaSpare1[2].text(), QStringLiteral("a,b"));
    EXPECT_EQ(QDir(platform::localPath(world.inst.programDataFolder())).entryList(QDir::Files),
              QStringList{QStringLiteral("タイム回数データ.txt")});
    // Read back, the quoted cell is as it was typed.
    window->Command2_Click();
    EXPECT_EQ(cell(2, 10), QStringLiteral("a,b"));
    // Leaving after the save asks nothing.
    QTest::mouseClick(window->Command4, Qt::LeftButton);
    EXPECT_TRUE(world.dialogs.calls.empty());
    EXPECT_EQ(world.screens.log, (QStringList{QStringLiteral("showLevelMenu"),
                                              QStringLiteral("closeCriteriaEditor")}));
}

TEST_F(Editor, ReloadDropsTheEditsAndBackAsksNothing)
{
    const QByteArray before = world.inst.readBytes(kCriteriaFile);
    open();
    QTest::keyClick(window->Gridinputtext, Qt::Key_Space);
    ASSERT_TRUE(yellow(1, 1));
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    EXPECT_EQ(cell(1, 1), QStringLiteral("25"));
    EXPECT_FALSE(yellow(1, 1));
    EXPECT_EQ(window->DataChanged, 0);
    EXPECT_EQ(current(), QPoint(1, 1));
    QTest::mouseClick(window->Command4, Qt::LeftButton);
    EXPECT_TRUE(world.dialogs.calls.empty());
    EXPECT_EQ(world.inst.readBytes(kCriteriaFile), before);
}

TEST_F(Editor, BackAsksWhetherToSaveTheChanges)
{
    const QByteArray before = world.inst.readBytes(kCriteriaFile);
    open();
    QTest::keyClick(window->Gridinputtext, Qt::Key_Space);
    world.dialogs.nextAnswer = false;
    QTest::mouseClick(window->Command4, Qt::LeftButton);
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].kind, QStringLiteral("yesNo"));
    EXPECT_EQ(world.dialogs.calls[0].text,
              QStringLiteral("データが変更されています。記録しますか？"));
    EXPECT_EQ(world.dialogs.calls[0].title, QStringLiteral("注意"));
    EXPECT_EQ(world.inst.readBytes(kCriteriaFile), before);
    EXPECT_EQ(world.screens.log, (QStringList{QStringLiteral("showLevelMenu"),
                                              QStringLiteral("closeCriteriaEditor")}));
}

TEST_F(Editor, BackWithYesSavesFirst)
{
    open();
    QTest::keyClick(window->Gridinputtext, Qt::Key_Space);
    world.dialogs.nextAnswer = true;
    window->Command4_Click();
    EXPECT_TRUE(fileText().contains(QStringLiteral("\r\n,65,100,3,1,0,0,7,7,,,\r\n")));
    EXPECT_EQ(world.state->criteria.TargetTime[1], 0);
}

TEST_F(Editor, SavingAnUnchangedGridNormalisesTheFile)
{
    world.inst.writeBytes(kCriteriaFile, "a,b,c,,,,,,,,,\r\n030,60,100,3,1.0,0,,7,7,,,\r\n");
    open();
    window->Command3_Click();
    EXPECT_EQ(fileText(), QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,"
                                         "判期間,禁期間,,,\r\n30,60,100,3,1,0,,7,7,,,\r\n"));
}

TEST_F(Editor, TheGradeFileIsReadAgainOnlyWhenItChanged)
{
    world.writeGrades({test::gradeRecord(1, 1, 30)});
    open();
    EXPECT_EQ(window->gradeFileReads(), 1);
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    QTest::keyClicks(window->Gridinputtext, QStringLiteral("1"));
    EXPECT_EQ(window->gradeFileReads(), 1);
    EXPECT_EQ(window->List3->text(0), QStringLiteral("レベル1 今まで1回  （★=1）"));
    world.writeGrades({test::gradeRecord(1, 1, 30), test::gradeRecord(2, 1, 31)});
    key(Qt::Key_Right);
    EXPECT_EQ(window->gradeFileReads(), 2);
    EXPECT_EQ(window->List3->text(0), QStringLiteral("レベル1 今まで2回  （★=1）"));
}

// A criteria file that was missing or could not be read when the grid was filled is not
// written over unasked: the grid then holds no level at all.
struct UnreadFile {
    bool missing;
    bool answer;
};

class UnreadCriteria : public Editor, public ::testing::WithParamInterface<UnreadFile> {};

TEST_P(UnreadCriteria, SavingAsksFirst)
{
    const UnreadFile c = GetParam();
    const QString path = world.inst.programDataFolder() + QStringLiteral("タイム回数データ.txt");
    const QByteArray before = world.inst.readBytes(kCriteriaFile);
    world.start();
    if (c.missing) {
        ASSERT_TRUE(QFile::remove(path));
    }
    test::setPermissions(world.inst.root(), test::kOpenFolder);
    test::setPermissions(world.inst.dataFolder(), test::kOpenFolder);
    test::setPermissions(world.inst.programDataFolder(), test::kOpenFolder);
    if (!c.missing) // may be written but not read
        test::setPermissions(path, QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
    auto nobody = std::make_unique<test::ReadOnlyUser>();
    window = new FrmTimeData(*world.state);
    window->show();
    window->Form_Activate();
    ASSERT_EQ(window->LevelLineCount, 0);
    world.dialogs.calls.clear();
    world.dialogs.nextAnswer = c.answer;
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].kind, QStringLiteral("yesNo"));
    EXPECT_EQ(world.dialogs.calls[0].text,
              c.missing ? QStringLiteral("基準データのファイルがありません。\r\n") + path +
                              QStringLiteral("\r\nこの表の内容で新しく作りますか？")
                        : QStringLiteral("基準データのファイルを読めなかったため、表にはその"
                                         "内容が入っていません。\r\n") +
                              path + QStringLiteral("\r\nこの表の内容でファイルを書き換えますか？"));
    if (c.answer) {
        // Once written, the next save asks nothing.
        world.dialogs.calls.clear();
        window->Command3_Click();
        EXPECT_TRUE(world.dialogs.calls.empty());
    }
    nobody.reset();
    if (!c.answer) {
        EXPECT_EQ(QFile::exists(path), !c.missing);
    }
    if (!c.answer && !c.missing) {
        EXPECT_EQ(world.inst.readBytes(kCriteriaFile), before);
    }
    if (c.answer) {
        EXPECT_EQ(fileText(), CriteriaFileText({}));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadCriteria,
                         ::testing::Values(UnreadFile{true, false}, UnreadFile{true, true},
                                           UnreadFile{false, false}, UnreadFile{false, true}));

} // namespace
} // namespace tavoro::teacher
