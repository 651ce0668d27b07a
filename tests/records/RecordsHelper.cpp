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
#include "support/Fakes.h"
#include "support/QuickClock.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <string>

using namespace tavoro;

namespace {

void say(const char *text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void waitForLine()
{
    char buf[64];
    if (!std::fgets(buf, sizeof buf, stdin))
        return;
}

int append(const char *folder, int pupil, int count)
{
    test::QuickClock clock;
    test::FakeRandom random;
    test::FakeSoundPlayer sound;
    test::FakeDialogs dialogs;
    test::FakeExit programExit;
    test::FakeLauncher launcher;
    core::AppState state(
        core::Services{&clock, &random, &sound, &dialogs, &programExit, &launcher});
    state.settings.ProgramDataFolder = QString::fromLocal8Bit(folder);
    state.settings.SchoolCode = QStringLiteral("12345");
    state.pupil.CurrentStudent = std::int16_t(pupil);
    state.run.CurrentLevel = 3;
    say("ready");
    waitForLine(); // so that every process starts appending at once
    int waits = 0;
    for (int i = 1; i <= count; ++i) {
        state.run.RunTime = i;
        if (!records::AppendGradeRecord(state, [&](bool waiting) { waits += waiting ? 1 : 0; })) {
            for (const auto &call : dialogs.calls)
                std::fprintf(stderr, "%s\n", qPrintable(call.text));
            return 1;
        }
    }
    std::printf("waits %d\n", waits);
    return 0;
}

int appendFor(const char *folder, int pupil, int seconds)
{
    test::QuickClock clock;
    test::FakeRandom random;
    test::FakeSoundPlayer sound;
    test::FakeDialogs dialogs;
    test::FakeExit programExit;
    test::FakeLauncher launcher;
    core::AppState state(
        core::Services{&clock, &random, &sound, &dialogs, &programExit, &launcher});
    state.settings.ProgramDataFolder = QString::fromLocal8Bit(folder);
    state.settings.SchoolCode = QStringLiteral("12345");
    state.pupil.CurrentStudent = std::int16_t(pupil);
    state.run.CurrentLevel = 3;
    say("ready");
    waitForLine();
    QElapsedTimer timer;
    timer.start();
    int n = 0;
    while (timer.elapsed() < qint64(seconds) * 1000) {
        state.run.RunTime = ++n;
        if (!records::RecordRun(state, 3)) {
            for (const auto &call : dialogs.calls)
                std::fprintf(stderr, "%s\n", qPrintable(call.text));
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
