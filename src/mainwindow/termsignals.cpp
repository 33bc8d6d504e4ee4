#include "mainwindow/termsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int gFds[2] = {-1, -1}; // [0] written by the handler, [1] read by the notifier

void onSignal(int signalNumber)
{
    const int saved = errno;
    const char c = char(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(gFds[0], &c, 1);
    errno = saved;
}

} // namespace

TermSignals::TermSignals(QObject* parent) : QObject(parent)
{
    if (gFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gFds) != 0)
        return;
    // Never block the handler, whatever piles up.
    ::fcntl(gFds[0], F_SETFL, ::fcntl(gFds[0], F_GETFL) | O_NONBLOCK);
    mNotifier = new QSocketNotifier(gFds[1], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &TermSignals::readSignal);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &sa, nullptr);
}

TermSignals::~TermSignals()
{
    if (!mNotifier)
        return;
    for (int s : kSignals)
        ::signal(s, SIG_DFL);
    ::close(gFds[0]);
    ::close(gFds[1]);
    gFds[0] = gFds[1] = -1;
}

void TermSignals::readSignal()
{
    char c = 0;
    if (::read(gFds[1], &c, 1) == 1)
        emit received(int(c));
}
