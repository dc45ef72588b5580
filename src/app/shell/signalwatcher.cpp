#include "signalwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_fds[2] = { -1, -1 };

void onSignal(int number)
{
    const char byte = char(number);
    // Only async-signal-safe work here: one byte to the main thread.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0)
        return;
    ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(g_fds[1], &byte, 1) == 1)
            Q_EMIT terminationRequested(int(byte));
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(number, &action, nullptr);
}

SignalWatcher::~SignalWatcher()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (const int number : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(number, &action, nullptr);
}
