#include "map/task_layer_draw.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "mapdata/map_circle_element.h"
#include "mapdata/map_poly_element.h"
#include "nav/destination_queue.h"
#include "nav/fai_triangle.h"
#include "services/shared_locks.h"

namespace map {
namespace {

platform::Point Project(const mapdata::MapDrawState& state, const nav::WaypointRecord& r) {
    const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
        state, {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.z)});
    const auto pixel = [](float v) {
        return std::isfinite(v) ? static_cast<int>(std::fmax(-30000.0F, std::fmin(v, 30000.0F))) : 0;
    };
    return {pixel(p.x), pixel(p.y)};
}

}  // namespace

void DrawGotoLine(platform::Canvas& canvas, const mapdata::MapDrawState& state,
                  const nav::WaypointRecord& aircraft, const nav::WaypointRecord& target,
                  const platform::PixelRect& client) {
    const platform::Canvas::StateGuard saved(canvas);
    canvas.ClipTo(client);
    canvas.SetPen(kGotoPen);
    canvas.MoveTo(Project(state, aircraft));
    canvas.LineTo(Project(state, target));
}

void DrawTaskLegs(platform::Canvas& canvas, const mapdata::MapDrawState& state,
                  std::span<const nav::WaypointRecord> points, int lineWidth) {
    if (points.size() < 2) return;
    canvas.SetPen(kTaskPen);
    platform::Point previous = Project(state, points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const platform::Point at = Project(state, points[i]);
        canvas.MoveTo(previous);
        canvas.LineTo(at);
        if (lineWidth > 1) {
            const int dx = std::abs(at.x - previous.x);
            const int dy = std::abs(at.y - previous.y);
            const int ox = dy * 2 < dx ? 0 : 1;  // not for flat legs
            const int oy = dx * 2 < dy ? 0 : 1;  // not for steep legs
            canvas.MoveTo({previous.x + ox, previous.y + oy});
            canvas.LineTo({at.x + ox, at.y + oy});
        }
        previous = at;
    }
}

}  // namespace map

namespace map {

bool GotoLineShown(bool showGotoLine, bool targetSet, bool taskActive, bool allowWithTask) {
    return showGotoLine && targetSet && (!taskActive || allowWithTask);
}

std::unique_ptr<TaskZoneElement> MakeTaskZoneElement(const nav::ZoneShape& shape) {
    constexpr double kDegree = std::numbers::pi / 180.0;
    if (shape.kind == nav::ZoneShapeKind::kPolyline) {
        if (shape.points.size() < 2) return nullptr;
        auto line = std::make_unique<mapdata::CMapPolyElement>();
        for (const core::GeoPoint& p : shape.points) {
            if (!line->AddPoint(static_cast<float>(core::LonWestRadians(p)),
                                static_cast<float>(core::LatitudeRadians(p)), kTaskZonePenNumber,
                                1)) {
                return nullptr;
            }
        }
        line->ComputeBounds();
        return std::make_unique<TaskZoneElement>(std::move(line));
    }
    if (!(shape.radiusKm > 0.0F) || !std::isfinite(shape.radiusKm)) return nullptr;
    auto circle = std::make_unique<mapdata::CMapCircleElement>();
    circle->centre = mapdata::ToUnitVector(core::LonWestRadians(shape.centre),
                                           core::LatitudeRadians(shape.centre));
    circle->radiusKm = shape.radiusKm;
    circle->penNumber = kTaskZonePenNumber;
    if (shape.kind == nav::ZoneShapeKind::kArc) {
        circle->startBearing = mapdata::NormaliseBearing(static_cast<float>(shape.fromBearingDeg * kDegree));
        circle->endBearing = mapdata::NormaliseBearing(static_cast<float>(shape.toBearingDeg * kDegree));
        circle->counterClockwise = false;
    }
    circle->ComputeBounds();
    return std::make_unique<TaskZoneElement>(std::move(circle));
}

void MapFaiArea::BuildOutline(const nav::WaypointRecord& a, const nav::WaypointRecord& b,
                              const nav::WaypointRecord& c) {
    area_.BuildOutline(a, b, c);
}

int MapFaiArea::ClassifyTriangleWith(const nav::WaypointRecord& position) {
    return area_.ClassifyTriangleWith(position, nav::ClassifyFaiTriangle);
}

bool MapTaskHook::PlaceTouchMarker(std::unique_ptr<nav::TaskMapElement>& marker,
                                   const nav::WaypointRecord& at) {
    constexpr float kMarkerRadiusKm = 0.3F;
    nav::ZoneShape shape;
    shape.kind = nav::ZoneShapeKind::kCircle;
    shape.centre = {at.latitude, at.longitude};
    shape.radiusKm = kMarkerRadiusKm;
    auto made = MakeTaskZoneElement(shape);
    if (!made) return false;
    marker = std::move(made);
    return true;
}

std::vector<nav::WaypointRecord> TaskLegPoints(const nav::CTask& task) {
    std::size_t first = task.extraStart != 0 ? 1 : 0;
    std::size_t end = task.points.size();
    if (task.extraFinish != 0 && end > 0) --end;
    std::vector<nav::WaypointRecord> points;
    for (std::size_t i = first; i < end; ++i) {
        const nav::CTaskPoint& p = *task.points[i];
        points.push_back((p.working.flags & nav::kMarkedFlag) != 0 ? p.working : p.PositionRecord());
    }
    return points;
}

void DrawTaskLayer(platform::Canvas& canvas, const mapdata::MapDrawContext& context,
                   const TaskLayerSource& source) {
    if (source.task == nullptr) return;
    mapdata::MapDrawContext c = context;
    c.canvas = &canvas;
    if (source.drawZones) {
        if (const auto* fai = dynamic_cast<const MapFaiArea*>(source.faiArea)) {
            mapdata::DrawFaiArea(fai->Area(), c);
        }
    }
    const std::vector<nav::WaypointRecord> points = TaskLegPoints(*source.task);
    if (points.size() < 2) return;
    DrawTaskLegs(canvas, c.state, points, source.lineWidth);
    if (!source.drawZones || source.zones == nullptr) return;
    for (const auto& element : *source.zones) {
        if (const auto* zone = dynamic_cast<const TaskZoneElement*>(element.get())) {
            mapdata::DrawMapElement(zone->Element(), c);
        }
    }
}

void DrawCurrentTaskLayer(platform::Canvas& canvas, const mapdata::MapDrawContext& context,
                          int lineWidth, bool drawZones) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    if (nav::g_taskNavigationActive.load() == 0) return;
    TaskLayerSource source;
    source.task = nav::g_currentTask.load();
    source.zones = &nav::g_taskZoneElements;
    if (const nav::CTaskPoint* corner = nav::g_faiAreaPoint.load()) source.faiArea = corner->faiArea;
    source.lineWidth = lineWidth;
    source.drawZones = drawZones;
    DrawTaskLayer(canvas, context, source);
}

}  // namespace map
