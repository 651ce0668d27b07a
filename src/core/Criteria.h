// The criteria file "タイム回数データ.txt": one line of twelve fields per level after a
// heading line.
#pragma once

#include <QString>

#include <optional>

namespace tavoro::core {

struct AppState;

// The criteria file of this program.
QString CriteriaFilePath(const AppState &state);

// Reads the criteria file into the criteria arrays. Entries beyond the last line read keep
// their values; lines beyond level 35 are ignored. Returns a description of the problem
// when the file cannot be read or holds a number outside its field's range; the arrays are
// then left as they were.
std::optional<QString> LoadCriteria(AppState &state);

// Takes the criteria of a criteria file's text, unless a number lies outside its field's
// range (FieldRanges.h): then nothing is taken and the first such number is described.
std::optional<QString> TakeCriteria(AppState &state, const QString &text);

// Reads criteria from the text of a criteria file without looking at the ranges (what
// TakeCriteria does once they are known to hold). Returns the number of level lines taken
// (the heading not counted).
int ParseCriteria(AppState &state, const QString &text);

} // namespace tavoro::core
