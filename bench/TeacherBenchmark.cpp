// The teacher tools on a grade file of several school years: 1,000,000 records (44 MB), on
// the offscreen platform. Prints the median times of the record browser's opening until its
// first rows are painted, of a scroll to another place in the list, of a change and of a
// deletion of a record (under the lock, with the temporary copy put on the disk), of the
// first change of a session (with its backup), of the criteria editor's opening (which
// reads the grade file for the distributions) and of a key press in the editor with the
// distribution recomputed.
#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Settings.h"
#include "platform/Events.h"
#include "records/GradeFile.h"
#include "support/Fakes.h"
#include "support/GradeRecords.h"
#include "support/Installation.h"
#include "teacher/FrmData.h"
#include "teacher/FrmTimeData.h"
#include "teacher/RecordEdit.h"

#include <QApplication>
#include <QScrollBar>

#include "Medians.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>

using namespace tavoro;

namespace {

constexpr int kRecords = 1000000;
// Targets: what a teacher would notice.
constexpr double kFirstRowsTargetMs = 1000;
constexpr double kScrollTargetMs = 50;
constexpr double kRewriteTargetMs = 2000;
constexpr double kKeyTargetMs = 100;

struct World {
    test::Installation inst;
    test::FakeWorld fakes;
    core::AppState &state = *fakes.state;

    World()
    {
        fakes.state->screens = nullptr;
        inst.writeDefaults();
        QStringList roster;
        for (int k = 1; k <= 5000; ++k)
            roster << QStringLiteral("%1,%2,0,0,生徒%1,0,,").arg(k).arg(2008 + k % 14);
        inst.writeRoster(roster);
        std::mt19937 rng(20261209);
        std::vector<records::GradeRecord> records;
        records.reserve(kRecords);
        for (int i = 0; i < kRecords; ++i)
            records.push_back(test::gradeRecord(
                1 + int(rng() % 5000), 1 + int(rng() % 7), 20 + int(rng() % 180),
                test::dayValue(2020, 4, 1) + i / 400, (32400 + i % 30000) / 86400.0));
        inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"),
                        test::encodeRecords(records));
        if (auto err = core::LoadSettings(state, inst.programFolder())) {
            std::fprintf(stderr, "%s\n", err->message.toLocal8Bit().constData());
            std::abort();
        }
        core::SetLevelTable(state);
    }
};

World &world()
{
    static World w;
    return w;
}

std::unique_ptr<teacher::FrmData> openBrowser()
{
    auto window = std::make_unique<teacher::FrmData>(world().state);
    window->resize(1024, 768);
    window->show();
    window->Form_Activate();
    platform::processPendingEvents(); // the first rows painted
    return window;
}

void BM_BrowserFirstRows(benchmark::State &st)
{
    for (auto _ : st) {
        const auto window = openBrowser();
        if (window->model()->rowCount() < kRecords - 100)
            st.SkipWithError("not every record is listed");
    }
}

void BM_BrowserScroll(benchmark::State &st)
{
    const auto window = openBrowser();
    QScrollBar *bar = window->List1->verticalScrollBar();
    std::mt19937 rng(7);
    for (auto _ : st) {
        bar->setValue(int(rng() % std::uint32_t(bar->maximum())));
        platform::processPendingEvents();
    }
}

// The record at place n as the browser shows it.
records::GradeRecord recordAt(std::int64_t n)
{
    const QByteArray bytes =
        world().inst.readBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"));
    return records::DecodeGradeRecord(bytes.constData() + (n - 1) * 44);
}

void BM_ChangeRecord(benchmark::State &st)
{
    const std::int64_t n = kRecords / 2;
    records::GradeRecord shown = recordAt(n);
    for (auto _ : st) {
        records::GradeRecord changed = shown;
        changed.RecSeconds = shown.RecSeconds == 30 ? 31 : 30;
        if (teacher::ChangeGradeRecord(world().state, n, shown, changed, false).outcome !=
            teacher::RewriteOutcome::Written)
            st.SkipWithError("the change was not written");
        shown = changed;
    }
}

void BM_FirstChangeWithBackup(benchmark::State &st)
{
    const std::int64_t n = kRecords / 2;
    records::GradeRecord shown = recordAt(n);
    for (auto _ : st) {
        records::GradeRecord changed = shown;
        changed.RecSeconds = shown.RecSeconds == 30 ? 31 : 30;
        world().fakes.clock.advanceSeconds(1); // a backup of its own
        if (teacher::ChangeGradeRecord(world().state, n, shown, changed, true).outcome !=
            teacher::RewriteOutcome::Written)
            st.SkipWithError("the change was not written");
        shown = changed;
    }
}

// The first record: every record after it moves.
void BM_DeleteRecord(benchmark::State &st)
{
    for (auto _ : st) {
        st.PauseTiming();
        const records::GradeRecord shown = recordAt(1);
        st.ResumeTiming();
        if (teacher::DeleteGradeRecord(world().state, 1, shown, false).outcome !=
            teacher::RewriteOutcome::Written)
            st.SkipWithError("the deletion was not written");
    }
}

void BM_EditorOpening(benchmark::State &st)
{
    for (auto _ : st) {
        teacher::FrmTimeData window(world().state);
        window.resize(1024, 768);
        window.show();
        window.Form_Activate();
        platform::processPendingEvents();
        if (window.List3->text(0).isEmpty())
            st.SkipWithError("no distribution");
    }
}

void BM_EditorKeyPress(benchmark::State &st)
{
    teacher::FrmTimeData window(world().state);
    window.resize(1024, 768);
    window.show();
    window.Form_Activate();
    platform::processPendingEvents();
    int presses = 0;
    for (auto _ : st) {
        window.Gridinputtext_KeyDown(presses % 12 < 6 ? Qt::Key_Down : Qt::Key_Up, {});
        platform::processPendingEvents();
        ++presses;
    }
    if (window.gradeFileReads() != 1)
        st.SkipWithError("the grade file was read again");
}

#define TEACHER_BENCHMARK(name)                                                                    \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

TEACHER_BENCHMARK(BM_BrowserFirstRows)->Iterations(1);
TEACHER_BENCHMARK(BM_BrowserScroll);
TEACHER_BENCHMARK(BM_ChangeRecord)->Iterations(3);
TEACHER_BENCHMARK(BM_FirstChangeWithBackup)->Iterations(2);
TEACHER_BENCHMARK(BM_DeleteRecord)->Iterations(3);
TEACHER_BENCHMARK(BM_EditorOpening)->Iterations(1);
TEACHER_BENCHMARK(BM_EditorKeyPress);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    world();
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nmedians (%d records, %lld bytes):\n", kRecords,
                static_cast<long long>(kRecords) * 44);
    const auto line = [&reporter](const char *label, const char *name, double target) {
        const double ms = reporter.medians[name];
        std::printf("  %-34s %8.2f ms  (target %g ms%s)\n", label, ms, target,
                    ms <= target ? "" : ", MISSED");
    };
    line("record browser: first rows", "BM_BrowserFirstRows", kFirstRowsTargetMs);
    line("record browser: scroll", "BM_BrowserScroll", kScrollTargetMs);
    line("change of a record", "BM_ChangeRecord", kRewriteTargetMs);
    line("first change of a session (backup)", "BM_FirstChangeWithBackup", kRewriteTargetMs);
    line("deletion of the first record", "BM_DeleteRecord", kRewriteTargetMs);
    line("criteria editor: opening", "BM_EditorOpening", kFirstRowsTargetMs);
    line("criteria editor: key press", "BM_EditorKeyPress", kKeyTargetMs);
    benchmark::Shutdown();
    return 0;
}
