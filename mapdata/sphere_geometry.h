#pragma once
// Positions of map elements on the unit sphere, and the great-circle
// functions every element kind shares.
//
// A map position is the unit vector (cos lat cos lon, -cos lat sin lon,
// sin lat) with longitude positive WEST, kept as floats in the elements.
// Geographic values (bounds, converted points) are (longitude positive west,
// latitude) in radians. Angular distances are radians of arc; courses are
// true, clockwise from north, in radians.
//
// Pure functions; any thread may call them.

namespace mapdata {

struct UnitVector {
    float x = 1.0F;
    float y = 0.0F;
    float z = 0.0F;

    friend bool operator==(const UnitVector&, const UnitVector&) = default;
};

// Longitude positive west and latitude, radians.
struct LonLat {
    float lon = 0.0F;
    float lat = 0.0F;

    friend bool operator==(const LonLat&, const LonLat&) = default;
};

// pi and the degree factor as the element code has always used them (single
// precision).
inline constexpr float kElementPi = 3.1415927F;
inline constexpr float kElementDegree = kElementPi / 180.0F;

UnitVector ToUnitVector(double lonWest, double latitude);
inline UnitVector ToUnitVector(LonLat p) { return ToUnitVector(p.lon, p.lat); }

// latitude = asin z; longitude from x / sqrt(1 - z^2), negative when y > 0.
// At a pole (1 - z^2 < 5e-11) the longitude is 0.
LonLat UnitVectorToLonLat(const UnitVector& p);

// The point at angular distance `distance` along the true course `course`
// from p. A start or an end at a pole gives longitude 0.
LonLat SphericalDirect(const UnitVector& p, double distance, double course);

struct UnitCourse {
    double distance = 0.0;  // radians of arc
    double course = 0.0;    // radians, [0, 2 pi]
};

// Angular distance and initial course from a to b. The course is 0 from the
// south pole, pi from the north pole, and 0 for points that coincide or are
// antipodal.
UnitCourse UnitCourseAndDistance(const UnitVector& a, const UnitVector& b);

}  // namespace mapdata
