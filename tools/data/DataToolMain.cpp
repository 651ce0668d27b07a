// tavoro-data [--app-folder DIR] [--today YYYY-MM-DD] export|stats|best|check|graph|roster|report
#include "DataTool.h"

#include "platform/Clock.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
    // Only the graph pages and the class report are drawn, without any display: on a
    // school's server as on a desk. The other commands need no platform plugin at all.
    const bool drawing = std::any_of(argv + 1, argv + argc, [](const char *a) {
        return std::strcmp(a, "graph") == 0 || std::strcmp(a, "report") == 0;
    });
    std::unique_ptr<QCoreApplication> app;
    if (drawing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    tavoro::platform::SystemClock clock;
    const tavoro::datatool::Result r =
        tavoro::datatool::Run(args, QCoreApplication::applicationDirPath(), clock.today());
#ifdef _WIN32
    // The bytes as they are (UTF-8, LF unless --excel), not translated by the C runtime's
    // text mode; a console is told to show them as UTF-8.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#endif
    std::fwrite(r.out.constData(), 1, std::size_t(r.out.size()), stdout);
    std::fwrite(r.err.constData(), 1, std::size_t(r.err.size()), stderr);
    std::fflush(stdout);
    return r.status;
}
