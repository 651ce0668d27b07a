// The fields of a text file line by line, for readers that hold one record per line (the
// roster) and for the checks of the data tool. The fields are read with the installation's
// field rule; a line is the run of fields that starts on it.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tavoro::records {

struct FieldLine {
    int line = 0; // 1-based number of the line in the file
    QStringList fields;
    // True for a line holding nothing but spaces.
    bool isBlank() const;
};

// Every line of the text with its fields. A quoted field that runs over a line end ends its
// line's fields there.
std::vector<FieldLine> ReadFieldLines(const QString &text);

} // namespace tavoro::records
