// The recording step that ends every timed run: the best-time checks and the append of one
// record to the grade file (GradeWriter.h).
#pragma once

#include "records/GradeWriter.h"

namespace tavoro::core {
struct AppState;
}

namespace tavoro::records {

// The recording step for the run just ended (level is always CurrentLevel): sets
// AlreadyCleared, NewPersonalBest and NewSchoolBest, lowers PersonalBest and SchoolBest,
// and appends the record. A locked or busy file is retried once a second for as long as it
// stays so. Returns false when an error ended the program (after its message box).
bool RecordRun(core::AppState &state, int level, const RecordingWaitNotice &notice = {});

} // namespace tavoro::records
