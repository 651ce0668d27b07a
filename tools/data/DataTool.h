// tavoro-data: the grade file, the statistics, a check of every data file, the roster taken
// from the school's class lists and the class report, for teachers and whoever looks after
// the shared data folder, without the program's windows. Output is UTF-8 CSV (RFC 4180,
// header line first, LF line ends; with --excel a byte-order mark first and CR LF line
// ends); `check` and `roster import` print one line per problem, FILE:WHERE: message (WHERE
// is a line or record number, 0 for the file as a whole).
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace tavoro::datatool {

struct Result {
    QByteArray out; // for standard output
    QByteArray err; // for standard error
    int status = 0; // 0 fine, 1 problems found, 2 a file could not be read or bad arguments
};

// Runs the tool on its arguments (program name left out). `toolFolder` is the folder of the
// tool itself, the program folder unless --app-folder says otherwise; `today` stands for
// today unless --today says otherwise.
Result Run(const QStringList &args, const QString &toolFolder, const QDate &today);

QString Usage();

// One CSV field: quoted when it holds a comma, a double quote or a line break (quotes
// doubled).
QString CsvField(const QString &text);

} // namespace tavoro::datatool
