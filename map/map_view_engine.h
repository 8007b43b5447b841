#pragma once
// What the map window's source files share (map_view.cpp,
// map_view_messages.cpp, map_view_points.cpp and the window's part of
// map_timer_duties.cpp): the map with its threads and loader, and the small
// helpers they all use. Only those files include it.

#include <wx/gdicmn.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/waypoint_record.h"
#include "map/alarm_zone_thread.h"
#include "map/drawing_tables.h"
#include "map/map_loader.h"
#include "map/map_painter.h"
#include "map/map_read_thread.h"
#include "map/map_render.h"
#include "map/map_view.h"
#include "map/settings_values.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"

namespace map {

inline constexpr int kMapTimerId = 1;
// The alarm button's hold report.
inline constexpr int kReportHoldWParam = 1;
// lParam of WM_APP_MAPREDRAW when the render thread only tells that its
// canvas is ready. Any other value asks for a new drawing: the frame's
// overlay switch posts 1, the task hook 0.
inline constexpr std::intptr_t kRenderReady = -1;
// The frame popup's kind while it shows a tap's object information.
inline constexpr int kObjectInfoPopup = 8;

// The map, its threads and its loader. The threads are declared after what
// they use, and StopThreads joins them before anything goes.
struct CGPSmapView::Engine {
    explicit Engine(CGPSmapView& view)
        : reader(lists, {[](int lParam) {
                             platform::PostWindowMessage(platform::kMapViewWindow,
                                                         platform::WM_APP_MAPREAD, 0, lParam);
                         },
                         ShowMapReadError,
                         {}}),
          alarm(lists.zones, AlarmSourcesFor()),
          render(lists),
          loader(lists, view.mapFile_, view.model_, alarm, reader, platform::AppSettings(),
                 {[this] { render.Stop(); },
                  [](const std::wstring& name) {
                      g_mapFileName.Set(name);
                      platform::AppSettings().WriteString("Settings", "MapFile", name);
                  },
                  [&view] { view.RequestMapRedraw(); }}) {
        render.onFinished = [] {
            platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0,
                                        kRenderReady);
        };
        render.SetTrackProgress([] {
            platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0,
                                        kRenderReady);
        });
    }

    static AlarmSources AlarmSourcesFor() {
        AlarmSources sources;
        sources.haveFix = [] { return g_bHaveFix.load() != 0; };
        sources.readFix = ReadLiveAlarmFix;
        sources.guards = [] {
            return AlarmGuards{g_altGuardBelow.load(), g_altGuardAbove.load()};
        };
        return sources;
    }

    void Stop() {
        reader.Stop();
        render.Stop();
        alarm.Stop();
    }

    MapLists lists;
    MapReadThread reader;
    AlarmZoneThread alarm;
    MapRenderThread render;
    MapLoader loader;
    MapPainter painter{DrawingTables()};
};

namespace view_parts {

void SetZoneFlags(mapdata::CMapElement& zone, std::uint32_t bits);
// What the map's layers draw with: the pens and symbols of the tables.
mapdata::MapDrawContext TablesDrawContext();
// The tables with the published transform and the label font.
mapdata::MapDrawContext DrawContextFor(const MapViewModel& model, int clientHeight);
// The track's look from the window's settings and the drawing tables.
TrackStyle TrackStyleFor(const MapViewSettings& settings, bool zoomed);
// The arrival over a tapped point for the glider at `fix`: the glide
// computer in force (MacCready, wind, and the terrain while it is used);
// nothing for a point without an altitude.
std::function<std::wstring(const nav::WaypointRecord&)> ArrivalFrom(const nav::WaypointRecord& fix,
                                                                    bool metres);
// The task statistics start over (the target or the view of the task
// changed); they run again only while a task is flown.
void RestartTaskStatistics();
// The glide path's first meeting with the terrain, when one was found.
std::optional<nav::WaypointRecord> GlidePathConflictPoint();
wxRect ToWxRect(const platform::PixelRect& r);

}  // namespace view_parts
}  // namespace map
