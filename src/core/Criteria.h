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
// when the file cannot be read.
std::optional<QString> LoadCriteria(AppState &state);

// Reads criteria from the text of a criteria file (what LoadCriteria does after reading).
// Returns the number of level lines taken (the heading not counted).
int ParseCriteria(AppState &state, const QString &text);

} // namespace tavoro::core
