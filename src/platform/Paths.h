// Folder and file names as the settings files write them. A settings file may separate
// folders with "\" or "/"; both act as separators on every platform.
#pragma once

#include <QString>

namespace tavoro::platform {

// True for "\" and "/".
bool isSeparator(QChar c);

// The name in the form the operating system takes ("\" becomes "/" outside Windows).
QString localPath(const QString &path);

// The folder with a separator at its end; one of the kind the folder already uses is added
// when it has none ("\" when it holds no separator at all).
QString withTrailingSeparator(const QString &folder);

// The last component of a path: everything after its last separator.
QString lastComponent(const QString &path);

// The path without its last component and separator.
QString parentPath(const QString &path);

} // namespace tavoro::platform
