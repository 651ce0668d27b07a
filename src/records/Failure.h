// How the record steps end the program on an error a retry cannot help: a message box over
// the active window, every window unloaded, the program ended. The exit seam of a test
// returns, so callers return false at once.
#pragma once

#include "platform/RecordFile.h"

#include <QString>

namespace tavoro::core {
struct AppState;
struct Settings;
} // namespace tavoro::core

namespace tavoro::records {

bool EndProgramWithMessage(core::AppState &state, const QString &text);

// The line that names where the grade file failed, for a message that a retry cannot help:
// the program's data folder when it is missing or cannot be written, else the file.
QString GradeFilePlace(const core::Settings &settings, platform::RecordFile::Error error);

// Waits one second for a locked or busy file, letting window events run. False when the
// program is being ended meanwhile.
bool WaitForBusyFile(core::AppState &state);

} // namespace tavoro::records
