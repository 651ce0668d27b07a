// How the record steps end the program on an error a retry cannot help: a message box over
// the active window, every window unloaded, the program ended. The exit seam of a test
// returns, so callers return false at once.
#pragma once

#include <QString>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::records {

bool EndProgramWithMessage(core::AppState &state, const QString &text);

// Waits one second for a locked or busy file, letting window events run. False when the
// program is being ended meanwhile.
bool WaitForBusyFile(core::AppState &state);

} // namespace tavoro::records
