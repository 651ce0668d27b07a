// The writes of the grade file under its lock, and the put-back of an interrupted change.
#include "GradeWriter.h"

#include "Failure.h"
#include "core/AppState.h"
#include "platform/Clock.h"
#include "platform/DiskFiles.h"
#include "platform/Paths.h"
#include "platform/RecordFile.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <cstring>
#include <functional>

namespace tavoro::records {
namespace {

using platform::RecordFile;

const QString kBackupPrefix = QStringLiteral("成績累積データ");
const QString kPartSuffix = QStringLiteral(".part");

// Why a step failed: the kind (Busy is worth a wait), the system's text, and the line that
// names the place ("\r\n" and a folder or file).
struct StepFailure {
    RecordFile::Error kind = RecordFile::Error::Other;
    QString text;
    QString place;
};

StepFailure gradeFileFailure(const core::Settings &settings, const RecordFile &file)
{
    return {file.error(), file.errorText(), GradeFilePlace(settings, file.error())};
}

StepFailure copyFailure(const core::Settings &settings, RecordFile::Error kind,
                        const QString &text)
{
    return {kind, text, QStringLiteral("\r\n") + platform::localPath(GradeTempPath(settings))};
}

enum class PutBack { NoCopy, Done, Failed };

// Puts a standing temporary copy back over the grade file held locked in `file`: the
// copy's bytes from the start, the file cut to the copy's length and put on the disk, the
// copy removed. Done again after an interruption anywhere, it reaches the same bytes.
PutBack putBackStandingCopy(const core::Settings &settings, RecordFile &file,
                            StepFailure *failure)
{
    const QString tempPath = GradeTempPath(settings);
    if (!RewriteInterrupted(settings))
        return PutBack::NoCopy;
    const platform::FileBytesResult copy = platform::readFileBytes(tempPath);
    if (copy.error == platform::FileError::NotFound)
        return PutBack::NoCopy;
    if (!copy.ok()) {
        *failure = copyFailure(settings,
                               copy.error == platform::FileError::Busy ? RecordFile::Error::Busy
                                                                       : RecordFile::Error::Other,
                               copy.errorText);
        return PutBack::Failed;
    }
    if (!file.writeAt(0, copy.bytes.constData(), copy.bytes.size()) ||
        !file.resize(copy.bytes.size()) || !file.sync()) {
        *failure = gradeFileFailure(settings, file);
        return PutBack::Failed;
    }
    QString error;
    if (!platform::removeFile(tempPath, &error)) {
        *failure = copyFailure(settings, RecordFile::Error::Other, error);
        return PutBack::Failed;
    }
    return PutBack::Done;
}

// The grade file opened and locked, with any standing copy put back; waits a second at a
// time, windows kept responsive, while another PC holds the file.
class GradeLock {
public:
    GradeLock(core::AppState &state, const RecordingWaitNotice &notice)
        : m_state(state), m_notice(notice)
    {
    }

    ~GradeLock()
    {
        // Closing drops the lock as well, so an unlock that fails loses nothing.
        if (m_file.isOpen()) {
            m_file.unlockWhole();
            m_file.close();
        }
        if (m_waited && m_notice)
            m_notice(false);
    }
    GradeLock(const GradeLock &) = delete;
    GradeLock &operator=(const GradeLock &) = delete;

    // False on an error that waiting cannot help, or when the program is being ended
    // meanwhile (ending()); failure() tells which.
    bool acquire()
    {
        while (!OpenGradeFile(m_state, m_file))
            if (!waitAfter(gradeFileFailure(m_state.settings, m_file)))
                return false;
        while (!m_file.tryLockWhole())
            if (!waitAfter(gradeFileFailure(m_state.settings, m_file)))
                return false;
        for (;;) {
            StepFailure failure;
            switch (putBackStandingCopy(m_state.settings, m_file, &failure)) {
            case PutBack::NoCopy:
                return true;
            case PutBack::Done:
                m_putBack = true;
                return true;
            case PutBack::Failed:
                if (!waitAfter(failure))
                    return false;
            }
        }
    }

    // After a failed step: waits once when the file is busy and returns true, so that the
    // step is repeated; otherwise keeps the failure and returns false.
    bool waitAfter(const StepFailure &failure)
    {
        m_failure = failure;
        if (failure.kind != RecordFile::Error::Busy)
            return false;
        m_waited = true;
        if (m_notice)
            m_notice(true);
        if (!WaitForBusyFile(m_state)) {
            m_ending = true;
            return false;
        }
        return true;
    }

    RecordFile &file() { return m_file; }
    bool putBack() const { return m_putBack; }
    bool ending() const { return m_ending; }
    const StepFailure &failure() const { return m_failure; }
    // The failure as one line for a message box.
    QString failureLine() const
    {
        if (m_ending)
            return QStringLiteral("終了します");
        return m_failure.text + QStringLiteral("、") + m_failure.place.mid(2);
    }

private:
    core::AppState &m_state;
    const RecordingWaitNotice &m_notice;
    RecordFile m_file;
    StepFailure m_failure;
    bool m_waited = false;
    bool m_putBack = false;
    bool m_ending = false;
};

bool readWhole(RecordFile &file, QByteArray *bytes)
{
    const std::int64_t length = file.length();
    if (length < 0)
        return false;
    bytes->resize(qsizetype(length));
    return file.readAt(0, bytes->data(), length) == length;
}

// Writes a whole file under a temporary name beside it, puts it on the disk and only then
// gives it its name, so that a file found under the name is never cut short. A part left
// by an earlier crash (perhaps by another account) is removed first.
bool writeWholeThenRename(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString part = path + kPartSuffix;
    if (platform::removeFile(part, error) && platform::writeFileOnDisk(part, bytes, error) &&
        platform::renameFile(part, path, error))
        return true;
    QString ignored;
    platform::removeFile(part, &ignored);
    return false;
}

bool backUp(core::AppState &state, const QByteArray &bytes, QString *error)
{
    const QString folder = GradeBackupFolder(state.settings);
    if (!platform::makeFolder(folder)) {
        *error = QStringLiteral("バックアップのフォルダを作れません");
        return false;
    }
    const QString name = BackupFileName(state.clock().today(),
                                        int(std::floor(state.clock().secondsSinceMidnight())));
    if (!writeWholeThenRename(folder + name, bytes, error))
        return false;
    // The names sort by their date and time: the oldest go first. A part left by a crash
    // ends in ".part", is not among them, and goes.
    const QDir dir(platform::localPath(folder));
    QString ignored;
    for (const QString &part :
         dir.entryList({kBackupPrefix + QStringLiteral("*.dat") + kPartSuffix}, QDir::Files))
        platform::removeFile(folder + part, &ignored);
    const QStringList backups =
        dir.entryList({kBackupPrefix + QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + kKeptBackups < backups.size(); ++i)
        platform::removeFile(folder + backups[i], &ignored);
    return true;
}

RewriteResult failed(const QString &error, bool putBack = false)
{
    return {RewriteOutcome::Failed, error, putBack};
}

// Puts the old bytes back over a change that failed part-way, and removes the copy; when
// either fails the copy stays, and the next writer puts it back.
void undo(RecordFile &file, const QByteArray &old, const QString &tempPath)
{
    QString ignored;
    if (file.writeAt(0, old.constData(), old.size()) && file.resize(old.size()) && file.sync())
        platform::removeFile(tempPath, &ignored);
}

RewriteResult rewrite(core::AppState &state, std::int64_t n, const GradeRecord &shown,
                      bool backUpFirst, const RewriteNotice &notice,
                      const std::function<bool(RecordFile &, const QByteArray &)> &change)
{
    GradeLock lock(state, notice);
    if (!lock.acquire())
        return failed(lock.failureLine());
    const bool putBack = lock.putBack();
    RecordFile &file = lock.file();
    QByteArray old;
    if (!readWhole(file, &old))
        return failed(file.errorText(), putBack);

    // The record is compared as the bytes shown: another PC may have changed the file
    // since it was listed. A record cut short at the end is never one of them.
    const std::int64_t count = old.size() / kGradeRecordSize;
    char expected[kGradeRecordSize];
    EncodeGradeRecord(shown, expected);
    if (n < 1 || n > count ||
        std::memcmp(old.constData() + (n - 1) * kGradeRecordSize, expected, kGradeRecordSize) != 0)
        return {RewriteOutcome::Stale, QString(), putBack};

    QString error;
    if (backUpFirst && !backUp(state, old, &error))
        return failed(error, putBack);
    const QString tempPath = GradeTempPath(state.settings);
    if (!writeWholeThenRename(tempPath, old, &error))
        return failed(error, putBack);
    if (!change(file, old) || !file.sync()) {
        error = file.errorText();
        undo(file, old, tempPath);
        return failed(error, putBack);
    }
    if (!platform::removeFile(tempPath, &error)) {
        // A copy left standing would be put back by the next writer: the change is undone
        // now rather than then.
        undo(file, old, tempPath);
        return failed(error, putBack);
    }
    return {RewriteOutcome::Written, QString(), putBack};
}

} // namespace

QString GradeTempPath(const core::Settings &settings)
{
    return settings.ProgramDataFolder + QStringLiteral("成績累積データtemp.dat");
}

QString GradeBackupFolder(const core::Settings &settings)
{
    return platform::withTrailingSeparator(settings.ProgramDataFolder +
                                           QStringLiteral("成績累積データバックアップ"));
}

QString BackupFileName(const QDate &date, int secondsSinceMidnight)
{
    return kBackupPrefix + date.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral("-%1%2%3.dat")
               .arg(secondsSinceMidnight / 3600, 2, 10, QLatin1Char('0'))
               .arg(secondsSinceMidnight / 60 % 60, 2, 10, QLatin1Char('0'))
               .arg(secondsSinceMidnight % 60, 2, 10, QLatin1Char('0'));
}

std::optional<QDate> NewestBackupDate(const core::Settings &settings)
{
    const QDir dir(platform::localPath(GradeBackupFolder(settings)));
    const QStringList backups =
        dir.entryList({kBackupPrefix + QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (qsizetype i = backups.size() - 1; i >= 0; --i) {
        const QDate date =
            QDate::fromString(backups[i].mid(kBackupPrefix.size(), 8), QStringLiteral("yyyyMMdd"));
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

bool RewriteInterrupted(const core::Settings &settings)
{
    return QFileInfo::exists(platform::localPath(GradeTempPath(settings)));
}

bool AppendGradeRecord(core::AppState &state, const RecordingWaitNotice &notice)
{
    GradeLock lock(state, notice);
    const auto endProgram = [&] {
        if (lock.ending())
            return false;
        const StepFailure &f = lock.failure();
        return EndProgramWithMessage(state, QStringLiteral("成績ランダムファイル記録") + f.text +
                                                f.place +
                                                QStringLiteral("\r\nこの回の成績は記録されていません。"));
    };
    if (!lock.acquire())
        return endProgram();
    RecordFile &file = lock.file();
    // The record is filled once the lock is held, so its time is that of the write.
    const GradeRecord record = MakeRunRecord(state);
    for (;;) {
        const std::int64_t count = GradeRecordCount(file);
        // A partial record at the end is overwritten by the new one.
        if (count >= 0 && WriteGradeRecord(file, count + 1, record))
            return true;
        if (!lock.waitAfter(gradeFileFailure(state.settings, file)))
            return endProgram();
    }
}

RewriteResult ChangeGradeRecord(core::AppState &state, std::int64_t n, const GradeRecord &shown,
                                const GradeRecord &changed, bool backUpFirst,
                                const RewriteNotice &notice)
{
    return rewrite(state, n, shown, backUpFirst, notice, [&](RecordFile &file, const QByteArray &) {
        return WriteGradeRecord(file, n, changed);
    });
}

RewriteResult DeleteGradeRecord(core::AppState &state, std::int64_t n, const GradeRecord &shown,
                                bool backUpFirst, const RewriteNotice &notice)
{
    return rewrite(state, n, shown, backUpFirst, notice,
                   [&](RecordFile &file, const QByteArray &old) {
                       // n is a whole record of `old`, so `rest` is never negative; bytes of a
                       // record cut short at the end move up with the records before them.
                       const std::int64_t at = (n - 1) * kGradeRecordSize;
                       const std::int64_t rest = old.size() - at - kGradeRecordSize;
                       return file.writeAt(at, old.constData() + at + kGradeRecordSize, rest) &&
                              file.resize(old.size() - kGradeRecordSize);
                   });
}

RewriteResult RestoreGradeTempCopy(core::AppState &state, const RewriteNotice &notice)
{
    GradeLock lock(state, notice);
    if (!lock.acquire())
        return failed(lock.failureLine());
    return {RewriteOutcome::Written, QString(), lock.putBack()};
}

} // namespace tavoro::records
