// The class report: for a period, per grade, one row per listed pupil with his runs and
// points in the period, the levels he has cleared and the levels barred to him as done too
// much at the period's end, his best time of each level in the period and the day of his
// last run. Written as CSV, or drawn on A4 pages through a QPainter like the graph sheets.
#pragma once

#include "records/GradeFile.h"
#include "records/RosterFile.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

class QPagedPaintDevice;

namespace tavoro::core {
struct AppState;
}

namespace tavoro::datatool {

struct ReportPeriod {
    QDate from; // first day, included
    QDate to;   // last day, included
};

// This week up to `today`: from its Monday to `today`.
ReportPeriod ThisWeek(const QDate &today);

struct ReportRow {
    int number = 0;
    QString name; // without the roster's padding
    int runs = 0; // runs of the period, every level
    long long points = 0;
    std::vector<int> cleared;       // the levels whose clear condition holds at the end
    std::vector<int> heldBack;      // the levels barred as done too much at the end
    std::vector<std::int32_t> best; // per level 1..LevelCount; 99999 for none
    QDate lastRun;                  // invalid when he has no run in the period
};

struct ReportGrade {
    int grade = 0;
    QString name; // "小３", or the list's code for a grade without a grade code
    std::vector<ReportRow> rows;
};

struct ClassReport {
    QString school;
    QString title; // the program's title
    ReportPeriod period;
    QDate printed;
    QStringList levelNames; // levels 1..LevelCount
    std::vector<ReportGrade> grades;
};

// The report of `period` over `records` (whole records in file order, as read) for the
// listed pupils of `roster` whose grade `gradeWanted` accepts; teachers are left out. The
// state must hold the settings, the criteria and the level table; its statistics tables
// are overwritten. The grade is the pupil's grade on the period's last day. The counts of
// the period come from every record of it; the cleared and barred levels are what the
// program would have shown on the period's last day, from the newest 20000 records up to
// it.
ClassReport
BuildClassReport(core::AppState &state, const std::vector<records::GradeRecord> &records,
                 const std::vector<records::RosterLine> &roster, const ReportPeriod &period,
                 const std::function<bool(int grade)> &gradeWanted, const QDate &printed);

// The levels of a list as a spreadsheet cell ("1 2 5") and as the printed page shows them,
// runs of levels joined ("1～3・5").
QString LevelListText(const std::vector<int> &levels);
QString LevelRangesText(const std::vector<int> &levels);

// The report as CSV, a header line first, every line ended by `lineEnd`.
QString ClassReportCsv(const ClassReport &report, const QString &lineEnd);

// Sets A4 portrait on `device` and draws the report, every grade from a new page, page
// numbers at the foot. False when the painter cannot begin on the device.
bool DrawClassReport(QPagedPaintDevice &device, const ClassReport &report);

} // namespace tavoro::datatool
