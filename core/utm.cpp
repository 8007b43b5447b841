#include "core/utm.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

#include "core/geodesy.h"

namespace core {
namespace {

constexpr double kFalseEasting = 500000.0;
constexpr double kFalseNorthing = 10000000.0;
constexpr double kZoneWidth = 6 * g_pi / 180;
constexpr int kZones = 60;

std::mutex g_parametersMutex;
constinit UtmParameters g_parameters;

double ToRadians(double value, AngleUnit unit) {
    return unit == AngleUnit::kDegrees ? value * g_pi / 180 : value;
}

double FromRadians(double value, AngleUnit unit) {
    return unit == AngleUnit::kDegrees ? value * 180 / g_pi : value;
}

// Values already in [-pi, pi] stay as they are (so both ends of the range
// keep their own zone); others lose whole turns.
double WithinHalfTurn(double lon) {
    return lon < -g_pi || lon > g_pi ? std::remainder(lon, 2 * g_pi) : lon;
}

// Powers of the ellipsoid and latitude quantities the series share.
struct LatitudeTerms {
    double t;    // tan
    double t2;   // tan^2
    double s;    // sin
    double c;    // cos
    double psi;  // nu / rho
    double nu;   // radius of curvature in the prime vertical
};

LatitudeTerms MakeLatitudeTerms(const UtmParameters& p, double lat) {
    const double e2 = p.EccentricitySquared();
    const double s = std::sin(lat);
    const double w = 1 - e2 * s * s;
    const double t = std::tan(lat);
    return {t, t * t, s, std::cos(lat), w / (1 - e2), p.SemiMajorAxis() / std::sqrt(w)};
}

double MeridianDistance(const UtmParameters& p, double lat) {
    const double e2 = p.EccentricitySquared();
    const double e4 = e2 * e2;
    const double a0 = 1 - e2 / 4 * (e2 / 16 * (5 * e2 / 4 + 3) + 1);
    const double a2 = 3 * e2 / 8 * (e2 / 4 * (15 * e2 / 32 + 1) + 1);
    const double a4 = 15 * e4 / 256 * (3 * e2 / 4 + 1);
    const double a6 = 35 * e4 * e2 / 3072;
    return p.SemiMajorAxis() *
           (a0 * lat - a2 * std::sin(2 * lat) + a4 * std::sin(4 * lat) - a6 * std::sin(6 * lat));
}

// Easting from the longitude omega east of the central meridian.
double Easting(const UtmParameters& p, const LatitudeTerms& l, double omega) {
    const double t2 = l.t2, t4 = t2 * t2, psi = l.psi;
    const double x = omega * omega * l.c * l.c;
    const double t3 = (psi - t2) / 6;
    const double t5 = (t4 - (2 * t2 - (8 * t2 + 1 + 4 * psi * (1 - 6 * t2)) * psi) * psi) / 120;
    const double t7 = (61 - (479 - (179 - t2) * t2) * t2) / 5040;
    return p.CenterScaleFactor() * l.nu * omega * l.c * (1 + x * (t3 + x * (t5 + x * t7))) +
           kFalseEasting;
}

// Northing (without false northing) from the meridian distance m.
double Northing(const UtmParameters& p, const LatitudeTerms& l, double m, double omega) {
    const double t2 = l.t2, t4 = t2 * t2, psi = l.psi;
    const double x = omega * omega * l.c * l.c;
    const double t4term = 4 * psi * psi + psi - t2;
    const double t6 =
        t4 -
        (2 * t2 - (1 - 32 * t2 - (28 - 168 * t2 - 8 * psi * (11 - 24 * t2)) * psi) * psi) * psi;
    const double t8 = 1385 - (3111 - (543 - t2) * t2) * t2;
    const double series = 1 + x / 12 * (t4term + x / 30 * (t6 + x / 56 * t8));
    return p.CenterScaleFactor() * (m + l.nu * l.s * l.c * omega * omega / 2 * series);
}

// Latitude whose meridian distance is the given northing (metres from the
// equator).
double FootPointLatitude(const UtmParameters& p, double northing) {
    const double n = p.ThirdFlattening();
    const double n2 = n * n;
    const double sigma = northing / (p.CenterScaleFactor() * p.MetresPerDegree()) * g_pi / 180;
    return sigma + n / 2 *
                       ((3 - 27 * n2 / 16) * std::sin(2 * sigma) +
                        n / 8 *
                            ((21 - 22.5 * n2) * std::sin(4 * sigma) +
                             n / 2 *
                                 (50.333333333333336 * std::sin(6 * sigma) +
                                  1097 * n / 16 * std::sin(8 * sigma))));
}

double LatitudeFromFootPoint(const LatitudeTerms& l, double phi, double rho, double k0, double x,
                             double e) {
    const double t2 = l.t2, t4 = t2 * t2, psi = l.psi;
    // k is the first correction, t x E / (2 rho k0). The later terms of the
    // series are t x E / (rho k0) times x^2/24, x^4/720 and x^6/40320, so
    // against k their divisors are 12, 360 and 20160.
    const double k = l.t * x * e / (rho * k0) / 2;
    const double x2 = x * x;
    const double term2 = 12 * t2 + 9 * psi * (1 - t2) - 4 * psi * psi;
    const double term3 =
        360 * t4 +
        (180 * t2 * (5 - 3 * t2) +
         ((15 - 98 * t2 + 15 * t4) * 15 + ((71 * t2 - 21) * 12 + 8 * psi * (11 - 24 * t2)) * psi) *
             psi) *
            psi;
    const double term4 = ((1575 * t2 + 4095) * t2 + 3633) * t2 + 1385;
    return phi - k + k * x2 / 12 * term2 - k * x2 * x2 / 360 * term3 +
           k * x2 * x2 * x2 / 20160 * term4;
}

double LongitudeFromCentralMeridian(const LatitudeTerms& l, double x) {
    const double t2 = l.t2, t4 = t2 * t2, psi = l.psi;
    const double ll = x / l.c;
    const double x2 = x * x;
    const double term2 = 2 * t2 + psi;
    const double term3 = 24 * t4 + (72 * t2 + (9 - 68 * t2 - 4 * psi * (1 - 6 * t2)) * psi) * psi;
    const double term4 = ((720 * t2 + 1320) * t2 + 662) * t2 + 61;
    return ll - ll * x2 / 6 * term2 + ll * x2 * x2 / 120 * term3 - ll * x2 * x2 * x2 / 5040 * term4;
}

}  // namespace

void SetUtmParameters(const UtmParameters& parameters) {
    const std::lock_guard lock(g_parametersMutex);
    g_parameters = parameters;
}

UtmParameters GetUtmParameters() {
    const std::lock_guard lock(g_parametersMutex);
    return g_parameters;
}

UtmPosition LatLonToUTM(double latitude, double lonWest, AngleUnit unit) {
    return LatLonToUTM(GetUtmParameters(), latitude, lonWest, unit);
}

UtmPosition LatLonToUTM(const UtmParameters& p, double latitude, double lonWest, AngleUnit unit) {
    const double lat = ToRadians(latitude, unit);
    const double lon = WithinHalfTurn(ToRadians(lonWest, unit));
    if (!std::isfinite(lat) || !std::isfinite(lon)) {
        constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
        return {kNaN, kNaN, 0};
    }

    // East-positive longitude plus pi, in [0, 2pi]; a boundary belongs to
    // the zone west of it.
    const double lambda = g_pi - lon;
    int zone = static_cast<int>(std::ceil(lambda / kZoneWidth));
    zone = std::clamp(zone, 1, kZones);
    const double omega = lambda - (zone - 0.5) * kZoneWidth;

    const LatitudeTerms terms = MakeLatitudeTerms(p, lat);
    const double easting = Easting(p, terms, omega);
    double northing = Northing(p, terms, MeridianDistance(p, lat), omega);
    if (northing < 0) northing += kFalseNorthing;
    return {easting, northing, lat < 0 ? -zone : zone};
}

std::optional<UtmLatLon> UTMToLatLon(int zone, double northing, double easting, AngleUnit unit) {
    return UTMToLatLon(GetUtmParameters(), zone, northing, easting, unit);
}

std::optional<UtmLatLon> UTMToLatLon(const UtmParameters& p, int zone, double northing,
                                     double easting, AngleUnit unit) {
    if (zone < -kZones || zone > kZones || zone == 0) return std::nullopt;
    if (zone < 0) {
        northing -= kFalseNorthing;
        zone = -zone;
    }
    const double e = easting - kFalseEasting;
    const double k0 = p.CenterScaleFactor();

    const double phi = FootPointLatitude(p, northing);
    const LatitudeTerms terms = MakeLatitudeTerms(p, phi);
    const double rho = terms.nu / terms.psi;
    const double x = e / (terms.nu * k0);

    const double lat = LatitudeFromFootPoint(terms, phi, rho, k0, x, e);
    const double omega = LongitudeFromCentralMeridian(terms, x);
    const double lonWest = -((zone - 0.5) * kZoneWidth - g_pi + omega);
    return UtmLatLon{FromRadians(lat, unit), FromRadians(lonWest, unit)};
}

}  // namespace core
