// The recording step that ends every timed run: the best-time checks and the append of one
// record to the grade file under the whole-file lock.
#pragma once

#include <functional>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::records {

// Called each time the append has to wait for the grade file (locked by another PC, or
// busy), before the one-second pause; `waiting` is false once the record is written.
using RecordingWaitNotice = std::function<void(bool waiting)>;

// The recording step for the run just ended (level is always CurrentLevel): sets
// AlreadyCleared, NewPersonalBest and NewSchoolBest, lowers PersonalBest and SchoolBest,
// and appends the record. A locked or busy file is retried once a second for as long as it
// stays so. Returns false when an error ended the program (after its message box).
bool RecordRun(core::AppState &state, int level, const RecordingWaitNotice &notice = {});

} // namespace tavoro::records
