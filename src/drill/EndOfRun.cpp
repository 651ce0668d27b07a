// The end of a run.
#include "EndOfRun.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Screens.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "records/Recording.h"

#include <cstdint>

namespace tavoro::drill {

void EndRun(core::AppState &state, RunEndView &view)
{
    core::Run &run = state.run;
    platform::processPendingEvents();
    // A tenth solve and a time-out in the same moment both end up here; the run is
    // recorded once.
    if (run.RecordingStarted == 1)
        return;
    run.RecordingStarted = 1;
    view.showEndNotice(run.TimeOutFlag == 1);
    platform::processPendingEvents();

    const int level = run.CurrentLevel;
    if (core::IsPracticeLevel(state, level)) {
        // Practice runs are neither recorded nor followed by the finish screen.
        if (state.screens) {
            state.screens->showWait();
            state.screens->closeDrill();
            state.screens->showLevelMenu();
        }
        platform::processPendingEvents();
        return;
    }
    if (level < 0 || level > core::kMaxLevel || state.profile.LevelRecorded[level] != 1)
        return;

    view.stopRunClock();
    run.RunTime = run.TimeOutFlag != 0 ? core::kNoTime : run.ElapsedSeconds;
    const bool recorded = records::RecordRun(
        state, level, [&view](bool waiting) { view.showRecordingWait(waiting); });
    if (!recorded)
        return; // an error ended the program after its message
    if (state.screens)
        state.screens->showWait();
    platform::processPendingEvents();
    WaitThenShowFinish(state, 1.0);
}

void WaitThenShowFinish(core::AppState &state, double seconds)
{
    platform::Clock &clock = state.clock();
    long long n = 0;
    std::uint32_t t0 = clock.tickMs();
    for (;;) {
        const std::uint32_t now = clock.tickMs();
        // Unsigned difference: the tick may wrap during the wait.
        const std::uint32_t d = now - t0;
        if (d > 10) {
            ++n;
            if (10.0 * double(n) / 1000.0 >= seconds)
                break;
            t0 = now - (d - 10);
        }
        platform::processPendingEvents();
        clock.idle();
    }
    if (state.screens) {
        state.screens->closeDrill();
        state.screens->showFinish();
    }
}

} // namespace tavoro::drill
