// Reads the comma-and-line-end fields of the installation's text files.
//
// Fields are taken one after another: a field ends at a comma or a line end (CR LF, CR or
// LF), leading spaces are skipped, and a field enclosed in double quotes is taken without
// its quotes and may then hold commas and line breaks; anything after the closing quote up
// to the next comma or line end is dropped. Line breaks mean nothing beyond ending a field.
#pragma once

#include <QString>

namespace tavoro::platform {

class FieldReader {
public:
    explicit FieldReader(QString text);

    // True once every character has been consumed.
    bool atEnd() const { return m_pos >= m_text.size(); }

    // The next field; an empty text at the end of the input.
    QString next();

    // The next field as a number (0 when it does not read as a number).
    double nextNumber();

    // Number of fields taken so far, and the line (1-based) where the next field starts.
    int fieldsRead() const { return m_fields; }
    int line() const { return m_line; }

private:
    void skipLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
    int m_fields = 0;
    int m_line = 1;
};

} // namespace tavoro::platform
