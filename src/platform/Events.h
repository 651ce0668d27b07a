// The few places that let pending window events run go through these helpers.
//
// A step that lets events run lets windows repaint and timers fire, but holds the user's
// clicks and keys back until it is over: a handler never runs inside another one. The input
// made meanwhile is handed on afterwards, in its order, as it was when a sound that played
// to its end held the window.
#pragma once

#include <cstdint>

namespace tavoro::platform {

class Clock;

// Lets every pending window event but the user's input run, then returns.
void processPendingEvents();

// Waits `ms` milliseconds on the clock's tick, letting window events but the user's input
// run meanwhile.
void waitWithEvents(Clock &clock, int ms);

// Holds the user's input back for its lifetime. Qt's own ExcludeUserInputEvents keeps the
// window system's clicks and keys queued; input that reaches the objects in another way (an
// event posted or sent from code, a test's click) is kept here. When the outermost hold is
// over, what it kept goes to its receivers once no step is running and no message box is
// open, so that a message box asked by the handler afterwards is not answered by a click
// meant for the window behind it. Input meant for a message box opened during the step
// reaches it.
class InputHold {
public:
    InputHold();
    ~InputHold();
    InputHold(const InputHold &) = delete;
    InputHold &operator=(const InputHold &) = delete;

    // Whether a hold is in force now.
    static bool active();
    // The events kept and not yet handed on.
    static int heldCount();
};

// Lets pending window events run during a piece of work, at most once every interval on the
// clock's tick. Work that is over within the interval lets no events run (it paints once, on
// its return to the event loop, instead of flickering a wait panel); longer work still shows
// its wait panel and progress every interval. Clicks and keys wait for the end of the work's
// step, as everywhere.
class PacedEvents {
public:
    explicit PacedEvents(Clock &clock, std::uint32_t intervalMs = 50)
        : m_clock(clock), m_intervalMs(intervalMs)
    {
    }

    // One piece of work, for the guard's lifetime. A piece inside another belongs to the
    // outer one: the interval counts from the outermost start.
    class Work {
    public:
        explicit Work(PacedEvents &events);
        ~Work();
        Work(const Work &) = delete;
        Work &operator=(const Work &) = delete;

    private:
        PacedEvents &m_events;
    };

    // Lets the pending events run when the interval has passed since the work began or since
    // they last ran; outside any work, always.
    void letRun();
    // Lets the pending events run now, within work or not.
    void runNow();

    bool working() const { return m_depth > 0; }

private:
    Clock &m_clock;
    std::uint32_t m_intervalMs;
    int m_depth = 0;
    std::uint32_t m_last = 0; // tick of the work's start or of the last run
};

} // namespace tavoro::platform
