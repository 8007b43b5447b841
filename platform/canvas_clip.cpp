#include "platform/canvas_clip.h"

#include <cairo.h>
#include <algorithm>

namespace platform {
namespace {

// cairo's regions do the banding; they are plain values here.
struct Region {
    cairo_region_t* region;
    explicit Region(const std::vector<PixelRect>& rects) : region(cairo_region_create()) {
        for (const PixelRect& r : rects) {
            const cairo_rectangle_int_t box{r.left, r.top, r.Width(), r.Height()};
            cairo_region_union_rectangle(region, &box);
        }
    }
    ~Region() { cairo_region_destroy(region); }
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    std::vector<PixelRect> Rects() const {
        std::vector<PixelRect> rects;
        const int count = cairo_region_num_rectangles(region);
        rects.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            cairo_rectangle_int_t box;
            cairo_region_get_rectangle(region, i, &box);
            rects.push_back({box.x, box.y, box.x + box.width, box.y + box.height});
        }
        return rects;
    }
};

// Rectangles from far-away coordinates are cut to a range whose sizes fit
// an int.
cairo_rectangle_int_t Box(const PixelRect& r) {
    constexpr int kFar = 1 << 29;
    const int left = std::clamp(r.left, -kFar, kFar);
    const int top = std::clamp(r.top, -kFar, kFar);
    const int right = std::clamp(r.right, -kFar, kFar);
    const int bottom = std::clamp(r.bottom, -kFar, kFar);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// One side of the guard rectangle: the points with Inside(p) >= 0 are kept.
struct Edge {
    int axis;      // 0 x, 1 y
    double limit;  // the line
    double sign;   // +1 keeps coordinates >= limit, -1 keeps <= limit
    double Inside(ClipPoint p) const { return sign * ((axis == 0 ? p.x : p.y) - limit); }
};

std::vector<ClipPoint> ClipAgainst(const std::vector<ClipPoint>& in, const Edge& edge) {
    std::vector<ClipPoint> out;
    if (in.empty()) return out;
    out.reserve(in.size() + 4);
    ClipPoint previous = in.back();
    double previousSide = edge.Inside(previous);
    for (const ClipPoint& p : in) {
        const double side = edge.Inside(p);
        if ((side >= 0) != (previousSide >= 0)) {
            const double t = previousSide / (previousSide - side);
            out.push_back(
                {previous.x + t * (p.x - previous.x), previous.y + t * (p.y - previous.y)});
        }
        if (side >= 0) out.push_back(p);
        previous = p;
        previousSide = side;
    }
    return out;
}

}  // namespace

std::vector<PixelRect> IntersectRegion(const std::vector<PixelRect>& region, const PixelRect& rect) {
    Region result(region);
    const cairo_rectangle_int_t box = Box(rect);
    cairo_region_intersect_rectangle(result.region, &box);
    return result.Rects();
}

std::vector<PixelRect> SubtractRegion(const std::vector<PixelRect>& region, const PixelRect& rect) {
    Region result(region);
    const cairo_rectangle_int_t box = Box(rect);
    cairo_region_subtract_rectangle(result.region, &box);
    return result.Rects();
}

std::vector<ClipPoint> ClipPolygonToGuard(std::vector<ClipPoint> polygon, int width, int height) {
    const double low = -kGuardBand;
    const double right = width + kGuardBand;
    const double bottom = height + kGuardBand;
    const bool inside = std::ranges::all_of(polygon, [&](ClipPoint p) {
        return p.x >= low && p.y >= low && p.x <= right && p.y <= bottom;
    });
    if (inside) return polygon;
    for (const Edge& edge :
         {Edge{0, low, 1}, Edge{0, right, -1}, Edge{1, low, 1}, Edge{1, bottom, -1}})
        polygon = ClipAgainst(polygon, edge);
    return polygon;
}

std::optional<ClippedSegment> ClipSegmentToGuard(ClipPoint a, ClipPoint b, int width, int height) {
    // Liang-Barsky.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x + kGuardBand, width + kGuardBand - a.x, a.y + kGuardBand,
                         height + kGuardBand - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return std::nullopt;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return std::nullopt;
            t1 = std::min(t1, t);
        }
    }
    return ClippedSegment{
        {a.x + t0 * dx, a.y + t0 * dy}, {a.x + t1 * dx, a.y + t1 * dy}, t0 > 0.0, t1 < 1.0};
}

}  // namespace platform
