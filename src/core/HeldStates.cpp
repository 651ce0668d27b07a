// Widget states held back during a window's paced work.
#include "HeldStates.h"

#include <utility>

namespace tavoro::core {

HeldStates::HeldStates(platform::PacedEvents &events) : m_events(events)
{
    m_events.setBeforeShowing([this] { bringOn(); });
}

HeldStates::~HeldStates()
{
    m_events.setBeforeShowing({});
}

HeldStates::Held &HeldStates::held(QWidget *widget)
{
    for (Held &h : m_held)
        if (h.widget == widget)
            return h;
    return m_held.emplace_back(Held{widget});
}

void HeldStates::setVisible(QWidget *widget, bool visible)
{
    if (m_events.working())
        held(widget).visible = visible;
    else
        widget->setVisible(visible);
}

void HeldStates::setEnabled(QWidget *widget, bool enabled)
{
    if (m_events.working())
        held(widget).enabled = enabled;
    else
        widget->setEnabled(enabled);
}

void HeldStates::bringOn()
{
    // Taken first: showing a widget can send events that change states again.
    const std::vector<Held> held = std::exchange(m_held, {});
    for (const Held &h : held) {
        if (!h.widget)
            continue;
        if (h.enabled >= 0)
            h.widget->setEnabled(h.enabled != 0);
        if (h.visible >= 0)
            h.widget->setVisible(h.visible != 0);
    }
}

} // namespace tavoro::core
