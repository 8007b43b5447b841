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
// frame stale, never half-applied.
//
// ComposeMapFrame makes what the window paints from the finished canvas:
// the back canvas copied, the task layer ANDed, the reachable outline
// XORed, the button column filled, the scale text and the wind disc.

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "map/map_draw_math.h"
#include "map/map_lists.h"
#include "mapdata/map_element_draw.h"
#include "platform/canvas.h"
#include "platform/canvas_handover.h"

namespace map {

inline constexpr platform::Colour kButtonFace{212, 208, 200};

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

// The scale text, right-aligned on the bottom line labelBottom.
void DrawScaleText(platform::Canvas& canvas, const std::string& text, int right, int labelBottom,
                   const platform::Font& font);

struct ComposeLayers {
    const platform::Image* taskLayer = nullptr;  // white where nothing is drawn
    const platform::Image* reachable = nullptr;  // black where nothing is drawn
    std::string scaleText;
    int labelBottom = 190;
    platform::Font font;
    bool windValid = false;
    float windSpeedKt = 0.0F;
    const platform::Image* windArrow = nullptr;  // the sector's arrow
    int windTop = 154;
    platform::Colour background = kButtonFace;
};

// The wind disc at windTop in the button column, its colour by the speed.
void DrawWindIndicator(platform::Canvas& canvas, const ComposeLayers& layers);

void ComposeMapFrame(platform::Canvas& out, const platform::Image& back, const ComposeLayers& layers);

// Exit codes: 8 no map, 9 drawn (or stopped).
class MapRenderThread {
  public:
    explicit MapRenderThread(MapLists& lists) : lists_(lists) {}
    ~MapRenderThread();
    MapRenderThread(const MapRenderThread&) = delete;
    MapRenderThread& operator=(const MapRenderThread&) = delete;

    // Starts a render (a running one is stopped and joined first).
    void Start(MapRenderInput input);
    void Stop();
    bool Finished() const { return finished_.load(); }
    int ExitCode() const { return exitCode_.load(); }

    platform::CanvasHandover handover;
    // Called on the render thread after a frame was handed over.
    std::function<void()> onFinished;

  private:
    int Run(const MapRenderInput& input);

    MapLists& lists_;
    std::unique_ptr<platform::Canvas> spare_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{true};
    std::atomic<int> exitCode_{0};
};

}  // namespace map
