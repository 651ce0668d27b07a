// Letting window events run during work: paced on the clock's tick, always outside work.
#include "platform/Clock.h"
#include "platform/Events.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <vector>

#include <gtest/gtest.h>

using namespace tavoro::platform;

namespace {

class StepClock final : public Clock {
public:
    float secondsSinceMidnight() override { return 0; }
    QDate today() override { return QDate(2026, 12, 9); }
    std::uint32_t tickMs() override { return tick; }
    void idle() override {}
    std::uint32_t tick = 0xFFFFFF00u; // the tick wraps during the test
};

// Counts the events it is sent; one is posted before each look.
struct Receiver : QObject {
    int received = 0;
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++received;
        return true;
    }
    void post() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }
};

TEST(PacedEvents, OutsideWorkEventsAlwaysRun)
{
    StepClock clock;
    PacedEvents events(clock, 50);
    Receiver r;
    r.post();
    events.letRun();
    EXPECT_EQ(r.received, 1);
    r.post();
    events.letRun(); // no time has passed
    EXPECT_EQ(r.received, 2);
}

TEST(PacedEvents, DuringWorkEventsRunOncePerInterval)
{
    StepClock clock;
    PacedEvents events(clock, 50);
    Receiver r;
    {
        const PacedEvents::Work work(events);
        r.post();
        events.letRun();
        EXPECT_EQ(r.received, 0) << "work that is over at once lets nothing run";
        clock.tick += 49;
        events.letRun();
        EXPECT_EQ(r.received, 0);
        clock.tick += 1; // 50 ms since the work began, across the wrap of the tick
        events.letRun();
        EXPECT_EQ(r.received, 1);
        r.post();
        clock.tick += 49;
        events.letRun();
        EXPECT_EQ(r.received, 1) << "the interval counts from the last run";
        clock.tick += 1;
        events.letRun();
        EXPECT_EQ(r.received, 2);
    }
    // Work that is over: events run again whenever asked.
    r.post();
    events.letRun();
    EXPECT_EQ(r.received, 3);
}

TEST(PacedEvents, InnerWorkCountsFromTheOutermostStart)
{
    StepClock clock;
    PacedEvents events(clock, 50);
    Receiver r;
    const PacedEvents::Work outer(events);
    clock.tick += 30;
    {
        const PacedEvents::Work inner(events);
        clock.tick += 20;
        r.post();
        events.letRun();
        EXPECT_EQ(r.received, 1);
        r.post();
    }
    events.letRun(); // still inside the outer work
    EXPECT_EQ(r.received, 1);
}

} // namespace
