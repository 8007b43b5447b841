#include "map/track_draw.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "core/track_cache.h"
#include "map/map_view_model.h"

namespace map {
namespace {

platform::Point Project(const mapdata::MapDrawState& state, const core::TrackCacheRecord& r) {
    const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
        state, {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.z)});
    const auto clampPixel = [](float v) {
        return static_cast<int>(std::clamp(v, -30000.0F, 30000.0F));
    };
    return {clampPixel(p.x), clampPixel(p.y)};
}

}  // namespace

platform::Colour TrackColour(const TrackStyle& style, int colourIndex) {
    const int entry = std::clamp(colourIndex / 2, 0, mapdata::kTrackColourCount - 1);
    const mapdata::Rgb c = style.colours[static_cast<std::size_t>(entry)];
    return {c.red, c.green, c.blue};
}

bool DrawTrackDot(platform::Canvas& canvas, platform::Point& lastDot, platform::Point at, bool force,
                  int colourIndex, const TrackStyle& style) {
    if (at.x <= kButtonColumn) return false;
    const int dx = at.x - lastDot.x;
    const int dy = at.y - lastDot.y;
    if (!force && dx * dx + dy * dy <= style.dotSpacing * style.dotSpacing) return false;
    int r = style.dotSize - 1;
    if (style.zoomed) {
        ++r;
        if (colourIndex % 2 == 1 && style.showLiftInThermalMode) ++r;
    }
    r = std::clamp(r, 0, 16);
    const platform::Colour colour = TrackColour(style, colourIndex);
    for (int y = -r; y <= r; ++y) {
        const int half = r - std::abs(y);
        canvas.FillRect({at.x - half, at.y + y, at.x + half + 1, at.y + y + 1},
                        platform::Brush::Solid(colour));
    }
    lastDot = at;
    return true;
}

void DrawTrackSegment(platform::Canvas& canvas, platform::Point from, platform::Point to,
                      int colourIndex, const TrackStyle& style) {
    canvas.SetPen(platform::Pen::Solid(TrackColour(style, colourIndex), std::max(style.dotSize, 1)));
    canvas.MoveTo(from);
    canvas.LineTo(to);
}

int DrawStoredTrack(platform::Canvas& canvas, platform::Point& lastDot,
                    const mapdata::MapDrawState& state, const TrackStyle& style, int count,
                    const std::atomic<int>& keepGoing, std::chrono::milliseconds pause) {
    core::TrackCacheRecord record;
    if (keepGoing.load() == 0 || count <= 0 || core::TrackCacheFirst(record, -1) < 0) return -97;
    const bool lines = style.zoomed && style.linesInThermalMode;
    platform::Point previous = Project(state, record);
    if (!lines) DrawTrackDot(canvas, lastDot, previous, true, static_cast<int>(record.attribute), style);
    int drawn = 0;
    while (keepGoing.load() != 0 && --count > 0) {
        if (core::TrackCacheNext(record, -1) <= 0) break;
        if (++drawn % 10 == 0 && pause.count() > 0) std::this_thread::sleep_for(pause);
        const platform::Point at = Project(state, record);
        const int colourIndex = static_cast<int>(record.attribute);
        if (lines) {
            DrawTrackSegment(canvas, previous, at, colourIndex, style);
            previous = at;
        } else {
            DrawTrackDot(canvas, lastDot, at, false, colourIndex, style);
        }
    }
    canvas.Finish();
    return 97;
}

}  // namespace map
