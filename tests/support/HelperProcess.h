// What the helper processes of the tests share: a state over the fakes and a quick clock,
// pointed at one program data folder, and the lines they exchange with the test.
#pragma once

#include "core/AppState.h"
#include "support/Fakes.h"
#include "support/QuickClock.h"

#include <QString>
#include <QStringList>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#endif

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

    explicit HelperWorld(const QString &programDataFolder)
    {
        state.settings.ProgramDataFolder = programDataFolder;
        state.settings.SchoolCode = QStringLiteral("12345");
    }

    // The texts of the message boxes shown, on standard error.
    void reportDialogs() const
    {
        for (const auto &call : dialogs.calls)
            std::fprintf(stderr, "%s\n", qPrintable(call.text));
    }
};

// The helper's arguments as the test passed them: on Windows from the wide command line,
// since the narrow argv holds only what the system's ANSI code page can show.
inline QStringList helperArguments(int argc, char **argv)
{
    QStringList args;
#ifdef _WIN32
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int n = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &n)) {
        for (int i = 0; i < n; ++i)
            args << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
#endif
    return args;
}

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
