// The real clock.
#include "Clock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <QTime>

namespace tavoro::platform {

float SystemClock::secondsSinceMidnight()
{
    return float(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

QDate SystemClock::today()
{
    return QDate::currentDate();
}

std::uint32_t SystemClock::tickMs()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return std::uint32_t(timer.elapsed());
}

void SystemClock::idle()
{
    QThread::msleep(2);
}

} // namespace tavoro::platform
