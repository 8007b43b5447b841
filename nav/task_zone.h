#pragma once
// The observation zone of a task point: whether a fix is in it, and the
// shapes that draw it.
//
// Zone states (kZone... in task_model.h): 2 outside, 4 in the zone, 16 on
// the far side of a start or finish line (20 = in the zone behind it), 9
// added when the state changed against the one stored before in the same
// slot, 128 added when the FAI area accepts the fix while the point is the
// finish. A start line counts the side away from the first leg as in the
// zone, so crossing it onto the course side gives 11; a finish line counts
// the side beyond the finish. A sector of radius 0 or less reaches without
// limit.

#include "nav/task_model.h"

namespace nav {

// The zone state of `fix` (the current map position when null, copied under
// core::MapLock) for point p, also stored in p's state slot. Callers hold
// core::TaskLock (points are relinked and freed under it); each caller
// writes only its own slot. *outDistance,
// when given, gets the distance from the fix to p's target (km).
int IsFixInTaskPointZone(CTaskPoint* p, float* outDistance, int slot, const WaypointRecord* fix);

// The shapes that draw p's zone and their common bounds; empty when the zone
// cannot be drawn (an extra point, a negative sector mode, a zone without a
// usable line, cylinder or sector).
struct ZoneDrawing {
    std::vector<ZoneShape> shapes;
    core::GeoBox bounds;
};
ZoneDrawing ZoneShapesOf(const CTaskPoint& p);

// The bounding box the inside counter tests: `bounds` made square on the
// ground and enlarged by half about its centre, or grown by marginRad
// (radians of arc) on every side when that border would be thinner.
core::GeoBox InsideCountBox(const core::GeoBox& bounds, double marginRad);

}  // namespace nav
