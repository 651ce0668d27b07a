// Letting pending window events run, the user's input held back.
#include "Events.h"

#include "Clock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWindow>

#include <deque>
#include <memory>

namespace tavoro::platform {
namespace {

// How often held input looks again whether the message box that keeps it waiting is closed.
constexpr int kModalRetryMs = 50;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

// Whether `object` lies in a modal window (a message box): a window's modality, or a
// widget's "modal" property, on the object or one of its parents.
bool insideModalWindow(const QObject *object)
{
    for (const QObject *o = object; o; o = o->parent()) {
        if (o->isWindowType()) {
            if (static_cast<const QWindow *>(o)->modality() != Qt::NonModal)
                return true;
        } else if (o->isWidgetType() && o->property("modal").toBool()) {
            return true;
        }
    }
    return false;
}

class InputHolder final : public QObject {
public:
    explicit InputHolder(QObject *parent) : QObject(parent)
    {
        m_deliver.setSingleShot(true);
        QObject::connect(&m_deliver, &QTimer::timeout, this, [this] { deliver(); });
    }

    void begin()
    {
        ++m_depth;
        watch();
    }

    void end()
    {
        if (--m_depth > 0)
            return;
        if (m_held.empty())
            unwatch();
        else
            m_deliver.start(0);
    }

    bool active() const { return m_depth > 0; }
    int heldCount() const { return int(m_held.size()); }

protected:
    // Holds input during a step, and after it as long as held input waits: what comes
    // meanwhile queues behind it.
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        // The input being handed on goes its way (to the widget under the mouse, to the
        // parents of a widget that leaves a click), unless its handler lets events run.
        if ((m_sending && m_depth == 0) || !isUserInput(event->type()) ||
            insideModalWindow(receiver))
            return false;
        m_held.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
        // Taken: the input goes to no parent either.
        event->accept();
        return true;
    }

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    // Hands the held input on in its order, from the event loop. A click may start a step
    // of its own: the input it holds queues behind what is still here.
    void deliver()
    {
        if (m_depth > 0 || m_delivering)
            return; // the end of the step, or the delivery running, goes on with it
        m_delivering = true;
        while (!m_held.empty()) {
            if (m_depth > 0)
                break; // a handler let events run: the end of its step goes on
            if (!m_held.front().receiver) {
                m_held.pop_front(); // its window was closed meanwhile
                continue;
            }
            if (QGuiApplication::modalWindow() && !insideModalWindow(m_held.front().receiver)) {
                m_deliver.start(kModalRetryMs);
                break;
            }
            Held next = std::move(m_held.front());
            m_held.pop_front();
            m_sending = next.event.get();
            QCoreApplication::sendEvent(next.receiver, next.event.get());
            m_sending = nullptr;
        }
        m_delivering = false;
        if (m_held.empty() && m_depth == 0)
            unwatch();
    }

    void watch()
    {
        if (!m_watching)
            QCoreApplication::instance()->installEventFilter(this);
        m_watching = true;
    }

    void unwatch()
    {
        if (m_watching)
            QCoreApplication::instance()->removeEventFilter(this);
        m_watching = false;
    }

    int m_depth = 0;
    bool m_watching = false;
    bool m_delivering = false;
    const QEvent *m_sending = nullptr; // the held event being handed on
    std::deque<Held> m_held;
    QTimer m_deliver;
};

// The holder of the application; none without a window system (the data tool).
InputHolder *holder()
{
    static QPointer<InputHolder> instance;
    if (!instance && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        instance = new InputHolder(QCoreApplication::instance());
    return instance;
}

} // namespace

InputHold::InputHold()
{
    if (InputHolder *h = holder())
        h->begin();
}

InputHold::~InputHold()
{
    if (InputHolder *h = holder())
        h->end();
}

bool InputHold::active()
{
    const InputHolder *h = holder();
    return h && h->active();
}

int InputHold::heldCount()
{
    const InputHolder *h = holder();
    return h ? h->heldCount() : 0;
}

void processPendingEvents()
{
    if (!QCoreApplication::instance())
        return;
    const InputHold hold;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void waitWithEvents(Clock &clock, int ms)
{
    // One hold for the whole wait: its input comes once the wait is over.
    const InputHold hold;
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
