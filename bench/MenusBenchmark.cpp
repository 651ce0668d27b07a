// The pupil-facing menus at full size: 5000 listed pupils in the roster, 35 levels and 20000
// records in the grade file, on the offscreen platform. Prints the median time of the name
// selection's display (名簿表示), of the level menu's refresh (Form_Activate and the paint it
// leads to), with nothing new since the last refresh and on the way back from a run, and of
// ComputeStatistics alone, measured in the same run; then the own-times view and three graph
// blocks of a pupil with 400 runs, at 20000 and at 1000000 records.
#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Settings.h"
#include "menus/namesel.h"
#include "menus/seisekitime1.h"
#include "platform/Events.h"
#include "platform/Paths.h"
#include "records/GradeFile.h"
#include "records/Statistics.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include "Medians.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>

using namespace tavoro;

namespace {

constexpr int kPupils = 5000;
constexpr int kRecords = 20000;
constexpr int kLevels = 35;
// Targets: what a pupil would notice.
constexpr double kStatisticsTargetMs = 3;
constexpr double kDisplayTargetMs = 50;
constexpr double kViewTargetMs = 150; // switching the menu's lists to another view
// The own-times view and three graph blocks (with their paint); at a million records the
// graph's second pass reads the whole file.
constexpr int kBigRecords = 1000000;
constexpr double kOwnTimesTargetMs = 150;
constexpr double kGraphTargetMs = 150;
constexpr double kGraphBigTargetMs = 1000;

// An installation with a school of 5000 listed pupils, 35 levels and 20000 records of the
// last two months.
struct World {
    test::Installation inst;
    test::FakeWorld fakes;
    core::AppState &state = *fakes.state;

    World()
    {
        fakes.state->screens = nullptr;
        fakes.clock.seconds = 36000;
        inst.writeDefaults();
        QStringList criteria;
        for (int level = 1; level <= kLevels; ++level)
            criteria << QStringLiteral("%1,%2,100,3,1.5,20,0,30,7,,,")
                            .arg(20 + 5 * level)
                            .arg(60 + 5 * level);
        inst.writeCriteria(criteria);

        std::mt19937 rng(20261209);
        const QString kana = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねの"
                                            "はひふへほまみむめもやゆよらりるれろわ");
        QStringList roster;
        for (int k = 1; k <= kPupils; ++k) {
            QString name;
            const int length = 2 + int(rng() % 5);
            for (int i = 0; i < length; ++i)
                name += kana.at(qsizetype(rng() % kana.size()));
            roster << QStringLiteral("%1,%2,0,0,%3,0,,").arg(k).arg(2008 + rng() % 14).arg(name);
        }
        inst.writeRoster(roster);

        if (auto err = core::LoadSettings(state, inst.programFolder())) {
            std::fprintf(stderr, "%s\n", err->message.toLocal8Bit().constData());
            std::abort();
        }
        core::SetLevelTable(state);
        // A drill of the family with 35 levels: every column of the menu is in use.
        state.profile.LevelCount = kLevels;
        for (int level = 1; level <= kLevels; ++level)
            state.profile.LevelNames[level] = QStringLiteral("%1の段").arg(level);

        const double today = records::DateValue(fakes.clock.today());
        std::vector<double> days(kRecords);
        for (double &d : days)
            d = today - double(rng() % 60);
        std::sort(days.begin(), days.end());
        grades = QByteArray(kRecords * records::kGradeRecordSize, '\0');
        for (int i = 0; i < kRecords; ++i) {
            records::GradeRecord r;
            r.RecDate = days[std::size_t(i)];
            r.RecClock = double(rng() % 86400) / 86400.0;
            r.RecStudent = std::int16_t(1 + rng() % kPupils);
            r.RecLevel = std::int16_t(1 + rng() % kLevels);
            r.RecSeconds = rng() % 20 == 0 ? core::kNoTime : std::int32_t(10 + rng() % 150);
            r.RecSchool = records::GradeTextField(QStringLiteral("12345"));
            r.RecPointsText = records::GradeTextField(QStringLiteral("0"));
            records::EncodeGradeRecord(r, grades.data() + i * records::kGradeRecordSize);
        }
        writeGrades(grades);

        state.pupil.CurrentStudent = 1;
        state.pupil.StudentName = QStringLiteral("あおき");
        state.pupil.LoginTime = 32400;
    }

    void writeGrades(const QByteArray &bytes)
    {
        QFile f(platform::localPath(records::GradeFilePath(state.settings)));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }

    // The grade file with one more run of the current pupil at `level`, as after a drill.
    QByteArray gradesWithRun(int level)
    {
        records::GradeRecord r;
        r.RecDate = records::DateValue(fakes.clock.today());
        r.RecClock = 0.5;
        r.RecStudent = std::int16_t(state.pupil.CurrentStudent);
        r.RecLevel = std::int16_t(level);
        r.RecSeconds = 20;
        r.RecSchool = records::GradeTextField(QStringLiteral("12345"));
        r.RecPointsText = records::GradeTextField(QStringLiteral("0"));
        QByteArray out = grades;
        out.resize(grades.size() + records::kGradeRecordSize);
        records::EncodeGradeRecord(r, out.data() + grades.size());
        return out;
    }

    // The grade file with every 50th record a run of the current pupil on level 1, 2 or 3
    // (400 runs), preceded by `older` records of the year before: what the own-times view
    // and the graph read.
    QByteArray gradesOfAKeenPupil(int older)
    {
        QByteArray out(qsizetype(older + kRecords) * records::kGradeRecordSize, '\0');
        std::mt19937 rng(7);
        const double yearAgo = records::DateValue(fakes.clock.today()) - 365;
        for (int i = 0; i < older; ++i) {
            records::GradeRecord r;
            r.RecDate = yearAgo + double(i) * 300.0 / older;
            r.RecClock = 0.5;
            r.RecStudent = std::int16_t(1 + rng() % kPupils);
            r.RecLevel = std::int16_t(1 + rng() % kLevels);
            r.RecSeconds = std::int32_t(10 + rng() % 150);
            records::EncodeGradeRecord(r, out.data() + qsizetype(i) * records::kGradeRecordSize);
        }
        for (int i = 0; i < kRecords; ++i) {
            char *at = out.data() + qsizetype(older + i) * records::kGradeRecordSize;
            records::GradeRecord r =
                records::DecodeGradeRecord(grades.constData() + i * records::kGradeRecordSize);
            if (i % 50 == 0) {
                r.RecStudent = std::int16_t(state.pupil.CurrentStudent);
                r.RecLevel = std::int16_t(1 + (i / 50) % 3);
            }
            records::EncodeGradeRecord(r, at);
        }
        return out;
    }

    QByteArray grades; // the 20000 records
};

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

World &world()
{
    static World w;
    return w;
}

void BM_ComputeStatistics(benchmark::State &st)
{
    core::AppState &s = world().state;
    for (auto _ : st)
        benchmark::DoNotOptimize(records::ComputeStatistics(s));
    long runs = 0;
    for (int k = 1; k <= kPupils; ++k)
        for (int level = 1; level <= kLevels; ++level)
            runs += s.stats.TotalRuns(k, level);
    // Every record but the time-outs (about one in twenty) is a run.
    if (runs < kRecords * 9 / 10 || runs >= kRecords)
        st.SkipWithError("the statistics do not hold the records");
    st.counters["runs"] = double(runs);
}

void BM_NameSelectionDisplay(benchmark::State &st)
{
    core::AppState &s = world().state;
    menus::namesel window(s);
    window.resize(1024, 768);
    window.show();
    window.Form_Activate();
    platform::processPendingEvents();
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
std::unique_ptr<menus::seisekitime1> shownMenu()
{
    core::AppState &s = world().state;
    {
        menus::namesel names(s);
    }
    auto window = std::make_unique<menus::seisekitime1>(s);
    window->resize(1024, 768);
    window->show();
    window->Form_Activate();
    platform::processPendingEvents();
    return window;
}

// The refresh with no new record in the grade file since the last one. It changes nothing
// on the screen, so nothing needs painting after it.
void BM_MenuRefresh(benchmark::State &st)
{
    const auto shown = shownMenu();
    menus::seisekitime1 &window = *shown;
    if (window.List5[1]->count() != kPupils)
        st.SkipWithError("not every pupil is ranked");
    for (auto _ : st) {
        window.Form_Activate();
        platform::processPendingEvents();
    }
    if (window.List5[1]->count() != kPupils || !window.List5[1]->isVisible())
        st.SkipWithError("the refresh lost the ranking");
}

// The refresh on the way back from a drill: the grade file holds one more run of the pupil
// than at the last refresh (or one less), so one level's ranking is new.
void BM_MenuRefreshAfterRun(benchmark::State &st)
{
    World &w = world();
    const auto shown = shownMenu();
    menus::seisekitime1 &window = *shown;
    std::array<PaintCounter, menus::seisekitime1::kColumns> painted;
    for (int level = 1; level <= kLevels; ++level)
        window.List5[level]->viewport()->installEventFilter(&painted[level]);
    int refreshes = 0;
    for (auto _ : st) {
        st.PauseTiming();
        // Levels 1..4 are the columns shown at 1024 x 768.
        const int level = 1 + (refreshes / 2) % 4;
        w.writeGrades(refreshes % 2 == 0 ? w.gradesWithRun(level) : w.grades);
        const QStringList before = window.List5[level]->texts();
        const int paintsBefore = painted[level].paints;
        st.ResumeTiming();
        window.Form_Activate();
        platform::processPendingEvents(); // the renewed list painted
        st.PauseTiming();
        if (window.List5[level]->texts() == before)
            st.SkipWithError("the new run did not change the level's ranking");
        if (painted[level].paints == paintsBefore)
            st.SkipWithError("the renewed list was not painted");
        st.ResumeTiming();
        ++refreshes;
    }
    w.writeGrades(w.grades);
}

// The own-times view (Option2(2)): the lists of every level from the newest 20000 records.
void ownTimesView(benchmark::State &st, int older)
{
    World &w = world();
    w.writeGrades(w.gradesOfAKeenPupil(older));
    {
        const auto shown = shownMenu();
        menus::seisekitime1 &window = *shown;
        for (auto _ : st) {
            window.Option2[2]->setChecked(true);
            window.Option2_Click(2);
            platform::processPendingEvents();
        }
        const qsizetype listed =
            window.List5[1]->count() + window.List5[2]->count() + window.List5[3]->count();
        if (listed != 400 || !window.List5[1]->isVisible())
            st.SkipWithError("the own-times lists do not hold the pupil's runs");
    }
    w.writeGrades(w.grades);
}
void BM_OwnTimesView(benchmark::State &st)
{
    ownTimesView(st, 0);
}
void BM_OwnTimesViewMillion(benchmark::State &st)
{
    ownTimesView(st, kBigRecords - kRecords);
}

// "グラフ": three level blocks computed, drawn and painted on the panel.
void graphBlocks(benchmark::State &st, int older)
{
    World &w = world();
    w.writeGrades(w.gradesOfAKeenPupil(older));
    {
        const auto shown = shownMenu();
        menus::seisekitime1 &window = *shown;
        window.Option2[2]->setChecked(true);
        window.Option2_Click(2);
        PaintCounter painted;
        window.Picture11->Picture12->installEventFilter(&painted);
        int draws = 0;
        for (auto _ : st) {
            window.Command17_Click();
            window.Picture11->Picture12->repaint();
            ++draws;
        }
        const auto &blocks = window.Picture11->Picture12->blocks();
        if (blocks.size() != 3 || blocks[0].block.runs.size() < 100)
            st.SkipWithError("the graph does not hold the pupil's runs");
        if (painted.paints < draws)
            st.SkipWithError("the graph was not painted at every drawing");
    }
    w.writeGrades(w.grades);
}
void BM_GraphBlocks(benchmark::State &st)
{
    graphBlocks(st, 0);
}
void BM_GraphBlocksMillion(benchmark::State &st)
{
    graphBlocks(st, kBigRecords - kRecords);
}

BENCHMARK(BM_ComputeStatistics)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NameSelectionDisplay)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MenuRefresh)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MenuRefreshAfterRun)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OwnTimesView)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_GraphBlocks)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OwnTimesViewMillion)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_GraphBlocksMillion)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

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

void BM_View(benchmark::State &st, const View &view, bool years)
{
    World &w = world();
    if (years)
        w.writeGrades(w.gradesOfAKeenPupil(kBigRecords - kRecords));
    const auto shown = shownMenu();
    for (auto _ : st) {
        view.show(*shown);
        platform::processPendingEvents();
    }
    if (shown->List5[1]->count() == 0)
        st.SkipWithError("the view lists nothing at level 1");
    w.writeGrades(w.grades);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    world();
    for (const View &view : views()) {
        for (const bool years : {false, true}) {
            const std::string name =
                std::string("view ") + view.name + (years ? " (1000000 records)" : "");
            benchmark::RegisterBenchmark(name.c_str(), BM_View, view, years)
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(7)
                ->ReportAggregatesOnly(true);
        }
    }
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double stats = reporter.medians["BM_ComputeStatistics"];
    const double names = reporter.medians["BM_NameSelectionDisplay"];
    const double menu = reporter.medians["BM_MenuRefresh"];
    const double afterRun = reporter.medians["BM_MenuRefreshAfterRun"];
    std::printf("\nmedians (%d listed pupils, %d levels, %d records):\n", kPupils, kLevels,
                kRecords);
    const auto line = [](const char *label, double ms, double target) {
        std::printf("  %-40s %8.2f ms  (target %g ms%s)\n", label, ms, target,
                    ms <= target ? "" : ", MISSED");
    };
    line("ComputeStatistics", stats, kStatisticsTargetMs);
    line("name selection display", names, kDisplayTargetMs);
    line("level menu refresh", menu, kDisplayTargetMs);
    line("  the same after a run", afterRun, kDisplayTargetMs);
    for (const View &view : views()) {
        for (const bool years : {false, true}) {
            const std::string name =
                std::string("view ") + view.name + (years ? " (1000000 records)" : "");
            const auto it = reporter.medians.find(name);
            if (it != reporter.medians.end())
                line(name.c_str(), it->second, kViewTargetMs);
        }
    }
    line("own-times view", reporter.medians["BM_OwnTimesView"], kOwnTimesTargetMs);
    line("three graph blocks", reporter.medians["BM_GraphBlocks"], kGraphTargetMs);
    std::printf("medians (%d records):\n", kBigRecords);
    line("own-times view", reporter.medians["BM_OwnTimesViewMillion"], kOwnTimesTargetMs);
    line("three graph blocks", reporter.medians["BM_GraphBlocksMillion"], kGraphBigTargetMs);
    benchmark::Shutdown();
    return 0;
}
