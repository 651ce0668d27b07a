// The criteria file as the criteria editor sees it: a grid of texts, one row of twelve
// cells per level line, and the file text written back from such a grid.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::teacher {

constexpr int kCriteriaFields = 12;
using CriteriaRow = std::array<QString, kCriteriaFields>;

// The fixed headings of the twelve fields (the last three empty), as the heading line and
// the grid's heading row hold them.
CriteriaRow CriteriaHeadings();

// The level lines of a criteria file's text (the heading line read and dropped), each
// field in its plain form: a number as its shortest decimal text (007 as 7, 1.50 as 1.5),
// an empty field empty, a quoted text without its quotes. Twelve fields make a level
// whatever the line breaks say, as every reader of the file takes them.
std::vector<CriteriaRow> ParseCriteriaGrid(const QString &text);

// A cell as the file holds it: the text itself, or the text in double quotes when it holds
// a comma or a line break or starts with a space or tab, so that it reads back as typed.
QString CriteriaFileField(const QString &cell);

// Why a cell text cannot be written so that it reads back as typed; empty when it can. A
// character that code page 932 cannot hold is refused, and so is a double quote where the
// reading rule would take it for the start or end of a quoted field. A number outside the
// range of field `field` (1..12; 0 for none) is refused too: start-up would refuse the file.
QString CriteriaCellRefusal(const QString &cell, int field = 0);

// The text of the whole file: the heading line of the fixed headings, then one line per
// level row, twelve fields separated by commas, every line ended by CR LF.
QString CriteriaFileText(const std::vector<CriteriaRow> &levels);

// Writes the file: to a temporary file in the same folder that then replaces the old one,
// so that a failure or a crash never leaves a half-written file for this or another PC.
// Returns false with the reason in `errorText`.
bool WriteCriteriaFile(const core::AppState &state, const std::vector<CriteriaRow> &levels,
                       QString *errorText);

} // namespace tavoro::teacher
