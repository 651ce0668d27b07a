// A second process for the records tests:
//   append FOLDER PUPIL COUNT  prints "ready", and once a line arrives on its input appends
//                              COUNT records of PUPIL (level 3, 1..COUNT seconds) to the
//                              grade file in FOLDER through AppendGradeRecord, on a clock
//                              whose one-second waits pass in 10 ms; prints "waits N"
//   append-for FOLDER PUPIL SECONDS
//                              the same, but appends records of 1, 2, ... seconds, one every
//                              millisecond or so, until SECONDS of real time have passed;
//                              prints "appended N"
//   hold FILE                  holds the whole-file lock of FILE, prints "locked", and lets it
//                              go when a line arrives on its input ("released")
//   wait                       prints "running" and ends when a line arrives on its input
//   crash FOLDER OP K ACTION   runs one writer of the grade file in FOLDER (OP: "change" or
//                              "delete" of record 2 with a backup first, "putback", or
//                              "append" of a run of pupil 300) with the K-th file step
//                              failing ("fail"), failing with every step after it
//                              ("fail-onward") or ending the process ("end"; K 0: none);
//                              prints its outcome ("written", "stale", "failed") and the
//                              steps taken as "steps N"
#include "platform/DiskFiles.h"
#include "platform/RecordFile.h"
#include "platform/TextFile.h"
#include "records/GradeWriter.h"
#include "records/Recording.h"
#include "support/HelperProcess.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <string>

using namespace tavoro;

namespace {

using test::say;
using test::waitForLine;

int append(const QString &folder, int pupil, int count)
{
    test::HelperWorld w(folder);
    w.state.pupil.CurrentStudent = std::int16_t(pupil);
    w.state.run.CurrentLevel = 3;
    say("ready");
    waitForLine(); // so that every process starts appending at once
    int waits = 0;
    for (int i = 1; i <= count; ++i) {
        w.state.run.RunTime = i;
        if (!records::AppendGradeRecord(w.state,
                                        [&](bool waiting) { waits += waiting ? 1 : 0; })) {
            w.reportDialogs();
            return 1;
        }
    }
    std::printf("waits %d\n", waits);
    return 0;
}

int appendFor(const QString &folder, int pupil, int seconds)
{
    test::HelperWorld w(folder);
    w.state.pupil.CurrentStudent = std::int16_t(pupil);
    w.state.run.CurrentLevel = 3;
    say("ready");
    waitForLine();
    QElapsedTimer timer;
    timer.start();
    int n = 0;
    while (timer.elapsed() < qint64(seconds) * 1000) {
        w.state.run.RunTime = ++n;
        if (!records::RecordRun(w.state, 3)) {
            w.reportDialogs();
            return 1;
        }
        QThread::usleep(1000);
    }
    std::printf("appended %d\n", n);
    return 0;
}

int hold(const QString &path)
{
    platform::RecordFile file;
    if (!file.open(path) || !file.tryLockWhole()) {
        std::fprintf(stderr, "cannot lock: %s\n", qPrintable(file.errorText()));
        return 1;
    }
    say("locked");
    waitForLine();
    file.unlockWhole();
    file.close();
    say("released");
    return 0;
}

int crash(const QString &folder, const char *op, int k, const char *action)
{
    using platform::FileFaults;
    test::HelperWorld w(folder);
    const QByteArray bytes =
        platform::readFileBytes(records::GradeFilePath(w.state.settings)).bytes;
    records::GradeRecord shown;
    if (bytes.size() >= 2 * records::kGradeRecordSize)
        shown = records::DecodeGradeRecord(bytes.constData() + records::kGradeRecordSize);
    if (k > 0)
        FileFaults::arm(k, std::strcmp(action, "end") == 0    ? FileFaults::Action::EndProcess
                           : std::strcmp(action, "fail") == 0 ? FileFaults::Action::Fail
                                                              : FileFaults::Action::FailOnward);
    records::RewriteResult r;
    if (std::strcmp(op, "change") == 0) {
        records::GradeRecord changed = shown;
        changed.RecSeconds = 777;
        changed.RecStudent = 77;
        r = records::ChangeGradeRecord(w.state, 2, shown, changed, true);
    } else if (std::strcmp(op, "delete") == 0) {
        r = records::DeleteGradeRecord(w.state, 2, shown, true);
    } else if (std::strcmp(op, "putback") == 0) {
        r = records::RestoreGradeTempCopy(w.state);
    } else {
        w.state.pupil.CurrentStudent = 300;
        w.state.run.CurrentLevel = 3;
        w.state.run.RunTime = 300;
        r.outcome = records::AppendGradeRecord(w.state) ? records::RewriteOutcome::Written
                                                         : records::RewriteOutcome::Failed;
    }
    const int steps = FileFaults::steps();
    FileFaults::disarm();
    say(r.outcome == records::RewriteOutcome::Written ? "written"
        : r.outcome == records::RewriteOutcome::Stale ? "stale"
                                                      : "failed");
    std::printf("steps %d\n", steps);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QStringList args = test::helperArguments(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "append") == 0)
        return append(args[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc == 5 && std::strcmp(argv[1], "append-for") == 0)
        return appendFor(args[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc == 6 && std::strcmp(argv[1], "crash") == 0)
        return crash(args[2], argv[3], std::atoi(argv[4]), argv[5]);
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0)
        return hold(args[2]);
    if (argc == 2 && std::strcmp(argv[1], "wait") == 0) {
        say("running");
        waitForLine();
        return 0;
    }
    std::fprintf(
        stderr, "usage: records_helper append FOLDER PUPIL COUNT | append-for FOLDER PUPIL SECONDS "
                "| hold FILE | wait | crash FOLDER OP K ACTION\n");
    return 2;
}
