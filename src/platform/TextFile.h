// Whole text files in code page 932.
#pragma once

#include <QByteArray>
#include <QString>

namespace tavoro::platform {

enum class FileError { None, NotFound, Busy, Other };

struct TextFileResult {
    FileError error = FileError::None;
    QString errorText; // the operating system's description when error != None
    QString text;      // the decoded contents
    bool ok() const { return error == FileError::None; }
};

// Reads and decodes a whole file; `path` may use either separator.
TextFileResult readTextFile(const QString &path);

struct FileBytesResult {
    FileError error = FileError::None;
    QString errorText;
    QByteArray bytes; // the contents as stored
    bool ok() const { return error == FileError::None; }
};

// Reads a whole file without decoding it.
FileBytesResult readFileBytes(const QString &path);

// Writes `text` encoded in code page 932, replacing the file. Exactly the characters given
// are written. Returns false and fills `errorText` on failure.
bool writeTextFile(const QString &path, const QString &text, QString *errorText = nullptr);

} // namespace tavoro::platform
