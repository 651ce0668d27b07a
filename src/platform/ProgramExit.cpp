// Ends the program: unloads every window, last first, then ends the process.
#include "ProgramExit.h"

#include <QGuiApplication>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace tavoro::platform {

void ProcessExit::exit(int code)
{
    m_requested = true;
    if (qGuiApp) {
        const QWindowList windows = QGuiApplication::topLevelWindows();
        for (auto it = windows.crbegin(); it != windows.crend(); ++it)
            (*it)->hide();
    }
    std::fflush(nullptr);
    // Nothing after this point may run: the caller's remaining steps belong to a program
    // that has ended. Files are closed by the operating system.
    std::exit(code);
}

} // namespace tavoro::platform
