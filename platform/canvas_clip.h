#pragma once
// Geometry the canvas cuts its drawing with: rectangle regions, and lines
// and polygons cut to a guard band around the canvas so that the
// coordinates cairo sees stay far inside its fixed-point range whatever
// the projection produced. Pure functions; any thread.

#include <optional>
#include <vector>

#include "platform/drawing_tools.h"

namespace platform {

// A region is a list of non-overlapping rectangles.
std::vector<PixelRect> IntersectRegion(const std::vector<PixelRect>& region, const PixelRect& rect);
std::vector<PixelRect> SubtractRegion(const std::vector<PixelRect>& region, const PixelRect& rect);

struct ClipPoint {
    double x;
    double y;
    friend bool operator==(ClipPoint, ClipPoint) = default;
};

// Pixels kept around a width x height canvas: wider than any pen.
inline constexpr double kGuardBand = 256.0;

// The polygon cut to the guard band around the canvas. Inside the band
// every point keeps the winding number it had, so the fill is unchanged.
std::vector<ClipPoint> ClipPolygonToGuard(std::vector<ClipPoint> polygon, int width, int height);

// The part of the segment a-b inside the guard band, or nothing.
struct ClippedSegment {
    ClipPoint from;
    ClipPoint to;
    bool fromCut;
    bool toCut;
};
std::optional<ClippedSegment> ClipSegmentToGuard(ClipPoint a, ClipPoint b, int width, int height);

}  // namespace platform
