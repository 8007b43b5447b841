#pragma once
// Events that one thread sets and others wait for, with a time limit.
//
// An AutoResetEvent releases one waiter per Set() and clears itself as that
// waiter wakes; a Set() with nobody waiting stays until the next wait. A
// ManualResetEvent stays set, releasing every waiter, until Reset().

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

// A time limit that never runs out.
inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

enum class WaitResult { kSignalled, kTimeout };

namespace detail {

class EventState {
  public:
    EventState(bool manualReset, bool initiallySet);
    EventState(const EventState&) = delete;
    EventState& operator=(const EventState&) = delete;

    void Set();
    void Reset();
    WaitResult Wait(std::uint32_t timeoutMs);

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_;
    const bool manualReset_;
};

}  // namespace detail

class AutoResetEvent {
  public:
    explicit AutoResetEvent(bool initiallySet = false) : state_(false, initiallySet) {}

    void Set() { state_.Set(); }
    void Reset() { state_.Reset(); }
    // Waits at most timeoutMs milliseconds (0 only looks, kWaitForever has no
    // limit); a signalled wait clears the event.
    WaitResult Wait(std::uint32_t timeoutMs = kWaitForever) { return state_.Wait(timeoutMs); }

  private:
    detail::EventState state_;
};

class ManualResetEvent {
  public:
    explicit ManualResetEvent(bool initiallySet = false) : state_(true, initiallySet) {}

    void Set() { state_.Set(); }
    void Reset() { state_.Reset(); }
    // Waits at most timeoutMs milliseconds (0 only looks, kWaitForever has no
    // limit); the event stays set.
    WaitResult Wait(std::uint32_t timeoutMs = kWaitForever) { return state_.Wait(timeoutMs); }

  private:
    detail::EventState state_;
};

}  // namespace platform
