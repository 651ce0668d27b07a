// Folder and file names of the settings files.
#include "Paths.h"

namespace tavoro::platform {

bool isSeparator(QChar c)
{
    return c == u'\\' || c == u'/';
}

QString localPath(const QString &path)
{
#ifdef Q_OS_WIN
    QString p = path;
    p.replace(u'/', u'\\');
    return p;
#else
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
#endif
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || isSeparator(folder.back()))
        return folder;
    const bool slashes = folder.contains(u'/') && !folder.contains(u'\\');
    return folder + (slashes ? u'/' : u'\\');
}

static qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
}

QString lastComponent(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString parentPath(const QString &path)
{
    const qsizetype i = lastSeparator(path);
    return i < 0 ? QString() : path.left(i);
}

} // namespace tavoro::platform
