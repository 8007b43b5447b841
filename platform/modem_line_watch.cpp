#include "platform/modem_line_watch.h"

#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <utility>

namespace platform {
namespace {

constexpr int kWatchedLines = TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CD;
// How often the destructor repeats the interrupt until the helper has seen
// it (it may have been between two driver waits the first time).
constexpr std::chrono::milliseconds kInterruptRepeat{5};

void IgnoreInterrupt(int) {}

// A real-time signal of our own; installed once, without SA_RESTART, so that
// it ends the driver wait with EINTR.
int InterruptSignal() {
    static const int signal = [] {
        const int chosen = SIGRTMIN + 4;
        struct sigaction action {};
        action.sa_handler = IgnoreInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(chosen, &action, nullptr);
        return chosen;
    }();
    return signal;
}

}  // namespace

ModemLineWatch::ModemLineWatch(int fd, const WakeEvent& changed)
    : ModemLineWatch([fd] { return ::ioctl(fd, TIOCMIWAIT, kWatchedLines); }, changed) {}

ModemLineWatch::ModemLineWatch(std::function<int()> wait, const WakeEvent& changed) {
    InterruptSignal();
    thread_ = std::thread([this, wait = std::move(wait), &changed] { Run(wait, changed); });
}

ModemLineWatch::~ModemLineWatch() {
    stop_ = true;
    while (!finished_.load()) {
        ::pthread_kill(thread_.native_handle(), InterruptSignal());
        std::this_thread::sleep_for(kInterruptRepeat);
    }
    thread_.join();
}

void ModemLineWatch::Run(const std::function<int()>& wait, const WakeEvent& changed) {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, InterruptSignal());
    ::pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
    while (!stop_.load()) {
        if (wait() == 0) {
            changed.Signal();
            continue;
        }
        if (errno == EINTR) continue;
        // Not supported by the driver, or the port is gone.
        supported_ = false;
        break;
    }
    finished_ = true;
}

}  // namespace platform
