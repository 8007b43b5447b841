#pragma once
// What the fix-processing thread asks of the position page, callable from
// any thread: whether the page shows its terrain profile (so that the
// leg's profile is handed over and the page's fields are left alone), and
// a repaint of the fields after new values. The program's display links
// (gps::DisplayLinks) forward to these.

#include <atomic>

#include "platform/window_messages.h"

namespace frame {

// Posted to the page for a repaint of its fields.
inline constexpr unsigned kPositionPageRepaint = platform::WM_APP + 3;

// Set by the page (UI thread) whenever it paints or its view mode changes.
inline std::atomic<bool> g_positionPageShowsProfile{false};

inline bool PositionPageShowsProfile() {
    return g_positionPageShowsProfile.load();
}

// Queues a repaint of the page; nothing while it does not exist.
void InvalidatePositionPage();

}  // namespace frame
