#include "nav/optimised_path.h"

#include <cmath>
#include <numbers>

#include "core/geodesy.h"
#include "services/shared_locks.h"

namespace nav {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kKmPerNm = 1.852;
// A sector whose inner radius is at most this (nm) has its centre as a
// candidate rather than two inner edge points.
constexpr double kNoInnerRadius = 0.001;

double WrapPi(double angle) {
    return std::remainder(angle, 2.0 * kPi);
}

WaypointRecord Direct(const WaypointRecord& from, double course, double distanceNm) {
    const core::GeodesicDirectResult end = core::g_ellipsoid.GeodesicDirect(
        from.latitude, -from.longitude, core::ModCourse(course), distanceNm, true);
    WaypointRecord record;
    record.latitude = end.latitude;
    record.longitude = -end.lonEast;
    record.ComputeUnitVector();
    return record;
}

core::GeodesicInverseResult Inverse(const WaypointRecord& a, const WaypointRecord& b) {
    return core::g_ellipsoid.GeodesicInverse(a.latitude, -a.longitude, b.latitude, -b.longitude,
                                             true);
}

double PathLength(const TouchGeometry& g, const WaypointRecord& p) {
    return Inverse(g.previous, p).distance + Inverse(p, g.next).distance;
}

// The course from the centre to the point of the circle where an ellipse
// with foci A and B touches it from outside: the stationary point of
// d(A, P) + d(P, B) that the bisection bracket leads to, the longest path.
double CircleTouchCourse(const TouchGeometry& g) {
    const core::GeodesicInverseResult ab = Inverse(g.previous, g.next);
    const core::GeodesicDirectResult mid = core::g_ellipsoid.GeodesicDirect(
        g.previous.latitude, -g.previous.longitude, ab.course12, ab.distance / 2.0, true);
    WaypointRecord m;
    m.latitude = mid.latitude;
    m.longitude = -mid.lonEast;
    // The A-B line's course at M, and where C lies from M.
    const double axis = mid.reverseCourse - kPi;
    const core::GeodesicInverseResult mc = Inverse(m, g.centre);

    // A flat frame about M, the A-B line as axis and the radius as unit.
    const double a = ab.distance / 2.0 / g.radius;
    const double gamma = WrapPi(mc.course12 - axis);
    const double x0 = std::cos(gamma) * mc.distance / g.radius;
    const double y0 = std::sin(gamma) * mc.distance / g.radius;
    const double q = a * a - x0 * x0 + y0 * y0;
    const auto f = [&](double phi) {
        const double c = std::cos(phi);
        const double s = std::sin(phi);
        return q * c * s + x0 * y0 * (c * c - s * s) - x0 * s + y0 * c;
    };

    double low = gamma;
    double high = gamma >= 0.0 ? kPi / 2.0 : -kPi / 2.0;
    double fLow = f(low);
    const double small = (std::fabs(x0) + std::fabs(y0) + std::fabs(q)) / 10000.0;
    const double narrow = 0.2 / g.radius;
    double phi = low;
    for (int step = 0; step < 200; ++step) {
        phi = (low + high) / 2.0;
        const double fPhi = f(phi);
        if (std::fabs(fPhi) < small) break;
        if ((fPhi > 0.0) == (fLow > 0.0)) {
            low = phi;
            fLow = fPhi;
        } else {
            high = phi;
        }
        if (std::fabs(high - low) < narrow) break;
    }
    return core::ModCourse(axis + phi);
}

WaypointRecord SectorTouchPoint(const TouchGeometry& g, double circleCourse) {
    double delta = core::ModCourse(g.direction - circleCourse);
    if (delta > kPi) delta = 2.0 * kPi - delta;
    if (g.opening / 2.0 >= delta) return Direct(g.centre, circleCourse, g.radius);

    const double left = g.direction + g.opening / 2.0;
    const double right = g.direction - g.opening / 2.0;
    WaypointRecord best;
    double bestLength = -1.0;
    const auto consider = [&](const WaypointRecord& candidate) {
        const double length = PathLength(g, candidate);
        if (length > bestLength) {
            bestLength = length;
            best = candidate;
        }
    };
    if (g.innerRadius <= kNoInnerRadius) {
        consider(g.centre);
    } else {
        consider(Direct(g.centre, left, g.innerRadius));
        consider(Direct(g.centre, right, g.innerRadius));
    }
    consider(Direct(g.centre, left, g.radius));
    consider(Direct(g.centre, right, g.radius));
    return best;
}

bool TakesTouchPoint(const CTaskPoint& p) {
    return p.sectorMode != 0 && p.previous != nullptr && p.next != nullptr &&
           (p.hasCylinder != 0) != (p.hasSector != 0);
}

}  // namespace

std::optional<TouchGeometry> PrepareTouchPoint(const CTaskPoint& p) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    if (!TakesTouchPoint(p)) return std::nullopt;
    const CTaskPoint& previous = *p.previous;
    const CTaskPoint& next = *p.next;
    TouchGeometry g;
    if ((previous.working.flags & kMarkedFlag) != 0) {
        g.previous = previous.working;
    } else {
        g.previous = previous.touchPoint ? previous.touchPoint->record : previous.target;
    }
    g.next = next.touchPoint ? next.touchPoint->record : next.target;
    g.centre = p.PositionRecord();
    if (p.hasCylinder != 0) {
        g.radius = p.cylinderRadius / kKmPerNm;
        return g;
    }
    constexpr double kRadPerDeg = kPi / 180.0;
    g.sector = true;
    g.radius = p.sectorRadius / kKmPerNm;
    g.opening = p.sectorAngle * kRadPerDeg;
    g.direction = p.sectorDirection * kRadPerDeg;
    g.innerRadius = p.sectorInnerRadius / kKmPerNm;
    return g;
}

std::optional<WaypointRecord> ComputeZoneTouchPoint(const TouchGeometry& geometry) {
    if (!(geometry.radius > 0.0)) return std::nullopt;
    const double course = CircleTouchCourse(geometry);
    WaypointRecord touch = geometry.sector ? SectorTouchPoint(geometry, course)
                                           : Direct(geometry.centre, course, geometry.radius);
    touch.ComputeUnitVector();
    return touch;
}

bool StoreTouchPoint(CTaskPoint& p, const WaypointRecord& touch) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    if (!TakesTouchPoint(p)) return false;
    if (!p.touchPoint) p.touchPoint = std::make_unique<TouchPoint>();
    p.touchPoint->record = touch;
    return true;
}

void UpdateTaskPathMarkers(CTaskPoint* first) {
    const auto hook = GetTaskMapHook();
    if (!hook) return;
    const platform::CriticalSectionLock lock(core::TaskLock);
    for (CTaskPoint* p = first; p != nullptr; p = p->next) {
        if (p->sectorMode == 0 || !p->touchPoint) continue;
        if (!hook->PlaceTouchMarker(p->touchPoint->marker, p->touchPoint->record)) return;
    }
}

void OptimiseTaskPath(CTaskPoint* first, int passes) {
    if (first == nullptr) return;
    const platform::CriticalSectionLock lock(core::TaskLock);
    for (int pass = 0; pass < passes; ++pass) {
        for (CTaskPoint* p = first->next; p != nullptr && p->next != nullptr; p = p->next) {
            const auto geometry = PrepareTouchPoint(*p);
            if (!geometry) continue;
            if (const auto touch = ComputeZoneTouchPoint(*geometry)) StoreTouchPoint(*p, *touch);
        }
    }
    UpdateTaskPathMarkers(first);
}

}  // namespace nav
