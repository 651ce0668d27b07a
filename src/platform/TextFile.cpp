// Whole text files in code page 932.
#include "TextFile.h"

#include "DiskFiles.h"
#include "Paths.h"
#include "TextCodec.h"

#include <QFile>
#include <QSaveFile>

namespace tavoro::platform {

static FileError classify(QFileDevice::FileError e, const QString &path)
{
    if (e == QFileDevice::NoError)
        return FileError::None;
    if (!QFile::exists(path))
        return FileError::NotFound;
    if (e == QFileDevice::PermissionsError)
        return FileError::Busy;
    return FileError::Other;
}

FileBytesResult readFileBytes(const QString &path)
{
    FileBytesResult r;
    const QString local = localPath(path);
    QFile f(local);
    if (!f.open(QIODevice::ReadOnly)) {
        r.error = classify(f.error(), local);
        if (r.error == FileError::None)
            r.error = FileError::Other;
        r.errorText = f.errorString();
        return r;
    }
    r.bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        r.error = FileError::Other;
        r.errorText = f.errorString();
    }
    return r;
}

TextFileResult readTextFile(const QString &path)
{
    FileBytesResult file = readFileBytes(path);
    TextFileResult r;
    r.error = file.error;
    r.errorText = file.errorText;
    if (file.ok())
        r.text = fromCp932(file.bytes);
    return r;
}

bool writeTextFile(const QString &path, const QString &text, QString *errorText)
{
    QSaveFile f(localPath(path));
    if (!f.open(QIODevice::WriteOnly)) {
        if (errorText)
            *errorText = f.errorString();
        return false;
    }
    const QByteArray bytes = toCp932(text);
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        if (errorText)
            *errorText = f.errorString();
        return false;
    }
    // The file put in the place of the old one is this account's own.
    shareWithGroupLikeFolder(path);
    return true;
}

} // namespace tavoro::platform
