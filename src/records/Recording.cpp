// The recording step of a timed run.
#include "Recording.h"

#include "core/AppState.h"

namespace tavoro::records {
namespace {

bool inRange(int v, int max)
{
    return v >= 0 && v <= max;
}

} // namespace

bool RecordRun(core::AppState &state, int level, const RecordingWaitNotice &notice)
{
    core::Statistics &stats = state.stats;
    const core::Criteria &criteria = state.criteria;
    core::Run &run = state.run;
    const int pupil = state.pupil.CurrentStudent;
    const int current = run.CurrentLevel;
    const bool pupilOk = inRange(pupil, core::kMaxStudent);
    const bool levelOk = inRange(level, core::kMaxLevel);

    // The statistics still describe the state before this run.
    run.AlreadyCleared = 0;
    if (pupilOk && inRange(current, core::kMaxLevel) &&
        stats.TotalRuns(pupil, current) >= criteria.ClearCount[current] &&
        stats.TotalPoints(pupil, current) >= criteria.ClearPoints[current])
        run.AlreadyCleared = 1;

    // Strict comparisons: a run equal to the best sets no flag, and 99999 (a time-out, the
    // value of "no best yet") never does.
    if (pupilOk && levelOk && stats.PersonalBest(pupil, level) > run.RunTime) {
        run.NewPersonalBest = 1;
        stats.PersonalBest(pupil, level) = run.RunTime;
    }

    if (!AppendGradeRecord(state, notice))
        return false;

    if (levelOk && stats.SchoolBest[level] > run.RunTime) {
        stats.SchoolBest[level] = run.RunTime;
        run.NewSchoolBest = 1;
    }
    return true;
}

} // namespace tavoro::records
