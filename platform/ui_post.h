#pragma once
// Messages to windows from any thread, for code that knows no window system.
//
// Worker threads (port reader, loaders, calculators) tell windows about their
// results by posting a message number to a window id (platform/
// window_messages.h). The GUI installs the backend that delivers them on the
// UI thread (platform/gui/ui_bridge.h); tests install a
// RecordingUiPostBackend. With no backend every message is dropped.
//
// Post queues and returns at once. Send waits until the window has handled
// the message and returns its result; it gives up, returning nothing, when
// the program is stopping, so a worker never blocks shut-down. Never Send
// while holding a lock that the UI thread may take.

#include <any>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/window_messages.h"

namespace platform {

struct WindowMessage {
    WindowId window = 0;
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    // Data handed over with the message (a record the receiver reads). It is
    // freed with the message, also when the message is dropped.
    std::any payload;
};

class UiPostBackend {
  public:
    virtual ~UiPostBackend() = default;
    // Queues the message; false when its window does not exist.
    virtual bool Post(WindowMessage message) = 0;
    // Has the window handle the message and returns its result; nothing when
    // the window does not exist or the program stops first.
    virtual std::optional<std::intptr_t> Send(WindowMessage message) = 0;
};

// Installs the backend for every later message; returns the previous one.
// Null drops every message.
std::shared_ptr<UiPostBackend> SetUiPostBackend(std::shared_ptr<UiPostBackend> backend);

// From any thread; false (or nothing) when the message was dropped.
bool PostWindowMessage(WindowMessage message);
bool PostWindowMessage(WindowId window, unsigned message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);
std::optional<std::intptr_t> SendWindowMessage(WindowMessage message);
std::optional<std::intptr_t> SendWindowMessage(WindowId window, unsigned message,
                                               std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

// Set by shut-down before it waits for worker threads: every waiting Send
// (and every worker waiting for a message-box answer) gives up at once, and
// later ones do not wait at all. Start-up clears it.
void SetProgramStopping(bool stopping);
bool ProgramStopping();

// A reply that one thread waits for and another gives, abandoned when the
// program stops. Shared between the two through a shared_ptr.
class PendingReply {
  public:
    // The first Complete or Abandon wins; later ones change nothing.
    void Complete(std::intptr_t value);
    // Completes without a value (the receiver is gone).
    void Abandon();
    // Waits until completed, or until the program is stopping: the value, or
    // nothing when abandoned or stopping first.
    std::optional<std::intptr_t> Wait();

  private:
    bool done_ = false;
    std::optional<std::intptr_t> value_;
};

// Records every message. Every window exists unless marked gone; Send
// answers with the reply set for its message number (0 by default).
class RecordingUiPostBackend final : public UiPostBackend {
  public:
    struct Record {
        WindowId window;
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool sent;  // Send rather than Post
        friend bool operator==(const Record&, const Record&) = default;
    };

    bool Post(WindowMessage message) override;
    std::optional<std::intptr_t> Send(WindowMessage message) override;

    void SetReply(unsigned message, std::intptr_t reply);
    void SetWindowGone(WindowId window, bool gone = true);
    std::vector<Record> Records() const;
    // The payloads of the recorded messages, in order (empty where none).
    std::vector<std::any> Payloads() const;
    void Clear();

  private:
    bool Keep(WindowMessage& message, bool sent);

    mutable std::mutex mutex_;
    std::vector<Record> records_;
    std::vector<std::any> payloads_;
    std::vector<std::pair<unsigned, std::intptr_t>> replies_;
    std::vector<WindowId> gone_;
};

// Installs a RecordingUiPostBackend for the lifetime of a scope (tests).
class ScopedRecordingUiPost {
  public:
    ScopedRecordingUiPost();
    ~ScopedRecordingUiPost();
    ScopedRecordingUiPost(const ScopedRecordingUiPost&) = delete;
    ScopedRecordingUiPost& operator=(const ScopedRecordingUiPost&) = delete;

    RecordingUiPostBackend& operator*() const { return *backend_; }
    RecordingUiPostBackend* operator->() const { return backend_.get(); }

  private:
    std::shared_ptr<RecordingUiPostBackend> backend_;
    std::shared_ptr<UiPostBackend> previous_;
};

}  // namespace platform
