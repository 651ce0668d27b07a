// The texts of the name selection's list: school year and grade codes, the four totals of
// a pupil, the key text by which the hidden sorted list orders the pupils, and the rows
// shown for a school-year filter.
#pragma once

#include "core/Profile.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tavoro::core {
struct AppState;
struct Statistics;
class Variant;
} // namespace tavoro::core

namespace tavoro::records {
struct RosterLine;
struct RosterProblem;
} // namespace tavoro::records

namespace tavoro::menus {

using core::TrimSpaces;

// The row that stands for no choice at the top of the list.
QString NoChoiceRow();
// What Label1 shows while no pupil is chosen.
QString ChooseNamePrompt();

// The school year of `today`: its calendar year, one less before the start month.
int SchoolYearOf(const QDate &today, const core::Variant &startMonth);

// A pupil's grade in `schoolYear`: the school year less his birth year less 6 (1..6
// elementary school, 7..9 junior high school).
int GradeOf(int schoolYear, int birthYear);
// The birth year that GradeOf turns back into `grade` in `schoolYear`: what the roster
// must hold for a pupil to be listed in that grade this school year.
int BirthYearForGrade(int schoolYear, int grade);

// The grade code kept for a pupil ("幼３", "小１".."小６", "中１".."中３", "高１"); none for
// other grades, which keep what the pupil had before.
std::optional<QString> GradeCode(int grade);

// The code at the start of a list row ("幼-", "幼1".."幼3", "小1".."小6", "中1".."中3",
// "高1".."高3", "大+").
QString ListCode(int grade);

// A pupil's runs and points over levels 1..35, today and so far.
struct PupilTotals {
    long runsToday = 0;
    long pointsToday = 0;
    long runsSoFar = 0;
    long pointsSoFar = 0;
};
PupilTotals TotalsOf(const core::Statistics &stats, int pupil);

// The texts of the four totals, each of a fixed look (right-aligned, or blank for 0).
QString RunsTodayText(long runs);
QString PointsTodayText(long points);
QString RunsSoFarText(long runs);
QString PointsSoFarText(long points);

// The pair of totals a display mode shows, joined by "/".
QString TotalsPairText(int displayMode, const PupilTotals &totals);

// The key text of a listed pupil: birth year, list code, a space, the trimmed name, the
// full-width fill of the name column, the pair of totals, "*" and the pupil number.
QString ListKeyText(int birthYear, int schoolYear, const QString &name, int displayMode,
                    const PupilTotals &totals, int pupil);

// A listed pupil: what his key text and row are made of.
struct ListedPupil {
    int number = 0;
    int birthYear = 0;
    QString name; // as the roster keeps it
};

// Takes the roster lines into the roster tables of the state (names, birth years and grade
// codes by pupil number for every line; the listed lines by line index) and returns the
// listed pupils in file order. SchoolYear must be set. A line of state 2 is listed when
// `rosterSwitchOn`.
std::vector<ListedPupil> TakeRosterLines(core::AppState &state,
                                         const std::vector<records::RosterLine> &lines,
                                         bool rosterSwitchOn);

// Takes the roster lines into the roster tables of the state (names, birth years and grade
// codes by pupil number for every line; the listed lines by line index) and returns the key
// texts of the listed pupils in file order. SchoolYear must be set; the totals come from the
// statistics. A line of state 2 is listed when `rosterSwitchOn`.
QStringList FillRosterTables(core::AppState &state, const std::vector<records::RosterLine> &lines,
                             int displayMode, bool rosterSwitchOn);

// The message shown when the roster file cannot be read, or names the lines left out.
QString RosterUnreadableText(const QString &path, const QString &reason, bool missing);
QString RosterProblemsText(const QString &path,
                           const std::vector<records::RosterProblem> &problems);

// The rows a filter shows, in the order of the sorted keys.
struct NameRows {
    QStringList rows;         // the list rows, without the no-choice row
    QStringList numbered;     // each row followed by "*" and the pupil number
    std::vector<int> numbers; // the pupil number of each row
};
NameRows ShownRows(const QStringList &sortedKeys, int schoolYear, const QString &filter);

// The pupil number after the "*" of a numbered row; 0 when there is none.
int NumberOfRow(const QString &numberedRow);

// What Label1 shows for a chosen row: its first ten characters (single click), or the row
// up to the first "/" (double click), trimmed.
QString ChosenNameText(const QString &row);
QString ConfirmedNameText(const QString &row);

// The school-year filters in the order the filter box lists them.
QStringList GradeFilterItems();

} // namespace tavoro::menus
