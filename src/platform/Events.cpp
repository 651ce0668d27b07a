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

} // namespace tavoro::platform
