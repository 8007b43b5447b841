#include "platform/wake_event.h"

#include <sys/eventfd.h>

#include <cstdint>

namespace platform {

WakeEvent::WakeEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

void WakeEvent::Signal() const {
    const std::uint64_t one = 1;
    // Fails only when the counter is about to overflow: signalled already.
    static_cast<void>(::write(fd_.Get(), &one, sizeof one));
}

bool WakeEvent::Take() const {
    std::uint64_t count = 0;
    return ::read(fd_.Get(), &count, sizeof count) == static_cast<ssize_t>(sizeof count);
}

}  // namespace platform
