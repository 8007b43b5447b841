#pragma once
// The current-position record follows the published fix, and the map
// learns of the first fix once.
//
// The first two fixes with a position are skipped (the receiver's first
// positions are often off); at the third the current position becomes the
// destination when none is set, and the map window is sent
// WM_USER_MAPFIXCOMMIT. A map window that is not there yet gets it with the
// next fix.
//
// With the position, the terrain elevation under it is looked up (under
// core::MapLock, then the elevation model's own lock).

#include <atomic>

#include "gps/nav_fix.h"

namespace gps {

// Feet of terrain under the current position; kUnknownTerrain outside the
// elevation grid or without one. Written by the fix-processing thread.
inline constexpr float kUnknownTerrain = -1000.0F;
inline std::atomic<float> g_terrainElevation{kUnknownTerrain};

// After each published fix with a new position or altitude (the
// fix-processing thread, holding no lock). False while the first fixes are
// skipped: the position texts wait until it is true.
bool FollowPublishedPosition(const NavSnapshot& published);

// The next fix counts as the first again (a replay starts).
void RestartFirstFix();

// The map has been told of the first fix.
bool FirstFixAnnounced();

}  // namespace gps
