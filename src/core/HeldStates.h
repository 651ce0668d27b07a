// Showing, hiding, enabling and disabling widgets during a window's paced work.
#pragma once

#include "platform/Events.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace tavoro::core {

// Sets widgets visible or hidden, enabled or disabled. While the window's work is under way
// the changes are held back and brought onto the widgets only when the window can next be
// seen: right before window events run, and when the work ends. A list hidden while it is
// filled and shown again within one quick piece of work is then never touched, and the window
// repaints only what really changed; slow work still shows its wait panel at each event run.
class HeldStates {
public:
    explicit HeldStates(platform::PacedEvents &events);
    ~HeldStates();
    HeldStates(const HeldStates &) = delete;
    HeldStates &operator=(const HeldStates &) = delete;

    void setVisible(QWidget *widget, bool visible);
    void show(QWidget *widget) { setVisible(widget, true); }
    void hide(QWidget *widget) { setVisible(widget, false); }
    void setEnabled(QWidget *widget, bool enabled);

    // Brings the held changes onto the widgets, in the order they were first made.
    void bringOn();

private:
    struct Held {
        QPointer<QWidget> widget;
        signed char visible = -1; // -1: unchanged
        signed char enabled = -1;
    };
    Held &held(QWidget *widget);

    platform::PacedEvents &m_events;
    std::vector<Held> m_held;
};

} // namespace tavoro::core
