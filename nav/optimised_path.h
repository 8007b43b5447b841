#pragma once
// The optimised task path: for each turnpoint that has a sector mode and
// whose zone is a cylinder or a sector (not both), the path runs through
// the point of the zone's boundary that makes the path through the zone
// LONGEST, the distance a pilot can score in an assigned area. It is found
// from the neighbours: the previous point (where it was reached once
// marked, else its own touch point, else its target) and the next point (its
// touch point, else its target).

#include <optional>

#include "nav/task_model.h"

namespace nav {

// The geometry one touch point is computed from. Distances in nautical
// miles, angles in radians.
struct TouchGeometry {
    WaypointRecord previous;  // A
    WaypointRecord next;      // B
    WaypointRecord centre;    // C, the turnpoint
    double radius = 0.0;
    bool sector = false;
    double opening = 0.0;    // the full opening of a sector
    double direction = 0.0;  // from the centre into the sector
    double innerRadius = 0.0;
};

// Repeats `passes` times: for every point after `first` that has a next
// point, computes and stores its touch point; then updates the markers.
// Takes core::TaskLock.
void OptimiseTaskPath(CTaskPoint* first, int passes);

// The geometry for p, or nothing when p gets no touch point (sector mode 0,
// no previous or next link, both or neither of cylinder and sector).
std::optional<TouchGeometry> PrepareTouchPoint(const CTaskPoint& p);

// The touch point for the geometry, or nothing when the zone has no radius.
std::optional<WaypointRecord> ComputeZoneTouchPoint(const TouchGeometry& geometry);

// Stores the touch point into p (making it when missing); false when p
// takes none.
bool StoreTouchPoint(CTaskPoint& p, const WaypointRecord& touch);

// Places the map markers of the touch points from `first` along the links.
void UpdateTaskPathMarkers(CTaskPoint* first);

}  // namespace nav
