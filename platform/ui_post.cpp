#include "platform/ui_post.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <utility>

namespace platform {
namespace {

std::mutex g_backendMutex;
std::shared_ptr<UiPostBackend> g_backend;

// One lock and one condition for every pending reply, so that stopping the
// program can wake all waiters at once.
std::mutex g_replyMutex;
std::condition_variable g_replyChanged;
std::atomic<bool> g_stopping{false};

std::shared_ptr<UiPostBackend> CurrentBackend() {
    std::lock_guard lock(g_backendMutex);
    return g_backend;
}

}  // namespace

std::shared_ptr<UiPostBackend> SetUiPostBackend(std::shared_ptr<UiPostBackend> backend) {
    std::lock_guard lock(g_backendMutex);
    return std::exchange(g_backend, std::move(backend));
}

bool PostWindowMessage(WindowMessage message) {
    const auto backend = CurrentBackend();
    return backend != nullptr && backend->Post(std::move(message));
}

bool PostWindowMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    return PostWindowMessage(WindowMessage{window, message, wParam, lParam, {}});
}

std::optional<std::intptr_t> SendWindowMessage(WindowMessage message) {
    const auto backend = CurrentBackend();
    if (backend == nullptr) return std::nullopt;
    return backend->Send(std::move(message));
}

std::optional<std::intptr_t> SendWindowMessage(WindowId window, unsigned message,
                                               std::uintptr_t wParam, std::intptr_t lParam) {
    return SendWindowMessage(WindowMessage{window, message, wParam, lParam, {}});
}

void SetProgramStopping(bool stopping) {
    {
        std::lock_guard lock(g_replyMutex);
        g_stopping.store(stopping);
    }
    g_replyChanged.notify_all();
}

bool ProgramStopping() {
    return g_stopping.load();
}

void PendingReply::Complete(std::intptr_t value) {
    {
        std::lock_guard lock(g_replyMutex);
        if (done_) return;
        done_ = true;
        value_ = value;
    }
    g_replyChanged.notify_all();
}

void PendingReply::Abandon() {
    {
        std::lock_guard lock(g_replyMutex);
        done_ = true;
    }
    g_replyChanged.notify_all();
}

std::optional<std::intptr_t> PendingReply::Wait() {
    std::unique_lock lock(g_replyMutex);
    g_replyChanged.wait(lock, [this] { return done_ || g_stopping.load(); });
    return done_ ? value_ : std::nullopt;
}

bool RecordingUiPostBackend::Keep(WindowMessage& message, bool sent) {
    std::lock_guard lock(mutex_);
    records_.push_back({message.window, message.message, message.wParam, message.lParam, sent});
    payloads_.push_back(std::move(message.payload));
    return std::find(gone_.begin(), gone_.end(), message.window) == gone_.end();
}

bool RecordingUiPostBackend::Post(WindowMessage message) {
    return Keep(message, false);
}

std::optional<std::intptr_t> RecordingUiPostBackend::Send(WindowMessage message) {
    if (!Keep(message, true)) return std::nullopt;
    std::lock_guard lock(mutex_);
    for (const auto& [number, reply] : replies_) {
        if (number == message.message) return reply;
    }
    return 0;
}

void RecordingUiPostBackend::SetReply(unsigned message, std::intptr_t reply) {
    std::lock_guard lock(mutex_);
    std::erase_if(replies_, [message](const auto& entry) { return entry.first == message; });
    replies_.emplace_back(message, reply);
}

void RecordingUiPostBackend::SetWindowGone(WindowId window, bool gone) {
    std::lock_guard lock(mutex_);
    std::erase(gone_, window);
    if (gone) gone_.push_back(window);
}

std::vector<RecordingUiPostBackend::Record> RecordingUiPostBackend::Records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

std::vector<std::any> RecordingUiPostBackend::Payloads() const {
    std::lock_guard lock(mutex_);
    return payloads_;
}

void RecordingUiPostBackend::Clear() {
    std::lock_guard lock(mutex_);
    records_.clear();
    payloads_.clear();
}

ScopedRecordingUiPost::ScopedRecordingUiPost()
    : backend_(std::make_shared<RecordingUiPostBackend>()), previous_(SetUiPostBackend(backend_)) {}

ScopedRecordingUiPost::~ScopedRecordingUiPost() {
    SetUiPostBackend(std::move(previous_));
}

}  // namespace platform
