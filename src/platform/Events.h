// The few places that let pending window events run go through these helpers.
#pragma once

namespace tavoro::platform {

class Clock;

// Lets every pending window event run, then returns.
void processPendingEvents();

// Waits `ms` milliseconds on the clock's tick, letting window events run meanwhile.
void waitWithEvents(Clock &clock, int ms);

} // namespace tavoro::platform
