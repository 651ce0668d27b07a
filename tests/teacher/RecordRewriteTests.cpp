// Changing and deleting grade records under the grade file's lock: the bytes written, the
// stale-record check, the temporary copy, the backups, the restore of an interrupted
// change, and other processes that hold the lock or append meanwhile.
#include "menus/MenusWorld.h"

#include "platform/Paths.h"
#include "platform/RecordFile.h"
#include "support/ReadOnly.h"
#include "records/GradeWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

namespace tavoro::teacher {
namespace {

using namespace records;

using records::GradeRecord;
using test::gradeRecord;

const QString kHelper = QStringLiteral(TAVORO_RECORDS_HELPER);

class Rewrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.start();
        records = {gradeRecord(1, 1, 30), gradeRecord(2, 2, 40), gradeRecord(3, 3, 50)};
        world.writeGrades(records);
    }

    QStringList backups() const
    {
        return QDir(platform::localPath(GradeBackupFolder(world.state->settings)))
            .entryList(QDir::Files, QDir::Name);
    }

    bool tempExists() const { return RewriteInterrupted(world.state->settings); }

    test::MenusWorld world;
    std::vector<GradeRecord> records;
};

TEST_F(Rewrite, DeletingTheMiddleRecordMovesTheLastUp)
{
    const RewriteResult r = DeleteGradeRecord(*world.state, 2, records[1], false);
    EXPECT_EQ(r.outcome, RewriteOutcome::Written) << r.error.toStdString();
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0], records[2]}));
    EXPECT_FALSE(tempExists());
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(Rewrite, DeletingTheLastAndTheFirstRecord)
{
    ASSERT_EQ(DeleteGradeRecord(*world.state, 3, records[2], false).outcome,
              RewriteOutcome::Written);
    ASSERT_EQ(DeleteGradeRecord(*world.state, 1, records[0], false).outcome,
              RewriteOutcome::Written);
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[1]}));
}

TEST_F(Rewrite, AChangeWritesTheRecordInPlace)
{
    GradeRecord changed = records[1];
    changed.RecSeconds = 35;
    changed.RecStudent = 6;
    const RewriteResult r = ChangeGradeRecord(*world.state, 2, records[1], changed, false);
    EXPECT_EQ(r.outcome, RewriteOutcome::Written);
    const QByteArray bytes = world.gradeBytes();
    EXPECT_EQ(bytes, test::encodeRecords({records[0], changed, records[2]}));
    // Pupil 6 and 35 seconds, little-endian, at offsets 16 and 20 of the second record.
    EXPECT_EQ(bytes.mid(44 + 16, 8).toHex(), QByteArray("0600020023000000"));
    EXPECT_FALSE(tempExists());
}

TEST_F(Rewrite, ARecordChangedByAnotherPcIsNotOverwritten)
{
    GradeRecord other = records[1];
    other.RecSeconds = 41; // another PC corrected it meanwhile
    world.writeGrades({records[0], other, records[2]});
    const QByteArray before = world.gradeBytes();
    GradeRecord changed = records[1];
    changed.RecSeconds = 20;
    EXPECT_EQ(ChangeGradeRecord(*world.state, 2, records[1], changed, true).outcome,
              RewriteOutcome::Stale);
    EXPECT_EQ(DeleteGradeRecord(*world.state, 2, records[1], true).outcome, RewriteOutcome::Stale);
    // The record is gone altogether: the file is shorter now.
    world.writeGrades({records[0]});
    EXPECT_EQ(DeleteGradeRecord(*world.state, 3, records[2], true).outcome, RewriteOutcome::Stale);
    EXPECT_EQ(DeleteGradeRecord(*world.state, 0, records[0], true).outcome, RewriteOutcome::Stale);
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0]}));
    EXPECT_FALSE(tempExists());
    EXPECT_TRUE(backups().isEmpty());
    (void)before;
}

TEST_F(Rewrite, ABackupBeforeTheFirstChangeAndTheNewestTenKept)
{
    const QByteArray original = world.gradeBytes();
    ASSERT_EQ(DeleteGradeRecord(*world.state, 3, records[2], true).outcome,
              RewriteOutcome::Written);
    ASSERT_EQ(backups(), QStringList{QStringLiteral("成績累積データ20261209-090000.dat")});
    EXPECT_EQ(world.inst.readBytes(QStringLiteral("data/Tavoro/成績累積データバックアップ/"
                                                  "成績累積データ20261209-090000.dat")),
              original);
    EXPECT_EQ(NewestBackupDate(world.state->settings), QDate(2026, 12, 9));
    for (int i = 1; i <= 11; ++i) {
        world.clock.date = QDate(2026, 12, 9).addDays(i);
        GradeRecord changed = records[0];
        changed.RecSeconds = 30 + i;
        GradeRecord shown = records[0];
        shown.RecSeconds = i == 1 ? 30 : 29 + i;
        ASSERT_EQ(ChangeGradeRecord(*world.state, 1, shown, changed, true).outcome,
                  RewriteOutcome::Written);
    }
    const QStringList kept = backups();
    ASSERT_EQ(kept.size(), kKeptBackups);
    EXPECT_EQ(kept.first(), QStringLiteral("成績累積データ20261211-090000.dat"));
    EXPECT_EQ(kept.last(), QStringLiteral("成績累積データ20261220-090000.dat"));
    EXPECT_EQ(NewestBackupDate(world.state->settings), QDate(2026, 12, 20));
}

TEST_F(Rewrite, NoBackupsNoDate)
{
    EXPECT_FALSE(NewestBackupDate(world.state->settings).has_value());
    EXPECT_EQ(BackupFileName(QDate(2027, 1, 2), 13 * 3600 + 4 * 60 + 5),
              QStringLiteral("成績累積データ20270102-130405.dat"));
}

TEST_F(Rewrite, AnInterruptedChangeIsPutBack)
{
    const QByteArray old = world.gradeBytes();
    // A change that ended with the grade file half rewritten.
    world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データtemp.dat"), old);
    world.writeGrades({records[0], records[0]});
    ASSERT_TRUE(tempExists());
    const RewriteResult r = RestoreGradeTempCopy(*world.state);
    EXPECT_EQ(r.outcome, RewriteOutcome::Written) << r.error.toStdString();
    EXPECT_EQ(world.gradeBytes(), old);
    EXPECT_FALSE(tempExists());
}

namespace {

// A grade file as an interrupted rewrite left it.
struct LeftOver {
    const char *what;
    std::vector<int> left; // indices into the five records of the copy; -1: a changed record
    int cutBytes;          // bytes of a record cut short at the end of the copy
};

class PutBack : public ::testing::TestWithParam<LeftOver> {};

} // namespace

// Whatever the rewrite had done, the put-back restores the copy byte for byte, and the next
// run is appended after it.
TEST_P(PutBack, RestoresTheCopyExactly)
{
    test::MenusWorld world;
    world.start();
    const std::vector<GradeRecord> copy = {gradeRecord(1, 1, 30), gradeRecord(2, 2, 40),
                                           gradeRecord(3, 3, 50), gradeRecord(4, 4, 60),
                                           gradeRecord(5, 5, 70)};
    std::vector<GradeRecord> left;
    for (int i : GetParam().left) {
        GradeRecord r = copy[std::size_t(i < 0 ? 4 : i)];
        if (i < 0) {
            r.RecSeconds = 99;
            r.RecStudent = 9;
        }
        left.push_back(r);
    }
    const QByteArray cut = QByteArray(GetParam().cutBytes, '\x5a');
    const QByteArray copyBytes = test::encodeRecords(copy) + cut;
    world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データtemp.dat"), copyBytes);
    world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"),
                          test::encodeRecords(left) + cut.left(GetParam().cutBytes / 2));
    const RewriteResult r = RestoreGradeTempCopy(*world.state);
    ASSERT_EQ(r.outcome, RewriteOutcome::Written) << GetParam().what;
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(world.gradeBytes(), copyBytes) << GetParam().what;
    EXPECT_FALSE(RewriteInterrupted(world.state->settings));

    world.state->pupil.CurrentStudent = 7;
    world.state->run.CurrentLevel = 2;
    world.state->run.RunTime = 33;
    ASSERT_TRUE(AppendGradeRecord(*world.state));
    const std::vector<GradeRecord> after = test::decodeRecords(world.gradeBytes());
    ASSERT_EQ(after.size(), copy.size() + 1) << GetParam().what;
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), after.begin()));
    EXPECT_EQ(after.back().RecStudent, 7);
    EXPECT_EQ(world.gradeBytes().size(), qsizetype(after.size()) * kGradeRecordSize);
}

INSTANTIATE_TEST_SUITE_P(
    Interruptions, PutBack,
    ::testing::Values(LeftOver{"deletion done", {0, 2, 3, 4}, 0},
                      LeftOver{"deletion of the first done", {1, 2, 3, 4}, 0},
                      LeftOver{"records moved up, not yet cut", {0, 2, 3, 4, 4}, 0},
                      LeftOver{"records half moved up", {0, 2, 2, 3, 4}, 0},
                      LeftOver{"nothing written yet", {0, 1, 2, 3, 4}, 0},
                      LeftOver{"change of the last done", {0, 1, 2, 3, -1}, 0},
                      LeftOver{"cut last record, deletion done", {0, 2, 3, 4}, 20},
                      LeftOver{"cut last record, change done", {0, 1, 2, 3, -1}, 43}),
    [](const auto &info) { return std::to_string(info.index); });

// A change never writes its copy over one that stands: it puts that one back first, then
// changes the record as it was before the interruption.
TEST_F(Rewrite, AChangePutsAStandingCopyBackFirst)
{
    const QByteArray old = world.gradeBytes();
    world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データtemp.dat"), old);
    world.writeGrades({records[0], records[2]}); // a deletion of record 2, cut short
    // Half a backup that a crash left behind.
    world.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データバックアップ/"
                                         "成績累積データ20261208-100000.dat.part"),
                          old.left(50));
    GradeRecord changed = records[1];
    changed.RecSeconds = 45;
    const RewriteResult r = ChangeGradeRecord(*world.state, 2, records[1], changed, true);
    ASSERT_EQ(r.outcome, RewriteOutcome::Written) << r.error.toStdString();
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0], changed, records[2]}));
    EXPECT_FALSE(tempExists());
    ASSERT_EQ(backups().size(), 1);
    EXPECT_FALSE(backups()[0].endsWith(QStringLiteral(".part")));
    EXPECT_EQ(world.inst.readBytes(QStringLiteral("data/Tavoro/成績累積データバックアップ/") +
                                   backups()[0]),
              old);
}

// A grade file that may only be read is no lock of another PC: the change fails at once,
// naming the folder, and nothing is written.
TEST_F(Rewrite, AReadOnlyGradeFileFailsWithoutWaiting)
{
    const QByteArray before = world.gradeBytes();
    test::setPermissions(world.inst.root(), test::kOpenFolder);
    test::setPermissions(world.inst.dataFolder(), test::kOpenFolder);
    test::setPermissions(world.inst.programDataFolder(), test::kOpenFolder);
    test::setPermissions(world.inst.gradeFilePath(), test::kReadOnlyFile);
    GradeRecord changed = records[1];
    changed.RecSeconds = 41;
    const std::uint32_t start = world.clock.tick;
    RewriteResult r;
    {
        test::ReadOnlyUser nobody;
        r = ChangeGradeRecord(*world.state, 2, records[1], changed, false);
    }
    EXPECT_EQ(r.outcome, RewriteOutcome::Failed);
    EXPECT_EQ(r.error, QString::fromLocal8Bit(std::strerror(EACCES)) +
                           QStringLiteral("、このフォルダの成績ファイルに書き込めません：") +
                           world.inst.programDataFolder());
    EXPECT_EQ(world.clock.tick, start);
    EXPECT_EQ(world.gradeBytes(), before);
    EXPECT_FALSE(tempExists());
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(Rewrite, AFailedRewriteLeavesTheGradeFileAsItWas)
{
    // The temporary copy cannot be written: a folder is in its way.
    ASSERT_TRUE(QDir().mkpath(platform::localPath(GradeTempPath(world.state->settings))));
    const QByteArray before = world.gradeBytes();
    const RewriteResult r = DeleteGradeRecord(*world.state, 1, records[0], false);
    EXPECT_EQ(r.outcome, RewriteOutcome::Failed);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(world.gradeBytes(), before);
}

// ---- other processes ------------------------------------------------------------------

// A school with both kinds of PC: with TAVORO_WINE_RECORDS_HELPER naming the Windows build
// of the helper, the helpers of `windowsToo` run it under Wine, which sees this machine's
// files on drive Z:.
std::unique_ptr<QProcess> startHelper(QStringList args, const QByteArray &firstLine,
                                      bool windowsToo = false)
{
    const QString windowsHelper = qEnvironmentVariable("TAVORO_WINE_RECORDS_HELPER");
    auto p = std::make_unique<QProcess>();
    if (windowsToo && !windowsHelper.isEmpty()) {
        args[1] = QStringLiteral("Z:") + args[1];
        p->start(QStringLiteral("wine"), QStringList{windowsHelper} + args);
    } else {
        p->start(kHelper, args);
    }
    EXPECT_TRUE(p->waitForStarted(10000)) << qPrintable(p->errorString());
    EXPECT_TRUE(p->waitForReadyRead(30000));
    EXPECT_EQ(p->readLine().trimmed(), firstLine);
    return p;
}

TEST_F(Rewrite, WaitsWhileAnotherPcHoldsTheLock)
{
    auto holder =
        startHelper({QStringLiteral("hold"), world.inst.gradeFilePath()}, QByteArray("locked"));
    const std::uint32_t start = world.clock.tick;
    bool released = false;
    world.clock.onIdle = [&](std::uint32_t tick) {
        if (!released && tick - start >= 1500) {
            holder->write("go\n");
            ASSERT_TRUE(holder->waitForReadyRead(10000));
            released = true;
        }
    };
    std::vector<bool> notices;
    const RewriteResult r = DeleteGradeRecord(*world.state, 2, records[1], false,
                                              [&](bool waiting) { notices.push_back(waiting); });
    EXPECT_EQ(r.outcome, RewriteOutcome::Written);
    EXPECT_TRUE(released);
    EXPECT_EQ(notices, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(world.gradeBytes(), test::encodeRecords({records[0], records[2]}));
    if (holder->state() != QProcess::NotRunning) {
        ASSERT_TRUE(holder->waitForFinished(10000));
    }
}

TEST_F(Rewrite, RunsAppendedByOtherPcsMeanwhileAreNeverLost)
{
    // The school's file before: 300 runs of pupils 1..5.
    std::vector<GradeRecord> ours;
    for (int i = 0; i < 300; ++i)
        ours.push_back(gradeRecord(1 + i % 5, 1 + i % 7, 10 + i));
    world.writeGrades(ours);

    constexpr int kProcesses = 3;
    constexpr int kEach = 2000;
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < kProcesses; ++i)
        procs.push_back(startHelper({QStringLiteral("append"), world.inst.programDataFolder(),
                                     QString::number(101 + i), QString::number(kEach)},
                                    QByteArray("ready"), i % 2 == 1));
    for (auto &p : procs)
        p->write("go\n");
    for (auto &p : procs)
        p->waitForBytesWritten(10000);

    // Meanwhile the teacher deletes and corrects records of the school's own, as listed
    // from the file each time; what they should leave is kept alongside.
    std::vector<GradeRecord> expected = ours;
    int rewrites = 0;
    bool overlapped = false; // a rewrite found some of the appended runs, but not all
    auto allFinished = [&procs] {
        bool done = true;
        for (auto &p : procs)
            done = (p->state() == QProcess::NotRunning || p->waitForFinished(0)) && done;
        return done;
    };
    for (int step = 0; step < 5000 && !(step >= 60 && allFinished()); ++step) {
        const std::vector<GradeRecord> now = test::decodeRecords(world.gradeBytes());
        const std::size_t appended = now.size() - expected.size();
        overlapped = overlapped || (appended > 0 && appended < std::size_t(kProcesses * kEach));
        const std::size_t at = std::size_t((step * 37) % int(expected.size()));
        ASSERT_EQ(now[at], expected[at]);
        RewriteResult r;
        if (step % 2 == 0 && expected.size() > 100) {
            r = DeleteGradeRecord(*world.state, std::int64_t(at) + 1, now[at], step == 0);
            expected.erase(expected.begin() + std::ptrdiff_t(at));
        } else {
            GradeRecord changed = now[at];
            changed.RecSeconds = 5000 + step;
            changed.RecStudent = 9;
            r = ChangeGradeRecord(*world.state, std::int64_t(at) + 1, now[at], changed, false);
            expected[at] = changed;
        }
        ASSERT_EQ(r.outcome, RewriteOutcome::Written) << r.error.toStdString();
        ++rewrites;
    }
    for (auto &p : procs) {
        if (p->state() != QProcess::NotRunning) {
            ASSERT_TRUE(p->waitForFinished(120000));
        }
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().constData();
    }
    EXPECT_GE(rewrites, 60);
    EXPECT_TRUE(overlapped);
    std::printf("[          ] %d rewrites while %d runs were appended\n", rewrites,
                kProcesses * kEach);

    // Every appended run once and intact, in each process's order; the school's own records
    // exactly as the rewrites left them, in their order.
    const std::vector<GradeRecord> after = test::decodeRecords(world.gradeBytes());
    EXPECT_EQ(world.gradeBytes().size() % 44, 0);
    std::vector<GradeRecord> own;
    std::map<std::pair<int, int>, int> seen;
    std::map<int, int> last;
    for (const GradeRecord &r : after) {
        if (r.RecStudent < 101) {
            own.push_back(r);
            continue;
        }
        GradeRecord appended = gradeRecord(r.RecStudent, 3, r.RecSeconds,
                                           test::dayValue(2026, 12, 9), 36000.0 / 86400.0);
        ASSERT_EQ(r, appended);
        ASSERT_LT(r.RecStudent, 101 + kProcesses);
        ++seen[{r.RecStudent, r.RecSeconds}];
        ASSERT_GT(r.RecSeconds, last[r.RecStudent]);
        last[r.RecStudent] = r.RecSeconds;
    }
    EXPECT_EQ(seen.size(), std::size_t(kProcesses * kEach));
    for (const auto &[key, n] : seen)
        EXPECT_EQ(n, 1) << key.first << "/" << key.second;
    EXPECT_EQ(own, expected);
    EXPECT_FALSE(tempExists());
}

} // namespace
} // namespace tavoro::teacher
