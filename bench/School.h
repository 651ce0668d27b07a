// The school the benchmarks measure on: a temporary installation with 5000 listed pupils,
// criteria for 35 levels and a grade file of a given number of records, over the fakes of
// the tests (09:00 on Wednesday 2026-12-09). The newest 20000 records are the last two
// months of the whole school, every 50th of them a run of pupil 1 on level 1, 2 or 3 (400
// runs, what his own-times view and graph show); the records before them spread over the
// four school years before.
#pragma once

#include "core/AppState.h"
#include "platform/Events.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace tavoro::bench {

constexpr int kPupils = 5000;
constexpr int kLevels = 35;
constexpr int kRecentRecords = 20000;
constexpr int kKeenPupilRuns = kRecentRecords / 50;
// The teachers' password of the installation.
inline const QString kPassword = QStringLiteral("abc");

struct School {
    explicit School(int records);

    // The program's start-up read of the installation, and a drill of the family with 35
    // levels, so that every column of the level menu is in use.
    void load();
    void writeGrades(const QByteArray &bytes);
    void restoreGrades() { writeGrades(grades); }
    // The grade file with one more run of pupil 1 at `level`, as after a drill.
    QByteArray gradesWithRun(int level) const;

    test::Installation inst;
    test::FakeWorld fakes;
    core::AppState &state = *fakes.state;
    const int records;
    QByteArray grades; // the file as generated
};

// A window on the school, shown at 1024 x 768 and activated, its first paint done.
template <typename Window> std::unique_ptr<Window> shownWindow(School &school)
{
    auto window = std::make_unique<Window>(school.state);
    window->resize(1024, 768);
    window->show();
    window->Form_Activate();
    platform::processPendingEvents();
    return window;
}

} // namespace tavoro::bench
