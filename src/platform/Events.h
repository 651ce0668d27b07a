// The few places that let pending window events run go through these helpers.
#pragma once

#include <cstdint>

namespace tavoro::platform {

class Clock;

// Lets every pending window event run, then returns.
void processPendingEvents();

// Waits `ms` milliseconds on the clock's tick, letting window events run meanwhile.
void waitWithEvents(Clock &clock, int ms);

// Lets pending window events run during a piece of work, at most once every interval on the
// clock's tick. Work that is over within the interval lets no events run (it paints once, on
// its return to the event loop, instead of flickering a wait panel); longer work still shows
// its wait panel and progress, and takes its input, every interval.
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
