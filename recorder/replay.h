#pragma once
// The state of a flight replay that the main window's close uses. The
// replay-running flag itself is gps::g_bReplayRunning.

#include <atomic>

namespace recorder {

// Set by the close while a replay runs: the replay then ends without
// telling the main window and clears this flag instead.
inline std::atomic<bool> g_bReplayClosing{false};

}  // namespace recorder
