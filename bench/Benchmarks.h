// The benchmarks of each part of the program, registered on a school of a given size.
#pragma once

#include "Medians.h"
#include "School.h"

#include <optional>
#include <string>

namespace tavoro::bench {

// " (20000 records)": what each figure's name ends in.
inline std::string sizeSuffix(const School &school)
{
    return " (" + std::to_string(school.records) + " records)";
}

// A benchmark's body on a school, and the benchmark's function that runs it on `school`.
using SchoolBenchmark = void (*)(benchmark::State &, School &);
inline auto onSchool(School &school, SchoolBenchmark run)
{
    return [run, &school](benchmark::State &st) { run(st, school); };
}

// The statistics, the name selection, the level menu's refresh, its views, the own-times
// view and the graph.
void registerMenuBenchmarks(School &school, Figures &figures);
// The record browser and the criteria editor.
void registerTeacherBenchmarks(School &school, Figures &figures);
// The start-up to the name selection, as a whole process.
void registerStartUpBenchmark(School &school, Figures &figures);

// The peak resident memory, in MB, of a whole session on `school` in a process of its own:
// start-up, name selection, level menu, a drill run, the finish screen, the own-times view
// and graph, the record browser and the criteria editor. None when the session failed.
std::optional<double> sessionPeakMegabytes(School &school);

// The processes that the two above start: the program's own start-up with the name
// selection shown, and the whole session, on the installation in `programFolder`.
int startUpProcess(const QString &programFolder);
int sessionProcess(const QString &programFolder);

} // namespace tavoro::bench
