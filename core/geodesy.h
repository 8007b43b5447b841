#pragma once
// Geodesics on an ellipsoid of revolution: the direct problem (where does a
// course flown for a distance end?) and the inverse problem (distance and
// courses between two points), by the iterative series of the classic
// navigation formulary.
//
// Units: angles in radians, distances in nautical miles, courses true and
// clockwise from north in [0, 2 pi).
//
// Longitude convention: the geodesic routines take and return EAST-positive
// longitudes (parameters named lonEast). The program stores positions
// west-positive; callers negate on the way in and out.

#include <numbers>
#include <string_view>

namespace core {

// pi as the program has always computed it (2 asin(1), which is exactly the
// double nearest pi).
inline constexpr double g_pi = std::numbers::pi;

// y - x floor(y / x): the remainder with the sign of x.
double FloorMod(double y, double x);
// Latitude into [-pi/2, 3pi/2) by whole turns.
double ModLatitude(double x);
// Longitude into [-pi, pi).
double ModLongitude(double x);
// Course into [0, 2pi).
double ModCourse(double x);

// Shows a geodesy message in a box captioned "Alert".
void GeodesyAlert(std::wstring_view text);

// End of a direct geodesic.
struct GeodesicDirectResult {
    double lonEast;        // end point
    double latitude;       // end point
    double reverseCourse;  // from the end point back to the start
};

// Distance and courses between two points. When valid is false the numbers
// are not to be trusted: identical points (also points too close for the
// series to tell apart, and non-finite input) give {0, 0, pi}; no
// convergence gives the last iterate.
struct GeodesicInverseResult {
    double distance;  // nautical miles
    double course12;  // at point 1, towards point 2
    double course21;  // at point 2, towards point 1
    bool valid;
};

class Ellipsoid {
  public:
    // WGS84.
    constexpr Ellipsoid() = default;
    constexpr Ellipsoid(double semiMajorAxisNm, double inverseFlattening)
        : semiMajorAxis_(semiMajorAxisNm), inverseFlattening_(inverseFlattening) {}
    constexpr virtual ~Ellipsoid() {}

    constexpr double SemiMajorAxis() const { return semiMajorAxis_; }
    constexpr double InverseFlattening() const { return inverseFlattening_; }

    // The point reached from (lat1, lonEast1) on the initial course after
    // distance nautical miles. A start at a pole with a course other than
    // north or south raises "Only N-S courses are meaningful, starting at a
    // pole!" unless quiet; the computation goes on regardless.
    GeodesicDirectResult GeodesicDirect(double lat1, double lonEast1, double course,
                                        double distance, bool quiet) const;

    // Distance and courses between two points. Unless quiet, raises a
    // message for exactly antipodal points (which are then computed with
    // point 1 moved 1e-5 rad north), for identical points, and when the
    // iteration does not converge.
    GeodesicInverseResult GeodesicInverse(double lat1, double lonEast1, double lat2,
                                          double lonEast2, bool quiet) const;

  private:
    // 6378137 m exactly (3443.91847 nm to five decimals; the rounded figure
    // itself would scale every distance by 1e-9, 1 mm per 1000 km).
    double semiMajorAxis_ = 6378137.0 / 1852.0;
    double inverseFlattening_ = 298.257223563;
};

// The program's ellipsoid (WGS84); constant, so any thread may use it.
inline constexpr Ellipsoid g_ellipsoid{};

}  // namespace core
