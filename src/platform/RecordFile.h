// A file of fixed-length records opened for random access, with a whole-file lock that
// other processes (other PCs on a shared folder) respect and that the operating system
// releases when its holder dies: open-file-description locks on Linux, LockFileEx on
// Windows. Never a lock file.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace tavoro::platform {

class RecordFile {
public:
    enum class Error {
        None,
        NotFound, // the file (or its folder) does not exist
        Busy,     // locked or held by another process: worth retrying
        Denied,   // the file or its folder cannot be written at all (read-only, no permission):
                  // waiting does not help
        Other,
    };

    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens the file for reading and writing, creating it empty when it is missing. A file
    // that may only be read is opened for reading (readOnly()); one that is missing and
    // cannot be created fails with Denied.
    bool open(const QString &path);
    // Opens an existing file for reading only; never creates it.
    bool openForReading(const QString &path);
    void close();
    bool isOpen() const;
    // Opened for reading only: taking the lock fails with Denied, since nothing could be
    // written under it.
    bool readOnly() const { return m_readOnly; }

    // Whether the file could be written: an existing file is opened for writing, a missing
    // one is checked against its folder. Nothing is created or changed. None when it
    // could; otherwise the reason, its text in `errorText`.
    static Error checkWritable(const QString &path, QString *errorText = nullptr);

    std::int64_t length();
    // Reads up to `size` bytes at `offset`; returns the number read, -1 on error.
    std::int64_t readAt(std::int64_t offset, char *data, std::int64_t size);
    bool writeAt(std::int64_t offset, const char *data, std::int64_t size);
    // Cuts or extends the file to `size` bytes.
    bool resize(std::int64_t size);
    // Puts everything written so far on the disk before it returns.
    bool sync();

    // Takes the exclusive lock on the whole file without waiting; Busy when another
    // process holds it, Denied when the file was opened for reading only.
    bool tryLockWhole();
    bool unlockWhole();

    Error error() const { return m_error; }
    QString errorText() const { return m_errorText; }
    int errorNumber() const { return m_errorNumber; }

private:
    bool openImpl(const QString &path, bool create);
    void setError(int systemError);

#ifdef _WIN32
    void *m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    bool m_readOnly = false;
    Error m_error = Error::None;
    QString m_errorText;
    int m_errorNumber = 0;
};

} // namespace tavoro::platform
