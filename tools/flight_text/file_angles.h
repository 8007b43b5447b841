#pragma once
// Degrees as the waypoint, task and map files keep them: "d,m,s" with the
// seconds to two decimals, longitudes WEST positive.

#include <string>

namespace flight_text {

std::string LatitudeDms(double latitude);
// longitudeEast: degrees, east positive; written west positive.
std::string LongitudeDms(double longitudeEast);

// "d,m,s,d,m,s" of a point (latitude first).
std::string PointDms(double latitude, double longitudeEast);

}  // namespace flight_text
