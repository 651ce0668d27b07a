// Letting window events run during work: paced on the clock's tick, always outside work;
// the user's input held back during every step and handed on afterwards in its order.
#include "platform/Clock.h"
#include "platform/Events.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <functional>
#include <memory>
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

// ---- The user's input waits for the end of the step ------------------------------------

// Writes down every event of the user's input it is sent, and the posted User events.
struct Logger : QObject {
    QStringList log;
    bool event(QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::KeyPress:
            log << QStringLiteral("key ") + static_cast<QKeyEvent *>(e)->text();
            return true;
        case QEvent::MouseButtonPress:
            log << QStringLiteral("press");
            return true;
        case QEvent::MouseButtonRelease:
            log << QStringLiteral("release");
            return true;
        case QEvent::Wheel:
            log << QStringLiteral("wheel");
            return true;
        case QEvent::User:
            log << QStringLiteral("user");
            return true;
        default:
            return QObject::event(e);
        }
    }
};

QEvent *keyEvent(const char *text)
{
    return new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString::fromLatin1(text));
}

QEvent *mouseEvent(QEvent::Type type)
{
    return new QMouseEvent(type, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                           type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                           Qt::NoModifier);
}

QEvent *wheelEvent()
{
    return new QWheelEvent(QPointF(1, 1), QPointF(1, 1), QPoint(), QPoint(0, 120), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
}

// The events a case posts, in their order.
struct InputCase {
    const char *name;
    std::function<std::vector<QEvent *>()> events;
    QStringList expected;
};

class HeldInput : public ::testing::TestWithParam<InputCase> {
protected:
    void TearDown() override { QCoreApplication::processEvents(); }
};

TEST_P(HeldInput, PostedDuringAStepArrivesAfterItInItsOrder)
{
    Logger target;
    // A timer that fires during the step (timers still run) posts the input, as a pupil's
    // clicks and keys arrive while the step is busy; a User event shows what else runs.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QEvent *e : GetParam().events())
            QCoreApplication::postEvent(&target, e);
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    });
    timer.start(0);
    processPendingEvents(); // the timer fires
    processPendingEvents(); // what it posted is delivered, all but the input
    EXPECT_EQ(target.log, QStringList{QStringLiteral("user")});
    EXPECT_EQ(InputHold::heldCount(), int(GetParam().expected.size()));
    EXPECT_FALSE(InputHold::active());
    QCoreApplication::processEvents(); // back in the event loop
    EXPECT_EQ(target.log, QStringList{QStringLiteral("user")} + GetParam().expected);
    EXPECT_EQ(InputHold::heldCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HeldInput,
    ::testing::Values(
        InputCase{"Keys",
                  [] { return std::vector<QEvent *>{keyEvent("4"), keyEvent("5")}; },
                  {QStringLiteral("key 4"), QStringLiteral("key 5")}},
        InputCase{"Click",
                  [] {
                      return std::vector<QEvent *>{mouseEvent(QEvent::MouseButtonPress),
                                                   mouseEvent(QEvent::MouseButtonRelease)};
                  },
                  {QStringLiteral("press"), QStringLiteral("release")}},
        InputCase{"Mixed",
                  [] {
                      return std::vector<QEvent *>{keyEvent("1"), wheelEvent(),
                                                   mouseEvent(QEvent::MouseButtonPress),
                                                   keyEvent("2")};
                  },
                  {QStringLiteral("key 1"), QStringLiteral("wheel"), QStringLiteral("press"),
                   QStringLiteral("key 2")}}),
    [](const auto &info) { return std::string(info.param.name); });

// A clock whose wait loop's idle step moves the tick and runs a callback.
class IdleClock final : public Clock {
public:
    float secondsSinceMidnight() override { return 0; }
    QDate today() override { return QDate(2026, 12, 9); }
    std::uint32_t tickMs() override { return tick; }
    void idle() override
    {
        tick += 10;
        onIdle();
    }
    std::uint32_t tick = 0;
    std::function<void()> onIdle;
};

TEST(HeldInputDuringAWait, ComesOnceTheWholeWaitIsOver)
{
    IdleClock waiting;
    Logger target;
    int idles = 0;
    waiting.onIdle = [&] {
        ++idles;
        QCoreApplication::postEvent(&target, keyEvent(QByteArray::number(idles).constData()));
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    };
    waitWithEvents(waiting, 30);
    ASSERT_EQ(idles, 3);
    // The User events of the first two idles ran during the wait; no key did.
    EXPECT_EQ(target.log, (QStringList{QStringLiteral("user"), QStringLiteral("user")}));
    QCoreApplication::processEvents();
    // The key of the last idle, left in the queue when the wait ended, keeps its place
    // behind the keys held before it.
    EXPECT_EQ(target.log, (QStringList{QStringLiteral("user"), QStringLiteral("user"),
                                       QStringLiteral("user"), QStringLiteral("key 1"),
                                       QStringLiteral("key 2"), QStringLiteral("key 3")}));
}

TEST(HeldInputWithAMessageBox, ItsOwnInputPassesAndTheRestWaitsForItsEnd)
{
    Logger behind;
    QWindow box;
    box.setModality(Qt::ApplicationModal);
    Logger inBox;
    inBox.setParent(&box);
    {
        const InputHold hold;
        QCoreApplication::postEvent(&behind, keyEvent("x"));
        QCoreApplication::postEvent(&inBox, keyEvent("y"));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // A message box asked during the step takes its answer then.
    EXPECT_EQ(inBox.log, QStringList{QStringLiteral("key y")});
    EXPECT_TRUE(behind.log.isEmpty());
    // A message box shown after the step: the key for the window behind it waits.
    box.show();
    ASSERT_EQ(QGuiApplication::modalWindow(), &box);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 150)
        QCoreApplication::processEvents();
    EXPECT_TRUE(behind.log.isEmpty());
    box.hide();
    waited.restart();
    while (behind.log.isEmpty() && waited.elapsed() < 2000)
        QCoreApplication::processEvents();
    EXPECT_EQ(behind.log, QStringList{QStringLiteral("key x")});
}

TEST(HeldInputForAClosedWindow, IsDropped)
{
    auto target = std::make_unique<Logger>();
    {
        const InputHold hold;
        QCoreApplication::postEvent(target.get(), keyEvent("x"));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        EXPECT_EQ(InputHold::heldCount(), 1);
        target.reset();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(InputHold::heldCount(), 0);
}

TEST(InputOutsideASteps, IsDeliveredAtOnce)
{
    Logger target;
    QCoreApplication::postEvent(&target, keyEvent("z"));
    QCoreApplication::processEvents();
    EXPECT_EQ(target.log, QStringList{QStringLiteral("key z")});
    EXPECT_FALSE(InputHold::active());
}

} // namespace
