// A school's class list as a spreadsheet saves it (CSV in UTF-8, with or without a byte-order
// mark, or in code page 932), read into the pupils it lists, and the roster lines they make.
//
// The first row names the columns, with the names a Japanese school gives them: 番号 (the
// pupil's number in the school, 1..5000), 氏名 or 名前, 学年 or 生年 (or both, when they
// agree), and optionally 状態. Other columns are passed over. A 学年 becomes the birth year
// that the name selection turns back into that grade in the current school year.
#pragma once

#include "records/RosterFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tavoro::datatool {

// The text of a class list file and the encoding it was found in; `error` says why a file
// that is neither UTF-8 nor code page 932 is refused.
struct DecodedClassList {
    QString text;
    QString error;
};
DecodedClassList DecodeClassList(const QByteArray &bytes);

// One row of a CSV text: its fields (quotes taken off, doubled quotes made single) and the
// line it starts on. A quoted field may hold commas and line breaks; rows end at CR LF or
// LF. `unclosed` marks a row whose last quote was never closed.
struct CsvRow {
    int line = 0;
    QStringList fields;
    bool unclosed = false;
};
std::vector<CsvRow> ReadCsvRows(const QString &text);

// The grade a 学年 cell gives: "小3", "小３", "小学3年", "3年", "3年生" or a bare 1..9 are
// elementary grades 1..6 (and 7..9 of a nine-year school), "中1".."中3" are 7..9. None for
// any other text.
std::optional<int> GradeOfText(const QString &cell);

struct ClassListPupil {
    int line = 0; // of the class list
    int number = 0;
    QString name;
    int birthYear = 0;
    int state = 0; // 0 (listed) when the list gives none
};

struct ClassListProblem {
    int line = 0; // 0: the file as a whole
    QString message;
};

struct ClassList {
    std::vector<ClassListPupil> pupils;
    std::vector<ClassListProblem> problems; // every wrong line, in file order
};

// Reads the pupils of a class list; `schoolYear` turns grades into birth years.
ClassList ReadClassList(const QString &text, int schoolYear);

// The roster lines after taking the pupils in: a pupil already in `roster` keeps his
// unused fields (3, 4, 7, 8). A pupil on a class list is at the school: listed (state 0)
// unless the list says otherwise.
std::vector<records::RosterLine> RosterLinesOf(const std::vector<ClassListPupil> &pupils,
                                               const std::vector<records::RosterLine> &roster);

} // namespace tavoro::datatool
