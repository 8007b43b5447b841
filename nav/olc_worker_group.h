#pragma once
// The background threads of one kind of worker (the contest optimiser, the
// task statistics). A stop that does not wait leaves its thread to finish on
// its own; the group keeps every thread it started, joins the finished ones
// as new ones start, and lets shut-down stop and join all of them.

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>

#include "platform/worker_thread.h"

namespace nav {

class WorkerGroup {
  public:
    WorkerGroup() = default;
    ~WorkerGroup() { StopAll(platform::WorkerThread::kDefaultStopLimitMs); }
    WorkerGroup(const WorkerGroup&) = delete;
    WorkerGroup& operator=(const WorkerGroup&) = delete;

    // Runs body on a thread of its own; false when none could be started.
    bool Start(platform::WorkerThread::Body body);

    // Asks every thread to stop (through its stop token) and waits up to
    // limitMs in all; threads still running then are detached. True when
    // every thread was joined.
    bool StopAll(std::uint32_t limitMs);

    // Threads whose body has not returned yet.
    std::size_t RunningCount() const;

  private:
    mutable std::mutex mutex_;
    std::list<platform::WorkerThread> threads_;
};

// Lowers the calling thread's scheduling priority by a Windows thread
// priority step (-1 below normal, -2 lowest), as a nice increment of 5 per
// step. Raising is not attempted.
void LowerThisThreadPriority(int threadPriority);

}  // namespace nav
