#include "nav/olc_worker_group.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/thread_priority.h"

namespace nav {
namespace {

constexpr int kNicePerStep = 5;

}  // namespace

bool WorkerGroup::Start(platform::WorkerThread::Body body) {
    const std::lock_guard lock(mutex_);
    threads_.remove_if([](platform::WorkerThread& thread) { return !thread.Running(); });
    platform::WorkerThread& thread = threads_.emplace_back();
    if (thread.Start(std::move(body))) return true;
    threads_.pop_back();
    return false;
}

bool WorkerGroup::StopAll(std::uint32_t limitMs) {
    std::list<platform::WorkerThread> stopping;
    {
        const std::lock_guard lock(mutex_);
        stopping.swap(threads_);
    }
    for (platform::WorkerThread& thread : stopping)
        thread.RequestStop();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    bool allJoined = true;
    for (platform::WorkerThread& thread : stopping) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        allJoined = thread.Stop(static_cast<std::uint32_t>(std::max<long long>(left.count(), 0))) &&
                    allJoined;
    }
    return allJoined;
}

std::size_t WorkerGroup::RunningCount() const {
    const std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(threads_.begin(), threads_.end(),
                      [](const platform::WorkerThread& thread) { return thread.Running(); }));
}

void LowerThisThreadPriority(int threadPriority) {
    if (threadPriority < 0) platform::LowerThisThreadPriority(-kNicePerStep * threadPriority);
}

}  // namespace nav
