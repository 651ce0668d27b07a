// The teacher tools on the offscreen platform: the record browser's opening until its first
// rows are painted, a scroll to another place in the list, a change and a deletion of a
// record (under the lock, with the temporary copy put on the disk), the first change of a
// session (with its backup), the criteria editor's opening (which reads the grade file for
// the distributions) and a key press in the editor with the distribution recomputed.
#include "Benchmarks.h"

#include "platform/Events.h"
#include "records/GradeFile.h"
#include "teacher/FrmData.h"
#include "teacher/FrmTimeData.h"
#include "records/GradeWriter.h"

#include <QScrollBar>

#include <memory>
#include <random>

namespace tavoro::bench {
namespace {

// Targets: what a teacher would notice.
constexpr double kFirstRowsTargetMs = 1000;
constexpr double kScrollTargetMs = 50;
constexpr double kRewriteTargetMs = 2000;
constexpr double kKeyTargetMs = 100;

std::unique_ptr<teacher::FrmData> openBrowser(School &school)
{
    return shownWindow<teacher::FrmData>(school); // the first rows painted
}

void browserFirstRows(benchmark::State &st, School &school)
{
    for (auto _ : st) {
        const auto window = openBrowser(school);
        if (window->model()->rowCount() < school.records - 100)
            st.SkipWithError("not every record is listed");
    }
}

void browserScroll(benchmark::State &st, School &school)
{
    const auto window = openBrowser(school);
    QScrollBar *bar = window->List1->verticalScrollBar();
    std::mt19937 rng(7);
    for (auto _ : st) {
        bar->setValue(int(rng() % std::uint32_t(bar->maximum())));
        platform::processPendingEvents();
    }
}

// The record at place n of the file as it is now, as the browser shows it.
records::GradeRecord recordAt(School &school, std::int64_t n)
{
    const QByteArray bytes = school.inst.readBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"));
    return records::DecodeGradeRecord(bytes.constData() + (n - 1) * records::kGradeRecordSize);
}

// Changes of the record in the middle of the file; with `backup` each the first change of a
// session, which keeps a backup of its own.
void changeRecord(benchmark::State &st, School &school, bool backup)
{
    const std::int64_t n = school.records / 2;
    records::GradeRecord shown = recordAt(school, n);
    for (auto _ : st) {
        records::GradeRecord changed = shown;
        changed.RecSeconds = shown.RecSeconds == 30 ? 31 : 30;
        if (backup)
            school.fakes.clock.advanceSeconds(1);
        if (records::ChangeGradeRecord(school.state, n, shown, changed, backup).outcome !=
            records::RewriteOutcome::Written)
            st.SkipWithError("the change was not written");
        shown = changed;
    }
    school.restoreGrades();
}

// The first record: every record after it moves.
void deleteRecord(benchmark::State &st, School &school)
{
    for (auto _ : st) {
        st.PauseTiming();
        const records::GradeRecord shown = recordAt(school, 1);
        st.ResumeTiming();
        if (records::DeleteGradeRecord(school.state, 1, shown, false).outcome !=
            records::RewriteOutcome::Written)
            st.SkipWithError("the deletion was not written");
    }
    school.restoreGrades();
}

void editorOpening(benchmark::State &st, School &school)
{
    for (auto _ : st) {
        const auto window = shownWindow<teacher::FrmTimeData>(school);
        if (window->List3->text(0).isEmpty())
            st.SkipWithError("no distribution");
    }
}

void editorKeyPress(benchmark::State &st, School &school)
{
    const auto shown = shownWindow<teacher::FrmTimeData>(school);
    teacher::FrmTimeData &window = *shown;
    int presses = 0;
    for (auto _ : st) {
        window.Gridinputtext_KeyDown(presses % 12 < 6 ? Qt::Key_Down : Qt::Key_Up, {});
        platform::processPendingEvents();
        ++presses;
    }
    if (window.gradeFileReads() != 1)
        st.SkipWithError("the grade file was read again");
}

} // namespace

void registerTeacherBenchmarks(School &school, Figures &figures)
{
    const std::string at = sizeSuffix(school);
    const auto on = [&school](SchoolBenchmark run) { return onSchool(school, run); };
    measure(figures, "record browser: first rows" + at, kFirstRowsTargetMs, 5,
            on(browserFirstRows))
        ->Iterations(1);
    measure(figures, "record browser: scroll" + at, kScrollTargetMs, 5, on(browserScroll));
    measure(figures, "change of a record" + at, kRewriteTargetMs, 5,
            [&school](benchmark::State &st) { changeRecord(st, school, false); })
        ->Iterations(3);
    measure(figures, "first change of a session (backup)" + at, kRewriteTargetMs, 5,
            [&school](benchmark::State &st) { changeRecord(st, school, true); })
        ->Iterations(2);
    measure(figures, "deletion of the first record" + at, kRewriteTargetMs, 5, on(deleteRecord))
        ->Iterations(3);
    measure(figures, "criteria editor: opening" + at, kFirstRowsTargetMs, 5, on(editorOpening))
        ->Iterations(1);
    measure(figures, "criteria editor: key press" + at, kKeyTargetMs, 5, on(editorKeyPress));
}

} // namespace tavoro::bench
