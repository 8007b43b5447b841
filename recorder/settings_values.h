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
// The sensor's two configuration numbers that its L record shows: the
// settle value n and the two-stage flag (the sensor fills them in).
inline std::atomic<int> g_enlSettleValue{0};
inline std::atomic<int> g_enlTwoStage{0};
// "ReplayFileIndex" and "FlightFileFolder" ("Settings") are read when a
// replay starts; the replay-pacing value is -1 while no pace is set.
inline std::atomic<int> g_replayPacing{-1};

}  // namespace recorder
