// Every benchmark of the program, on a school of 5000 pupils and 35 levels with 20000 and
// with 1,000,000 records, and the peak memory of a whole session at the larger size. Prints
// each figure beside its target; the exit status is 0 only when every target was met.
// `--start-up FOLDER` and `--whole-session FOLDER` are the processes it starts for itself.
#include "Benchmarks.h"

#include <QApplication>

#include <cstdio>
#include <string>

using namespace tavoro::bench;

namespace {

constexpr int kLargestRecords = 1000000;
constexpr double kSessionTargetMb = 150;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Read before QApplication takes the arguments it knows.
    const std::string mode = argc == 3 ? argv[1] : "";
    const QString folder = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    QApplication app(argc, argv);
    if (mode == "--start-up")
        return startUpProcess(folder);
    if (mode == "--whole-session")
        return sessionProcess(folder);

    benchmark::Initialize(&argc, argv);
    std::printf("writing the schools' installations...\n");
    std::fflush(stdout);
    School typical(kRecentRecords);
    School largest(kLargestRecords);
    Figures figures;
    for (School *school : {&typical, &largest}) {
        registerStartUpBenchmark(*school, figures);
        registerMenuBenchmarks(*school, figures);
        registerTeacherBenchmarks(*school, figures);
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    TargetTable table;
    for (const Figure &figure : figures)
        table.add(figure.benchmark, reporter.median(figure.benchmark), figure.target);
    std::printf("\nthe whole session (%d records, %d pupils, %d levels) in a process of its "
                "own...\n",
                kLargestRecords, kPupils, kLevels);
    std::fflush(stdout);
    table.add("peak resident memory of a session" + sizeSuffix(largest),
              sessionPeakMegabytes(largest), kSessionTargetMb, "MB");
    std::printf("\n%d pupils, %d levels; medians of the repetitions\n", kPupils, kLevels);
    return table.print() ? 0 : 1;
}
