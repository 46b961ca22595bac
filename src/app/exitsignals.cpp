#include "exitsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zorv {

namespace {

constexpr int kHandled[] = {SIGTERM, SIGHUP};

// [0] is written by the handler, [1] read by the notifier; -1 while no object holds them.
int g_pipe[2] = {-1, -1};

extern "C" void onExitSignal(int signal)
{
    // Only async-signal-safe calls here: one byte written, errno kept as it was.
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (g_pipe[0] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    }
    errno = saved;
}

} // namespace

ExitSignals::ExitSignals(QObject *parent)
    : QObject(parent)
{
    if (g_pipe[0] >= 0)
        return; // another object holds the handlers
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return;
    // A burst of signals must never block the handler; the reader takes what is there.
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(fds[1], F_SETFL, ::fcntl(fds[1], F_GETFL) | O_NONBLOCK);
    g_pipe[0] = fds[0];
    g_pipe[1] = fds[1];
    m_notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ExitSignals::readSignals);

    struct sigaction action = {};
    action.sa_handler = onExitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kHandled)
        ::sigaction(signal, &action, nullptr);
}

ExitSignals::~ExitSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : kHandled)
        ::sigaction(signal, &action, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    const int writeEnd = g_pipe[0];
    const int readEnd = g_pipe[1];
    g_pipe[0] = g_pipe[1] = -1;
    ::close(writeEnd);
    ::close(readEnd);
}

void ExitSignals::readSignals()
{
    unsigned char bytes[16];
    for (;;) {
        const ssize_t n = ::read(g_pipe[1], bytes, sizeof bytes);
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i)
            emit received(bytes[i]);
    }
}

} // namespace zorv
