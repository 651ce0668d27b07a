// Ending the program from a record step, and the one-second wait of the retries.
#include "Failure.h"

#include "core/AppState.h"
#include "core/Screens.h"
#include "platform/Dialogs.h"
#include "platform/Events.h"
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

bool WaitForBusyFile(core::AppState &state)
{
    platform::waitWithEvents(state.clock(), 1000);
    return !state.programExit().exitRequested();
}

} // namespace tavoro::records
