#include "platform/gui/event_pump.h"

#include <wx/app.h>

#include <thread>

namespace platform::gui {
namespace {

void ProcessPending() {
    if (wxTheApp == nullptr) return;
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
    // Idle time deletes the windows that were told to go.
    wxTheApp->ProcessIdle();
}

}  // namespace

void ProcessEventsFor(std::chrono::milliseconds time) {
    ProcessEventsUntil([] { return false; }, time);
}

bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        ProcessPending();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace platform::gui
