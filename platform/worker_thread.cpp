#include "platform/worker_thread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace platform {

// Owned jointly by the wrapper and its thread.
struct WorkerThread::Shared {
    std::stop_source stop;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;

    void MarkFinished() {
        {
            const std::lock_guard lock(mutex);
            finished = true;
        }
        finishedChanged.notify_all();
    }
};

WorkerThread::WorkerThread(Body body) {
    Start(std::move(body));
}

WorkerThread::~WorkerThread() {
    Stop(stopLimitMs_);
}

WorkerThread::WorkerThread(WorkerThread&& other) noexcept
    : shared_(std::move(other.shared_)),
      thread_(std::move(other.thread_)),
      stopLimitMs_(other.stopLimitMs_) {}

WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept {
    if (this != &other) {
        Stop(stopLimitMs_);
        shared_ = std::move(other.shared_);
        thread_ = std::move(other.thread_);
        stopLimitMs_ = other.stopLimitMs_;
    }
    return *this;
}

bool WorkerThread::Start(Body body) {
    if (!body) return false;
    if (thread_.joinable()) {
        if (Running()) return false;
        thread_.join();
    }
    auto shared = std::make_shared<Shared>();
    thread_ = std::thread([shared, body = std::move(body)]() mutable {
        body(shared->stop.get_token());
        body = nullptr;  // what the body holds goes before "finished" is seen
        shared->MarkFinished();
    });
    shared_ = std::move(shared);
    return true;
}

void WorkerThread::RequestStop() {
    if (shared_) shared_->stop.request_stop();
}

bool WorkerThread::StopRequested() const {
    return shared_ && shared_->stop.stop_requested();
}

bool WorkerThread::Running() const {
    if (!shared_) return false;
    const std::lock_guard lock(shared_->mutex);
    return !shared_->finished;
}

bool WorkerThread::JoinFor(std::uint32_t timeoutMs) {
    if (!thread_.joinable()) return true;
    {
        std::unique_lock lock(shared_->mutex);
        if (!shared_->finishedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                               [this] { return shared_->finished; })) {
            return false;
        }
    }
    thread_.join();  // the body has returned: the thread only has to exit
    return true;
}

bool WorkerThread::Stop(std::uint32_t timeoutMs) {
    RequestStop();
    if (JoinFor(timeoutMs)) return true;
    thread_.detach();
    return false;
}

}  // namespace platform
