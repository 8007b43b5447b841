#pragma once
// The program-wide locks that more than one subsystem takes.
//
// Lock order, where two are held together: TaskLock before MapLock, and
// MapLock before the elevation model's own lock.

#include "platform/critical_section.h"

namespace core {

// Guards the current-position record (g_mapFix) and the map window's shared
// state.
inline platform::CriticalSection MapLock;

// Guards the destination, the active task point and the current task.
inline platform::CriticalSection TaskLock;

}  // namespace core
