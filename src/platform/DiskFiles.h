// The steps that change files on the disk besides the grade file's own writes: whole files
// written and put on the disk, renames, removals and new folders. Together with RecordFile
// they pass every write, cut, flush, rename and removal through FileFaults, so that a test
// can make any one of them fail or end the process right there.
//
// Files and folders made in a folder that its group may write are made writable by that
// group as well, whatever the umask: the pupils of a school log on with accounts of their
// own, and each must be able to append to a grade file another one created.
#pragma once

#include <QByteArray>
#include <QString>

namespace tavoro::platform {

class FileFaults {
public:
    enum class Step { Write, Cut, Flush, Rename, Remove };
    enum class Action {
        Fail,       // the step reports an error and does nothing
        FailOnward, // so do the step and every one after it (a share that went away)
        EndProcess, // the process ends there (a write is left half done)
    };
    static constexpr int kEndedExitCode = 86;

    // From now on, counting from one, the k-th step does `action`; disarm() stops it.
    static void arm(int k, Action action);
    static void disarm();
    // Steps taken since the last arm() (counted while disarmed as well).
    static int steps();

    enum class Verdict {
        Go,        // take the step
        Fail,      // report an error and do nothing
        EndMidway, // a write: put down half its bytes, then call endNow()
    };
    // Called by each step before it is taken. A step other than a write that is to end the
    // process ends it here.
    static Verdict check(Step step);
    [[noreturn]] static void endNow();
};

// Writes `bytes` as the whole of a new or existing file and puts it on the disk before it
// returns (created group-writable in a group-writable folder).
bool writeFileOnDisk(const QString &path, const QByteArray &bytes, QString *errorText);

// Puts `from` in the place of `to`, replacing it, in one step where the system allows it.
bool renameFile(const QString &from, const QString &to, QString *errorText);

// Removes a file; a file that is not there is no error.
bool removeFile(const QString &path, QString *errorText);

// Makes a folder and the missing folders on the way to it.
bool makeFolder(const QString &path);

// Gives a file or folder just made the group's write permission when the folder it is in
// has it. Does nothing on Windows, where the folder's access list is inherited.
void shareWithGroupLikeFolder(const QString &path);

// Whether the folder holding `path` may be written by its group.
bool folderIsGroupWritable(const QString &path);

} // namespace tavoro::platform
