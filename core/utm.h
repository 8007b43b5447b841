#pragma once
// Universal Transverse Mercator in 6-degree zones (Redfearn's series).
//
// Longitude convention: both conversions take and return WEST-positive
// longitudes, as the program stores positions. Zones are 1..60 from 180
// degrees west eastwards, negative south of the equator (where the northing
// carries the 10 000 000 m false northing). Points exactly on a zone
// boundary belong to the western zone. There are no special zones and no
// polar limit.
//
// The series are good to a millimetre within a zone (3 degrees either side
// of the central meridian).

#include <numbers>
#include <optional>

namespace core {

// The ellipsoid and scale of the projection. The four stored values are
// set together and the derived constants follow them.
class UtmParameters {
  public:
    // The built-in values (WGS84, scale 0.9996).
    constexpr UtmParameters() : UtmParameters(0.9996, 0.081819190843, 298.257223563, 6378137.0) {}
    constexpr UtmParameters(double centerScaleFactor, double eccentricity, double inverseFlattening,
                            double semiMajorAxisMetres)
        : centerScaleFactor_(centerScaleFactor),
          eccentricity_(eccentricity),
          inverseFlattening_(inverseFlattening),
          semiMajorAxis_(semiMajorAxisMetres),
          eccentricitySquared_(eccentricity * eccentricity),
          thirdFlattening_(1 / (2 * inverseFlattening - 1)),
          metresPerDegree_(MeridianDegree(semiMajorAxisMetres, thirdFlattening_)) {}

    // The stored settings ("Options\UTM").
    constexpr double CenterScaleFactor() const { return centerScaleFactor_; }
    constexpr double Eccentricity() const { return eccentricity_; }
    constexpr double InverseFlattening() const { return inverseFlattening_; }
    constexpr double SemiMajorAxis() const { return semiMajorAxis_; }  // metres

    // Derived: e^2, the third flattening n, and the meridian length of one
    // degree G in metres.
    constexpr double EccentricitySquared() const { return eccentricitySquared_; }
    constexpr double ThirdFlattening() const { return thirdFlattening_; }
    constexpr double MetresPerDegree() const { return metresPerDegree_; }

  private:
    static constexpr double MeridianDegree(double a, double n) {
        const double n2 = n * n;
        return (1 - n) * a * (1 - n2) * (1 + 2.25 * n2 * (1 + 1.5625 * n2)) * std::numbers::pi /
               180;
    }

    double centerScaleFactor_;
    double eccentricity_;
    double inverseFlattening_;
    double semiMajorAxis_;
    double eccentricitySquared_;
    double thirdFlattening_;
    double metresPerDegree_;
};

// The process-wide parameters the conversions below use. Thread-safe; the
// built-in values hold until the settings loader sets others.
void SetUtmParameters(const UtmParameters& parameters);
UtmParameters GetUtmParameters();

enum class AngleUnit { kRadians, kDegrees };

struct UtmPosition {
    double easting;   // metres, 500 000 at the central meridian
    double northing;  // metres
    int zone;         // 1..60, negative south of the equator; 0 for a non-finite input
};

struct UtmLatLon {
    double latitude;
    double lonWest;
};

// Latitude and west-positive longitude (any number of turns) to UTM. A
// non-finite input gives zone 0 and non-finite metres.
UtmPosition LatLonToUTM(double latitude, double lonWest, AngleUnit unit);
UtmPosition LatLonToUTM(const UtmParameters& parameters, double latitude, double lonWest,
                        AngleUnit unit);

// UTM to latitude and west-positive longitude in the unit asked for. A zone
// outside 1..60 (either sign) has no meaning and gives nothing.
std::optional<UtmLatLon> UTMToLatLon(int zone, double northing, double easting, AngleUnit unit);
std::optional<UtmLatLon> UTMToLatLon(const UtmParameters& parameters, int zone, double northing,
                                     double easting, AngleUnit unit);

}  // namespace core
