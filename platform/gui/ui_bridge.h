#pragma once
// Delivers window messages (platform/ui_post.h) to wx windows on the UI
// thread.
//
// A window registers a handler under its id (platform/window_messages.h)
// for as long as a WindowRegistration lives, usually a member of the window.
// A message posted from any thread is queued on the application and looked
// up again when it is delivered: a message for a window that has gone by
// then, or that was registered anew under the same id, is dropped, as
// messages to a destroyed window are. Send from the UI thread runs the
// handler at once; from another thread it waits for the UI thread, and
// gives up when the program is stopping.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/message_box.h"
#include "platform/ui_post.h"

class wxWindow;

namespace platform::gui {

// What a window does with a message; the result is what Send returns.
using MessageHandler = std::function<std::intptr_t(const WindowMessage& message)>;

// UI thread only.
class WindowRegistration {
  public:
    WindowRegistration() = default;
    // Registers window under id, replacing an earlier registration of the id.
    // Messages reach the handler only while the window exists.
    WindowRegistration(WindowId id, wxWindow& window, MessageHandler handler);
    ~WindowRegistration();
    WindowRegistration(WindowRegistration&& other) noexcept;
    WindowRegistration& operator=(WindowRegistration&& other) noexcept;
    WindowRegistration(const WindowRegistration&) = delete;
    WindowRegistration& operator=(const WindowRegistration&) = delete;

    void Reset();

  private:
    WindowId id_ = 0;
    std::uint64_t serial_ = 0;  // 0: registers nothing
};

// The window-message backend over the registered windows.
class UiBridge final : public UiPostBackend {
  public:
    bool Post(WindowMessage message) override;
    std::optional<std::intptr_t> Send(WindowMessage message) override;
};

// Installs the UiBridge and the wx message-box sink (message_box_sink.h)
// for its lifetime and restores what was installed before. Made on the UI
// thread once the wx application exists; start-up and the GUI tests hold one.
class ScopedUiBridge {
  public:
    ScopedUiBridge();
    ~ScopedUiBridge();
    ScopedUiBridge(const ScopedUiBridge&) = delete;
    ScopedUiBridge& operator=(const ScopedUiBridge&) = delete;

  private:
    std::shared_ptr<UiPostBackend> previousBackend_;
    std::shared_ptr<MessageBoxSink> previousSink_;
};

}  // namespace platform::gui
