#pragma once
// The made-up demonstration region: about 60 x 50 km of open sea in the
// southern and western hemisphere with a few hilly islands, one high ridge,
// three airfields, a triangle task and four airspace zones. Everything the
// demo files hold is placed here, in kilometres east and north of the
// region's south-western corner; one flat projection turns those into
// degrees, so every file and the flight agree exactly.

#include <string>
#include <vector>

namespace demo {

struct LocalPoint {
    double east = 0.0;   // km
    double north = 0.0;  // km
};

struct LatLon {
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, EAST positive
};

LatLon ToLatLon(LocalPoint p);
LocalPoint ToLocal(LatLon p);

// Bearing in degrees true from a to b, and the distance in km, on the plane.
double BearingDeg(LocalPoint a, LocalPoint b);
double DistanceKm(LocalPoint a, LocalPoint b);
// The point `km` from p towards bearingDeg.
LocalPoint Offset(LocalPoint p, double bearingDeg, double km);

inline constexpr double kRegionWidthKm = 60.0;
inline constexpr double kRegionHeightKm = 50.0;
inline constexpr double kSouthWestLatitude = -35.70;
inline constexpr double kSouthWestLongitude = -40.40;

struct Airfield {
    std::string name;
    LocalPoint at;
    double elevationM;
    bool marker;  // '^': a landable field for the reachable list
};

// The terrain height in metres (0 over the sea).
double TerrainHeightM(LocalPoint p);

// A bump of terrain: a hill or an island plateau.
struct Hill {
    LocalPoint at;
    double heightM;
    double radiusKm;
};

// The ridge, a straight crest between two ends, highest at its middle.
struct Ridge {
    LocalPoint from;
    LocalPoint to;
    double crestM;
    double halfWidthKm;
};

const std::vector<Hill>& Hills();
const Ridge& TheRidge();

// The three airfields; the first is home.
const std::vector<Airfield>& Airfields();
const std::vector<Airfield>& OutlandingFields();

// The task: home, two turnpoints, home.
struct Task {
    LocalPoint start;
    LocalPoint turnpoint1;
    LocalPoint turnpoint2;
    LocalPoint finish;
    double startLineWidthKm;
    double turnpointRadiusKm;
    double finishRadiusKm;
};
const Task& TheTask();

enum class ZoneShape { kPolygon, kArcs, kCircle };

struct Zone {
    std::string name;
    ZoneShape shape;
    double floorM;    // MSL
    double ceilingM;  // MSL
    std::string note;
    bool hiddenNotes;
    std::vector<LocalPoint> outline;  // polygon: the corners, in order
    LocalPoint centre;                // arcs and circle
    double innerKm = 0.0;             // arcs: inner and outer radius, bearings
    double outerKm = 0.0;
    double fromDeg = 0.0;
    double toDeg = 0.0;
    double radiusKm = 0.0;  // circle
};

// The zones: [0] the one the flight crosses inside its band, [1] the one it
// passes under, [2] the one near which it ends, [3] one high above.
const std::vector<Zone>& Zones();

// Whether p lies in the zone's outline (heights aside).
bool InsideOutline(const Zone& zone, LocalPoint p);

// The wind of the whole flight: 15 kt from 240 degrees.
inline constexpr double kWindFromDeg = 240.0;
inline constexpr double kWindKnots = 15.0;

}  // namespace demo
