#pragma once
// A worker thread that is asked to stop and then waited for with a time
// limit.
//
// The body receives a std::stop_token and polls it (or registers a
// std::stop_callback to wake a wait). Stop() asks, waits up to the limit and
// detaches a thread that does not end in time, so a wrapper is never
// destroyed with a joinable thread. What the running thread touches of the
// wrapper (its stop flag and its "finished" signal) is held in shared state
// that lives as long as the thread, so a detached thread never reaches
// freed memory of the wrapper; what its body uses is the body's affair.
//
// RequestStop(), StopRequested() and Running() are safe from any thread; the
// other members belong to the thread that owns the wrapper.

#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

namespace platform {

class WorkerThread {
  public:
    using Body = std::function<void(std::stop_token)>;

    // How long the destructor waits for the thread before detaching it.
    static constexpr std::uint32_t kDefaultStopLimitMs = 20000;

    WorkerThread() = default;
    // Starts the thread at once.
    explicit WorkerThread(Body body);
    // Stop(StopLimit()).
    ~WorkerThread();

    WorkerThread(WorkerThread&& other) noexcept;
    // Stops (as the destructor does) the thread this wrapper held before.
    WorkerThread& operator=(WorkerThread&& other) noexcept;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts a thread running body. False (and nothing started) for an empty
    // body or while an earlier thread of this wrapper still runs; a finished
    // one is joined.
    bool Start(Body body);

    void RequestStop();
    bool StopRequested() const;

    // True from Start() until the body has returned.
    bool Running() const;

    // Waits up to timeoutMs for the body to return and joins the thread. True
    // when joined or when there was no thread; false when it still runs (it
    // stays owned by the wrapper and may be waited for again).
    bool JoinFor(std::uint32_t timeoutMs);

    // RequestStop(), then JoinFor(timeoutMs); a thread still running after
    // that is detached. True when the thread was joined.
    bool Stop(std::uint32_t timeoutMs);

    bool Joinable() const { return thread_.joinable(); }

    std::uint32_t StopLimit() const { return stopLimitMs_; }
    void SetStopLimit(std::uint32_t timeoutMs) { stopLimitMs_ = timeoutMs; }

  private:
    struct Shared;

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    std::uint32_t stopLimitMs_ = kDefaultStopLimitMs;
};

}  // namespace platform
