#pragma once
// The map's rendering into canvases, never onto a window.
//
// RenderMapLayers draws the element lists onto a canvas in the map's layer
// order: the type-17 layer, the zones, the type-27 layer and the overlay
// (while the overlay is shown), the general elements, then the waypoints.
// It holds MapListLock for the element pass only and stops between
// elements when asked.
//
// MapRenderThread runs it on a thread of its own into a back canvas and
// hands the canvas over finished (a stopped frame is never handed over).
// The transform is a value copied at the start, so a republish makes the
// frame stale, never half-applied. Its canvases shape text through a cache
// it keeps across frames (platform/text_runs.h), so a label seen in the last
// frame is not laid out again. After handing a frame over it starts the
// track thread on that canvas (map_compose.h composes what the window
// paints from it).

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "map/map_compose.h"
#include "map/map_draw_math.h"
#include "map/map_lists.h"
#include "map/track_draw.h"
#include "mapdata/map_element_draw.h"
#include "platform/canvas.h"
#include "platform/canvas_handover.h"
#include "platform/text_runs.h"
#include "platform/worker_thread.h"

namespace map {

struct MapRenderInput {
    mapdata::MapDrawContext draw;  // its canvas is set by the render
    int width = 0;
    int height = 0;
    bool mapLoaded = false;
    // False in the zoomed mode with "ShowMapInThermalMode" off.
    bool drawElements = true;
    bool overlayShown = true;  // g_bOverlayShown
    // The waypoints' layer, once they are loaded; may be empty.
    std::function<void(const mapdata::MapDrawContext&)> drawWaypoints;
    int labelBottom = 190;
    platform::Colour background = kButtonFace;
    // The stored track, drawn by the track thread onto the handed-over
    // frame; none: no track.
    std::optional<TrackDrawInput> track;
};

// The extent of "WOWOWO" in the label font, which lays out the labels;
// measured on the UI thread when the font changes.
platform::Size MeasureLabelExtent(platform::Canvas& canvas, const platform::Font& font);

// Milliseconds per layer of the last render (benchmarks).
struct LayerTimes {
    std::array<double, 6> ms{};  // 17, zones, 27, overlay, general, waypoints
};

struct RenderOutcome {
    bool stopped = false;
};

// Draws the background, the button column and the elements onto canvas;
// the scale text is the composition's.
RenderOutcome RenderMapLayers(platform::Canvas& canvas, MapLists& lists, const MapRenderInput& input,
                              const std::atomic<bool>& stop, LayerTimes* times = nullptr);

// Exit codes: 8 no map, 9 drawn (or stopped).
class MapRenderThread {
    // First: outlives every canvas that shapes text through it.
    platform::TextRunCache textRuns_;

  public:
    explicit MapRenderThread(MapLists& lists) : lists_(lists) {}
    ~MapRenderThread();
    MapRenderThread(const MapRenderThread&) = delete;
    MapRenderThread& operator=(const MapRenderThread&) = delete;

    // Starts a render (a running one and the track drawing are stopped and
    // joined first).
    void Start(MapRenderInput input);
    // Stops and joins the render and then the track drawing.
    void Stop();
    bool Finished() const { return !thread_.Running(); }
    int ExitCode() const { return exitCode_.load(); }
    bool TrackFinished() const { return track_.Finished(); }
    int TrackExitCode() const { return track_.ExitCode(); }
    // Called on the track thread as its dots arrive (see TrackDrawThread).
    void SetTrackProgress(std::function<void()> progress) { track_.onProgress = std::move(progress); }

    platform::CanvasHandover handover;
    // Called on the render thread after a frame was handed over.
    std::function<void()> onFinished;

  private:
    int Run(const MapRenderInput& input, const std::atomic<bool>& stop);

    MapLists& lists_;
    TrackDrawThread track_{handover};
    std::unique_ptr<platform::Canvas> spare_;
    std::atomic<int> exitCode_{0};
    platform::WorkerThread thread_;  // last: stopped before the rest goes
};

}  // namespace map
