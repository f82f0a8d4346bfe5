#include "platform/x11/stop_signals.h"

#include <csignal>

#include <poll.h>

namespace {

volatile std::sig_atomic_t signalled = 0;

void on_signal(int) { signalled = 1; }

}  // namespace

void catch_stop_signals()
{
    signalled = 0;
    // No SA_RESTART: a signal cuts the main loop's sleep short.
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool stop_signalled() { return signalled != 0; }

void wait_readable_or_stopped(int fd)
{
    // A signal that came between the look at the flag and the wait would be
    // slept through: blocked until ppoll takes the old mask back, it can only
    // come inside the wait, and cuts it short.
    sigset_t stops, before;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigprocmask(SIG_BLOCK, &stops, &before);
    if (!signalled) {
        pollfd readable{fd, POLLIN, 0};
        ppoll(&readable, 1, nullptr, &before);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
}
