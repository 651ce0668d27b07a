// What the helper processes of the tests share: a state over the fakes and a quick clock,
// pointed at one program data folder, and the lines they exchange with the test.
#pragma once

#include "core/AppState.h"
#include "support/Fakes.h"
#include "support/QuickClock.h"

#include <QString>

#include <cstdio>

namespace tavoro::test {

struct HelperWorld {
    QuickClock clock;
    FakeRandom random;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeExit programExit;
    FakeLauncher launcher;
    core::AppState state{
        core::Services{&clock, &random, &sound, &dialogs, &programExit, &launcher}};

    explicit HelperWorld(const char *programDataFolder)
    {
        state.settings.ProgramDataFolder = QString::fromLocal8Bit(programDataFolder);
        state.settings.SchoolCode = QStringLiteral("12345");
    }

    // The texts of the message boxes shown, on standard error.
    void reportDialogs() const
    {
        for (const auto &call : dialogs.calls)
            std::fprintf(stderr, "%s\n", qPrintable(call.text));
    }
};

// A line to the test, at once.
inline void say(const char *text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Waits for a line from the test (or the end of the input).
inline void waitForLine()
{
    char buf[64];
    if (!std::fgets(buf, sizeof buf, stdin))
        return;
}

} // namespace tavoro::test
