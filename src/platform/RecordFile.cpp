// Random-access record files with whole-file locks.
#include "RecordFile.h"

#include "DiskFiles.h"
#include "Paths.h"

#include <QFile>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavoro::platform {

RecordFile::~RecordFile()
{
    close();
}

bool RecordFile::open(const QString &path)
{
    return openImpl(path, true);
}

bool RecordFile::openForReading(const QString &path)
{
    return openImpl(path, false);
}

#ifndef _WIN32

void RecordFile::setError(int e)
{
    m_errorNumber = e;
    m_errorText = QString::fromLocal8Bit(std::strerror(e));
    switch (e) {
    case 0:
        m_error = Error::None;
        break;
    case ENOENT:
    case ENOTDIR:
        m_error = Error::NotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        // From open or write: the file or folder may not be written, and no other copy of
        // the program can cause it (the lock never keeps a file from being opened).
        m_error = Error::Denied;
        break;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
        m_error = Error::Busy;
        break;
    default:
        m_error = Error::Other;
    }
}

bool RecordFile::openImpl(const QString &path, bool create)
{
    close();
    m_readOnly = false;
    const QByteArray name = QFile::encodeName(localPath(path));
    int fd = -1;
    if (create) {
        bool created = false;
        for (;;) {
            fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
            if (fd >= 0 || (errno != ENOENT && errno != EINTR))
                break;
            if (errno == EINTR)
                continue;
            // Missing: made here, unless another process makes it first.
            fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                created = true;
                break;
            }
            if (errno != EEXIST && errno != EINTR)
                break;
        }
        if (created)
            shareWithGroupLikeFolder(path);
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
            // A file or folder we may only read still lets us read an existing file; a
            // missing file that cannot be created is reported as the denial it is.
            const int saved = errno;
            do {
                fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
            } while (fd < 0 && errno == EINTR);
            if (fd < 0)
                errno = saved;
            else
                m_readOnly = true;
        }
    } else {
        do {
            fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) {
        setError(errno);
        return false;
    }
    m_fd = fd;
    setError(0);
    return true;
}

void RecordFile::close()
{
    if (m_fd >= 0) {
        ::close(m_fd); // also drops the open-file-description lock
        m_fd = -1;
    }
}

bool RecordFile::isOpen() const
{
    return m_fd >= 0;
}

std::int64_t RecordFile::length()
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        setError(errno);
        return -1;
    }
    return st.st_size;
}

std::int64_t RecordFile::readAt(std::int64_t offset, char *data, std::int64_t size)
{
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            setError(errno);
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

bool RecordFile::writeAt(std::int64_t offset, const char *data, std::int64_t size)
{
    const FileFaults::Verdict verdict = FileFaults::check(FileFaults::Step::Write);
    if (verdict == FileFaults::Verdict::Fail) {
        setError(EIO);
        return false;
    }
    if (verdict == FileFaults::Verdict::EndMidway) {
        if (size > 1 && ::pwrite(m_fd, data, size_t(size / 2), off_t(offset)) < 0)
            FileFaults::endNow();
        FileFaults::endNow();
    }
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(m_fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            setError(errno);
            return false;
        }
        done += n;
    }
    return true;
}

bool RecordFile::resize(std::int64_t size)
{
    if (FileFaults::check(FileFaults::Step::Cut) == FileFaults::Verdict::Fail) {
        setError(EIO);
        return false;
    }
    if (::ftruncate(m_fd, off_t(size)) != 0) {
        setError(errno);
        return false;
    }
    return true;
}

bool RecordFile::sync()
{
    if (FileFaults::check(FileFaults::Step::Flush) == FileFaults::Verdict::Fail) {
        setError(EIO);
        return false;
    }
    if (::fsync(m_fd) != 0) {
        setError(errno);
        return false;
    }
    return true;
}

static bool setWholeLock(int fd, short type, int *err)
{
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0; // to the end of the file, however long it grows
    fl.l_pid = 0; // required for open-file-description locks
    int rc;
    do {
        rc = ::fcntl(fd, F_OFD_SETLK, &fl);
    } while (rc != 0 && errno == EINTR);
    *err = rc == 0 ? 0 : errno;
    return rc == 0;
}

bool RecordFile::tryLockWhole()
{
    if (m_readOnly) {
        setError(EACCES);
        return false;
    }
    int err = 0;
    const bool ok = setWholeLock(m_fd, F_WRLCK, &err);
    setError(err);
    // A lock held elsewhere is reported as EAGAIN or EACCES: worth waiting for.
    if (err == EACCES || err == EAGAIN)
        m_error = Error::Busy;
    return ok;
}

RecordFile::Error RecordFile::checkWritable(const QString &path, QString *errorText)
{
    const QByteArray name = QFile::encodeName(localPath(path));
    int fd;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    int err = 0;
    if (fd >= 0) {
        ::close(fd);
    } else if (errno == ENOENT) {
        // A missing file is created in its folder when it is first written.
        QByteArray folder = name;
        const qsizetype slash = folder.lastIndexOf('/');
        folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : folder.left(slash);
        if (::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0)
            err = errno;
    } else {
        err = errno;
    }
    RecordFile probe;
    probe.setError(err);
    if (errorText)
        *errorText = probe.m_errorText;
    return probe.m_error;
}

bool RecordFile::unlockWhole()
{
    int err = 0;
    const bool ok = setWholeLock(m_fd, F_UNLCK, &err);
    setError(err);
    return ok;
}

#else // _WIN32

void RecordFile::setError(int e)
{
    m_errorNumber = e;
    m_errorText.clear();
    if (e != 0) {
        wchar_t *buf = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(e), 0, reinterpret_cast<LPWSTR>(&buf), 0, nullptr);
        if (buf) {
            m_errorText = QString::fromWCharArray(buf).trimmed();
            LocalFree(buf);
        }
    }
    switch (e) {
    case 0:
        m_error = Error::None;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        m_error = Error::NotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        m_error = Error::Denied;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_IO_PENDING:
        m_error = Error::Busy;
        break;
    default:
        m_error = Error::Other;
    }
}

bool RecordFile::openImpl(const QString &path, bool create)
{
    close();
    m_readOnly = false;
    const std::wstring name = localPath(path).toStdWString();
    HANDLE h = CreateFileW(name.c_str(), create ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && create &&
        (GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_WRITE_PROTECT)) {
        const DWORD saved = GetLastError();
        h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            SetLastError(saved);
        else
            m_readOnly = true;
    }
    if (h == INVALID_HANDLE_VALUE) {
        setError(int(GetLastError()));
        return false;
    }
    m_handle = h;
    setError(0);
    return true;
}

void RecordFile::close()
{
    if (m_handle) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}

bool RecordFile::isOpen() const
{
    return m_handle != nullptr;
}

std::int64_t RecordFile::length()
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handle, &size)) {
        setError(int(GetLastError()));
        return -1;
    }
    return size.QuadPart;
}

static OVERLAPPED overlappedAt(std::int64_t offset)
{
    OVERLAPPED ov{};
    ov.Offset = DWORD(offset & 0xffffffff);
    ov.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    return ov;
}

std::int64_t RecordFile::readAt(std::int64_t offset, char *data, std::int64_t size)
{
    OVERLAPPED ov = overlappedAt(offset);
    DWORD got = 0;
    if (!ReadFile(m_handle, data, DWORD(size), &got, &ov) && GetLastError() != ERROR_HANDLE_EOF) {
        setError(int(GetLastError()));
        return -1;
    }
    return got;
}

bool RecordFile::writeAt(std::int64_t offset, const char *data, std::int64_t size)
{
    const FileFaults::Verdict verdict = FileFaults::check(FileFaults::Step::Write);
    if (verdict == FileFaults::Verdict::Fail) {
        setError(ERROR_WRITE_FAULT);
        return false;
    }
    OVERLAPPED ov = overlappedAt(offset);
    DWORD put = 0;
    if (verdict == FileFaults::Verdict::EndMidway) {
        WriteFile(m_handle, data, DWORD(size / 2), &put, &ov);
        FileFaults::endNow();
    }
    if (!WriteFile(m_handle, data, DWORD(size), &put, &ov) || put != DWORD(size)) {
        setError(int(GetLastError()));
        return false;
    }
    return true;
}

bool RecordFile::resize(std::int64_t size)
{
    if (FileFaults::check(FileFaults::Step::Cut) == FileFaults::Verdict::Fail) {
        setError(ERROR_WRITE_FAULT);
        return false;
    }
    LARGE_INTEGER pos{};
    pos.QuadPart = size;
    if (!SetFilePointerEx(m_handle, pos, nullptr, FILE_BEGIN) || !SetEndOfFile(m_handle)) {
        setError(int(GetLastError()));
        return false;
    }
    return true;
}

bool RecordFile::sync()
{
    if (FileFaults::check(FileFaults::Step::Flush) == FileFaults::Verdict::Fail) {
        setError(ERROR_WRITE_FAULT);
        return false;
    }
    if (!FlushFileBuffers(m_handle)) {
        setError(int(GetLastError()));
        return false;
    }
    return true;
}

bool RecordFile::tryLockWhole()
{
    if (m_readOnly) {
        setError(ERROR_ACCESS_DENIED);
        return false;
    }
    OVERLAPPED ov = overlappedAt(0);
    if (!LockFileEx(m_handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                    MAXDWORD, &ov)) {
        setError(int(GetLastError()));
        return false;
    }
    setError(0);
    return true;
}

bool RecordFile::unlockWhole()
{
    OVERLAPPED ov = overlappedAt(0);
    if (!UnlockFileEx(m_handle, 0, MAXDWORD, MAXDWORD, &ov)) {
        setError(int(GetLastError()));
        return false;
    }
    setError(0);
    return true;
}

RecordFile::Error RecordFile::checkWritable(const QString &path, QString *errorText)
{
    const std::wstring name = localPath(path).toStdWString();
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD err = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    if (err == ERROR_FILE_NOT_FOUND) {
        // A missing file is created in its folder when it is first written: try that with
        // a file of another name (another PC may create the real one meanwhile) that is
        // gone again when it is closed.
        const std::wstring probeName = name + L".probe";
        h = CreateFileW(probeName.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                        nullptr);
        err = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    RecordFile probe;
    probe.setError(int(err));
    if (errorText)
        *errorText = probe.m_errorText;
    return probe.m_error;
}

#endif

} // namespace tavoro::platform
