// Zone geometry of point lists: the inside test, the distance to the
// outline, the sense of turning and the outward offset of zone outlines.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "mapdata/map_poly_element.h"

namespace mapdata {
namespace {

// Edges shorter than this (squared, longitude scaled by cos latitude) merge
// into the next one in the inside and distance tests.
constexpr double kShortEdge2 = 2e-10;
constexpr double kRayLon = 0.11;
constexpr double kFirstRayLat = 0.23;
constexpr double kRayLatStep = 0.04;
constexpr double kParallel = 1e-100;

std::vector<PlanePoint> ToPlane(std::span<const MapPoint> points) {
    std::vector<PlanePoint> plane;
    plane.reserve(points.size());
    for (const MapPoint& point : points) {
        const LonLat p = UnitVectorToLonLat(point.Position());
        plane.push_back({p.lon, p.lat});
    }
    return plane;
}

bool SamePlanePoint(const PlanePoint& a, const PlanePoint& b) {
    return a.lon == b.lon && a.lat == b.lat;
}

// Calls edge(P, Q) for every edge, short edges merged into the next, and the
// closing edge when the last point differs from the first; stops early when
// edge answers false.
template <typename EdgeFn>
void ForEachMergedEdge(std::span<const PlanePoint> points, double cosLat, EdgeFn edge) {
    if (points.empty()) return;
    const double cos2 = cosLat * cosLat;
    const auto isShort = [cos2](const PlanePoint& p, const PlanePoint& q) {
        const double dLon = q.lon - p.lon;
        const double dLat = q.lat - p.lat;
        return dLon * dLon * cos2 + dLat * dLat < kShortEdge2;
    };
    PlanePoint start = points.front();
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (isShort(start, points[i])) continue;
        if (!edge(start, points[i])) return;
        start = points[i];
    }
    if (!SamePlanePoint(points.back(), points.front())) edge(start, points.front());
}

}  // namespace

bool IsInsideLonLatPolygon(std::span<const PlanePoint> points, double fixLon, double fixLat) {
    const double cosLat = std::cos(fixLat);
    double d = kFirstRayLat;
    for (;;) {
        int crossings = 0;
        bool restart = false;
        ForEachMergedEdge(points, cosLat, [&](const PlanePoint& p, const PlanePoint& q) {
            const double dLon = q.lon - p.lon;
            const double dLat = q.lat - p.lat;
            const double det = dLat * kRayLon - dLon * d;
            if (std::fabs(det) < kParallel) {
                if (d < 1.0) {
                    restart = true;
                    return false;
                }
                return true;  // a steep enough ray: the parallel edge is ignored
            }
            const double px = p.lon - fixLon;
            const double py = p.lat - fixLat;
            const double t = (px * d - py * kRayLon) / det;
            const double s = (px * dLat - py * dLon) / det;
            if (t > 0.0 && t <= 1.0 && s > 0.0) ++crossings;
            return true;
        });
        if (!restart) return crossings % 2 == 1;
        d += kRayLatStep;
    }
}

bool CMapPolyElement::ZoneTest(const nav::WaypointRecord& fix, float marginBelow,
                               float marginAbove, float terrain) const {
    if (points_.size() < 3) return false;
    if (!PassesVerticalTest(fix, marginBelow, marginAbove, terrain)) return false;
    if (!ContainsPoint(core::FromRadiansWest(fix.latitude, fix.longitude))) return false;
    const std::vector<PlanePoint> plane = ToPlane(points_);
    return IsInsideLonLatPolygon(plane, fix.longitude, fix.latitude);
}

double CMapPolyElement::DistanceTo(const nav::WaypointRecord& fix) const {
    const std::vector<PlanePoint> plane = ToPlane(points_);
    const double c = std::cos(fix.latitude);
    double best = 1000000.0;
    ForEachMergedEdge(plane, c, [&](const PlanePoint& p, const PlanePoint& q) {
        const double dLon = q.lon - p.lon;
        const double dLat = q.lat - p.lat;
        const double px = p.lon - fix.longitude;
        const double py = p.lat - fix.latitude;
        const double length2 = -(dLon * dLon + dLat * dLat);
        const double t = (px * dLon + py * dLat) / length2;
        double distance = 0.0;
        if (t >= 0.0 && t <= 1.0) {
            const double s = (px * dLat - py * dLon) / length2;
            distance = std::sqrt((dLat * dLat * c * c + dLon * dLon) * s * s);
        } else {
            const PlanePoint& end = t < 0.0 ? p : q;
            const double eLon = end.lon - fix.longitude;
            const double eLat = end.lat - fix.latitude;
            distance = std::sqrt(eLat * eLat + eLon * eLon * c * c);
        }
        best = std::min(best, distance);
        return true;
    });
    return best;
}

int CMapPolyElement::ComputeWinding() {
    const std::size_t n = points_.size();
    if (n < 3 || !IsClosed()) return 0;
    constexpr double kShort2 = 4e-10;
    const std::vector<PlanePoint> plane = ToPlane(points_);
    const auto direction = [&](std::size_t from, std::size_t to) {
        return PlanePoint{plane[to].lon - plane[from].lon, plane[to].lat - plane[from].lat};
    };
    const auto length2 = [](const PlanePoint& v) { return v.lon * v.lon + v.lat * v.lat; };

    PlanePoint previous = direction(n - 2, n - 1);
    std::size_t end = n - 1;
    if (length2(previous) < kShort2) {
        previous = direction(n - 3, n - 1);
        end = n - 2;
    }
    double turning = 0.0;
    std::size_t anchor = 0;
    for (std::size_t i = 1; i <= end; ++i) {
        const PlanePoint next = direction(anchor, i);
        if (length2(next) < kShort2) continue;
        const double norms = std::sqrt(length2(previous) * length2(next));
        if (norms > 0.0) {
            const double cosTurn =
                std::clamp((previous.lon * next.lon + previous.lat * next.lat) / norms, -1.0, 1.0);
            const double angle = std::acos(cosTurn);
            turning += previous.lon * next.lat - previous.lat * next.lon < 0.0 ? -angle : angle;
        }
        previous = next;
        anchor = i;
    }
    winding_ = turning < -0.5 ? -1 : (turning > 0.5 ? 1 : 0);
    return winding_;
}

void CMapPolyElement::PrepareZone(float margin) {
    if (!points_.empty() && !IsClosed()) ClosePolygon();
    const std::size_t n = points_.size();
    if (n <= 3 || margin == 0.0F) return;
    if (winding_ == 0) ComputeWinding();
    if (winding_ == 0) return;

    // Vertices closer than this to each other count as one.
    constexpr double kSameVertex = 1.5e-5;
    constexpr double kTurn = 2.0 * std::numbers::pi;
    // At a spike the bisector meets the edges at a right angle's complement
    // of zero: move by the margin itself rather than towards infinity.
    constexpr double kSpikeSine = 1e-6;

    const std::vector<MapPoint> original = points_;
    const auto course = [&](std::size_t from, std::size_t to) {
        return UnitCourseAndDistance(original[from].Position(), original[to].Position());
    };

    std::size_t i = 0;
    while (i + 1 < n) {
        // The next vertex far enough away; none: this one and the rest stay
        // where this one is.
        std::size_t next = i + 1;
        while (next < n && course(i, next).distance < kSameVertex) ++next;
        if (next >= n) {
            for (std::size_t j = i + 1; j + 1 < n; ++j) {
                points_[j].x = points_[i].x;
                points_[j].y = points_[i].y;
                points_[j].z = points_[i].z;
            }
            break;
        }
        // The previous vertex far enough away, walking back (from the
        // second-to-last for the first vertex).
        std::size_t previous = i == 0 ? n - 2 : i - 1;
        for (std::size_t steps = 0; steps < n && course(i, previous).distance < kSameVertex;
             ++steps) {
            previous = previous == 0 ? n - 2 : previous - 1;
        }
        const double back = course(i, previous).course;
        const double forward = course(i, next).course;
        double bisector = (back + forward) / 2.0;
        if (back < forward) bisector += std::numbers::pi;
        if (bisector > kTurn) bisector -= kTurn;
        if (winding_ == 1) bisector += std::numbers::pi;
        if (bisector > kTurn) bisector -= kTurn;
        const double sine = std::fabs(std::sin(back - bisector));
        const double distance = sine < kSpikeSine ? margin : margin / sine;
        const UnitVector moved =
            ToUnitVector(SphericalDirect(original[i].Position(), distance, bisector));
        for (std::size_t j = i; j < next; ++j) {
            points_[j].x = moved.x;
            points_[j].y = moved.y;
            points_[j].z = moved.z;
        }
        i = next;
    }
    points_.back().x = points_.front().x;
    points_.back().y = points_.front().y;
    points_.back().z = points_.front().z;
    ComputeBounds();
}

}  // namespace mapdata
