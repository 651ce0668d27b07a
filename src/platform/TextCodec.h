// Code page 932 (Shift-JIS with the NEC and IBM extensions) through ICU's "windows-31j"
// converter. Every text file of the installation is in this code page.
#pragma once

#include <QByteArray>
#include <QString>

namespace tavoro::platform {

// Decodes bytes in code page 932. Bytes that are not valid become U+FFFD.
QString fromCp932(const QByteArray &bytes);

// Encodes text in code page 932. Characters the code page lacks become '?'; when
// `lossless` is given it is set to false in that case.
QByteArray toCp932(const QString &text, bool *lossless = nullptr);

// Number of bytes the text takes in code page 932.
int cp932Length(const QString &text);

// The longest prefix of `text` whose encoding fits in `maxBytes` bytes; a double-byte
// character is never split.
QString cp932Prefix(const QString &text, int maxBytes);

} // namespace tavoro::platform
