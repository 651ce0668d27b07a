// Letting pending window events run.
#include "Events.h"

#include "Clock.h"

#include <QCoreApplication>

namespace tavoro::platform {

void processPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitWithEvents(Clock &clock, int ms)
{
    const std::uint32_t start = clock.tickMs();
    while (clock.tickMs() - start < std::uint32_t(ms)) {
        processPendingEvents();
        clock.idle();
    }
}

PacedEvents::Work::Work(PacedEvents &events) : m_events(events)
{
    if (m_events.m_depth++ == 0)
        m_events.m_last = m_events.m_clock.tickMs();
}

PacedEvents::Work::~Work()
{
    --m_events.m_depth;
}

void PacedEvents::letRun()
{
    if (m_depth > 0) {
        const std::uint32_t now = m_clock.tickMs();
        if (now - m_last < m_intervalMs)
            return;
    }
    runNow();
}

void PacedEvents::runNow()
{
    processPendingEvents();
    m_last = m_clock.tickMs();
}

} // namespace tavoro::platform
