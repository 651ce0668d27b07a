// A drill run on the offscreen platform: a temporary installation whose grade file the
// recording step really writes, fake clock, random generator and sound, and a set of
// screens that opens the real MainFrm and logs every other window the run asks for.
#pragma once

#include "core/AppState.h"
#include "core/Screens.h"
#include "drill/MainFrm.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include <QPointer>
#include <QSize>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace tavoro::test {

class DrillScreens final : public core::Screens {
public:
    DrillScreens(core::AppState &state, FakeClock &clock) : m_state(state), m_clock(clock) {}
    ~DrillScreens() override;

    // A new MainFrm at `size`. Its timers keep their state (started, stopped) but never
    // fire on their own: the test calls sTimer1_Timer and sTimer2_Timer after moving the
    // clock.
    void showDrill() override;
    void closeDrill() override;
    void showFinish() override;
    void closeFinish() override { log << QStringLiteral("closeFinish"); }
    void showNameSelection() override { log << QStringLiteral("showNameSelection"); }
    void closeNameSelection() override { log << QStringLiteral("closeNameSelection"); }
    void showLevelMenu() override { log << QStringLiteral("showLevelMenu"); }
    void closeLevelMenu() override { log << QStringLiteral("closeLevelMenu"); }
    void showWait() override;
    void closeWait() override { log << QStringLiteral("closeWait"); }
    void showCriteriaEditor() override { log << QStringLiteral("showCriteriaEditor"); }
    void closeCriteriaEditor() override { log << QStringLiteral("closeCriteriaEditor"); }
    void showRecordBrowser() override { log << QStringLiteral("showRecordBrowser"); }
    void closeRecordBrowser() override { log << QStringLiteral("closeRecordBrowser"); }
    QWidget *activeWindow() const override { return drill; }
    void closeAll() override;

    QPointer<drill::MainFrm> drill;
    QSize size{1024, 768};
    bool timersConnected = false; // leave the timers connected to their handlers
    QStringList log;
    std::uint32_t waitTick = 0;   // the clock's tick when the wait window was shown
    std::uint32_t finishTick = 0; // ... and when the finish screen was asked for
    std::function<void()> onShowWait;

private:
    core::AppState &m_state;
    FakeClock &m_clock;
};

class DrillTest : public ::testing::Test {
protected:
    DrillTest();
    ~DrillTest() override;

    core::AppState &state() { return *world.state; }
    // Starts a run of `level` through StartLevel; returns the drill window.
    drill::MainFrm *start(int level);
    // Moves the clock on and fires the run clock, as a second passing does.
    void tick(double seconds = 1.0);
    // Clicks number k of the panel with the mouse.
    void click(int k);
    // N of the problem shown, and the number of multiples it asks for.
    int shownN() const;
    // Clicks the multiples of the problem shown, the first `count` of them (all by default).
    void clickMultiples(int count = -1);
    // The grade file's bytes.
    QByteArray gradeFile() const;
    // Lets deferred deletions run, as the event loop does after a handler returns.
    static void flushDeletes();

    Installation inst;
    FakeWorld world;
    DrillScreens screens;
    QPointer<drill::MainFrm> w;
};

// Fields of record n (1-based) of grade file bytes.
struct RecordFields {
    double date = 0;
    double clock = 0;
    int student = 0;
    int level = 0;
    int seconds = 0;
    QByteArray school, note, points, reserved;
};
RecordFields ReadRecord(const QByteArray &file, int n);

} // namespace tavoro::test
