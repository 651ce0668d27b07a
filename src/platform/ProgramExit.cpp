// Ends the program: unloads every window, last first, then ends the process.
#include "ProgramExit.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace tavoro::platform {

void ProcessExit::exit(int code)
{
    m_requested = true;
    if (qApp) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (auto it = windows.crbegin(); it != windows.crend(); ++it)
            (*it)->hide();
    }
    std::fflush(nullptr);
    // Nothing after this point may run: the caller's remaining steps belong to a program
    // that has ended. Files are closed by the operating system.
    std::exit(code);
}

} // namespace tavoro::platform
