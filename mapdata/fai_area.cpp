#include "mapdata/fai_area.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/geodesy.h"

namespace mapdata {
namespace {

constexpr double kAreaKmPerNm = 1.852;
constexpr std::uint32_t kAreaColour = 0xE0E0E0;
constexpr float kSmallLow = 0.28F;
constexpr float kSmallHigh = 0.44F;
constexpr float kLargeLow = 0.25F;
constexpr float kLargeHigh = 0.45F;
constexpr float kLargeTriangleKm = 750.0F;
constexpr double kHalfPi = std::numbers::pi / 2.0;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// The ellipsoid distance between two records, km; 0 when it cannot be
// computed.
float LegKm(const nav::WaypointRecord& a, const nav::WaypointRecord& b) {
    const core::GeodesicInverseResult leg =
        core::g_ellipsoid.GeodesicInverse(a.latitude, -a.longitude, b.latitude, -b.longitude, true);
    return leg.valid ? static_cast<float>(leg.distance * kAreaKmPerNm) : 0.0F;
}

// A point of the region in the plane of the base: x along the base from the
// perpendicular through its middle, y away from the base, km.
struct AreaOffset {
    double x = 0.0;
    double y = 0.0;
};

double Root(double value) { return std::sqrt(std::max(value, 0.0)); }

// Places region points around the middle of the base, mirrored across the
// perpendicular: one half into the outline in order, the other half after
// it in reverse, so that the outline goes round the region once.
class OutlineBuilder {
  public:
    OutlineBuilder(CMapPolyElement& outline, double c, double midLat, double midLonEast,
                   double perpendicular)
        : outline_(outline),
          c_(c),
          midLat_(midLat),
          midLonEast_(midLonEast),
          perpendicular_(perpendicular) {}

    void Place(AreaOffset p) {
        const double r = std::hypot(p.x, p.y) / kAreaKmPerNm;
        const double theta = std::atan2(p.x, p.y);
        const auto at = [&](double course) {
            return core::g_ellipsoid.GeodesicDirect(midLat_, midLonEast_, course, r, true);
        };
        const core::GeodesicDirectResult first = at(perpendicular_ + theta);
        const core::GeodesicDirectResult second = at(perpendicular_ - theta);
        outline_.AddPoint(static_cast<float>(-first.lonEast), static_cast<float>(first.latitude),
                          1, 1);
        mirrored_.push_back({static_cast<float>(-second.lonEast),
                             static_cast<float>(second.latitude)});
    }

    void Finish() {
        for (auto it = mirrored_.rbegin(); it != mirrored_.rend(); ++it) {
            outline_.AddPoint(it->lon, it->lat, 1, 1);
        }
        mirrored_.clear();
        outline_.ComputeBounds();
    }

    // The point at total T where the shorter other leg is the fraction f of
    // T.
    AreaOffset ShortBranch(double total, double f) const {
        const double d = total - c_;
        double x = ((1.0 - 2.0 * f) * d - 2.0 * f * c_) * (d / 2.0) / c_;
        if (x < 1e-6) x = 0.0;
        const double leg = (d + c_) * f;
        return {x, Root(leg * leg - (c_ / 2.0 - x) * (c_ / 2.0 - x))};
    }
    // The point at total T where the longer other leg is the fraction F.
    AreaOffset LongBranch(double total, double f) const {
        const double d = total - c_;
        double x = (2.0 * f * c_ - (1.0 - 2.0 * f) * d) * (d / 2.0) / c_;
        if (x < 1e-6) x = 0.0;
        const double leg = (d + c_) * f;
        return {x, Root(leg * leg - (c_ / 2.0 + x) * (c_ / 2.0 + x))};
    }
    // The point at offset x of the ellipse of total T.
    AreaOffset Ellipse(double total, double x) const {
        const double d = total - c_;
        return {x, Root((1.0 - 4.0 * x * x / (d * d)) * (d * d - c_ * c_)) / 2.0};
    }

    // The branch from total t1 to t2: steps of a twentieth of the way, at
    // least 5 km, then its end exactly; returns the end.
    template <typename Branch>
    AreaOffset SampleBranch(double t1, double t2, Branch branch) {
        const double step = std::max((t2 - t1) / 20.0, 5.0);
        for (double d = t1 - c_; d < (t2 - c_) - step / 8.0; d += step) Place(branch(d + c_));
        const AreaOffset end = branch(t2);
        Place(end);
        return end;
    }

    // From a branch end down the ellipse of its total towards the
    // perpendicular (down), or up from the perpendicular to it (up).
    void CapArc(double total, AreaOffset end, bool up) {
        const double degrees = std::atan2(end.x, end.y) * kDegreesPerRadian;
        const int n = std::max(static_cast<int>(std::floor(degrees / 5.0)) + 1, 1);
        const double step = end.x / (n + 1);
        if (up) {
            for (int k = 0; k <= n; ++k) Place(Ellipse(total, k * step));
        } else {
            for (int k = 1; k <= n; ++k) Place(Ellipse(total, end.x - k * step));
        }
    }

  private:
    CMapPolyElement& outline_;
    double c_;
    double midLat_;
    double midLonEast_;
    double perpendicular_;
    std::vector<LonLat> mirrored_;
};

void PrepareOutline(CMapPolyElement& outline) {
    outline.RemoveAllPoints();
    outline.fillStyle = 1;
    outline.fillColour = kAreaColour;
}

}  // namespace

CFaiAreaElement::CFaiAreaElement() { Reset(); }

void CFaiAreaElement::Reset() {
    PrepareOutline(*this);
    PrepareOutline(largeRegion_);
}

bool CFaiAreaElement::BuildOutline(const nav::WaypointRecord& cornerA,
                                   const nav::WaypointRecord& cornerB,
                                   const nav::WaypointRecord& sidePoint) {
    Reset();
    const core::Ellipsoid& earth = core::g_ellipsoid;
    const core::GeodesicInverseResult base = earth.GeodesicInverse(
        cornerA.latitude, -cornerA.longitude, cornerB.latitude, -cornerB.longitude, true);
    const double c = static_cast<float>(base.distance * kAreaKmPerNm);
    if (!base.valid || !(c > 0.0) || !std::isfinite(c)) return false;
    const double baseCourse = base.course12;
    const bool largeExists = c / kLargeLow >= kLargeTriangleKm;
    const bool onlyLarge = c / kSmallHigh >= kLargeTriangleKm;

    const core::GeodesicDirectResult middle = earth.GeodesicDirect(
        cornerA.latitude, -cornerA.longitude, baseCourse, c / 2.0 / kAreaKmPerNm, true);
    const core::GeodesicInverseResult toSide = earth.GeodesicInverse(
        middle.latitude, middle.lonEast, sidePoint.latitude, -sidePoint.longitude, true);
    if (!toSide.valid) return false;
    // The side point lies left of the base when it is less than half a turn
    // anticlockwise from the base course.
    const double s = core::ModCourse(baseCourse - toSide.course12);
    const double perpendicular =
        s > 0.0 && s < std::numbers::pi ? baseCourse - kHalfPi : baseCourse + kHalfPi;

    if (!onlyLarge) {
        OutlineBuilder small(*this, c, middle.latitude, middle.lonEast, perpendicular);
        const double high = std::min(c / kSmallLow, static_cast<double>(kLargeTriangleKm));
        const AreaOffset end = small.SampleBranch(
            c / kSmallHigh, high, [&](double t) { return small.ShortBranch(t, kSmallLow); });
        small.CapArc(high, end, false);
        small.Finish();
    }
    cornerA_ = cornerA;
    cornerB_ = cornerB;
    baseKm_ = c;
    if (!largeExists) return true;

    CMapPolyElement& target = onlyLarge ? static_cast<CMapPolyElement&>(*this) : largeRegion_;
    OutlineBuilder large(target, c, middle.latitude, middle.lonEast, perpendicular);
    const double first = std::max(static_cast<double>(kLargeTriangleKm), c / kLargeHigh);
    const double takeOver = c / (1.0 - kLargeLow - kLargeHigh);
    const double last = c / kLargeLow;
    const auto shortBranch = [&](double t) { return large.ShortBranch(t, kLargeLow); };
    const auto longBranch = [&](double t) { return large.LongBranch(t, kLargeHigh); };
    const AreaOffset start = takeOver > first ? shortBranch(first) : longBranch(first);
    large.CapArc(first, start, true);
    if (takeOver > first) large.SampleBranch(first, takeOver, shortBranch);
    const AreaOffset end = large.SampleBranch(std::max(first, takeOver), last, longBranch);
    large.CapArc(last, end, false);
    large.Finish();
    return true;
}

std::array<float, 3> CFaiAreaElement::LegsWith(const nav::WaypointRecord& point) const {
    return {LegKm(point, cornerA_), LegKm(point, cornerB_), static_cast<float>(baseKm_)};
}

}  // namespace mapdata
