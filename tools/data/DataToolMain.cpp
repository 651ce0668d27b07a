// tavoro-data [--app-folder DIR] [--today YYYY-MM-DD] export|stats|best|check|graph
#include "DataTool.h"

#include "platform/Clock.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The graph pages are drawn without any display: on a school's server as on a desk.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    tavoro::platform::SystemClock clock;
    const tavoro::datatool::Result r =
        tavoro::datatool::Run(args, QCoreApplication::applicationDirPath(), clock.today());
    std::fwrite(r.out.constData(), 1, std::size_t(r.out.size()), stdout);
    std::fwrite(r.err.constData(), 1, std::size_t(r.err.size()), stderr);
    std::fflush(stdout);
    return r.status;
}
