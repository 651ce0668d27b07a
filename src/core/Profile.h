// The program profile (title, levels, goal level, level names) and the start of a run.
#pragma once

#include <QString>

namespace tavoro::core {

struct AppState;

// Title and menu switches; called once at start-up before the criteria are read.
void SetProfile(AppState &state);

// Fills the level table of the profile. The name selection calls it at every login and
// then opens the level menu (see SetLevelTableAndShowMenu).
void SetLevelTable(AppState &state);

// SetLevelTable, then shows the level menu.
void SetLevelTableAndShowMenu(AppState &state);

// Starts a run of CurrentLevel: resets the run state, lets pending events run and shows
// the drill window.
void StartLevel(AppState &state);

// True for a practice level: its name contains "練".
bool IsPracticeLevel(const AppState &state, int level);

// A name without the half-width spaces that pad it; full-width spaces belong to the name.
QString TrimSpaces(const QString &text);
// The same as a view into `text`.
QStringView WithoutSpaces(QStringView text);

// True for a teacher: the name contains "★" or "先生".
bool IsTeacherName(const QString &name);

} // namespace tavoro::core
