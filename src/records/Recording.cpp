// The recording step of a timed run.
#include "Recording.h"

#include "Failure.h"
#include "GradeFile.h"
#include "core/AppState.h"
#include "platform/RecordFile.h"

namespace tavoro::records {
namespace {

using platform::RecordFile;

class Appender {
public:
    Appender(core::AppState &state, const RecordingWaitNotice &notice)
        : m_state(state), m_notice(notice)
    {
    }

    bool run()
    {
        RecordFile file;
        while (!OpenGradeFile(m_state, file)) {
            if (!retry(file))
                return false;
        }
        while (!file.tryLockWhole()) {
            if (!retry(file))
                return false;
        }
        // The record is filled once the lock is held, so its time is that of the write.
        const GradeRecord record = MakeRunRecord(m_state);
        for (;;) {
            const std::int64_t count = GradeRecordCount(file);
            // A partial record at the end is overwritten by the new one.
            if (count >= 0 && WriteGradeRecord(file, count + 1, record))
                break;
            if (!retry(file))
                return false;
        }
        // Closing the file drops the lock as well, so an unlock that fails loses nothing.
        file.unlockWhole();
        file.close();
        if (m_waited && m_notice)
            m_notice(false);
        return true;
    }

private:
    // After a failed step: waits for a file locked or held by another copy of the program
    // and returns true so that the step is repeated. Any other error ends the program with
    // a message that names the folder: a missing folder, or a file or folder that may only
    // be read, stays so however long one waits.
    bool retry(const RecordFile &file)
    {
        if (file.error() != RecordFile::Error::Busy) {
            return EndProgramWithMessage(
                m_state, QStringLiteral("成績ランダムファイル記録") + file.errorText() +
                             GradeFilePlace(m_state.settings, file.error()) +
                             QStringLiteral("\r\nこの回の成績は記録されていません。"));
        }
        m_waited = true;
        if (m_notice)
            m_notice(true);
        return WaitForBusyFile(m_state);
    }

    core::AppState &m_state;
    const RecordingWaitNotice &m_notice;
    bool m_waited = false;
};

bool inRange(int v, int max)
{
    return v >= 0 && v <= max;
}

} // namespace

bool AppendGradeRecord(core::AppState &state, const RecordingWaitNotice &notice)
{
    return Appender(state, notice).run();
}

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
