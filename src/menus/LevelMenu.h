// The level menu's logic apart from its window: the column geometry, the per-level texts,
// the header texts, the level rules (which start buttons are enabled, which levels are
// barred as done too much) and the keys that start a level.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::menus {

// Width of the design area in twips, and the column geometry derived from it.
constexpr int kMenuDesignWidth = 15360;

struct ColumnGeometry {
    int width = 0;         // W, the width of one level column in twips
    bool scrolls = false;  // the scroll bar is shown
    int scrollMaximum = 0; // its maximum (four columns are visible at a time)
};
ColumnGeometry ColumnGeometryFor(int levelCount);

// Left edge of the first column: 2 percent of the window width.
int FirstColumnLeft();

// The left edge of column `level` with `firstColumn` at the first place; a column scrolled
// off to the left is moved to the window's width, out of sight.
int ColumnLeft(int level, int firstColumn, int columnWidth);

// Whether any part of column `level` lies within the window's width.
bool ColumnInView(int level, int firstColumn, int columnWidth);

// The first column kept in the menu state, limited to what the scroll bar can show.
int EffectiveFirstColumn(int firstColumn, int scrollMaximum);

// Per-level texts.
QString StartButtonCaption(int level);                        // "ｽﾀｰﾄ(&3)"
QString CriteriaText(const core::AppState &state, int level); // Label7
QString PeriodText(const core::AppState &state, int level);   // Label8
QString TodayText(const core::AppState &state, int level);    // Label14
QString TotalText(const core::AppState &state, int level);    // Label15

// Header texts.
QString MinutesSinceLoginText(const core::AppState &state); // Label17
QString RunsTodayTotalText(const core::AppState &state);    // Label18
QString PupilNumberText(const core::AppState &state);       // Label13
QString PupilNameText(const core::AppState &state);         // Label12
double TitleFontPoints(const QString &title);               // Label11

// The outcome of the level rules for levels 1..LevelCount.
struct LevelRules {
    std::array<bool, 37> enabled{}; // start button enabled
    std::array<bool, 37> barred{};  // "やりすぎ禁止" shown over the start button
};

// The level rules for the current pupil. Sets GoalCleared in the statistics (the finish
// screen reads it) and returns which start buttons are enabled and which levels are barred.
LevelRules LevelRulesFor(core::AppState &state);

// The level a key starts on a menu of `levelCount` levels: "1".."9" and "a".."d" (levels
// 10..13); none for other keys or levels beyond the menu.
std::optional<int> LevelForKey(QChar key, int levelCount);

// The notice laid over a barred start button.
QString TooMuchNotice();

} // namespace tavoro::menus
