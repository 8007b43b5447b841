#pragma once
// The heading method: the wind from the glider's true heading and its
// ground velocity. Each moment gives a line on which the wind lies (the
// part of the ground velocity perpendicular to the heading is the
// perpendicular part of the wind); two lines whose headings differ enough
// meet in the wind. Two line slots are kept, the one nearer to parallel
// with a new line gives way to it.
//
// Any thread: the slots are guarded by WindLock (glide/current_wind.h). The
// fix commit feeds it from the parser's vectors, the wind dialog from a
// typed heading.

#include "gps/gps_fix_record.h"

namespace glide {

// One moment: the ground velocity (knots, north and east), the unit vector
// of the true heading, the track (radians true), and the altitude (feet)
// and fix time (hours) the result carries.
struct HeadingWindInput {
    float groundNorth = 0.0F;
    float groundEast = 0.0F;
    float cosHeading = 0.0F;
    float sinHeading = 0.0F;
    double track = 0.0;
    float altitude = 0.0F;
    float time = 0.0F;
};

enum HeadingWindResult : int {
    kHeadingWindGood = 0,
    kHeadingWindFirstLine = 1,      // only one line since the reset; the wind is zeroed
    kHeadingWindNearlyParallel = 2,  // headings within about 30 degrees of (anti)parallel
    kHeadingWindParallel = 3,        // the lines do not meet (or have no length)
};

// Stores the moment's line and solves for the wind into `wind`, which is
// written in every case. Only a result of 0 is a wind to use.
int ComputeHeadingWind(const HeadingWindInput& input, gps::WindRecord& wind);

// Forgets both lines.
void ResetHeadingWind();

}  // namespace glide
