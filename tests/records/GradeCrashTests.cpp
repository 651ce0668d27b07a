// Every writer of the grade file, made to fail or ended at each of its file steps in turn
// (a write, a cut, a flush, a rename, a removal), in a second process; after each such
// crash the test process, another PC, appends the next run. Whatever the step, every run of
// the other PC is there exactly once and intact, a teacher's change is wholly done or not
// at all (and done exactly when it was reported done), no temporary copy is left, and every
// backup is whole.
#include "RecordsWorld.h"

#include "platform/Paths.h"
#include "records/GradeWriter.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>

using namespace tavoro;
using namespace tavoro::test;
using records::GradeRecord;

namespace {

constexpr int kEndedExitCode = 86; // platform::FileFaults::kEndedExitCode

struct CrashCase {
    const char *op;     // change, delete, putback, append
    bool cut;           // the grade file ends in a record cut short
    const char *action; // fail, fail-onward, end
};

void PrintTo(const CrashCase &c, std::ostream *os)
{
    *os << c.op << (c.cut ? ", cut last record, " : ", whole file, ") << c.action;
}

std::string caseName(const testing::TestParamInfo<CrashCase> &info)
{
    std::string name = std::string(info.param.op) + (info.param.cut ? "_cut_" : "_whole_") +
                       info.param.action;
    for (char &c : name)
        if (c == '-')
            c = '_';
    return name;
}

class Crash : public ::testing::TestWithParam<CrashCase> {
protected:
    // Appends a run of `pupil` as another PC does, and returns the record written.
    GradeRecord appendRun(int pupil, int seconds)
    {
        w.state->pupil.CurrentStudent = std::int16_t(pupil);
        w.state->run.CurrentLevel = 4;
        w.state->run.RunTime = seconds;
        const GradeRecord record = records::MakeRunRecord(*w.state);
        EXPECT_TRUE(records::AppendGradeRecord(*w.state))
            << w.dialogs.kindsAndTexts().join(u'\n').toStdString();
        return record;
    }

    QString folder() const { return w.inst.programDataFolder(); }
    QByteArray gradeBytes() const
    {
        return w.inst.readBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"));
    }

    RecordsWorld w;
};

struct HelperRun {
    bool ended = false;
    QByteArray outcome;
    int steps = 0;
};

HelperRun runHelper(const QString &folder, const CrashCase &c, int k)
{
    QProcess p;
    p.start(QStringLiteral(TAVORO_RECORDS_HELPER),
            {QStringLiteral("crash"), folder, QString::fromLatin1(c.op), QString::number(k),
             QString::fromLatin1(c.action)});
    EXPECT_TRUE(p.waitForFinished(30000));
    HelperRun run;
    run.ended = p.exitStatus() == QProcess::NormalExit && p.exitCode() == kEndedExitCode;
    if (!run.ended) {
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        // (A Windows helper ends its lines with CR LF.)
        const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
        run.outcome = lines.value(0).trimmed();
        if (lines.value(1).startsWith("steps "))
            run.steps = lines.value(1).mid(6).trimmed().toInt();
    }
    return run;
}

TEST_P(Crash, EveryStepLeavesTheRunsAndAWholeOrNoChange)
{
    const CrashCase c = GetParam();
    const bool teacher = std::strcmp(c.op, "change") == 0 || std::strcmp(c.op, "delete") == 0;
    const QByteArray cutTail = c.cut ? QByteArray(20, '\x33') : QByteArray();
    const std::vector<GradeRecord> base = {makeRecord(1, 1, 30), makeRecord(2, 2, 40),
                                           makeRecord(3, 3, 50), makeRecord(4, 4, 60)};
    int crashPoints = 0;
    for (int k = 1;; ++k) {
        ASSERT_LT(k, 100) << "the writer never completes";
        QDir(folder()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder()));
        w.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"), encode(base));
        const GradeRecord before = appendRun(201, 11);
        std::vector<GradeRecord> old = base;
        old.push_back(before);
        const QByteArray oldBytes = encode(old) + cutTail;
        w.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"), oldBytes);
        if (!teacher) {
            // A change interrupted half-way: the copy stands, the file is half rewritten.
            w.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データtemp.dat"), oldBytes);
            QByteArray half = oldBytes;
            half.replace(44 + 16, 8, QByteArray(8, '\x7f'));
            half.chop(30);
            w.inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"), half);
        }

        const HelperRun run = runHelper(folder(), c, k);
        const bool completed = !run.ended && run.steps < k;
        if (!completed)
            ++crashPoints;
        const std::string where = std::string(c.op) + " at step " + std::to_string(k);
        if (std::strcmp(c.op, "putback") == 0 && !run.ended && run.outcome == "written") {
            EXPECT_EQ(gradeBytes(), oldBytes) << where; // exact, the cut record too
        }

        if (teacher && std::strcmp(c.action, "fail") == 0 && run.outcome == "failed") {
            // One step failed: the old bytes are back at once and the copy is gone.
            EXPECT_EQ(gradeBytes(), oldBytes) << where;
            EXPECT_FALSE(records::RewriteInterrupted(w.state->settings)) << where;
        }

        const GradeRecord after = appendRun(202, 12);
        EXPECT_FALSE(records::RewriteInterrupted(w.state->settings)) << where;
        const QByteArray bytes = gradeBytes();
        EXPECT_EQ(bytes.size() % records::kGradeRecordSize, 0) << where;
        const std::vector<GradeRecord> got = decode(bytes);

        std::vector<GradeRecord> notDone = old;
        std::vector<GradeRecord> done = old;
        if (std::strcmp(c.op, "change") == 0) {
            done[1].RecSeconds = 777;
            done[1].RecStudent = 77;
        } else if (std::strcmp(c.op, "delete") == 0) {
            done.erase(done.begin() + 1);
        } else if (std::strcmp(c.op, "append") == 0) {
            // The helper's own run, at the time of its own clock.
            GradeRecord own = after;
            own.RecStudent = 300;
            own.RecLevel = 3;
            own.RecSeconds = 300;
            if (got.size() > old.size()) {
                own.RecDate = got[old.size()].RecDate;
                own.RecClock = got[old.size()].RecClock;
            }
            done.push_back(own);
        }
        notDone.push_back(after);
        done.push_back(after);
        const bool isDone = got == done && done != notDone;
        EXPECT_TRUE(got == notDone || got == done)
            << where << ": " << got.size() << " records, " << bytes.size() << " bytes";
        // The other PC's runs, each exactly once.
        EXPECT_EQ(std::count(got.begin(), got.end(), before), 1) << where;
        EXPECT_EQ(std::count(got.begin(), got.end(), after), 1) << where;
        if (!run.ended && std::strcmp(c.op, "putback") != 0) {
            EXPECT_EQ(isDone, run.outcome == "written")
                << where << " reported " << run.outcome.constData();
        }

        // Every backup that bears a backup's name is whole.
        const QDir backups(platform::localPath(records::GradeBackupFolder(w.state->settings)));
        for (const QString &name :
             backups.entryList({QStringLiteral("成績累積データ*.dat")}, QDir::Files))
            EXPECT_EQ(w.inst.readBytes(QStringLiteral("data/Tavoro/成績累積データバックアップ/") +
                                       name),
                      oldBytes)
                << where << ": " << name.toStdString();

        if (completed) {
            EXPECT_EQ(run.outcome, "written") << where;
            EXPECT_TRUE(isDone || std::strcmp(c.op, "putback") == 0) << where;
            break;
        }
    }
    std::printf("[          ] %s, %s, %s: %d crash points\n", c.op,
                c.cut ? "cut last record" : "whole file", c.action, crashPoints);
}

std::vector<CrashCase> allCases()
{
    std::vector<CrashCase> cases;
    for (const char *op : {"change", "delete", "putback", "append"})
        for (bool cut : {false, true})
            for (const char *action : {"fail", "fail-onward", "end"})
                cases.push_back({op, cut, action});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Writers, Crash, ::testing::ValuesIn(allCases()), caseName);

} // namespace
