#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {
namespace {

constexpr int kMostNice = 19;
constexpr int kLeastNice = -20;

id_t ThisThread() {
    return static_cast<id_t>(::gettid());
}

}  // namespace

void LowerThisThreadPriority(int steps) {
    if (steps <= 0) return;
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, ThisThread());
    if (errno != 0) return;
    SetThisThreadNice(std::min(current + steps, kMostNice));
}

bool RaiseThisThreadPriority(int steps) {
    if (steps <= 0) return true;
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, ThisThread());
    if (errno != 0) return false;
    return ::setpriority(PRIO_PROCESS, ThisThread(), std::max(current - steps, kLeastNice)) == 0;
}

void SetThisThreadNice(int nice) {
    static_cast<void>(
        ::setpriority(PRIO_PROCESS, ThisThread(), std::clamp(nice, kLeastNice, kMostNice)));
}

}  // namespace platform
