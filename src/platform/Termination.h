// Ends the program in order when the system asks it to: on Unix the signals SIGTERM (a
// session that logs out, `kill`), SIGINT and SIGHUP. The signal only notes the request; the
// given step runs later on the user-interface thread, like any window event.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace tavoro::platform {

class TerminationWatcher final : public QObject {
public:
    // One watcher per process; `onTerminate` runs once per signal received.
    explicit TerminationWatcher(std::function<void()> onTerminate, QObject *parent = nullptr);
    ~TerminationWatcher() override;

private:
    std::function<void()> m_onTerminate;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace tavoro::platform
