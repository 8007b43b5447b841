#pragma once
// Small geometry shared by the grid commands. Pure; any thread.

namespace quorlin {

// Distance along the sphere in statute miles (the chart conversions' scale);
// latitudes and longitudes in degrees.
double GreatCircleMiles(double latitude1, double longitude1, double latitude2, double longitude2);

}  // namespace quorlin
