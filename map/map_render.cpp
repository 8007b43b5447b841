#include "map/map_render.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <utility>

#include "map/map_view_model.h"

namespace map {
namespace {

using Clock = std::chrono::steady_clock;

void FillBackground(platform::Canvas& canvas, const MapRenderInput& input) {
    canvas.ResetClip();
    if (input.width > kButtonColumn) {
        canvas.FillRect({kButtonColumn, 0, input.width, input.height},
                        platform::Brush::Solid(platform::kWhite));
    }
    canvas.FillRect({0, 0, std::min(input.width, kButtonColumn), input.height},
                    platform::Brush::Solid(input.background));
}

// Draws one list; false when a stop was asked.
bool DrawList(const mapdata::ElementList& list, const mapdata::MapDrawContext& context,
              const std::atomic<bool>& stop) {
    for (const auto& element : list) {
        if (stop.load(std::memory_order_relaxed)) return false;
        mapdata::DrawMapElement(*element, context);
    }
    return true;
}

}  // namespace

RenderOutcome RenderMapLayers(platform::Canvas& canvas, MapLists& lists, const MapRenderInput& input,
                              const std::atomic<bool>& stop, LayerTimes* times) {
    RenderOutcome outcome;
    FillBackground(canvas, input);
    if (!input.mapLoaded) return outcome;
    canvas.ExcludeClip({0, 0, kButtonColumn, input.height});
    mapdata::MapDrawContext context = input.draw;
    context.canvas = &canvas;
    context.labelCell = mapdata::LabelCell(canvas, context);
    if (input.drawElements) {
        auto last = Clock::now();
        const auto lap = [&](std::size_t layer) {
            const auto now = Clock::now();
            if (times != nullptr) {
                times->ms[layer] = std::chrono::duration<double, std::milli>(now - last).count();
            }
            last = now;
        };
        const std::lock_guard lock(lists.lock);
        bool going = DrawList(lists.symbols17, context, stop);
        lap(0);
        going = going && DrawList(lists.zones, context, stop);
        lap(1);
        if (input.overlayShown) {
            going = going && DrawList(lists.symbols27, context, stop);
            lap(2);
            going = going && DrawList(lists.overlay, context, stop);
            lap(3);
        }
        going = going && DrawList(lists.general, context, stop);
        lap(4);
        if (going && input.drawWaypoints) input.drawWaypoints(context);
        lap(5);
        outcome.stopped = !going || stop.load();
    }
    canvas.ResetClip();
    canvas.FillRect({0, 0, kButtonColumn, input.labelBottom}, platform::Brush::Solid(input.background));
    return outcome;
}

MapRenderThread::~MapRenderThread() { Stop(); }

void MapRenderThread::Start(MapRenderInput input) {
    Stop();
    stop_ = false;
    finished_ = false;
    thread_ = std::thread([this, input = std::move(input)] {
        exitCode_ = Run(input);
        // Text made this thread a font map of its own; it goes with it.
        pango_cairo_font_map_set_default(nullptr);
        finished_ = true;
    });
}

void MapRenderThread::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    track_.Stop();
}

platform::Size MeasureLabelExtent(platform::Canvas& canvas, const platform::Font& font) {
    canvas.SetFont(font);
    return canvas.TextExtent(std::string_view("WOWOWO"));
}

int MapRenderThread::Run(const MapRenderInput& input) {
    std::unique_ptr<platform::Canvas> canvas = std::move(spare_);
    if (!canvas || canvas->Width() != input.width || canvas->Height() != input.height) {
        canvas = std::make_unique<platform::Canvas>(input.width, input.height);
    }
    if (!canvas->Valid()) return 8;
    const RenderOutcome outcome = RenderMapLayers(*canvas, lists_, input, stop_);
    if (outcome.stopped || stop_.load()) {
        spare_ = std::move(canvas);
        return 9;
    }
    spare_ = handover.Publish(std::move(canvas));
    if (input.mapLoaded && input.track) track_.Start(*input.track);
    if (onFinished) onFinished();
    return input.mapLoaded ? 9 : 8;
}

}  // namespace map
