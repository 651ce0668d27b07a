// Every write of the grade file: the append of a run, a teacher's change and deletion, the
// put-back of an interrupted change, the temporary copy and the backups.
//
// All of them hold the grade file's whole-file lock while they write, and all of them
// follow one rule: with the lock held and before anything is written, a temporary copy
// "成績累積データtemp.dat" that stands beside the grade file means a change was
// interrupted, and it is put back first (its bytes over the file from the start, the file
// cut to its length, put on the disk, the copy removed). Since no writer writes while a
// copy stands, nothing can have been appended after the interruption and the put-back is
// exact; done again after a crash in its middle, it reaches the same bytes.
//
// A change or a deletion rewrites the grade file in place (other PCs hold the file open
// while they wait for its lock, and a file renamed over it would swallow their appends).
// Before it, the whole old file is copied to the temporary copy, written under another
// name, put on the disk and renamed, so that a copy found is always whole. The change
// counts as done only once the copy is removed. A write, cut or flush that fails puts the
// old bytes back at once from memory and removes the copy; where that fails too, the copy
// stays and the next writer puts it back. Before the first change of a session a dated
// backup, written the same way, goes into the backup folder, which keeps the newest ten.
#pragma once

#include "records/GradeFile.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace tavoro::core {
struct AppState;
struct Settings;
} // namespace tavoro::core

namespace tavoro::records {

constexpr int kKeptBackups = 10;

// ProgramDataFolder + "成績累積データtemp.dat".
QString GradeTempPath(const core::Settings &settings);
// ProgramDataFolder + "成績累積データバックアップ" + separator.
QString GradeBackupFolder(const core::Settings &settings);
// "成績累積データ20261209-090000.dat" for a backup taken at that day and time of day.
QString BackupFileName(const QDate &date, int secondsSinceMidnight);
// The day of the newest backup; none when the folder holds none.
std::optional<QDate> NewestBackupDate(const core::Settings &settings);

// Whether a temporary copy stands: a change was interrupted and is put back by the next
// writer.
bool RewriteInterrupted(const core::Settings &settings);

// Called each time a writer has to wait for the grade file (locked by another PC, or
// busy), before the one-second pause; `waiting` is false once the write is over (only
// after a wait, so a notice that was shown is taken down again).
using RecordingWaitNotice = std::function<void(bool waiting)>;
using RewriteNotice = RecordingWaitNotice;

// Appends the record of the current run to the grade file, holding the whole-file lock
// from before the length is taken until after the write. A file locked or held by another
// copy of the program is retried once a second, windows kept responsive, for as long as it
// stays so; any other error (a missing folder, a file or folder that may only be read, a
// temporary copy that cannot be put back) shows "成績ランダムファイル記録" with its
// description and the place, and ends the program, and then false is returned (the caller
// must stop).
bool AppendGradeRecord(core::AppState &state, const RecordingWaitNotice &notice = {});

enum class RewriteOutcome {
    Written,
    Stale,  // the record at that place is no longer the one shown; nothing was written
    Failed, // see error; the record is not changed (a copy left standing is put back by the
            // next writer)
};

struct RewriteResult {
    RewriteOutcome outcome = RewriteOutcome::Failed;
    QString error;
    bool putBack = false; // an interrupted change was put back before anything else
};

// Writes `changed` as record n when record n still equals `shown`.
RewriteResult ChangeGradeRecord(core::AppState &state, std::int64_t n, const GradeRecord &shown,
                                const GradeRecord &changed, bool backUpFirst,
                                const RewriteNotice &notice = {});

// Removes record n when it still equals `shown`; the records after it move up one place.
RewriteResult DeleteGradeRecord(core::AppState &state, std::int64_t n, const GradeRecord &shown,
                                bool backUpFirst, const RewriteNotice &notice = {});

// Takes the lock and puts a standing temporary copy back. Written (with putBack telling
// whether there was one) or Failed.
RewriteResult RestoreGradeTempCopy(core::AppState &state, const RewriteNotice &notice = {});

} // namespace tavoro::records
