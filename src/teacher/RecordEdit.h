// Changing and deleting records of the grade file while other PCs append to it.
//
// A change or a deletion holds the grade file's whole-file lock, the lock of the append,
// for the whole rewrite, so that a run recorded by another PC meanwhile waits and is then
// appended to the rewritten file. The rewrite happens in the grade file itself: other PCs
// hold the file open while they wait for its lock, and a file renamed over it would
// swallow their appends. Before the rewrite the whole old file is copied to
// "成績累積データtemp.dat" and put on the disk (written under another name and renamed
// once whole, so that the copy found is never cut short); the copy is removed only once the
// rewritten file is on the disk, so that a crash at any moment leaves the old contents
// recoverable. Before the first change of a session a dated copy goes into the backup
// folder beside the grade file, which keeps the newest ten.
#pragma once

#include "records/GradeFile.h"
#include "records/Recording.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

namespace tavoro::core {
struct AppState;
struct Settings;
} // namespace tavoro::core

namespace tavoro::teacher {

constexpr int kKeptBackups = 10;

// ProgramDataFolder + "成績累積データtemp.dat".
QString GradeTempPath(const core::Settings &settings);
// ProgramDataFolder + "成績累積データバックアップ" + separator.
QString GradeBackupFolder(const core::Settings &settings);
// "成績累積データ20261209-090000.dat" for a backup taken at that day and time of day.
QString BackupFileName(const QDate &date, int secondsSinceMidnight);
// The day of the newest backup; none when the folder holds none.
std::optional<QDate> NewestBackupDate(const core::Settings &settings);

enum class RewriteOutcome {
    Written,
    Stale,  // the record at that place is no longer the one shown; nothing was written
    Failed, // see error; the grade file is unchanged or the temporary copy holds it
};

struct RewriteResult {
    RewriteOutcome outcome = RewriteOutcome::Failed;
    QString error;
};

// While another PC holds the lock the rewrite waits a second at a time, windows kept
// responsive; the notice is told when it waits (true) and when it is done after a wait.
using RewriteNotice = records::RecordingWaitNotice;

// Writes `changed` as record n when record n still equals `shown`.
RewriteResult ChangeGradeRecord(core::AppState &state, std::int64_t n,
                                const records::GradeRecord &shown,
                                const records::GradeRecord &changed, bool backUpFirst,
                                const RewriteNotice &notice = {});

// Removes record n when it still equals `shown`; the records after it move up one place.
RewriteResult DeleteGradeRecord(core::AppState &state, std::int64_t n,
                                const records::GradeRecord &shown, bool backUpFirst,
                                const RewriteNotice &notice = {});

// Whether a temporary copy is left over: a change was interrupted.
bool RewriteInterrupted(const core::Settings &settings);

// Whether `current` is `copy` with one whole record removed and the records after it
// moved up, followed by whatever was appended since: a deletion done but for the removal
// of its temporary copy.
bool DeletionComplete(const QByteArray &copy, const QByteArray &current);

// Puts the temporary copy back as the grade file, under the lock, and removes it. Records
// appended by other PCs after the interruption are kept after it.
RewriteResult RestoreGradeTempCopy(core::AppState &state, const RewriteNotice &notice = {});

} // namespace tavoro::teacher
