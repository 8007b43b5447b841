#pragma once
// Settings of waypoints, the destination queue and tasks ("Settings\Tasks",
// "Options\Miscellaneous", "Options\Logging"). Filled by the settings loader,
// rewritten by the option pages, read by the fix-processing thread and the
// task threads; hence atomics. The initial values are the built-in defaults.

#include <atomic>

namespace nav {

// --- Tasks ("Settings\Tasks").
inline std::atomic<int> g_updateTaskFinishGate{0};  // "updateTaskFinishGate"
// "minMapZoneRadiusMargin" (stored in km), in radians of arc on the 6371 km sphere.
inline std::atomic<float> g_minMapZoneRadiusMargin{1.30F / 6371.0F};
inline std::atomic<float> g_postRadius{1.609F};            // "POSTradius"
inline std::atomic<int> g_resetClock{0};                   // "resetClock"
inline std::atomic<int> g_startEndCheckpointDirection{1};  // "startEndCheckpointDirection"
inline std::atomic<int> g_insertPostAtFinish{0};           // "insertPOSTatFinish"

// --- Destination queue ("Options\Miscellaneous").
inline std::atomic<int> g_queueFifo{1};           // "QueueFIFO"
inline std::atomic<int> g_maxNumDestinations{6};  // "MaxNumDestinations": 1..16

// --- Waypoints ("Options\Logging").
inline std::atomic<int> g_saveDroppedWpts{1};  // "SaveDroppedWpts"

}  // namespace nav
