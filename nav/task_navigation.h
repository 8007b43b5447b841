#pragma once
// Task navigation: on every fix that moves the aircraft while a task is
// flown, decides whether the start was given, whether the target's zone was
// reached or left, and whether the finish was reached; advances the target,
// keeps the achieved distance and the speeds, and tells the main frame.
//
// A turnpoint with a next point is passed on LEAVING its zone (its best
// position inside it is kept as where it was reached); the finish is reached
// on ENTERING its zone. A new crossing of the start while the first
// turnpoint is the target starts the task again.
//
// The pass runs on the fix-processing thread and holds core::TaskLock for
// its whole run; it takes glide::DisplayTextLock where it changes the target
// or the displayed point and writes the task distance text.

#include <atomic>

#include "core/settings_values.h"
#include "nav/task_model.h"
#include "platform/window_messages.h"
#include "texts/display_texts.h"

namespace nav {

// Messages to the main frame: platform::WM_APP_STARTLIMITS,
// WM_APP_TASKPOINTMARKED and WM_APP_TASKTARGETSHOWN.
using platform::WM_APP_STARTLIMITS;
using platform::WM_APP_TASKPOINTMARKED;
using platform::WM_APP_TASKTARGETSHOWN;

// Commands posted as WM_COMMAND: reset the flight clock at the start; the
// finish of a closed triangle was reached while the next waypoint is its
// first corner.
inline constexpr unsigned kCommandResetClock = 32773;
inline constexpr unsigned kCommandTriangleClosed = 32796;

// Start limits (the task limits dialog sets them; "off" values until then):
// maximum start ground speed in knots and maximum start altitude in feet.
inline std::atomic<float> g_maxStartSpeed{1000.0F};
inline std::atomic<float> g_maxStartAltitude{100000.0F};

// What remains to be flown of the task ("%01.0f%s" in the distance unit),
// written under glide::DisplayTextLock.
using glide::TaskDistanceText;
// Formats km in the distance unit in force, "%01.0f%s".
std::wstring FormatTaskDistance(float km);

// One fix as navigation uses it.
struct NavigationFix {
    WaypointRecord position;
    float timeHours = 0.0F;
    float groundSpeedKt = 0.0F;
    // The pressure altitude when one is known, else the GPS altitude (feet).
    float altitudeFt = 0.0F;
};

// The pass for task (which must be g_currentTask; anything else is
// ignored), while navigation is active and a target is set. Ground speed
// and altitude come from the published snapshot (gps::CurrentNav).
void UpdateTaskNavigation(CTask* task, const WaypointRecord* fix, float timeHours);
void UpdateTaskNavigation(CTask* task, const NavigationFix& fix);

}  // namespace nav
