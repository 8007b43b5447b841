#include "map/map_render.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <utility>

#include "map/map_view_model.h"
#include "map/map_worker.h"

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
    mapdata::ArcShapes arcShapes;
    context.arcShapes = &arcShapes;
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
    thread_.Start([this, input = std::move(input)](std::stop_token token) {
        // The layers poll a flag of their own, set by the stop.
        std::atomic<bool> stop{false};
        const std::stop_callback halt(token, [&stop] { stop = true; });
        exitCode_ = Run(input, stop);
        // Text made this thread a font map of its own; it goes with it.
        pango_cairo_font_map_set_default(nullptr);
    });
}

void MapRenderThread::Stop() {
    StopAndWait(thread_);
    track_.Stop();
}

platform::Size MeasureLabelExtent(platform::Canvas& canvas, const platform::Font& font) {
    canvas.SetFont(font);
    return canvas.TextExtent(std::string_view("WOWOWO"));
}

int MapRenderThread::Run(const MapRenderInput& input, const std::atomic<bool>& stop) {
    std::unique_ptr<platform::Canvas> canvas = std::move(spare_);
    if (!canvas || canvas->Width() != input.width || canvas->Height() != input.height) {
        canvas = std::make_unique<platform::Canvas>(input.width, input.height);
    }
    if (!canvas->Valid()) return 8;
    canvas->UseTextRuns(&textRuns_);
    const RenderOutcome outcome = RenderMapLayers(*canvas, lists_, input, stop);
    if (outcome.stopped || stop.load()) {
        spare_ = std::move(canvas);
        return 9;
    }
    spare_ = handover.Publish(std::move(canvas));
    if (input.mapLoaded && input.track) track_.Start(*input.track);
    if (onFinished) onFinished();
    return input.mapLoaded ? 9 : 8;
}

}  // namespace map
