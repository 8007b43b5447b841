#pragma once
// The lines the map draws over the elements: the GOTO line from the
// aircraft to the target, and the task's legs. The caller reads the task
// and the target under their locks and hands the points over.

#include <span>

#include "core/waypoint_record.h"
#include "mapdata/map_draw_state.h"
#include "platform/canvas.h"

namespace map {

// Solid, 2 wide, dark blue (black on a monochrome screen).
inline constexpr platform::Pen kGotoPen = platform::Pen::Solid({0, 0, 200}, 2);
// Dashed, 1 wide, black.
inline constexpr platform::Pen kTaskPen{platform::Pen::Style::kDash, 1, platform::kBlack};

// The GOTO line, clipped to the client rectangle.
void DrawGotoLine(platform::Canvas& canvas, const mapdata::MapDrawState& state,
                  const nav::WaypointRecord& aircraft, const nav::WaypointRecord& target,
                  const platform::Rect& client);

// The legs through points; with lineWidth above 1 each leg gets a second
// line one pixel beside it (in x for steep legs, in y for flat ones, in
// both for diagonal ones). Fewer than 2 points draw nothing.
void DrawTaskLegs(platform::Canvas& canvas, const mapdata::MapDrawState& state,
                  std::span<const nav::WaypointRecord> points, int lineWidth);

}  // namespace map
