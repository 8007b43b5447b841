#pragma once
// What the map timer reads of the rest of the program at one tick: the fix
// processing's speeds and flight state, the glide computer's speed to fly
// and polar, the task's altitude limits. Each value is read on its own
// (atomics); the polar under its lock. UI thread.

#include <optional>

#include "map/map_timer_duties.h"

namespace map {

// The speed director's inputs: "speedDirector", its tolerance, circling,
// a fitted polar, the airspeed estimate, the speed to fly, the ground speed.
SpeedDirectorInput SpeedDirectorNow();

// The altitude warning's inputs while a task is navigated; nothing without
// a task or without any altitude.
std::optional<TaskWarningInput> TaskWarningNow();

}  // namespace map
