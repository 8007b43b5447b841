#pragma once
// How close the aircraft is to a target, as the waypoint-queue texts track
// it from fix to fix: outside or inside a radius, just entered or just left,
// and (with "AutoZoomWaypoint") an approach band just outside the radius.

#include <atomic>

#include "core/waypoint_course.h"
#include "core/waypoint_record.h"

namespace nav {

// State bits.
inline constexpr int kProximityOutside = 2;
inline constexpr int kProximityInside = 4;
inline constexpr int kProximityChange = 8 | 1;      // just entered or just left
inline constexpr int kProximityApproachStart = 16;  // the approach band was entered or left
inline constexpr int kProximityApproach = 32;       // within the band (radius + 0.5)
inline constexpr int kProximityApproachEdge = 64;   // in the band's outer part
// The band's width beyond the radius, in distance units; its outer part
// reaches 1.5 times as far.
inline constexpr float kApproachMargin = 0.5F;

// The last state UpdateProximityState computed.
inline std::atomic<int> g_proximityState{0};
// The course from the current position to the last target (under
// core::MapLock).
extern CourseResult g_proximityCourse;

// The state that follows `previous` at `distance` from a target with the
// given radius.
int NextProximityState(int previous, float distance, float radius, bool approachBand);

// The distance from g_mapFix to `target` (into distance) and the state that
// follows g_proximityState, which it becomes. The band is used when the
// "AutoZoomWaypoint" setting is on.
int UpdateProximityState(const WaypointRecord& target, float& distance, float radius);

}  // namespace nav
