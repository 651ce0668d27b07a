// Starts the outside launcher through QProcess.
#include "Launcher.h"

#include "Paths.h"

#include <QFileInfo>
#include <QProcess>

namespace tavoro::platform {

bool ProcessLauncher::start(const QString &program, const QStringList &arguments, QString *error)
{
    const QString local = QFileInfo(localPath(program)).absoluteFilePath();
    QProcess process;
    process.setProgram(local);
    process.setArguments(arguments);
    process.setWorkingDirectory(QFileInfo(local).absolutePath());
    if (!process.startDetached()) {
        if (error)
            *error = process.errorString();
        return false;
    }
    return true;
}

} // namespace tavoro::platform
