#include "qt/runtime/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <utility>

namespace qs {

namespace {

// A signal handler receives nothing but the signal number, so the one thing
// it needs, the socket to write into, has to sit where it can find it. It is
// set once while the handlers are installed and reset when they are removed.
volatile std::sig_atomic_t gWakeFd = -1;

void onTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    if (gWakeFd >= 0) {
        // A full socket already holds a pending wake-up: dropping this byte loses nothing.
        [[maybe_unused]] const ssize_t n = ::write(gWakeFd, &byte, 1);
    }
    errno = saved;
}

void install(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds_) != 0)
        throw std::runtime_error("cannot create the socket pair for termination signals");
    gWakeFd = fds_[0];
    notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });
    install(onTerminationSignal);
}

TerminationSignals::~TerminationSignals() {
    install(SIG_DFL);
    gWakeFd = -1;
    delete notifier_;
    ::close(fds_[0]);
    ::close(fds_[1]);
}

void TerminationSignals::drain() {
    char buffer[64];
    while (::read(fds_[1], buffer, sizeof buffer) > 0) {
    }
    if (onSignal_) onSignal_();
}

}  // namespace qs
