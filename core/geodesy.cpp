#include "core/geodesy.h"

#include <cmath>

#include "platform/message_box.h"

namespace core {
namespace {

constexpr double kEps = 5e-11;
constexpr int kMaxIter = 100;
constexpr double kTwoPi = 2 * g_pi;

// Series coefficients shared by both problems, from c2a, the squared cosine
// of the geodesic's azimuth at the equator: with the expansion variable
// x = (sqrt(1 + e'^2 c2a) - 1) / (sqrt(1 + e'^2 c2a) + 1), c scales the arc
// on the auxiliary sphere to a distance and d weighs its periodic terms.
struct SeriesTerms {
    double c;
    double d;
};

SeriesTerms MakeSeriesTerms(double r, double c2a) {
    double x = std::sqrt((1 / (r * r) - 1) * c2a + 1) + 1;
    x = (x - 2) / x;
    return {(x * x / 4 + 1) / (1 - x), (0.375 * x * x - 1) * x};
}

// The correction term of the longitude difference for flattening f.
double LongitudeSeriesTerm(double f, double c2a) {
    return ((-3 * c2a + 4) * f + 4) * c2a * f / 16;
}

// Where the arc iteration of the direct problem stopped.
struct ArcIteration {
    double sy = 0, cy = 0;  // the arc on the auxiliary sphere
    double cz = 0, e = 0;
    double y;
};

// b: twice the arc from the equator to the start; d: the series weight;
// s: the distance as a first guess of the arc on the auxiliary sphere.
ArcIteration IterateArc(double b, double d, double s) {
    ArcIteration arc{.y = s};
    double c = s + 1;
    // The series contracts by about f per step. The cap only stops a cycle
    // between neighbouring doubles when y is so large (absurd distances)
    // that its spacing exceeds the tolerance.
    for (int iter = 0; std::fabs(arc.y - c) > kEps && iter < kMaxIter; ++iter) {
        arc.sy = std::sin(arc.y);
        arc.cy = std::cos(arc.y);
        arc.cz = std::cos(b + arc.y);
        arc.e = 2 * arc.cz * arc.cz - 1;
        c = arc.y;
        const double x = arc.e * arc.cy;
        const double y = arc.e + arc.e - 1;
        arc.y =
            (((arc.sy * arc.sy * 4 - 3) * y * arc.cz * d / 6 + x) * d / 4 - arc.cz) * arc.sy * d +
            s;
    }
    return arc;
}

bool IdenticalPoints(double lat1, double lonEast1, double lat2, double lonEast2) {
    const double dlon = std::fabs(lonEast1 - lonEast2);
    return lat1 == lat2 && (lonEast1 == lonEast2 || std::fabs(dlon - kTwoPi) < kEps);
}

GeodesicInverseResult IdenticalPointsResult(bool quiet) {
    if (!quiet) GeodesyAlert(L"Points 1 and 2 are identical- course undefined");
    return {0, 0, g_pi, false};
}

// Both points on the auxiliary sphere (reduced latitudes).
struct ReducedPoints {
    double cu1, su1, cu2, s1, b1, f1;
};

ReducedPoints MakeReducedPoints(double r, double lat1, double lat2) {
    const double tu1 = r * std::tan(lat1);
    const double tu2 = r * std::tan(lat2);
    const double cu1 = 1 / std::sqrt(tu1 * tu1 + 1);
    const double cu2 = 1 / std::sqrt(tu2 * tu2 + 1);
    const double s1 = cu1 * cu2;
    const double b1 = s1 * tu2;
    return {cu1, cu1 * tu1, cu2, s1, b1, b1 * tu1};
}

// Where the longitude iteration of the inverse problem stopped.
struct LongitudeIteration {
    double sx = 0, cx = 0;         // longitude difference on the sphere
    double tu1 = 0, tu2 = 0;       // the course at point 1, as a vector
    double sy = 0, cy = 0, y = 0;  // the arc between the points
    double c2a = 0, cz = 0, e = 0;
    int iter = 1;  // kMaxIter when it did not converge
};

LongitudeIteration IterateLongitude(const ReducedPoints& p, double f, double dlon) {
    LongitudeIteration it;
    double x = dlon;
    double d = x + 1;
    while (std::fabs(d - x) > kEps && it.iter < kMaxIter) {
        ++it.iter;
        it.sx = std::sin(x);
        it.cx = std::cos(x);
        it.tu1 = p.cu2 * it.sx;
        it.tu2 = p.b1 - p.su1 * p.cu2 * it.cx;
        it.sy = std::sqrt(it.tu1 * it.tu1 + it.tu2 * it.tu2);
        it.cy = p.s1 * it.cx + p.f1;
        it.y = std::atan2(it.sy, it.cy);
        const double sa = p.s1 * it.sx / it.sy;
        it.c2a = 1 - sa * sa;
        it.cz = p.f1 + p.f1;
        if (it.c2a > 0) it.cz = it.cy - it.cz / it.c2a;
        it.e = 2 * it.cz * it.cz - 1;
        const double c = LongitudeSeriesTerm(f, it.c2a);
        d = x;
        x = ((it.e * it.cy * c + it.cz) * it.sy * c + it.y) * sa;
        x = (1 - c) * x * f + dlon;
    }
    return it;
}

// The geodesic's length in units of the semi-major axis.
double InverseDistance(const LongitudeIteration& it, double r) {
    const auto [c, d] = MakeSeriesTerms(r, it.c2a);
    const double x = it.e * it.cy;
    const double sy = it.sy, cz = it.cz;
    return ((((sy * sy * 4 - 3) * (1 - it.e - it.e) * cz * d / 6 - x) * d / 4 + cz) * sy * d +
            it.y) *
           c * r;
}

}  // namespace

double FloorMod(double y, double x) {
    return y - x * std::floor(y / x);
}
double ModLatitude(double x) {
    return FloorMod(x + g_pi / 2, kTwoPi) - g_pi / 2;
}
double ModLongitude(double x) {
    return FloorMod(x + g_pi, kTwoPi) - g_pi;
}
double ModCourse(double x) {
    return FloorMod(x, kTwoPi);
}

void GeodesyAlert(std::wstring_view text) {
    platform::ShowMessageBox(nullptr, text, L"Alert", platform::mb::kTopmost);
}

GeodesicDirectResult Ellipsoid::GeodesicDirect(double lat1, double lonEast1, double course,
                                               double distance, bool quiet) const {
    const double f = 1 / inverseFlattening_;
    const double r = 1 - f;
    if (std::fabs(std::cos(lat1)) < kEps && std::fabs(std::sin(course)) >= kEps && !quiet)
        GeodesyAlert(L"Only N-S courses are meaningful, starting at a pole!");

    const double tu = r * std::tan(lat1);
    const double sf = std::sin(course);
    const double cf = std::cos(course);
    const double b = cf != 0 ? 2 * std::atan2(tu, cf) : 0;
    const double cu = 1 / std::sqrt(tu * tu + 1);
    const double su = tu * cu;
    const double sa = cu * sf;
    const double c2a = 1 - sa * sa;
    const SeriesTerms terms = MakeSeriesTerms(r, c2a);
    const ArcIteration arc = IterateArc(b, terms.d, distance / (r * semiMajorAxis_ * terms.c));
    const double sy = arc.sy, cy = arc.cy;

    const double north = cu * cy * cf - su * sy;  // of the course at the end
    const double lat2 =
        ModLatitude(std::atan2(su * cy + cu * sy * cf, r * std::sqrt(sa * sa + north * north)));

    const double x = std::atan2(sy * sf, cu * cy - su * sy * cf);
    const double c = LongitudeSeriesTerm(f, c2a);
    const double d = ((arc.e * cy * c + arc.cz) * sy * c + arc.y) * sa;
    const double lon2 = ModLongitude(lonEast1 + x - (1 - c) * d * f);
    return {lon2, lat2, ModCourse(std::atan2(sa, north) + g_pi)};
}

GeodesicInverseResult Ellipsoid::GeodesicInverse(double lat1, double lonEast1, double lat2,
                                                 double lonEast2, bool quiet) const {
    const double f = 1 / inverseFlattening_;
    const double r = 1 - f;
    if (lat1 + lat2 == 0 && std::fabs(lonEast1 - lonEast2) == g_pi) {
        if (!quiet) GeodesyAlert(L"Course and distance between antipodal points is undefined");
        lat1 += 0.00001;
    }
    if (IdenticalPoints(lat1, lonEast1, lat2, lonEast2)) return IdenticalPointsResult(quiet);

    const ReducedPoints p = MakeReducedPoints(r, lat1, lat2);
    const LongitudeIteration it = IterateLongitude(p, f, lonEast2 - lonEast1);
    const double course12 = ModCourse(std::atan2(it.tu1, it.tu2));
    const double course21 =
        ModCourse(std::atan2(p.cu1 * it.sx, p.b1 * it.cx - p.su1 * p.cu2) + g_pi);
    const double distance = InverseDistance(it, r) * semiMajorAxis_;

    // Distinct points that are numerically one (sy = 0) make the series 0/0;
    // they get the identical-points answer. Should the iteration land exactly
    // on the antipode instead (cy < 0), the answer is the same but the
    // message says what happened.
    if (it.sy == 0 || !std::isfinite(distance) || !std::isfinite(course12) ||
        !std::isfinite(course21)) {
        if (!(it.cy < 0)) return IdenticalPointsResult(quiet);
        if (!quiet) GeodesyAlert(L"Algorithm did not converge");
        return {0, 0, g_pi, false};
    }
    if (it.iter == kMaxIter) {
        if (!quiet) GeodesyAlert(L"Algorithm did not converge");
        return {distance, course12, course21, false};
    }
    return {distance, course12, course21, true};
}

}  // namespace core
