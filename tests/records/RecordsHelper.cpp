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
#include "platform/RecordFile.h"
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

int append(const char *folder, int pupil, int count)
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

int appendFor(const char *folder, int pupil, int seconds)
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

int hold(const char *path)
{
    platform::RecordFile file;
    if (!file.open(QString::fromLocal8Bit(path)) || !file.tryLockWhole()) {
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

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && std::strcmp(argv[1], "append") == 0)
        return append(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc == 5 && std::strcmp(argv[1], "append-for") == 0)
        return appendFor(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0)
        return hold(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "wait") == 0) {
        say("running");
        waitForLine();
        return 0;
    }
    std::fprintf(
        stderr, "usage: records_helper append FOLDER PUPIL COUNT | append-for FOLDER PUPIL SECONDS "
                "| hold FILE | wait\n");
    return 2;
}
