#include "platform/events.h"

#include <chrono>

namespace platform::detail {

EventState::EventState(bool manualReset, bool initiallySet)
    : signalled_(initiallySet), manualReset_(manualReset) {}

void EventState::Set() {
    {
        const std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    if (manualReset_) {
        changed_.notify_all();
    } else {
        changed_.notify_one();
    }
}

void EventState::Reset() {
    const std::lock_guard lock(mutex_);
    signalled_ = false;
}

WaitResult EventState::Wait(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    const auto isSet = [this] { return signalled_; };
    if (timeoutMs == kWaitForever) {
        changed_.wait(lock, isSet);
    } else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet)) {
        return WaitResult::kTimeout;
    }
    if (!manualReset_) signalled_ = false;
    return WaitResult::kSignalled;
}

}  // namespace platform::detail
