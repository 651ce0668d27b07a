// Rewrites of the grade file under its lock.
#include "RecordEdit.h"

#include "core/AppState.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/RecordFile.h"
#include "platform/TextFile.h"
#include "records/Failure.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavoro::teacher {
namespace {

using platform::RecordFile;

const QString kBackupPrefix = QStringLiteral("成績累積データ");

// The grade file opened and locked, waiting while another PC holds it.
class LockedGradeFile {
public:
    LockedGradeFile(core::AppState &state, const RewriteNotice &notice)
        : m_state(state), m_notice(notice)
    {
    }

    ~LockedGradeFile()
    {
        // Closing drops the lock as well.
        if (m_file.isOpen()) {
            m_file.unlockWhole();
            m_file.close();
        }
        if (m_waited && m_notice)
            m_notice(false);
    }

    bool acquire(QString *error)
    {
        while (!records::OpenGradeFile(m_state, m_file))
            if (!wait(error))
                return false;
        while (!m_file.tryLockWhole())
            if (!wait(error))
                return false;
        return true;
    }

    RecordFile &file() { return m_file; }

private:
    bool wait(QString *error)
    {
        if (m_file.error() != RecordFile::Error::Busy) {
            // Waiting would not help: a missing folder or one that may only be read.
            *error = m_file.errorText() + QStringLiteral("、") +
                     records::GradeFilePlace(m_state.settings, m_file.error()).mid(2);
            return false;
        }
        m_waited = true;
        if (m_notice)
            m_notice(true);
        if (!records::WaitForBusyFile(m_state)) {
            *error = QStringLiteral("終了します");
            return false;
        }
        return true;
    }

    core::AppState &m_state;
    const RewriteNotice &m_notice;
    RecordFile m_file;
    bool m_waited = false;
};

bool readWhole(RecordFile &file, QByteArray *bytes)
{
    const std::int64_t length = file.length();
    if (length < 0)
        return false;
    bytes->resize(qsizetype(length));
    return file.readAt(0, bytes->data(), length) == length;
}

// Writes a whole file and puts it on the disk before it returns.
bool writeOnDisk(const QString &path, const QByteArray &bytes, QString *error)
{
    RecordFile file;
    if (!file.open(path) || !file.resize(0) || !file.writeAt(0, bytes.constData(), bytes.size()) ||
        !file.sync()) {
        *error = file.errorText();
        return false;
    }
    return true;
}

// Puts `from` in the place of `to`, in one step where the system allows it.
bool replaceFile(const QString &from, const QString &to, QString *error)
{
    const QString source = platform::localPath(from);
    const QString target = platform::localPath(to);
#ifdef _WIN32
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                    reinterpret_cast<const wchar_t *>(target.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *error = QStringLiteral("一時ファイルの名前を変えられません");
    return false;
#else
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) ==
        0)
        return true;
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#endif
}

bool backUp(core::AppState &state, const QByteArray &bytes, QString *error)
{
    const QString folder = GradeBackupFolder(state.settings);
    QDir dir(platform::localPath(folder));
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("バックアップのフォルダを作れません");
        return false;
    }
    const QString name = BackupFileName(state.clock().today(),
                                        int(std::floor(state.clock().secondsSinceMidnight())));
    if (!writeOnDisk(folder + name, bytes, error))
        return false;
    // The names sort by their date and time: the oldest go first.
    const QStringList backups =
        dir.entryList({kBackupPrefix + QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + kKeptBackups < backups.size(); ++i)
        dir.remove(backups[i]);
    return true;
}

RewriteResult failed(const QString &error)
{
    return {RewriteOutcome::Failed, error};
}

RewriteResult rewrite(core::AppState &state, std::int64_t n, const records::GradeRecord &shown,
                      bool backUpFirst, const RewriteNotice &notice,
                      const std::function<bool(RecordFile &, const QByteArray &)> &change)
{
    LockedGradeFile locked(state, notice);
    QString error;
    if (!locked.acquire(&error))
        return failed(error);
    RecordFile &file = locked.file();
    QByteArray old;
    if (!readWhole(file, &old))
        return failed(file.errorText());

    // The record is compared as the bytes shown: another PC may have changed the file
    // since it was listed.
    const std::int64_t count = old.size() / records::kGradeRecordSize;
    char expected[records::kGradeRecordSize];
    records::EncodeGradeRecord(shown, expected);
    if (n < 1 || n > count ||
        std::memcmp(old.constData() + (n - 1) * records::kGradeRecordSize, expected,
                    records::kGradeRecordSize) != 0)
        return {RewriteOutcome::Stale, QString()};

    if (backUpFirst && !backUp(state, old, &error))
        return failed(error);
    // The copy is written under another name and takes its own only once it is whole on
    // the disk: a copy cut short by a crash would otherwise be put back over an intact
    // grade file at the next start of the browser.
    const QString tempPath = GradeTempPath(state.settings);
    const QString partPath = tempPath + QStringLiteral(".part");
    if (!writeOnDisk(partPath, old, &error) || !replaceFile(partPath, tempPath, &error)) {
        QFile::remove(platform::localPath(partPath));
        return failed(error);
    }
    if (!change(file, old) || !file.sync())
        return failed(file.errorText()); // the temporary copy keeps the old contents
    QFile::remove(platform::localPath(tempPath));
    return {RewriteOutcome::Written, QString()};
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

RewriteResult ChangeGradeRecord(core::AppState &state, std::int64_t n,
                                const records::GradeRecord &shown,
                                const records::GradeRecord &changed, bool backUpFirst,
                                const RewriteNotice &notice)
{
    return rewrite(state, n, shown, backUpFirst, notice, [&](RecordFile &file, const QByteArray &) {
        return records::WriteGradeRecord(file, n, changed);
    });
}

RewriteResult DeleteGradeRecord(core::AppState &state, std::int64_t n,
                                const records::GradeRecord &shown, bool backUpFirst,
                                const RewriteNotice &notice)
{
    return rewrite(
        state, n, shown, backUpFirst, notice, [&](RecordFile &file, const QByteArray &old) {
            const std::int64_t at = (n - 1) * records::kGradeRecordSize;
            const std::int64_t rest = old.size() - at - records::kGradeRecordSize;
            return file.writeAt(at, old.constData() + at + records::kGradeRecordSize, rest) &&
                   file.resize(old.size() - records::kGradeRecordSize);
        });
}

bool DeletionComplete(const QByteArray &copy, const QByteArray &current)
{
    constexpr qsizetype size = records::kGradeRecordSize;
    const qsizetype kept = copy.size() - size; // the length the deletion leaves
    if (copy.size() < size || current.size() < kept)
        return false;
    // The first record that differs is the deleted one; everything after it moved up one.
    qsizetype at = 0;
    while (at < kept && std::memcmp(copy.constData() + at, current.constData() + at, size) == 0)
        at += size;
    if (std::memcmp(copy.constData() + at + size, current.constData() + at, kept - at) != 0)
        return false;
    if (current.size() < kept + size)
        return true; // cut to its new length, and no whole run appended since
    // Moved up but not yet cut, the file still ends in the old last record; a change of the
    // last record differs from it only in the time and the pupil. Otherwise the record
    // there is a run appended since.
    const char *next = current.constData() + kept;
    const char *last = copy.constData() + kept;
    const bool changedLast = std::memcmp(next, last, 16) == 0 &&
                             std::memcmp(next + 18, last + 18, 2) == 0 &&
                             std::memcmp(next + 24, last + 24, size - 24) == 0;
    return !changedLast;
}

bool RewriteInterrupted(const core::Settings &settings)
{
    return QFile::exists(platform::localPath(GradeTempPath(settings)));
}

RewriteResult RestoreGradeTempCopy(core::AppState &state, const RewriteNotice &notice)
{
    LockedGradeFile locked(state, notice);
    QString error;
    if (!locked.acquire(&error))
        return failed(error);
    const QString tempPath = GradeTempPath(state.settings);
    const platform::FileBytesResult copy = platform::readFileBytes(tempPath);
    if (!copy.ok())
        return failed(copy.errorText);
    RecordFile &file = locked.file();
    QByteArray current;
    if (!readWhole(file, &current))
        return failed(file.errorText());
    // Runs other PCs appended after the interruption stand beyond the old length (a change
    // keeps the length, and a deletion cut short before its end does too): they are kept.
    // A deletion that was complete but for the removal of the copy left the file one record
    // shorter, and the runs appended since begin one record earlier.
    const qsizetype appendedFrom = DeletionComplete(copy.bytes, current)
                                       ? copy.bytes.size() - records::kGradeRecordSize
                                       : copy.bytes.size();
    QByteArray restored = copy.bytes;
    if (current.size() > appendedFrom)
        restored += current.mid(appendedFrom);
    if (!file.writeAt(0, restored.constData(), restored.size()) || !file.resize(restored.size()) ||
        !file.sync())
        return failed(file.errorText());
    QFile::remove(platform::localPath(tempPath));
    return {RewriteOutcome::Written, QString()};
}

} // namespace tavoro::teacher
