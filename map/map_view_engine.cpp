#include "map/map_view_engine.h"

#include <atomic>
#include <memory>

#include "core/waypoint_course.h"
#include "glide/glide_path.h"
#include "map/tap_info.h"
#include "nav/reachable_list.h"
#include "nav/task_model.h"
#include "platform/critical_section.h"

namespace map::view_parts {

void SetZoneFlags(mapdata::CMapElement& zone, std::uint32_t bits) {
    std::atomic_ref(zone.flags).fetch_or(bits);
}

mapdata::MapDrawContext TablesDrawContext() {
    mapdata::MapDrawContext context;
    if (const MapDrawingTables* tables = DrawingTables()) {
        context.pens = tables->pens;
        context.symbols = &tables->symbols;
    }
    return context;
}

mapdata::MapDrawContext DrawContextFor(const MapViewModel& model, int clientHeight) {
    mapdata::MapDrawContext context = TablesDrawContext();
    context.state = model.Published();
    context.clientHeight = clientHeight;
    context.font = MapLabelFont();
    return context;
}

TrackStyle TrackStyleFor(const MapViewSettings& settings, bool zoomed) {
    TrackStyle style;
    style.dotSize = settings.dotSize;
    style.dotSpacing = settings.dotSpacing;
    style.zoomed = zoomed;
    style.showLiftInThermalMode = settings.showLiftInThermalMode != 0;
    style.linesInThermalMode = settings.drawLinesInThermalMode != 0;
    if (const MapDrawingTables* tables = DrawingTables()) style.colours = tables->trackColours;
    return style;
}

std::function<std::wstring(const nav::WaypointRecord&)> ArrivalFrom(const nav::WaypointRecord& fix,
                                                                    bool metres) {
    std::shared_ptr<nav::ReachGlide> glide = nav::MakeCurrentReachGlide();
    return [glide, fix, metres](const nav::WaypointRecord& to) {
        // Without the point's altitude there is nothing to arrive over.
        if (!to.altitudeKnown) return std::wstring();
        nav::CourseResult course;
        const float km = nav::CourseAndDistance(fix, to, &course);
        float required = glide->RequiredAltitude(fix, to, km, course.trueCourseDeg);
        if (required >= 0.0F) required += glide->TerrainShortfall(fix, to, km, course.trueCourseDeg, required);
        return ArrivalText(fix.altitude, required, metres);
    };
}

void RestartTaskStatistics() {
    const auto stats = nav::GetTaskStatisticsLink();
    if (!stats) return;
    stats->Stop(true);
    if (nav::g_taskNavigationActive.load() != 0) stats->Start(nav::g_taskTargetPoint.load());
}

std::optional<nav::WaypointRecord> GlidePathConflictPoint() {
    const platform::CriticalSectionLock lock(glide::GlidePathConflictLock);
    if (!glide::GlidePathConflict.valid) return std::nullopt;
    return nav::WaypointRecord(glide::GlidePathConflict.latitude, glide::GlidePathConflict.lonWest, false);
}

wxRect ToWxRect(const platform::PixelRect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

}  // namespace map::view_parts
