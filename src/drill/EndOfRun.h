// The end of a run (module Main1): the notice over the drill window, the result time, the
// recording of the run, and the one-second wait before the finish screen.
#pragma once

namespace tavoro::core {
struct AppState;
}

namespace tavoro::drill {

// What the end-of-run sequence asks of the drill window.
class RunEndView {
public:
    virtual ~RunEndView() = default;
    // Covers the window with the notice sPicture2: "時間切れ" after a time-out, otherwise
    // "成績記録中".
    virtual void showEndNotice(bool timedOut) = 0;
    // While the grade file is held by another PC the notice says that the recording waits
    // its turn; `waiting` false once the record is written.
    virtual void showRecordingWait(bool waiting) = 0;
    // Stops the run clock sTimer1.
    virtual void stopRunClock() = 0;
};

// The end-of-run sequence, once per run (RecordingStarted): shows the notice, sets RunTime
// (99999 after a time-out, else ElapsedSeconds), records the run, shows the wait window and
// opens the finish screen after one second. A practice level records nothing and returns to
// the level menu instead.
void EndRun(core::AppState &state, RunEndView &view);

// Waits `seconds`, counted in 10 ms steps on the millisecond tick with the excess carried
// into the next step and window events let run after every pass; then unloads the drill
// window and shows the finish screen.
void WaitThenShowFinish(core::AppState &state, double seconds);

} // namespace tavoro::drill
