#pragma once
// The screen points of an arc: one every 2 degrees from its first angle
// through its sweep, and one at its end, each rounded to the nearest pixel
// (halves away from zero). The points are exactly those of the cosine and
// sine of each angle; they are stepped along by a rotation, which costs a
// few multiplications a point instead of a cosine and a sine, and a point
// the stepping cannot place beyond doubt (its coordinate within rounding of
// a half pixel) is worked out from the angle itself. Pure; any thread.

#include <vector>

#include "platform/drawing_tools.h"

namespace mapdata {

// Angles in radians, counterclockwise on the screen from the x axis (y is
// down, so a point at angle a lies at centre + r (cos a, -sin a)); sweep in
// (0, 2 pi]. The points are appended to `out`.
void AppendArcPoints(platform::Point centre, double radius, double from, double sweep,
                     std::vector<platform::Point>& out);

}  // namespace mapdata
