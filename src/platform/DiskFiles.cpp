// Whole-file steps on the disk, and the fault plan of the tests.
#include "DiskFiles.h"

#include "Paths.h"
#include "RecordFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace tavoro::platform {
namespace {

struct FaultPlan {
    int armedAt = 0; // 0: nothing armed
    FileFaults::Action action = FileFaults::Action::Fail;
    int steps = 0;
};

FaultPlan &plan()
{
    static FaultPlan p;
    return p;
}

} // namespace

void FileFaults::arm(int k, Action action)
{
    plan() = FaultPlan{k, action, 0};
}

void FileFaults::disarm()
{
    plan().armedAt = 0;
}

int FileFaults::steps()
{
    return plan().steps;
}

FileFaults::Verdict FileFaults::check(Step step)
{
    FaultPlan &p = plan();
    ++p.steps;
    if (p.armedAt == 0 || p.steps < p.armedAt)
        return Verdict::Go;
    if (p.action == Action::FailOnward)
        return Verdict::Fail;
    if (p.steps != p.armedAt)
        return Verdict::Go;
    if (p.action == Action::Fail)
        return Verdict::Fail;
    if (step == Step::Write)
        return Verdict::EndMidway;
    endNow();
}

void FileFaults::endNow()
{
    // As a power cut or a killed process would: no destructors, no buffers flushed.
    std::_Exit(kEndedExitCode);
}

bool writeFileOnDisk(const QString &path, const QByteArray &bytes, QString *errorText)
{
    RecordFile file;
    if (!file.open(path) || !file.resize(0) || !file.writeAt(0, bytes.constData(), bytes.size()) ||
        !file.sync()) {
        *errorText = file.errorText();
        return false;
    }
    return true;
}

bool renameFile(const QString &from, const QString &to, QString *errorText)
{
    const QString source = localPath(from);
    const QString target = localPath(to);
    if (FileFaults::check(FileFaults::Step::Rename) == FileFaults::Verdict::Fail) {
        *errorText = QString::fromLocal8Bit(std::strerror(EIO));
        return false;
    }
#ifdef _WIN32
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                    reinterpret_cast<const wchar_t *>(target.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *errorText = QStringLiteral("一時ファイルの名前を変えられません");
    return false;
#else
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) ==
        0)
        return true;
    *errorText = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#endif
}

bool removeFile(const QString &path, QString *errorText)
{
    const QString name = localPath(path);
    if (FileFaults::check(FileFaults::Step::Remove) == FileFaults::Verdict::Fail) {
        *errorText = QString::fromLocal8Bit(std::strerror(EIO));
        return false;
    }
    QFile file(name);
    if (file.remove() || !QFileInfo::exists(name))
        return true;
    *errorText = file.errorString();
    return false;
}

bool folderIsGroupWritable(const QString &path)
{
#ifdef _WIN32
    Q_UNUSED(path);
    return false;
#else
    const QString parent = QFileInfo(localPath(path)).absolutePath();
    struct stat st {};
    return ::stat(QFile::encodeName(parent).constData(), &st) == 0 && (st.st_mode & S_IWGRP);
#endif
}

void shareWithGroupLikeFolder(const QString &path)
{
#ifndef _WIN32
    if (!folderIsGroupWritable(path))
        return;
    const QByteArray name = QFile::encodeName(QFileInfo(localPath(path)).absoluteFilePath());
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return;
    mode_t mode = st.st_mode & 07777;
    mode |= S_IRGRP | S_IWGRP;
    if (S_ISDIR(st.st_mode))
        mode |= S_IXGRP | S_ISGID; // what is made inside keeps the folder's group
    if (mode != (st.st_mode & 07777))
        ::chmod(name.constData(), mode);
#else
    Q_UNUSED(path);
#endif
}

bool makeFolder(const QString &path)
{
    const QString name = QDir::cleanPath(QFileInfo(localPath(path)).absoluteFilePath());
    if (QFileInfo(name).isDir())
        return true;
    const QString parent = QFileInfo(name).absolutePath();
    if (parent != name && !makeFolder(parent))
        return false;
    if (!QDir().mkdir(name) && !QFileInfo(name).isDir())
        return false;
    shareWithGroupLikeFolder(name);
    return true;
}

} // namespace tavoro::platform
