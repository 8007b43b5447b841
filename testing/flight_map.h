#pragma once
// A text map made around a stretch of a recorded flight (igc_flight.h), for
// the map window flown on it: its bounds hold the stretch with a margin; a
// zone lies over the track with its floor 3000 ft above the highest fix
// beneath it (passed under), another with a band of 2000 ft either side of
// the altitude where the track enters it (crossed inside its band), and a
// town 300 m north of the track.

#include <cstddef>
#include <string>
#include <vector>

#include "core/geo_box.h"
#include "testing/igc_flight.h"

namespace test_support {

// Where a fix is.
constexpr core::GeoPoint PositionOf(const IgcFix& fix) {
    return {fix.latitude, fix.longitude};
}

// Indexes into the flight's fixes.
struct FlightMapPlan {
    std::size_t first = 0;  // the stretch flown: first..last
    std::size_t last = 0;
    std::size_t underAt = 0;  // the middle of the zone passed under
    std::size_t crossAt = 0;  // the middle of the zone crossed
    std::size_t townAt = 0;   // the fix the town lies north of
    double zoneHalfDeg = 0.01;
};

struct FlightMap {
    core::GeoBox under;
    core::GeoBox cross;
    int crossLowerFt = 0;
    int crossUpperFt = 0;
    IgcFix town;
    std::string townName = "Flightville";
    std::string text;  // the map file's text, CR LF lines
};

FlightMap MakeFlightMap(const std::vector<IgcFix>& fixes, const FlightMapPlan& plan);

// "d,m,s,d,m,s" of a point as map files keep it.
std::string MapPoint(double latitude, double longitude);

}  // namespace test_support
