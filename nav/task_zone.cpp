#include "nav/task_zone.h"

#include <algorithm>
#include <cmath>

#include "core/angles.h"
#include "core/geodesy.h"
#include "nav/current_position.h"
#include "nav/settings_values.h"

namespace nav {
namespace {

using core::kRadiansPerDegree;
constexpr double kZoneSphereRadiusKm = 6371.0;
constexpr double kZoneKmPerNm = 1.852;
// The edges of a sector without a radius are drawn this long.
constexpr double kUnlimitedEdgeKm = 5.0;

// An angle in degrees brought into [0, 360).
double Wrap360(double degrees) {
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped < 0.0) wrapped += 360.0;
    return wrapped;
}

bool Had(int state, int bit) {
    return (state & bit) != 0;
}

// In the zone, with the change mark when the stored state was outside.
int Inside(int oldState, int flags) {
    return (flags | kZoneInside) + (Had(oldState, kZoneOutside) ? kZoneChanged : 0);
}

// The part of the test after the FAI area: cylinder, sector, line.
int ZoneState(const CTaskPoint& p, const WaypointRecord& fix, int oldState, int flags) {
    const float d = p.CourseAndDistanceTo(fix, true, nullptr);
    CourseResult toPoint;
    CourseAndDistance(fix, p.PositionRecord(), &toPoint);
    const double b = Wrap360(toPoint.trueCourseDeg + 180.0);  // from p to the fix

    if (p.hasCylinder != 0) {
        const bool reversed = (p.role & kRoleEnterCylinderBit) != 0;
        const bool in = reversed ? d > p.cylinderRadius : d < p.cylinderRadius;
        if (in) return Inside(oldState, flags);
    }
    if (p.hasSector != 0) {
        double a = p.sectorDirection - b - (p.IsStartRole() ? 180.0 : 0.0);
        a = Wrap360(a);
        if (a > 180.0) a = 360.0 - a;
        const bool withinRadius = p.sectorRadius <= 0.0F || d < p.sectorRadius;
        if (2.0 * a < p.sectorAngle && withinRadius && d > p.sectorInnerRadius) {
            return Inside(oldState, flags);
        }
    }
    if (p.role != kRoleOrdinary && p.lineHalfWidth > 0.0F) {
        if (!(d < p.lineHalfWidth)) return kZoneOutside | flags;
        double a = Wrap360(p.sectorDirection - (p.IsFinishRole() ? 180.0 : 0.0));
        a = Wrap360(a - b);
        if (a <= 90.0 || a >= 270.0) {
            return (kZoneOutside + (Had(oldState, kZoneBeyondLine) ? kZoneChanged : 0)) | flags;
        }
        return ((kZoneBeyondLine | kZoneInside) +
                (Had(oldState, kZoneOutside) ? kZoneChanged : 0)) |
               flags;
    }
    return (kZoneOutside + (Had(oldState, kZoneInside) ? kZoneChanged : 0)) | flags;
}

// --- Shapes.

// Where the point's position is, in the form shapes hold.
core::GeoPoint TaskPointPosition(const CTaskPoint& p) {
    return core::FromRadiansWest(p.latitude, p.longitude);
}

core::GeoPoint DirectZonePoint(const CTaskPoint& p, double bearingDeg, double km) {
    const core::GeodesicDirectResult end = core::g_ellipsoid.GeodesicDirect(
        p.latitude, -p.longitude, Wrap360(bearingDeg) * kRadiansPerDegree, km / kZoneKmPerNm, true);
    return core::FromRadiansWest(end.latitude, -end.lonEast);
}

ZoneShape Polyline(std::vector<core::GeoPoint> points) {
    ZoneShape shape;
    shape.kind = ZoneShapeKind::kPolyline;
    for (const core::GeoPoint& point : points)
        shape.bounds.Extend(point);
    shape.points = std::move(points);
    return shape;
}

ZoneShape Circle(const CTaskPoint& p, float radiusKm) {
    ZoneShape shape;
    shape.kind = ZoneShapeKind::kCircle;
    shape.centre = TaskPointPosition(p);
    shape.radiusKm = radiusKm;
    const double dLat = radiusKm / kZoneSphereRadiusKm / kRadiansPerDegree;
    const double dLon = dLat / std::max(std::cos(p.latitude), 1e-6);
    const core::GeoPoint& c = shape.centre;
    shape.bounds = {c.longitude - dLon, c.latitude - dLat, c.longitude + dLon, c.latitude + dLat};
    return shape;
}

ZoneShape Arc(const CTaskPoint& p, float radiusKm, double fromDeg, double toDeg) {
    ZoneShape shape;
    shape.kind = ZoneShapeKind::kArc;
    shape.centre = TaskPointPosition(p);
    shape.radiusKm = radiusKm;
    shape.fromBearingDeg = Wrap360(fromDeg);
    shape.toBearingDeg = Wrap360(toDeg);
    double sweep = Wrap360(toDeg - fromDeg);
    if (sweep == 0.0 && toDeg != fromDeg) sweep = 360.0;
    const int steps = std::max(1, static_cast<int>(std::ceil(sweep / 5.0)));
    for (int i = 0; i <= steps; ++i)
        shape.bounds.Extend(DirectZonePoint(p, fromDeg + sweep * i / steps, radiusKm));
    return shape;
}

bool Drawable(const CTaskPoint& p) {
    if (p.IsExtraPoint() || p.sectorMode < 0) return false;
    const bool cylinder = p.hasCylinder != 0;
    const bool sector = p.hasSector != 0;
    if (p.role == kRoleOrdinary) {
        return (cylinder && p.cylinderRadius > 0.0F) ||
               (sector && p.sectorDirection >= 0.0F && p.sectorAngle > 0.0F);
    }
    const bool line = p.lineHalfWidth > 0.0F;
    if (line && p.sectorDirection < 0.0F) return false;
    if (!line && !cylinder && !sector) return false;
    if (cylinder && !(p.cylinderRadius > 0.0F)) return false;
    if (sector && !(p.sectorRadius > 0.0F)) return false;
    return true;
}

void AddSector(const CTaskPoint& p, std::vector<ZoneShape>& shapes) {
    const double direction = p.sectorDirection + (p.IsStartRole() ? 180.0 : 0.0);
    const double half = p.sectorAngle / 2.0;
    const bool unlimited = p.sectorRadius <= 0.0F;
    const double edgeKm = unlimited ? kUnlimitedEdgeKm : p.sectorRadius;
    const core::GeoPoint left = DirectZonePoint(p, direction - half, edgeKm);
    const core::GeoPoint right = DirectZonePoint(p, direction + half, edgeKm);
    if (!unlimited) shapes.push_back(Arc(p, p.sectorRadius, direction - half, direction + half));
    shapes.push_back(Polyline({left, TaskPointPosition(p), right}));
}

}  // namespace

int IsFixInTaskPointZone(CTaskPoint* p, float* outDistance, int slot, const WaypointRecord* fix) {
    const WaypointRecord position = fix != nullptr ? *fix : CopyMapFix();
    if (outDistance != nullptr) *outDistance = CourseAndDistance(position, p->target);
    int& stored = p->zoneState.at(static_cast<std::size_t>(slot));
    const int oldState = stored;
    int flags = 0;
    if (p->faiArea != nullptr && p->faiArea->ClassifyTriangleWith(position) != 0) {
        if (p != g_taskFinishPoint.load()) {
            stored = kZoneInside + (Had(oldState, kZoneOutside) ? kZoneChanged : 0);
            return stored;
        }
        flags = kZoneFaiFinish;
    }
    stored = ZoneState(*p, position, oldState, flags);
    return stored;
}

ZoneDrawing ZoneShapesOf(const CTaskPoint& p) {
    ZoneDrawing drawing;
    if (!Drawable(p)) return drawing;
    if (p.role != kRoleOrdinary && p.lineHalfWidth > 0.0F) {
        drawing.shapes.push_back(
            Polyline({DirectZonePoint(p, p.sectorDirection - 90.0, p.lineHalfWidth),
                      DirectZonePoint(p, p.sectorDirection + 90.0, p.lineHalfWidth)}));
    }
    if (p.hasCylinder != 0 && p.cylinderRadius > 0.0F) {
        drawing.shapes.push_back(Circle(p, p.cylinderRadius));
    }
    if (p.hasSector != 0 && p.sectorDirection >= 0.0F && p.sectorAngle > 0.0F) {
        AddSector(p, drawing.shapes);
    }
    for (const ZoneShape& shape : drawing.shapes)
        drawing.bounds.Extend(shape.bounds);
    return drawing;
}

core::GeoBox InsideCountBox(const core::GeoBox& bounds, double marginRad) {
    const double centreLat = (bounds.north + bounds.south) / 2.0;
    const double centreLon = (bounds.west + bounds.east) / 2.0;
    const double cosLat = std::max(std::cos(centreLat * kRadiansPerDegree), 1e-6);
    const double halfHeight = bounds.Height() / 2.0;
    const double halfWidth = bounds.Width() / 2.0 * cosLat;
    const double half = std::max(halfHeight, halfWidth);  // on the ground, degrees of arc
    const double margin = marginRad / kRadiansPerDegree;
    constexpr double kEnlarge = 1.5;
    const double border = (kEnlarge - 1.0) * 2.0 * half;
    const double extent = border < 2.0 * kEnlarge * margin ? half + margin : half * kEnlarge;
    return {centreLon - extent / cosLat, centreLat - extent, centreLon + extent / cosLat,
            centreLat + extent};
}

int CTaskPoint::BuildZoneElements(TaskMapElements& elements) {
    const ZoneDrawing drawing = ZoneShapesOf(*this);
    if (drawing.shapes.empty()) return 0;
    const auto hook = GetTaskMapHook();
    if (hook) {
        for (const ZoneShape& shape : drawing.shapes) {
            if (auto element = hook->MakeZoneElement(shape)) elements.push_back(std::move(element));
        }
    }
    insideCount = -2 * g_insideCountLimit.load() - 1;
    box = InsideCountBox(drawing.bounds, g_minMapZoneRadiusMargin.load());
    return 1;
}

}  // namespace nav
