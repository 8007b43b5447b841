#pragma once
// Great-circle course and distance between two records, from their unit
// vectors, on a sphere of the "EarthRadius" setting.

#include "core/waypoint_record.h"

namespace nav {

struct CourseResult {
    double trueCourseDeg = 0.0;      // 0..360, clockwise from true north
    double magneticCourseDeg = 0.0;  // the true course less the variation in use
    double trueCourseRad = 0.0;
};

// The distance from `from` to `to` in the unit of the earth radius setting
// (kilometres by default). With `course`, also the initial course: 0 for
// points that coincide or are antipodal; from a pole, north from the south
// pole and south from the north pole.
float CourseAndDistance(const WaypointRecord& from, const WaypointRecord& to,
                        CourseResult* course = nullptr);

}  // namespace nav
