// The record browser through its controls: the listing, the edit panel, changing a time
// and a pupil, deleting with the selection that follows, refused input, the stale-record
// check, an interrupted change, and leaving.
#include "menus/MenusWorld.h"

#include "core/Screens.h"
#include "platform/Paths.h"
#include "platform/RecordFile.h"
#include "support/PostedInput.h"
#include "support/Shots.h"
#include "teacher/FrmData.h"
#include "records/GradeWriter.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include <memory>
#ifdef __linux__
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace tavoro::teacher {
namespace {

using records::GradeRecord;
using records::GradeBackupFolder;
using records::RewriteInterrupted;
using test::gradeRecord;

class Browser : public ::testing::Test {
protected:
    void SetUp() override
    {
        records = {gradeRecord(1, 1, 30), gradeRecord(2, 2, 40), gradeRecord(4, 3, 50)};
        world.writeGrades(records);
    }

    void TearDown() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FrmData *open()
    {
        world.start();
        delete window;
        window = new FrmData(*world.state);
        window->show();
        window->activateWindow();
        window->Form_Activate();
        return window;
    }

    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < window->model()->rowCount(); ++i)
            out << window->model()->rowText(i);
        return out;
    }

    void doubleClick(int row)
    {
        QListView *list = window->List1;
        const QRect r = list->visualRect(window->model()->index(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_TRUE(window->Picture3->isVisible());
    }

    QStringList messages() const { return world.dialogs.kindsAndTexts(); }

    test::MenusWorld world;
    std::vector<GradeRecord> records;
    FrmData *window = nullptr;
};

TEST_F(Browser, ListsEveryRecordInOrder)
{
    open();
    EXPECT_EQ(window->DateFilter, QStringLiteral("すべて"));
    EXPECT_EQ(window->Label5->text(), QStringLiteral("ダブルクリックすると変更、消去できます"));
    EXPECT_EQ(
        rows(),
        (QStringList{
            QStringLiteral(
                "   1 2026/12/09　  9:00:00ﾚﾍﾞﾙ1　   30秒 　   1 山田太郎　　 小３++テスト小学校"),
            QStringLiteral(
                "   2 2026/12/09　  9:00:00ﾚﾍﾞﾙ2　   40秒 　   2 佐藤花子　　 小３++テスト小学校"),
            QStringLiteral("   3 2026/12/09　  9:00:00ﾚﾍﾞﾙ3　   50秒 　   4 高橋次郎　　 "
                           "中１++テスト小学校")}));
    EXPECT_EQ(window->List1->model()->data(window->model()->index(0)).toString(), rows()[0]);
    EXPECT_FALSE(window->Picture3->isVisible());
    EXPECT_EQ(window->Combo1->count(), 7);
    EXPECT_EQ(window->Combo1->itemText(1), QStringLiteral("2 /  佐藤花子"));
    test::saveShot(window, QStringLiteral("record-browser"));
}

TEST_F(Browser, ADoubleClickOpensTheRecordAndAClickClosesIt)
{
    open();
    doubleClick(1);
    EXPECT_EQ(window->SelectedRecord, 2);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("2"));
    EXPECT_EQ(window->Label2[1]->text(), QStringLiteral("ﾚﾍﾞﾙ2"));
    EXPECT_EQ(window->Label2[2]->text(), QStringLiteral("2026/12/09"));
    EXPECT_EQ(window->Label2[4]->text(), QStringLiteral("小３"));
    EXPECT_EQ(window->Label2[0]->text(), QStringLiteral("秒"));
    EXPECT_EQ(window->Text1[1]->text(), QStringLiteral("40"));
    EXPECT_EQ(window->VScroll1->value(), 40);
    EXPECT_EQ(window->Combo1->currentText(), QStringLiteral("2 /  佐藤花子"));
    EXPECT_TRUE(window->Command2->isEnabled());
    EXPECT_TRUE(window->Command3->isEnabled());
    test::saveShot(window, QStringLiteral("record-browser-panel"));
    // The scroll bar writes its value into the box; the pupil list shows the grade.
    window->VScroll1->setValue(45);
    EXPECT_EQ(window->Text1[1]->text(), QStringLiteral("45"));
    window->Combo1->setCurrentIndex(3);
    window->Combo1_Click();
    EXPECT_EQ(window->Label2[4]->text(), QStringLiteral("中１"));
    // キャンセル leaves the panel open; a click into the list closes it.
    QTest::mouseClick(window->Command6, Qt::LeftButton);
    EXPECT_TRUE(window->Picture3->isVisible());
    QTest::mouseClick(window->List1->viewport(), Qt::LeftButton, {},
                      window->List1->visualRect(window->model()->index(0)).center());
    EXPECT_FALSE(window->Picture3->isVisible());
}

TEST_F(Browser, ATimeOutOpensWithTheScrollBarAtItsEnd)
{
    world.writeGrades({gradeRecord(1, 1, 99999)});
    open();
    doubleClick(0);
    EXPECT_EQ(window->Text1[1]->text(), QStringLiteral("99999"));
    EXPECT_EQ(window->VScroll1->value(), FrmData::kScrollMaximum);
}

TEST_F(Browser, ChangingATimeAndAPupil)
{
    open();
    doubleClick(1);
    window->Text1[1]->setText(QStringLiteral("38"));
    window->Combo1->setEditText(QStringLiteral("5 /  田中ゆい"));
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    GradeRecord changed = records[1];
    changed.RecSeconds = 38;
    changed.RecStudent = 5;
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0], changed, records[2]}));
    EXPECT_TRUE(world.dialogs.calls.empty()) << messages().join(u' ').toStdString();
    EXPECT_EQ(window->currentRow(), 1);
    EXPECT_FALSE(window->Picture3->isVisible());
    EXPECT_TRUE(rows()[1].contains(QStringLiteral("   38秒 　   5 田中ゆい")));
    // One backup for the session, however many changes.
    doubleClick(0);
    window->Text1[1]->setText(QStringLiteral("31"));
    window->Command2_Click();
    const QDir backups(platform::localPath(GradeBackupFolder(world.state->settings)));
    EXPECT_EQ(backups.entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(RewriteInterrupted(world.state->settings));
}

struct BadInput {
    const char *time;
    const char *pupil;
    const char *message;
};

class BrowserInput : public Browser, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BrowserInput, IsRefusedAndNothingIsWritten)
{
    open();
    const QByteArray before = world.gradeBytes();
    doubleClick(0);
    window->Text1[1]->setText(QString::fromUtf8(GetParam().time));
    window->Combo1->setEditText(QString::fromUtf8(GetParam().pupil));
    window->Command2_Click();
    EXPECT_EQ(messages(),
              QStringList{QStringLiteral("message:") + QString::fromUtf8(GetParam().message)});
    EXPECT_EQ(world.gradeBytes(), before);
    EXPECT_TRUE(window->Picture3->isVisible());
}

const char *const kBadTime = "タイムは 0 から 99999 までの数で入れてください";
const char *const kBadPupil = "生徒番号は 1 から 5000 までの数で入れてください";

INSTANTIATE_TEST_SUITE_P(Values, BrowserInput,
                         ::testing::Values(BadInput{"100000", "1 /  山田太郎", kBadTime},
                                           BadInput{"-1", "1 /  山田太郎", kBadTime},
                                           // 99999.5 rounds to 100000, -0.6 to -1.
                                           BadInput{"99999.5", "1 /  山田太郎", kBadTime},
                                           BadInput{"-0.6", "1 /  山田太郎", kBadTime},
                                           BadInput{"abc", "1 /  山田太郎", kBadTime},
                                           BadInput{"", "1 /  山田太郎", kBadTime},
                                           BadInput{"30", "0 /  だれか", kBadPupil},
                                           BadInput{"30", "5001 /  だれか", kBadPupil},
                                           BadInput{"30", "40000", kBadPupil},
                                           BadInput{"30", "山田太郎", kBadPupil},
                                           BadInput{"30", "2.5 / x", kBadPupil}));

struct RoundedTime {
    const char *typed;
    int stored;
};

class BrowserRounding : public Browser, public ::testing::WithParamInterface<RoundedTime> {};

// The time is taken to the nearest whole number, halves to the even one as every number
// stored into a record.
TEST_P(BrowserRounding, TheTimeIsTakenToTheNearestWholeNumber)
{
    open();
    doubleClick(1);
    window->Text1[1]->setText(QString::fromUtf8(GetParam().typed));
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    EXPECT_TRUE(world.dialogs.calls.empty()) << messages().join(u' ').toStdString();
    GradeRecord changed = records[1];
    changed.RecSeconds = GetParam().stored;
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0], changed, records[2]}));
}

INSTANTIATE_TEST_SUITE_P(Values, BrowserRounding,
                         ::testing::Values(RoundedTime{"45.6", 46}, RoundedTime{"45.4", 45},
                                           RoundedTime{"12.5", 12}, RoundedTime{"13.5", 14},
                                           RoundedTime{"99999.4", 99999},
                                           RoundedTime{"-0.4", 0}, RoundedTime{" 7.50 ", 8}));

TEST_F(Browser, TheBoundariesAreAccepted)
{
    open();
    doubleClick(0);
    window->Text1[1]->setText(QStringLiteral("99999"));
    window->Combo1->setEditText(QStringLiteral("5000"));
    window->Command2_Click();
    doubleClick(1);
    window->Text1[1]->setText(QStringLiteral("0"));
    window->Combo1->setEditText(QStringLiteral("1 /"));
    window->Command2_Click();
    EXPECT_TRUE(world.dialogs.calls.empty()) << messages().join(u' ').toStdString();
    const std::vector<GradeRecord> now = test::decodeRecords(world.gradeBytes());
    EXPECT_EQ(now[0].RecSeconds, 99999);
    EXPECT_EQ(now[0].RecStudent, 5000);
    EXPECT_EQ(now[1].RecSeconds, 0);
    EXPECT_EQ(now[1].RecStudent, 1);
}

TEST_F(Browser, DeletingTheMiddleSelectsTheRecordThatFollowed)
{
    open();
    doubleClick(1);
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].kind, QStringLiteral("okCancel"));
    EXPECT_EQ(world.dialogs.calls[0].text, QStringLiteral("本当に消去しますか"));
    EXPECT_EQ(world.dialogs.calls[0].title, QStringLiteral("注意"));
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0], records[2]}));
    ASSERT_EQ(rows().size(), 2);
    EXPECT_TRUE(rows()[1].startsWith(u"   2 2026/12/09　  9:00:00ﾚﾍﾞﾙ3"));
    EXPECT_EQ(window->currentRow(), 1);
    EXPECT_FALSE(window->Picture3->isVisible());
}

TEST_F(Browser, DeletingTheLastSelectsTheNewLast)
{
    open();
    doubleClick(2);
    window->Command3_Click();
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0], records[1]}));
    EXPECT_EQ(window->currentRow(), 1);
}

TEST_F(Browser, CancelDeletesNothing)
{
    open();
    doubleClick(0);
    world.dialogs.nextAnswer = false;
    window->Command3_Click();
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords(records));
    EXPECT_TRUE(window->Picture3->isVisible());
}

TEST_F(Browser, ARecordChangedElsewhereIsNotOverwritten)
{
    open();
    doubleClick(1);
    // Another PC deletes the first record meanwhile: the second place now holds the third.
    world.writeGrades({records[1], records[2]});
    window->Text1[1]->setText(QStringLiteral("20"));
    window->Command2_Click();
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].text,
              QStringLiteral("ほかのパソコンで成績データが変わったため、一覧が変わっています。"
                             "一覧を読み直しましたので、もう一度選んでください。"));
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[1], records[2]}));
    EXPECT_EQ(rows().size(), 2);
    EXPECT_FALSE(window->Picture3->isVisible());
}

TEST_F(Browser, AnInterruptedChangeIsPutBackAndTold)
{
    world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データtemp.dat"),
                          test::encodeRecords(records));
    world.writeGrades({records[0]});
    open();
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].kind, QStringLiteral("message"));
    EXPECT_EQ(world.dialogs.calls[0].text,
              QStringLiteral("前回の成績データの書き換えが途中で終わっていたので、"
                             "書き換える前のデータ（成績累積データtemp.dat）に戻しました。"));
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords(records));
    EXPECT_EQ(rows().size(), 3);
    EXPECT_FALSE(RewriteInterrupted(world.state->settings));
}

TEST_F(Browser, ACopyThatCannotBePutBackIsToldAndKept)
{
    // A folder in the place of the copy cannot be read as one.
    ASSERT_TRUE(QDir().mkpath(world.inst.programDataFolder() +
                              QStringLiteral("成績累積データtemp.dat")));
    world.writeGrades({records[0]});
    open();
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_TRUE(world.dialogs.calls[0].text.startsWith(
        QStringLiteral("前回の成績データの書き換えが途中で終わっています。"
                       "書き換える前のデータに戻せませんでした（")))
        << world.dialogs.calls[0].text.toStdString();
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0]}));
    EXPECT_TRUE(RewriteInterrupted(world.state->settings));
}

#ifdef __linux__ // watches the folder with inotify
// Waits until a file of that name appears in the watched folder or the process ends.
void waitForName(int watch, const QByteArray &name, QProcess &process)
{
    alignas(inotify_event) char buf[4096];
    for (int i = 0; i < 20000; ++i) {
        pollfd p{watch, POLLIN, 0};
        if (::poll(&p, 1, 1) > 0) {
            const ssize_t n = ::read(watch, buf, sizeof buf);
            for (ssize_t at = 0; at < n;) {
                const auto *e = reinterpret_cast<const inotify_event *>(buf + at);
                if (e->len > 0 && name == e->name)
                    return;
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
        } else if (process.state() == QProcess::NotRunning || process.waitForFinished(0)) {
            return;
        }
    }
}

// A browser killed in the middle of a deletion, after it wrote the temporary copy: the next
// browser finds the copy and puts the grade file back as it was, byte for byte.
TEST_F(Browser, ADeletionKilledHalfwayIsPutBackAtTheNextStart)
{
    // Large enough that the rewrite and its flush to the disk take a while.
    std::vector<GradeRecord> many;
    for (int i = 0; i < 100000; ++i)
        many.push_back(gradeRecord(1 + i % 50, 1 + i % 7, 20 + i % 5000));
    const QByteArray original = test::encodeRecords(many);
    const QString temp = world.inst.programDataFolder() + QStringLiteral("成績累積データtemp.dat");
    const QByteArray tempName = QFile::encodeName(QStringLiteral("成績累積データtemp.dat"));
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(world.inst.programDataFolder()),
                                IN_MOVED_TO | IN_CREATE),
              0);
    bool caught = false;
    QByteArray atKill;
    for (int attempt = 0; attempt < 10 && !caught; ++attempt) {
        QFile::remove(temp);
        world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"), original);
        QProcess helper;
        helper.start(
            QStringLiteral(TAVORO_TEACHER_HELPER),
            {QStringLiteral("delete"), world.inst.programDataFolder(), QStringLiteral("1")});
        ASSERT_TRUE(helper.waitForStarted(10000));
        ASSERT_TRUE(helper.waitForReadyRead(10000));
        ASSERT_EQ(helper.readLine().trimmed(), QByteArray("ready"));
        helper.write("go\n");
        helper.waitForBytesWritten(10000);
        // The copy takes its name only once it is whole: kill the browser the moment the
        // name appears.
        waitForName(watch, tempName, helper);
        helper.kill();
        ASSERT_TRUE(helper.state() == QProcess::NotRunning || helper.waitForFinished(10000));
        caught = QFile::exists(temp);
        if (!caught) {
            // It was done before the kill: the deletion is whole.
            EXPECT_EQ(world.gradeBytes(), original.mid(records::kGradeRecordSize));
            continue;
        }
        EXPECT_EQ(helper.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(world.inst.readBytes(QStringLiteral("data/Tavoro/成績累積データtemp.dat")),
                  original);
        atKill = world.gradeBytes();
    }
    ::close(watch);
    ASSERT_TRUE(caught) << "the rewrite was never caught in the middle";
    std::printf("[          ] the grade file when the browser was killed: %s\n",
                atKill == original                                  ? "not yet changed"
                : atKill.size() == original.size()                  ? "records half moved up"
                : atKill == original.mid(records::kGradeRecordSize) ? "rewritten, copy left"
                                                                    : "other");

    open();
    ASSERT_EQ(world.dialogs.calls.size(), 1u);
    EXPECT_EQ(world.dialogs.calls[0].kind, QStringLiteral("message"));
    EXPECT_TRUE(world.gradeBytes() == original);
    EXPECT_FALSE(RewriteInterrupted(world.state->settings));
    EXPECT_EQ(window->model()->rowCount(), 100000);
}
#endif

TEST_F(Browser, OtherPcsAppendWhileTheTeacherDeletesAndChanges)
{
    std::vector<GradeRecord> expected;
    for (int i = 0; i < 60; ++i)
        expected.push_back(gradeRecord(1 + i % 6, 1 + i % 7, 20 + i));
    world.writeGrades(expected);
    open();
    constexpr int kProcesses = 2;
    constexpr int kEach = 1500;
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < kProcesses; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(TAVORO_RECORDS_HELPER),
                 {QStringLiteral("append"), world.inst.programDataFolder(),
                  QString::number(201 + i), QString::number(kEach)});
        ASSERT_TRUE(p->waitForStarted(10000));
        ASSERT_TRUE(p->waitForReadyRead(10000));
        ASSERT_EQ(p->readLine().trimmed(), QByteArray("ready"));
        procs.push_back(std::move(p));
    }
    for (auto &p : procs)
        p->write("go\n");
    for (int step = 0; step < 30; ++step) {
        const int row = (step * 7) % int(expected.size());
        window->Command1_Click(); // the list as it is now
        doubleClick(row);
        if (step % 2 == 0) {
            window->Command3_Click();
            expected.erase(expected.begin() + row);
        } else {
            window->Text1[1]->setText(QString::number(1000 + step));
            window->Combo1->setEditText(QStringLiteral("3 /  鈴木一郎"));
            window->Command2_Click();
            expected[std::size_t(row)].RecSeconds = 1000 + step;
            expected[std::size_t(row)].RecStudent = 3;
        }
        ASSERT_TRUE(world.dialogs.calls.size() == std::size_t(step / 2 + 1))
            << messages().join(u' ').toStdString();
    }
    for (auto &p : procs) {
        if (p->state() != QProcess::NotRunning) {
            ASSERT_TRUE(p->waitForFinished(120000));
        }
        EXPECT_EQ(p->exitCode(), 0);
    }
    std::vector<GradeRecord> own;
    std::map<std::pair<int, int>, int> seen;
    for (const GradeRecord &r : test::decodeRecords(world.gradeBytes())) {
        if (r.RecStudent < 201) {
            own.push_back(r);
            continue;
        }
        ASSERT_EQ(r, gradeRecord(r.RecStudent, 3, r.RecSeconds, test::dayValue(2026, 12, 9),
                                 36000.0 / 86400.0));
        ++seen[{r.RecStudent, r.RecSeconds}];
    }
    EXPECT_EQ(seen.size(), std::size_t(kProcesses * kEach));
    for (const auto &[key, n] : seen)
        EXPECT_EQ(n, 1) << key.first << "/" << key.second;
    EXPECT_EQ(own, expected);
}

// ---- Keys choose rows as clicks do ----------------------------------------------------------

class BrowserKeys : public Browser, public ::testing::WithParamInterface<Qt::Key> {};

// A row chosen with the keys closes the edit panel, as a click does: 消去 can never stand
// beside another row than the one it deletes.
TEST_P(BrowserKeys, MovingTheRowClosesThePanel)
{
    open();
    doubleClick(1);
    window->List1->setFocus();
    QTest::keyClick(window->List1, GetParam());
    EXPECT_NE(window->currentRow(), 1);
    EXPECT_FALSE(window->Picture3->isVisible());
    if (GetParam() == Qt::Key_Down)
        test::saveShot(window, QStringLiteral("record-browser-after-down"));
    // Double-clicking the highlighted row opens it in its turn.
    doubleClick(window->currentRow());
    EXPECT_EQ(window->SelectedRecord, window->currentRow() + 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, BrowserKeys,
                         ::testing::Values(Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Home,
                                           Qt::Key_PageDown));

TEST_F(Browser, AKeyThatMovesNothingLeavesThePanelOpen)
{
    open();
    doubleClick(2);
    window->List1->setFocus();
    QTest::keyClick(window->List1, Qt::Key_Down); // already the last row
    EXPECT_EQ(window->currentRow(), 2);
    EXPECT_TRUE(window->Picture3->isVisible());
}

// ---- No handler inside another ---------------------------------------------------------

// Screens that unload the browser as the program does: hidden, then deleted from the event
// loop. Each call is logged with whether the grade file held the change by then.
class UnloadingScreens final : public core::Screens {
public:
    explicit UnloadingScreens(test::MenusWorld &world) : m_world(world) {}
    void showNameSelection() override {}
    void closeNameSelection() override {}
    void showLevelMenu() override { log << QStringLiteral("showLevelMenu") + state(); }
    void closeLevelMenu() override {}
    void showDrill() override {}
    void closeDrill() override {}
    void showFinish() override {}
    void closeFinish() override {}
    void showWait() override {}
    void closeWait() override {}
    void showCriteriaEditor() override {}
    void closeCriteriaEditor() override {}
    void showRecordBrowser() override {}
    void closeRecordBrowser() override
    {
        log << QStringLiteral("closeRecordBrowser") + state();
        if (browser) {
            browser->hide();
            browser->deleteLater();
        }
    }
    QWidget *activeWindow() const override { return browser; }
    void closeAll() override {}

    QPointer<QWidget> browser;
    QByteArray changedFile; // the grade file once the change is made
    QStringList log;

private:
    QString state() const
    {
        return m_world.gradeBytes() == changedFile ? QStringLiteral(" (changed)")
                                                   : QStringLiteral(" (not yet changed)");
    }
    test::MenusWorld &m_world;
};

TEST_F(Browser, BackClickedWhileAChangeWaitsForTheLockClosesTheWindowAfterTheChange)
{
    UnloadingScreens screens(world);
    open();
    world.state->screens = &screens;
    screens.browser = window;
    doubleClick(1);
    window->Text1[1]->setText(QStringLiteral("38"));
    GradeRecord changed = records[1];
    changed.RecSeconds = 38;
    screens.changedFile = test::encodeRecords({records[0], changed, records[2]});

    // Another PC holds the grade file's lock; the teacher clicks 戻る while the change waits
    // for it, and the other PC lets go a second and a half later.
    platform::RecordFile other;
    ASSERT_TRUE(records::OpenGradeFile(*world.state, other));
    ASSERT_TRUE(other.tryLockWhole());
    int idles = 0;
    bool noticeShown = false;
    world.clock.onIdle = [&](std::uint32_t) {
        ++idles;
        if (idles == 1) {
            noticeShown = window->WaitNotice->isVisible();
            test::postClick(window->Command4);
        }
        if (idles == 150)
            other.unlockWhole();
    };
    const QPointer<FrmData> alive(window);
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    world.clock.onIdle = nullptr;

    ASSERT_TRUE(alive) << "the window was unloaded under the running change";
    EXPECT_GT(idles, 150);
    EXPECT_TRUE(noticeShown);
    EXPECT_FALSE(window->WaitNotice->isVisible());
    EXPECT_EQ(world.gradeBytes(), screens.changedFile);
    EXPECT_TRUE(world.dialogs.calls.empty()) << messages().join(u' ').toStdString();
    EXPECT_TRUE(screens.log.isEmpty()) << screens.log.join(u' ').toStdString();

    // Back in the event loop, the click is handled: the menu, then the window unloaded.
    QCoreApplication::processEvents();
    EXPECT_EQ(screens.log, (QStringList{QStringLiteral("showLevelMenu (changed)"),
                                        QStringLiteral("closeRecordBrowser (changed)")}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive);
    window = nullptr;
    world.state->screens = &world.screens;
}

TEST_F(Browser, BackShowsANewMenu)
{
    open();
    QTest::mouseClick(window->Command4, Qt::LeftButton);
    EXPECT_TRUE(window->Picture1->isVisible());
    EXPECT_EQ(world.screens.log,
              (QStringList{QStringLiteral("showLevelMenu"), QStringLiteral("closeRecordBrowser")}));
}

} // namespace
} // namespace tavoro::teacher
