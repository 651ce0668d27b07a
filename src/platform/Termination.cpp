// The signals reach the event loop through a socket pair: the handler writes one byte, which
// is all a signal handler may safely do, and a socket notifier reads it.
#include "Termination.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tavoro::platform {

#ifdef Q_OS_UNIX
namespace {

int g_fds[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_fds[0], &byte, 1);
}

} // namespace
#endif

TerminationWatcher::TerminationWatcher(std::function<void()> onTerminate, QObject *parent)
    : QObject(parent), m_onTerminate(std::move(onTerminate))
{
#ifdef Q_OS_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0)
        return;
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(g_fds[1], &byte, 1) == 1 && m_onTerminate)
            m_onTerminate();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
#endif
}

TerminationWatcher::~TerminationWatcher()
{
#ifdef Q_OS_UNIX
    if (g_fds[0] < 0)
        return;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP})
        ::signal(sig, SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_fds[0]);
    ::close(g_fds[1]);
    g_fds[0] = g_fds[1] = -1;
#endif
}

} // namespace tavoro::platform
