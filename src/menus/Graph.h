// The own-times view and the graph of a pupil's runs: the pupil list of the graph panel,
// the own-times lines, the two hidden rankings behind the figures, the data of one level
// block (two passes over the grade file) and its drawing through a QPainter in twips, shared
// by the screen, the printer and PDF files.
#pragma once

#include "core/AppState.h"

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

class QFont;
class QPageLayout;
class QPainter;
class QPagedPaintDevice;
class QPaintDevice;

namespace tavoro::records {
struct GradeRecord;
}

namespace tavoro::menus {

// The graphs and the own-times lists look this many days back.
constexpr int kGraphPeriodDays = 3650;
// Runs of this many seconds or more are not plotted on the time axis.
constexpr std::int32_t kGraphSlowRun = 1800;
// The own-times lists write no time for a run ended by time-out.
constexpr std::int32_t kOwnTimesNoTime = 90000;

// `text` with spaces added on the left to `width` characters, or its last `width`
// characters when it is longer.
QString PadLeft(const QString &text, int width);
// A number as a whole number (rounded), without leading zeros; empty for 0.
QString WholeText(double value);
// A rank text as a whole number when it reads as one; other texts ("---") unchanged.
QString RankWholeText(const QString &rankText);

// --- Pupil list ----------------------------------------------------------------------

// A line of the pupil list: grade code, " /  ", the trimmed name, "/" and the number.
QString PupilListLine(const QString &gradeCode, const QString &name, int pupil);
// The number after the last "/" of a pupil-list line; 0 when there is none.
int PupilOfListLine(const QString &line);

// Reads the roster file again: names, birth years and grade codes by pupil number are
// brought up to date, and the lines of the listed pupils (state 0) are returned in file
// order. The ranking population (RosterNumbers) stays that of the name selection. An
// unreadable roster gives no lines.
QStringList ReloadPupilLines(core::AppState &state);

// --- Own times -----------------------------------------------------------------------

// The line of one run in the own-times list: date, time of day and the seconds.
QString OwnTimeLine(const records::GradeRecord &record);

// The own-times lists of `pupil` per level 1..LevelCount, from the newest 20000 records,
// each in the order of the sorted lists. Empty when the pupil's grade does not pass
// `gradeFilter`.
std::array<QStringList, core::kLevels> OwnTimesLists(const core::AppState &state, int pupil,
                                                     const QString &gradeFilter);

// --- Hidden rankings and figures -------------------------------------------------------

enum class GraphRankingKind { Times = 1, Points = 2 };

struct GraphRanking {
    QStringList lines;       // in ranking order
    std::vector<int> pupils; // the pupil of each line
};

// The time (kind 1) or points (kind 2) ranking of `level` over the listed pupils, the lines
// of pupils passing `gradeFilter`. `pointsOrder` 2 ranks by today's points and lists only
// pupils with points today; any other value by the points so far.
GraphRanking GraphRankingOf(const core::AppState &state, int level, GraphRankingKind kind,
                            int pointsOrder, const QString &gradeFilter);

struct PointsFigures {
    QString rank;         // first three characters of the shown pupil's line
    long long points = 0; // his points total
    long long sum = 0;    // sum of the points totals above 0
    long long count = 0;  // number of them
};
PointsFigures PointsFiguresOf(const GraphRanking &pointsRanking, int shownPupil);
// The first three characters of the shown pupil's line; empty without one.
QString TimeRankOf(const GraphRanking &timesRanking, int shownPupil);

// --- One level block --------------------------------------------------------------------

struct GraphRun {
    double x = 0; // fraction of u
    double d = 0; // fraction of v below the block top
    std::int32_t seconds = 0;
    double date = 0;     // day value of the run
    bool record = false; // a record-breaking run (drawn red)
};

struct GraphBlock {
    int level = 0;
    QString name;               // the shown pupil's name, trimmed
    QString title;              // program title, a space and the level name
    int count = 0;              // K: the pupil's runs under 1800 s in the newest 20000
    long long sum = 0;          // S
    std::int32_t scale = 10;    // T, the y axis maximum
    std::vector<GraphRun> runs; // the plotted runs in file order
    std::vector<int> records;   // indices into runs of the record-breaking runs, in order
    double lastDate = 0;        // date of the last record within the period and levels
    bool hasLastDate = false;
    // The lines of the figures box, 1..9 and the last; lines 5 and 9 are empty when left
    // out.
    std::array<QString, 10> figures;
};

struct GraphBlockFigures {
    QString timeRank;
    QString pointsRank;
    long long points = 0;
    long long schoolPointsSum = 0;
    long long schoolPointsCount = 0;
};

// The data of the block of `level` for `shownPupil` from the grade file: the first pass
// over the newest 20000 records (count, sum and maximum of his runs), the second over all
// records (school figures, the plotted runs). A missing or unreadable file has no records.
GraphBlock ComputeGraphBlock(const core::AppState &state, int level, int shownPupil,
                             const QString &gradeFilter, const GraphBlockFigures &figures);

// The figures of a level computed from its two rankings.
GraphBlockFigures GraphFiguresOf(const core::AppState &state, int level, int shownPupil,
                                 int pointsOrder, const QString &gradeFilter);

// --- Drawing ---------------------------------------------------------------------------

struct GraphSurface {
    QSizeF size;             // width and height in twips
    bool printer = false;    // the printer's sizes of fonts, lines and the figure spacing
    double baseFontSize = 6; // in points
};

// Where a run's point stands (twips) in the block at `top`: a run slower than the axis
// maximum is raised to the axis's top (0.1 of v); a run of 1800 s or more keeps its place,
// above the block.
QPointF GraphPointPosition(const GraphSurface &surface, double top, const GraphRun &run);

// A text of the drawing with the top left corner of its place (twips).
struct GraphLabel {
    QString text;
    QPointF at;
};

// The time and date labels of the record-breaking runs (the first, every third from the
// third while two follow, the last), placed by their points: a raised point takes its labels
// with it, and a point outside the block has none. A label partly outside the block is
// clipped there, not moved in.
std::vector<GraphLabel> GraphPointLabels(const GraphSurface &surface, double top,
                                         const GraphBlock &block);

// The top (twips) of the block in `slot` 0..2 of a screen or page of height `height`.
double GraphBlockTop(int slot, double height);

// Draws one block at `top` (twips); the first block of a page (top under 8% of the
// height) also writes the pupil's name. The painter's coordinates are twips. Everything but
// the name is clipped to the block's band (0.3 of the height from its top).
void DrawGraphBlock(QPainter &painter, const GraphSurface &surface, double top,
                    const GraphBlock &block);

// The pages of a pupil's sheet: three blocks a page, the levels in the order given.
std::vector<std::vector<GraphBlock>> GraphPages(const core::AppState &state, int shownPupil,
                                                const std::vector<int> &levels, int pointsOrder,
                                                const QString &gradeFilter);

// The fonts of the sheets, in the painter's twips: the program's Gothic (platform/Fonts.h),
// or its monospaced cut for texts lined up with full-width spaces.
QFont GraphFont(double points, bool aligned = false);
// The page of the printed sheets: A4 portrait, 10 mm margins.
QPageLayout GraphPageLayout();

// Sets A4 portrait on `device` and draws the pages on it, a new page for each after the
// first. False when the painter cannot begin on the device.
bool DrawGraphDocument(QPagedPaintDevice &device,
                       const std::vector<std::vector<GraphBlock>> &pages);

// Maps the painter's coordinates to twips over the device's drawing area and returns the
// area's size in twips.
QSizeF SetTwipsWindow(QPainter &painter, const QPaintDevice &device);

} // namespace tavoro::menus
