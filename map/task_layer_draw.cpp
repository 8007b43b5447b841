#include "map/task_layer_draw.h"

#include <cmath>
#include <cstdlib>

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
                  const platform::Rect& client) {
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
