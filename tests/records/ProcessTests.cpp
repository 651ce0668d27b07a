// Other processes on the same grade file: concurrent appends, a lock held elsewhere, a file
// that is busy.
#include "RecordsWorld.h"

#include "records/Recording.h"
#include "records/Statistics.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace tavoro;
using namespace tavoro::test;
using records::GradeRecord;

namespace {

const QString kHelper = QStringLiteral(TAVORO_RECORDS_HELPER);

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Starts a helper and waits for its first line.
std::unique_ptr<QProcess> startHelper(const QString &program, const QStringList &args,
                                      const QByteArray &firstLine)
{
    auto p = std::make_unique<QProcess>();
    p->start(program, args);
    EXPECT_TRUE(p->waitForStarted(10000)) << qPrintable(p->errorString());
    EXPECT_TRUE(p->waitForReadyRead(10000));
    EXPECT_EQ(p->readLine().trimmed(), firstLine);
    return p;
}

} // namespace

TEST(Processes, ConcurrentAppendsKeepEveryRecordExactlyOnce)
{
    RecordsWorld w;
    constexpr int kProcesses = 4;
    constexpr int kEach = 1000;
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < kProcesses; ++i) {
        procs.push_back(startHelper(kHelper,
                                    {QStringLiteral("append"), w.inst.programDataFolder(),
                                     QString::number(101 + i), QString::number(kEach)},
                                    "ready"));
    }
    for (auto &p : procs)
        p->write("go\n");
    for (auto &p : procs)
        p->waitForBytesWritten(10000);
    int waits = 0;
    for (auto &p : procs) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().constData();
        const QByteArray out = p->readAllStandardOutput().trimmed();
        ASSERT_TRUE(out.startsWith("waits ")) << out.constData();
        waits += out.mid(6).toInt();
    }
    std::printf("[          ] lock waits during the concurrent appends: %d\n", waits);

    const QByteArray bytes = readFile(w.gradePath());
    ASSERT_EQ(bytes.size(), kProcesses * kEach * 44);
    std::map<std::pair<int, int>, int> seen;
    std::map<int, int> lastOfPupil;
    for (const GradeRecord &r : decode(bytes)) {
        // Intact: every byte as the helper's recording step writes it.
        GradeRecord expected =
            makeRecord(r.RecStudent, 3, r.RecSeconds, day(2026, 12, 9), 36000.0 / 86400.0);
        ASSERT_EQ(r, expected);
        ASSERT_GE(r.RecStudent, 101);
        ASSERT_LT(r.RecStudent, 101 + kProcesses);
        ASSERT_GE(r.RecSeconds, 1);
        ASSERT_LE(r.RecSeconds, kEach);
        ++seen[{r.RecStudent, r.RecSeconds}];
        // Each process appends in order.
        ASSERT_GT(r.RecSeconds, lastOfPupil[r.RecStudent]);
        lastOfPupil[r.RecStudent] = r.RecSeconds;
    }
    EXPECT_EQ(seen.size(), std::size_t(kProcesses * kEach));
    for (const auto &[key, n] : seen)
        EXPECT_EQ(n, 1) << key.first << "/" << key.second;
}

TEST(Processes, ALockHeldByAnotherProcessMakesTheAppendWaitThenSucceed)
{
    RecordsWorld w;
    const GradeRecord earlier = makeRecord(1, 1, 30);
    writeFile(w.gradePath(), encode({earlier}));
    auto holder = startHelper(kHelper, {QStringLiteral("hold"), w.gradePath()}, "locked");

    core::AppState &s = *w.state;
    setUpRun(s);

    // The other PC lets the lock go after three seconds of the program's clock.
    const std::uint32_t start = w.clock.tick;
    bool released = false;
    w.clock.onIdle = [&](std::uint32_t tick) {
        if (!released && tick - start >= 2500) {
            holder->write("go\n");
            ASSERT_TRUE(holder->waitForReadyRead(10000));
            ASSERT_EQ(holder->readLine().trimmed(), QByteArray("released"));
            released = true;
        }
    };
    std::vector<bool> notices;
    ASSERT_TRUE(records::RecordRun(s, 3, [&](bool waiting) { notices.push_back(waiting); }));
    EXPECT_TRUE(released);
    EXPECT_EQ(w.clock.tick - start, 3000u); // three one-second waits
    EXPECT_EQ(notices, (std::vector<bool>{true, true, true, false}));
    EXPECT_TRUE(w.dialogs.calls.empty());
    EXPECT_FALSE(w.programExit.requested);
    EXPECT_EQ(readFile(w.gradePath()), encode({earlier, makeRecord(12, 3, 40)}));
    EXPECT_EQ(s.run.NewPersonalBest, 1);
    EXPECT_EQ(s.run.NewSchoolBest, 1);
    if (holder->state() != QProcess::NotRunning) {
        ASSERT_TRUE(holder->waitForFinished(10000));
    }
    EXPECT_EQ(holder->exitCode(), 0);
}

TEST(Processes, ALockHolderThatIsKilledLeavesTheFileFreeAtOnce)
{
    RecordsWorld w;
    const GradeRecord earlier = makeRecord(1, 1, 30);
    writeFile(w.gradePath(), encode({earlier}));
    auto holder = startHelper(kHelper, {QStringLiteral("hold"), w.gradePath()}, "locked");
    // While it lives, the lock keeps the append waiting.
    w.state->pupil.CurrentStudent = 12;
    w.state->run.CurrentLevel = 3;
    w.state->run.RunTime = 40;
    int waits = 0;
    const std::uint32_t start = w.clock.tick;
    w.clock.onIdle = [&](std::uint32_t tick) {
        if (tick - start == 1000 && holder->state() != QProcess::NotRunning) {
            holder->kill(); // SIGKILL: no chance to let the lock go itself
            ASSERT_TRUE(holder->waitForFinished(10000));
        }
    };
    ASSERT_TRUE(records::AppendGradeRecord(*w.state, [&](bool waiting) { waits += waiting; }));
    EXPECT_EQ(holder->exitStatus(), QProcess::CrashExit);
    // The system dropped the dead holder's lock: the wait that was under way was the last.
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(w.clock.tick - start, 1000u);
    EXPECT_TRUE(w.dialogs.calls.empty());
    EXPECT_EQ(readFile(w.gradePath()), encode({earlier, makeRecord(12, 3, 40)}));

    // Killed while it holds the lock, before anyone waits: the next append does not wait.
    holder = startHelper(kHelper, {QStringLiteral("hold"), w.gradePath()}, "locked");
    holder->kill();
    ASSERT_TRUE(holder->waitForFinished(10000));
    w.clock.onIdle = {};
    waits = 0;
    const std::uint32_t again = w.clock.tick;
    w.state->run.RunTime = 41;
    ASSERT_TRUE(records::AppendGradeRecord(*w.state, [&](bool waiting) { waits += waiting; }));
    EXPECT_EQ(waits, 0);
    EXPECT_EQ(w.clock.tick, again);
    EXPECT_EQ(readFile(w.gradePath()),
              encode({earlier, makeRecord(12, 3, 40), makeRecord(12, 3, 41)}));
}

namespace {

// Puts a copy of the helper at the grade file's place and runs it: while it runs the file
// cannot be opened for writing (the system reports it busy).
std::unique_ptr<QProcess> runAtGradePath(const RecordsWorld &w)
{
    QFile::remove(w.gradePath());
    EXPECT_TRUE(QFile::copy(kHelper, w.gradePath()));
    QFile(w.gradePath()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return startHelper(w.gradePath(), {QStringLiteral("wait")}, "running");
}

} // namespace

TEST(Processes, ABusyFileIsRetriedEverySecondByTheAppend)
{
    RecordsWorld w;
    auto busy = runAtGradePath(w);
    w.state->pupil.CurrentStudent = 5;
    w.state->run.CurrentLevel = 2;
    w.state->run.RunTime = 33;
    const std::uint32_t start = w.clock.tick;
    w.clock.onIdle = [&](std::uint32_t tick) {
        if (tick - start == 2000) {
            busy->write("\n");
            if (busy->state() != QProcess::NotRunning) {
                ASSERT_TRUE(busy->waitForFinished(10000));
            }
            writeFile(w.gradePath(), encode({makeRecord(1, 1, 30)}));
        }
    };
    int waits = 0;
    ASSERT_TRUE(records::AppendGradeRecord(*w.state, [&](bool waiting) { waits += waiting; }));
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(w.clock.tick - start, 2000u);
    EXPECT_TRUE(w.dialogs.calls.empty());
    EXPECT_EQ(readFile(w.gradePath()), encode({makeRecord(1, 1, 30), makeRecord(5, 2, 33)}));
}

TEST(Processes, ABusyFileIsRetriedEverySecondByTheLoad)
{
    RecordsWorld w;
    w.state->criteria.TargetTime[1] = 60;
    w.state->criteria.PointMultiplier[1] = 1.0f;
    auto busy = runAtGradePath(w);
    const std::uint32_t start = w.clock.tick;
    w.clock.onIdle = [&](std::uint32_t tick) {
        if (tick - start == 3000) {
            busy->write("\n");
            if (busy->state() != QProcess::NotRunning) {
                ASSERT_TRUE(busy->waitForFinished(10000));
            }
            writeFile(w.gradePath(), encode({makeRecord(4, 1, 30)}));
        }
    };
    records::LoadedRecords loaded;
    ASSERT_TRUE(records::ComputeStatistics(*w.state, loaded));
    EXPECT_EQ(w.clock.tick - start, 3000u);
    EXPECT_EQ(loaded.LoadRetryCount, 0); // not-found retries only
    EXPECT_TRUE(w.dialogs.calls.empty());
    EXPECT_EQ(w.state->stats.TotalRuns(4, 1), 1);
    EXPECT_EQ(w.state->stats.TotalPoints(4, 1), 11);
}
