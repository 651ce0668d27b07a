// The clock seam: time of day, today's date and the millisecond tick.
#pragma once

#include <QDate>

#include <cstdint>

namespace tavoro::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since midnight, with the fraction, as a single-precision value.
    virtual float secondsSinceMidnight() = 0;
    virtual QDate today() = 0;
    // A millisecond counter that only moves forward (wraps after about 49 days).
    virtual std::uint32_t tickMs() = 0;
    // Lets a little time pass inside a wait loop (the real clock sleeps a few milliseconds
    // so that the loop does not spin; a test clock moves its tick instead).
    virtual void idle() = 0;
};

class SystemClock final : public Clock {
public:
    float secondsSinceMidnight() override;
    QDate today() override;
    std::uint32_t tickMs() override;
    void idle() override;
};

} // namespace tavoro::platform
