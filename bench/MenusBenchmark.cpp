// The pupil-facing menus on the offscreen platform: ComputeStatistics alone, the name
// selection's display (名簿表示), the level menu's refresh (Form_Activate and the paint it
// leads to) with nothing new since the last refresh and on the way back from a run, each
// view of the menu's lists, the own-times view and three graph blocks of pupil 1.
#include "Benchmarks.h"

#include "menus/namesel.h"
#include "menus/seisekitime1.h"
#include "platform/Events.h"
#include "records/GradeLoad.h"
#include "records/Statistics.h"

#include <QEvent>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

namespace tavoro::bench {
namespace {

// Targets: what a pupil would notice.
constexpr double kDisplayTargetMs = 50;
constexpr double kViewTargetMs = 150; // switching the menu's lists to another view
constexpr double kGraphTargetMs = 150;
constexpr double kGraphBigTargetMs = 1000; // the graph's second pass reads the whole file
// ComputeStatistics reads the newest 20000 records at any size of the file.
constexpr double kStatisticsTargetMs = 3;

// Counts the paints of a widget, so a run can tell that the rows it timed were painted.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void computeStatistics(benchmark::State &st, School &school)
{
    core::AppState &s = school.state;
    for (auto _ : st)
        benchmark::DoNotOptimize(records::ComputeStatistics(s));
    long runs = 0;
    for (int k = 1; k <= kPupils; ++k)
        for (int level = 1; level <= kLevels; ++level)
            runs += s.stats.TotalRuns(k, level);
    // Every record read but the time-outs (about one in twenty) is a run.
    const long read = std::min<long>(school.records, records::kMaxLoaded);
    if (runs < read * 9 / 10 || runs >= read)
        st.SkipWithError("the statistics do not hold the records");
}

void nameSelectionDisplay(benchmark::State &st, School &school)
{
    const auto shown = shownWindow<menus::namesel>(school);
    menus::namesel &window = *shown;
    if (window.List1->count() != kPupils + 1)
        st.SkipWithError("not every pupil is listed");
    PaintCounter painted;
    window.List1->viewport()->installEventFilter(&painted);
    int displays = 0;
    for (auto _ : st) {
        window.名簿表示();
        platform::processPendingEvents(); // the list painted
        ++displays;
    }
    if (painted.paints < displays)
        st.SkipWithError("the list was not painted at every display");
}

// The level menu shown at 1024 x 768, after the roster tables were filled as the name
// selection leaves them.
std::unique_ptr<menus::seisekitime1> shownMenu(School &school)
{
    {
        menus::namesel names(school.state);
    }
    return shownWindow<menus::seisekitime1>(school);
}

// The refresh with no new record in the grade file since the last one. It changes nothing
// on the screen, so nothing needs painting after it.
void menuRefresh(benchmark::State &st, School &school)
{
    const auto window = shownMenu(school);
    if (window->List5[1]->count() != kPupils)
        st.SkipWithError("not every pupil is ranked");
    for (auto _ : st) {
        window->Form_Activate();
        platform::processPendingEvents();
    }
    if (window->List5[1]->count() != kPupils || !window->List5[1]->isVisible())
        st.SkipWithError("the refresh lost the ranking");
}

// The refresh on the way back from a drill: the grade file holds one more run of the pupil
// than at the last refresh (or one less), so one level's ranking is new.
void menuRefreshAfterRun(benchmark::State &st, School &school)
{
    const auto window = shownMenu(school);
    std::array<PaintCounter, menus::seisekitime1::kColumns> painted;
    for (int level = 1; level <= kLevels; ++level)
        window->List5[level]->viewport()->installEventFilter(&painted[level]);
    int refreshes = 0;
    for (auto _ : st) {
        st.PauseTiming();
        // Levels 1..4 are the columns shown at 1024 x 768.
        const int level = 1 + (refreshes / 2) % 4;
        school.writeGrades(refreshes % 2 == 0 ? school.gradesWithRun(level) : school.grades);
        const QStringList before = window->List5[level]->texts();
        const int paintsBefore = painted[level].paints;
        st.ResumeTiming();
        window->Form_Activate();
        platform::processPendingEvents(); // the renewed list painted
        st.PauseTiming();
        if (window->List5[level]->texts() == before)
            st.SkipWithError("the new run did not change the level's ranking");
        if (painted[level].paints == paintsBefore)
            st.SkipWithError("the renewed list was not painted");
        st.ResumeTiming();
        ++refreshes;
    }
    school.restoreGrades();
}

// The own-times view (Option2(2)): the lists of every level from the newest 20000 records.
void ownTimesView(benchmark::State &st, School &school)
{
    const auto window = shownMenu(school);
    for (auto _ : st) {
        window->Option2[2]->setChecked(true);
        window->Option2_Click(2);
        platform::processPendingEvents();
    }
    const qsizetype listed =
        window->List5[1]->count() + window->List5[2]->count() + window->List5[3]->count();
    if (listed != kKeenPupilRuns || !window->List5[1]->isVisible())
        st.SkipWithError("the own-times lists do not hold the pupil's runs");
}

// "グラフ": three level blocks computed, drawn and painted on the panel.
void graphBlocks(benchmark::State &st, School &school)
{
    const auto window = shownMenu(school);
    window->Option2[2]->setChecked(true);
    window->Option2_Click(2);
    PaintCounter painted;
    window->Picture11->Picture12->installEventFilter(&painted);
    int draws = 0;
    for (auto _ : st) {
        window->Command17_Click();
        window->Picture11->Picture12->repaint();
        ++draws;
    }
    const auto &blocks = window->Picture11->Picture12->blocks();
    if (blocks.size() != 3 || blocks[0].block.runs.size() < 100)
        st.SkipWithError("the graph does not hold the pupil's runs");
    if (painted.paints < draws)
        st.SkipWithError("the graph was not painted at every drawing");
}

// The views of the level menu's lists, each switched to as a pupil does: the window's
// handler, then the paint it leads to.
struct View {
    const char *name;
    std::function<void(menus::seisekitime1 &)> show;
};

const std::vector<View> &views()
{
    using W = menus::seisekitime1;
    static const std::vector<View> all{
        {"best times", [](W &w) { w.Option1[1]->setChecked(true); w.Option2_Click(0); }},
        {"today", [](W &w) { w.ListMode = 1; w.Option1[2]->setChecked(true); w.Option1_Click(2); }},
        {"this week", [](W &w) { w.ListMode = 1; w.Option1[3]->setChecked(true);
                                 w.Combo2->setCurrentIndex(0); w.Combo2_Click(); }},
        {"since last week", [](W &w) { w.ListMode = 1; w.Option1[3]->setChecked(true);
                                       w.Combo2->setCurrentIndex(1); w.Combo2_Click(); }},
        {"a month", [](W &w) { w.ListMode = 1; w.Option1[3]->setChecked(true);
                               w.Combo2->setCurrentIndex(2); w.Combo2_Click(); }},
        {"a year", [](W &w) { w.ListMode = 1; w.Option1[3]->setChecked(true);
                              w.Combo2->setCurrentIndex(3); w.Combo2_Click(); }},
        {"all runs", [](W &w) { w.ListMode = 1; w.Option1[3]->setChecked(true);
                                w.Combo2->setCurrentIndex(4); w.Combo2_Click(); }},
        {"points so far", [](W &w) { w.Option1[1]->setChecked(true); w.Option2_Click(1); }},
        {"points today", [](W &w) { w.Option1[2]->setChecked(true); w.Option2_Click(1); }},
    };
    return all;
}

void view(benchmark::State &st, School &school, const View &v)
{
    const auto window = shownMenu(school);
    for (auto _ : st) {
        v.show(*window);
        platform::processPendingEvents();
    }
    if (window->List5[1]->count() == 0)
        st.SkipWithError("the view lists nothing at level 1");
}

} // namespace

void registerMenuBenchmarks(School &school, Figures &figures)
{
    const std::string at = sizeSuffix(school);
    const bool big = school.records > kRecentRecords;
    // At a million records five repetitions of the own-times view and the graph do (the
    // graph reads the whole file there).
    const int repetitions = 15;
    const int wholeFileRepetitions = big ? 5 : repetitions;
    const auto on = [&school](SchoolBenchmark run) { return onSchool(school, run); };
    measure(figures, "ComputeStatistics" + at, kStatisticsTargetMs, repetitions,
            on(computeStatistics));
    measure(figures, "name selection display" + at, kDisplayTargetMs, repetitions,
            on(nameSelectionDisplay));
    measure(figures, "level menu refresh" + at, kDisplayTargetMs, repetitions, on(menuRefresh));
    measure(figures, "level menu refresh after a run" + at, kDisplayTargetMs, repetitions,
            on(menuRefreshAfterRun));
    for (const View &v : views())
        measure(figures, std::string("view ") + v.name + at, kViewTargetMs, 7,
                [&school, &v](benchmark::State &st) { view(st, school, v); });
    measure(figures, "own-times view" + at, kViewTargetMs, wholeFileRepetitions,
            on(ownTimesView));
    measure(figures, "three graph blocks" + at, big ? kGraphBigTargetMs : kGraphTargetMs,
            wholeFileRepetitions, on(graphBlocks));
}

} // namespace tavoro::bench
