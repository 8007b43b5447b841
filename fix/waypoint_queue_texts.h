#pragma once
// The waypoint-queue step: after each new position (and on a redraw
// request) the fix-processing thread works out the way to the destination,
// or to the active task point, and writes the destination texts
// (DestinationPrefixText's letters, DestinationLineText, RequiredGlideText,
// BearingText): the altitude needed, the final glide's MacCready and
// arrival, or the terrain clearance, by the glide display mode
// (glide::g_glideDisplayMode). It also plays the arrival and leaving
// sounds, moves on to the next queued waypoint after leaving one it had
// reached (posted to the main frame as the next-waypoint command), hands the
// terrain profile to the position page and steers the map's zoom near the
// target.
//
// Fix-processing thread only. Locks: a copy of the current position under
// core::MapLock first, then core::TaskLock for the target and its zone
// state (never both), glide::GlidePathLock for the profile copy; no lock
// while it posts or plays a sound.

#include <atomic>

#include "platform/window_messages.h"

namespace gps {

// Flags of UpdateWaypointQueueTexts.
inline constexpr int kQueueInvalidatePage = 0x1;
inline constexpr int kQueueRecomputeFinalGlide = 0x4;

// Arrival detection is on (the default); task activation switches it off,
// selecting a task or picking a destination on the map switches it on.
inline std::atomic<bool> g_arrivalTestOn{true};

void UpdateWaypointQueueTexts(int flags);

// Forgets a pending arrival and whether the destination was reached (the
// destination changed, a replay starts); the prefix shows "To" again.
void ResetWaypointQueueTexts();

// Whether the glider is inside the destination's zone or radius.
bool DestinationReached();

}  // namespace gps
