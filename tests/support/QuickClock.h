// A clock for helper processes of the tests: real time compressed, so that the one-second
// waits of the retries on a locked file pass quickly; each idle step of a wait loop sleeps
// 1 ms and counts as 100 ms. The day and the time of day are fixed.
#pragma once

#include "platform/Clock.h"

#include <QDate>
#include <QThread>

namespace tavoro::test {

class QuickClock final : public platform::Clock {
public:
    float secondsSinceMidnight() override { return 36000.0f; }
    QDate today() override { return QDate(2026, 12, 9); }
    std::uint32_t tickMs() override { return m_tick; }
    void idle() override
    {
        QThread::msleep(1);
        m_tick += 100;
    }

private:
    std::uint32_t m_tick = 0;
};

} // namespace tavoro::test
