#pragma once
// Running the UI thread's pending events from code that waits on it:
// screenshots and the GUI tests.

#include <chrono>
#include <functional>

namespace platform::gui {

// Runs pending events (painting, layout, posted calls) for about `time`.
void ProcessEventsFor(std::chrono::milliseconds time);

// Runs pending events until done() holds or `limit` has passed; whether
// done() held.
bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace platform::gui
