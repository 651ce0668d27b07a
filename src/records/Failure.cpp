// Ending the program from a record step, and the one-second wait of the retries.
#include "Failure.h"

#include "GradeFile.h"
#include "core/AppState.h"
#include "core/Screens.h"
#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace tavoro::records {

bool EndProgramWithMessage(core::AppState &state, const QString &text)
{
    state.dialogs().message(state.screens ? state.screens->activeWindow() : nullptr, text,
                            state.profile.ProgramTitle);
    if (state.screens)
        state.screens->closeAll();
    state.programExit().exit(1);
    return false;
}

QString GradeFilePlace(const core::Settings &settings, platform::RecordFile::Error error)
{
    const QString folder = platform::localPath(settings.ProgramDataFolder);
    switch (error) {
    case platform::RecordFile::Error::NotFound:
        return QStringLiteral("\r\nフォルダがありません：") + folder;
    case platform::RecordFile::Error::Denied:
        return QStringLiteral("\r\nこのフォルダの成績ファイルに書き込めません：") + folder;
    default:
        return QStringLiteral("\r\n") + platform::localPath(GradeFilePath(settings));
    }
}

bool WaitForBusyFile(core::AppState &state)
{
    platform::waitWithEvents(state.clock(), 1000);
    return !state.programExit().exitRequested();
}

} // namespace tavoro::records
