#pragma once
// Settings of the flight recorder and replay ("Options\Logging",
// "Options\Miscellaneous") and the engine-noise sensor's state. The shared
// logging values (format, interval, FXA, geoid) are in
// core/settings_values.h. The initial values are the built-in defaults.

#include <atomic>

namespace recorder {

inline std::atomic<int> g_diskWarning{1000};      // "DiskWarning"
inline std::atomic<int> g_fileReplayInterval{4};  // "FileReplayInterval"
// Set once the engine-noise sensor has been started.
inline std::atomic<bool> g_bEnlOn{false};

}  // namespace recorder
