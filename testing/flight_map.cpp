#include "testing/flight_map.h"

#include <algorithm>
#include <cmath>

#include "tools/flight_text/file_angles.h"

namespace test_support {
namespace {

constexpr double kFeetPerMetre = 3.2808;

core::GeoBox BoxAround(const IgcFix& f, double half) {
    return {f.longitude - half, f.latitude - half, f.longitude + half, f.latitude + half};
}

// A zone from lowerFt to upperFt over the box: its altitude record, then
// the outline.
std::string ZoneText(const core::GeoBox& b, int lowerFt, int upperFt) {
    std::string text = MapPoint((b.south + b.north) / 2, (b.west + b.east) / 2) + ",-7,;" +
                       std::to_string(upperFt) + "," + std::to_string(lowerFt) + "F\r\n";
    text += MapPoint(b.south, b.west) + ",-2,18,255,0,0,3\r\n";
    text += MapPoint(b.north, b.west) + ",-1\r\n";
    text += MapPoint(b.north, b.east) + ",-1\r\n";
    text += MapPoint(b.south, b.east) + ",-1\r\n";
    text += MapPoint(b.south, b.west) + ",-1\r\n";
    return text;
}

int RoundDownFt(double metres) {
    return static_cast<int>(std::floor(metres * kFeetPerMetre / 100.0)) * 100;
}

}  // namespace

std::string MapPoint(double latitude, double longitude) {
    return flight_text::PointDms(latitude, longitude);
}

FlightMap MakeFlightMap(const std::vector<IgcFix>& fixes, const FlightMapPlan& plan) {
    FlightMap m;
    core::GeoBox all;
    for (std::size_t i = plan.first; i <= plan.last && i < fixes.size(); ++i)
        all.Extend(PositionOf(fixes[i]));
    m.text = MapPoint(all.north + 0.2, all.west - 0.3) + "," + MapPoint(all.south - 0.2, all.east + 0.3) +
             ",10N,0\r\n";

    m.under = BoxAround(fixes.at(plan.underAt), plan.zoneHalfDeg);
    double highest = 0.0;
    for (std::size_t i = plan.first; i <= plan.last && i < fixes.size(); ++i) {
        if (m.under.ContainsInside(PositionOf(fixes[i])))
            highest = std::max(highest, fixes[i].gpsAltitudeM);
    }
    const int underFloor = RoundDownFt(highest) + 3000;
    m.text += ZoneText(m.under, underFloor, underFloor + 5000);

    m.cross = BoxAround(fixes.at(plan.crossAt), plan.zoneHalfDeg);
    m.crossLowerFt = RoundDownFt(fixes[plan.crossAt].gpsAltitudeM) - 2000;
    m.crossUpperFt = m.crossLowerFt + 4000;
    m.text += ZoneText(m.cross, m.crossLowerFt, m.crossUpperFt);

    m.town = fixes.at(plan.townAt);
    m.town.latitude += 0.0027;
    m.text += MapPoint(m.town.latitude, m.town.longitude) + ",-5," + m.townName + "\r\n";
    return m;
}

}  // namespace test_support
