#include "tools/demo/demo_region.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace demo {
namespace {

constexpr double kKmPerDegree = 111.195;  // along a meridian, on the 6371 km sphere
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
const double kKmPerDegreeEast =
    kKmPerDegree *
    std::cos((kSouthWestLatitude + kRegionHeightKm / 2.0 / kKmPerDegree) * kRadiansPerDegree);

constexpr LocalPoint kHome{10.0, 22.0};
// The length of each leg of the triangle task.
constexpr double kLegKm = 32.0;

double Wrap360(double deg) {
    deg = std::fmod(deg, 360.0);
    return deg < 0.0 ? deg + 360.0 : deg;
}

// A flat island top of the given height, falling to the sea over 0.8 km.
double Plateau(LocalPoint p, LocalPoint at, double heightM, double radiusKm) {
    const double d = DistanceKm(p, at);
    if (d <= radiusKm) return heightM;
    return heightM * std::max(0.0, 1.0 - (d - radiusKm) / 0.8);
}

double RidgeHeight(LocalPoint p, const Ridge& r) {
    const double dx = r.to.east - r.from.east;
    const double dy = r.to.north - r.from.north;
    const double length2 = dx * dx + dy * dy;
    const double t = ((p.east - r.from.east) * dx + (p.north - r.from.north) * dy) / length2;
    if (t < 0.0 || t > 1.0) return 0.0;
    const LocalPoint foot{r.from.east + t * dx, r.from.north + t * dy};
    const double across = DistanceKm(p, foot) / r.halfWidthKm;
    const double s = 2.0 * t - 1.0;  // -1 .. 1 along the crest
    return r.crestM * (1.0 - s * s * s * s) * std::exp(-across * across);
}

}  // namespace

LatLon ToLatLon(LocalPoint p) {
    return {kSouthWestLatitude + p.north / kKmPerDegree,
            kSouthWestLongitude + p.east / kKmPerDegreeEast};
}

LocalPoint ToLocal(LatLon p) {
    return {(p.longitude - kSouthWestLongitude) * kKmPerDegreeEast,
            (p.latitude - kSouthWestLatitude) * kKmPerDegree};
}

double BearingDeg(LocalPoint a, LocalPoint b) {
    return Wrap360(std::atan2(b.east - a.east, b.north - a.north) / kRadiansPerDegree);
}

double DistanceKm(LocalPoint a, LocalPoint b) {
    return std::hypot(b.east - a.east, b.north - a.north);
}

LocalPoint Offset(LocalPoint p, double bearingDeg, double km) {
    const double b = bearingDeg * kRadiansPerDegree;
    return {p.east + km * std::sin(b), p.north + km * std::cos(b)};
}

const std::vector<Hill>& Hills() {
    static const std::vector<Hill> hills{
        {{18.0, 30.0}, 650.0, 2.0}, {{27.0, 6.0}, 900.0, 2.5},  {{50.0, 45.0}, 450.0, 1.8},
        {{5.0, 8.0}, 300.0, 1.5},   {{27.0, 33.0}, 780.0, 2.0}, {{47.0, 10.0}, 520.0, 2.0},
    };
    return hills;
}

const Ridge& TheRidge() {
    // Across the final glide, 5 km after the second turnpoint. The glide
    // crosses its south-eastern shoulder, about 1,060 m high: the crest
    // itself is higher than a final glide at 140 km/h, arriving 150 m over
    // home, can pass.
    static const Ridge ridge = [] {
        const LocalPoint crossing = Offset(Offset(kHome, 60.0, kLegKm), 240.0, 5.0);
        const LocalPoint middle = Offset(crossing, 330.0, 4.2);
        return Ridge{Offset(middle, 330.0, 6.0), Offset(middle, 150.0, 6.0), 1400.0, 1.2};
    }();
    return ridge;
}

const std::vector<Airfield>& Airfields() {
    static const std::vector<Airfield> fields{
        {"Demo Home Field", kHome, 40.0, true},
        {"Demo North Airfield", {20.0, 44.0}, 25.0, false},
        {"Demo East Airfield", {52.0, 20.0}, 60.0, false},
    };
    return fields;
}

const std::vector<Airfield>& OutlandingFields() {
    static const std::vector<Airfield> fields = [] {
        const Ridge& r = TheRidge();
        const LocalPoint middle{(r.from.east + r.to.east) / 2.0, (r.from.north + r.to.north) / 2.0};
        return std::vector<Airfield>{
            {"Demo Field Lee", Offset(middle, 240.0, 2.5), 120.0, true},
            {"Demo Field Shadow", Offset(Offset(middle, 150.0, 3.0), 240.0, 2.5), 110.0, true},
            {"Demo Field Bay", {24.0, 16.0}, 15.0, true},
            {"Demo Field Dune", {33.0, 24.0}, 20.0, true},
            {"Demo Field Cape", {44.0, 26.0}, 30.0, true},
            {"Demo Field Reef", {16.0, 38.0}, 10.0, true},
        };
    }();
    return fields;
}

double TerrainHeightM(LocalPoint p) {
    double h = RidgeHeight(p, TheRidge());
    for (const Hill& hill : Hills()) {
        const double d = DistanceKm(p, hill.at) / hill.radiusKm;
        h = std::max(h, hill.heightM * std::exp(-d * d));
    }
    for (const Airfield& field : Airfields())
        h = std::max(h, Plateau(p, field.at, field.elevationM, 2.5));
    for (const Airfield& field : OutlandingFields())
        h = std::max(h, Plateau(p, field.at, field.elevationM, 0.8));
    return h;
}

const Task& TheTask() {
    static const Task task{kHome, Offset(kHome, 120.0, kLegKm), Offset(kHome, 60.0, kLegKm),
                           kHome, 5.0, 0.5, 1.0};
    return task;
}

const std::vector<Zone>& Zones() {
    static const std::vector<Zone> zones = [] {
        const auto make = [](std::string name, ZoneShape shape, double floorM, double ceilingM,
                             std::string note, bool hidden) {
            Zone zone;
            zone.name = std::move(name);
            zone.shape = shape;
            zone.floorM = floorM;
            zone.ceilingM = ceilingM;
            zone.note = std::move(note);
            zone.hiddenNotes = hidden;
            return zone;
        };
        std::vector<Zone> z;
        // Across the first leg, 22 to 26 km out: crossed inside its band.
        Zone alpha = make("Demo Sector Alpha", ZoneShape::kPolygon, 1000.0, 2500.0,
                          "Demo Approach 123.45\\active by day", false);
        const LocalPoint near = Offset(kHome, 120.0, 22.0);
        const LocalPoint far = Offset(kHome, 120.0, 26.1);
        alpha.outline = {Offset(near, 30.0, 3.0), Offset(Offset(kHome, 120.0, 24.0), 30.0, 4.5),
                         Offset(far, 30.0, 3.0), Offset(far, 210.0, 3.0), Offset(near, 210.0, 3.0)};
        z.push_back(alpha);
        // Over the second leg, high: passed under.
        Zone arcs = make("Demo Arc Area", ZoneShape::kArcs, 2500.0, 4500.0, "Demo Radar 124.7",
                         false);
        arcs.centre = Offset(Offset(TheTask().turnpoint1, 0.0, 10.0), 270.0, 6.0);
        arcs.innerKm = 4.0;
        arcs.outerKm = 9.0;
        arcs.fromDeg = 45.0;
        arcs.toDeg = 135.0;
        z.push_back(arcs);
        // Beside the home field: the flight ends near it.
        Zone control = make("Demo Control Zone", ZoneShape::kCircle, 0.0, 900.0,
                            "Demo Tower 118.3\\call before entering", true);
        control.centre = Offset(kHome, 330.0, 7.0);
        control.radiusKm = 2.5;
        z.push_back(control);
        // Inside the triangle, far above the flight.
        Zone upper = make("Demo Upper Circle", ZoneShape::kCircle, 3000.0, 5000.0,
                          "Demo Control 127.1", false);
        upper.centre = {30.2, 22.0};
        upper.radiusKm = 4.0;
        z.push_back(upper);
        return z;
    }();
    return zones;
}

bool InsideOutline(const Zone& zone, LocalPoint p) {
    switch (zone.shape) {
    case ZoneShape::kCircle:
        return DistanceKm(zone.centre, p) <= zone.radiusKm;
    case ZoneShape::kArcs: {
        const double d = DistanceKm(zone.centre, p);
        const double b = BearingDeg(zone.centre, p);
        return d >= zone.innerKm && d <= zone.outerKm && b >= zone.fromDeg && b <= zone.toDeg;
    }
    case ZoneShape::kPolygon:
        break;
    }
    bool inside = false;
    const auto& v = zone.outline;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        if ((v[i].north > p.north) != (v[j].north > p.north) &&
            p.east < (v[j].east - v[i].east) * (p.north - v[i].north) /
                             (v[j].north - v[i].north) + v[i].east)
            inside = !inside;
    }
    return inside;
}

}  // namespace demo
