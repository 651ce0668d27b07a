// The recording step that ends every timed run: the best-time checks and the append of one
// record to the grade file under the whole-file lock.
#pragma once

#include <functional>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::records {

// Called each time the append has to wait for the grade file (locked by another PC, or
// busy), before the one-second pause; `waiting` is false once the record is written (only
// after a wait, so a notice that was shown is taken down again).
using RecordingWaitNotice = std::function<void(bool waiting)>;

// Appends the record of the current run to the grade file, holding the whole-file lock
// from before the length is taken until after the write. A file locked or held by another
// copy of the program is retried once a second, windows kept responsive, for as long as it
// stays so; any other error (a missing folder, a file or folder that may only be read)
// shows "成績ランダムファイル記録" with its description and the folder, and ends the
// program, and then false is returned (the caller must stop).
bool AppendGradeRecord(core::AppState &state, const RecordingWaitNotice &notice = {});

// The recording step for the run just ended (level is always CurrentLevel): sets
// AlreadyCleared, NewPersonalBest and NewSchoolBest, lowers PersonalBest and SchoolBest,
// and appends the record. A locked or busy file is retried once a second for as long as it
// stays so. Returns false when an error ended the program (after its message box).
bool RecordRun(core::AppState &state, int level, const RecordingWaitNotice &notice = {});

} // namespace tavoro::records
