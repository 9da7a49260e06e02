#include "app/SignalBridge.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvix {

namespace {
int g_fds[2] = {-1, -1};

void onSignal(int sig)
{
    const unsigned char b = static_cast<unsigned char>(sig);
    [[maybe_unused]] ssize_t n = ::write(g_fds[0], &b, 1);
}
} // namespace

SignalBridge::SignalBridge(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0)
        return;
    ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char b = 0;
        if (::read(g_fds[1], &b, 1) == 1)
            Q_EMIT terminationRequested(int(b));
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

SignalBridge::~SignalBridge()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    delete m_notifier;
    for (int& fd : g_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace orvix
