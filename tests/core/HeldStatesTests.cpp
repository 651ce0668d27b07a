// Shows, hides and enabled changes held back during paced work.
#include "core/HeldStates.h"
#include "support/Fakes.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

namespace tavoro::core {
namespace {

// Counts the show, hide and enabled-change events a widget is sent.
struct StateEvents : QObject {
    int shows = 0, hides = 0, enabledChanges = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        shows += e->type() == QEvent::Show;
        hides += e->type() == QEvent::Hide;
        enabledChanges += e->type() == QEvent::EnabledChange;
        return false;
    }
};

class Held : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(200, 100);
        window.show();
        label->setGeometry(10, 10, 100, 20);
        label->show();
        label->installEventFilter(&seen);
    }

    test::FakeClock clock;
    platform::PacedEvents events{clock, 50};
    HeldStates held{events};
    StateEvents seen;
    QWidget window;
    QLabel *label = new QLabel(QStringLiteral("1"), &window);
};

TEST_F(Held, OutsideWorkChangesAreMadeAtOnce)
{
    held.hide(label);
    EXPECT_TRUE(label->isHidden());
    held.setEnabled(label, false);
    EXPECT_FALSE(label->isEnabled());
    held.show(label);
    held.setEnabled(label, true);
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(label->isEnabled());
    EXPECT_EQ(seen.hides, 1);
    EXPECT_EQ(seen.enabledChanges, 2);
}

TEST_F(Held, WithinWorkTheLastChangeIsMadeWhenTheWorkEnds)
{
    {
        const platform::PacedEvents::Work work(events);
        held.hide(label);
        held.setEnabled(label, false);
        EXPECT_TRUE(label->isVisible());
        EXPECT_TRUE(label->isEnabled());
    }
    EXPECT_TRUE(label->isHidden());
    EXPECT_FALSE(label->isEnabled());
    EXPECT_EQ(seen.hides, 1);
    EXPECT_EQ(seen.enabledChanges, 1);
}

TEST_F(Held, AWidgetHiddenAndShownAgainWithinWorkIsNeverTouched)
{
    {
        const platform::PacedEvents::Work work(events);
        held.hide(label);
        held.setEnabled(label, false);
        {
            const platform::PacedEvents::Work inner(events);
            held.show(label);
        }
        events.letRun(); // not yet due
        held.setEnabled(label, true);
    }
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(label->isEnabled());
    EXPECT_EQ(seen.hides + seen.shows + seen.enabledChanges, 0);
}

TEST_F(Held, SlowWorkShowsItsStateWhenEventsRun)
{
    // An event posted before the work runs at its first event run and looks at the label.
    struct Look : QObject {
        QLabel *label = nullptr;
        int looks = 0;
        bool hiddenThen = false;
        bool event(QEvent *e) override
        {
            if (e->type() != QEvent::User)
                return QObject::event(e);
            ++looks;
            hiddenThen = label->isHidden();
            return true;
        }
    } look;
    look.label = label;
    {
        const platform::PacedEvents::Work work(events);
        held.hide(label);
        QCoreApplication::postEvent(&look, new QEvent(QEvent::User));
        clock.tick += 50;
        events.letRun();
        EXPECT_EQ(look.looks, 1);
        EXPECT_TRUE(look.hiddenThen) << "the wait state is on the screen while events run";
        held.show(label);
        EXPECT_TRUE(label->isHidden());
    }
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(seen.hides, 1);
}

TEST_F(Held, AWidgetDeletedWhileItsChangeIsHeldIsLeftOut)
{
    QWidget *other = new QWidget(&window);
    QPointer<QWidget> alive(other);
    {
        const platform::PacedEvents::Work work(events);
        held.hide(other);
        held.hide(label);
        delete other;
    }
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(label->isHidden());
}

} // namespace
} // namespace tavoro::core
