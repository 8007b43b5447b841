#include "platform/gui/ui_bridge.h"

#include <wx/app.h>
#include <wx/thread.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <map>
#include <mutex>
#include <utility>

#include "platform/gui/message_box_sink.h"

namespace platform::gui {
namespace {

struct Registered {
    std::uint64_t serial;
    wxWeakRef<wxWindow> window;  // touched on the UI thread only
    std::shared_ptr<const MessageHandler> handler;
};

// Registrations are made and removed on the UI thread; other threads only
// ask which serial an id has.
std::mutex g_registryMutex;
std::map<WindowId, Registered> g_registry;
std::uint64_t g_lastSerial = 0;

std::uint64_t SerialOf(WindowId id) {
    std::lock_guard lock(g_registryMutex);
    const auto found = g_registry.find(id);
    return found == g_registry.end() ? 0 : found->second.serial;
}

// UI thread: the handler of the registration with that serial while its
// window exists; null otherwise.
std::shared_ptr<const MessageHandler> HandlerFor(WindowId id, std::uint64_t serial) {
    std::lock_guard lock(g_registryMutex);
    const auto found = g_registry.find(id);
    if (found == g_registry.end() || found->second.serial != serial) return nullptr;
    wxWindow* window = found->second.window.get();
    // A top-level window that was told to go lives on until idle time, but
    // takes no more messages.
    if (window == nullptr || window->IsBeingDeleted() ||
        (wxTheApp != nullptr && wxTheApp->IsScheduledForDestruction(window)))
        return nullptr;
    return found->second.handler;
}

std::optional<std::intptr_t> Deliver(const WindowMessage& message, std::uint64_t serial) {
    const auto handler = HandlerFor(message.window, serial);
    if (handler == nullptr) return std::nullopt;
    return (*handler)(message);
}

}  // namespace

WindowRegistration::WindowRegistration(WindowId id, wxWindow& window, MessageHandler handler)
    : id_(id) {
    std::lock_guard lock(g_registryMutex);
    serial_ = ++g_lastSerial;
    g_registry[id] = Registered{serial_, wxWeakRef<wxWindow>(&window),
                                std::make_shared<const MessageHandler>(std::move(handler))};
}

WindowRegistration::~WindowRegistration() {
    Reset();
}

WindowRegistration::WindowRegistration(WindowRegistration&& other) noexcept
    : id_(other.id_), serial_(std::exchange(other.serial_, 0)) {}

WindowRegistration& WindowRegistration::operator=(WindowRegistration&& other) noexcept {
    if (this != &other) {
        Reset();
        id_ = other.id_;
        serial_ = std::exchange(other.serial_, 0);
    }
    return *this;
}

void WindowRegistration::Reset() {
    if (serial_ == 0) return;
    std::lock_guard lock(g_registryMutex);
    const auto found = g_registry.find(id_);
    // A later registration of the same id stays.
    if (found != g_registry.end() && found->second.serial == serial_) g_registry.erase(found);
    serial_ = 0;
}

bool UiBridge::Post(WindowMessage message) {
    const std::uint64_t serial = SerialOf(message.window);
    if (serial == 0 || wxTheApp == nullptr) return false;
    wxTheApp->CallAfter([message = std::move(message), serial] { Deliver(message, serial); });
    return true;
}

std::optional<std::intptr_t> UiBridge::Send(WindowMessage message) {
    const std::uint64_t serial = SerialOf(message.window);
    if (serial == 0) return std::nullopt;
    if (wxIsMainThread()) return Deliver(message, serial);
    if (ProgramStopping() || wxTheApp == nullptr) return std::nullopt;

    auto reply = std::make_shared<PendingReply>();
    wxTheApp->CallAfter([message = std::move(message), serial, reply] {
        const auto result = Deliver(message, serial);
        if (result) {
            reply->Complete(*result);
        } else {
            reply->Abandon();
        }
    });
    return reply->Wait();
}

ScopedUiBridge::ScopedUiBridge()
    : previousBackend_(SetUiPostBackend(std::make_shared<UiBridge>())),
      previousSink_(SetMessageBoxSink(std::make_shared<WxMessageBoxSink>())) {}

ScopedUiBridge::~ScopedUiBridge() {
    SetMessageBoxSink(std::move(previousSink_));
    SetUiPostBackend(std::move(previousBackend_));
}

}  // namespace platform::gui
