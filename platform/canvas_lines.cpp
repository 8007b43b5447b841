// Lines of the canvas: thin pens rasterised here, wide pens stroked by cairo.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/canvas.h"
#include "platform/canvas_clip.h"

namespace platform {
namespace {

__extension__ using Wide = __int128;

constexpr int kDashOn = 18;
constexpr int kDashPeriod = 24;

// The range of steps i (0 <= i < count) whose major coordinate
// start + i * step lies in [low, high).
bool StepRange(std::int64_t start, int step, std::int64_t low, std::int64_t high,
               std::int64_t count, std::int64_t& first, std::int64_t& last) {
    if (step > 0) {
        first = low - start;
        last = high - 1 - start;
    } else {
        first = start - (high - 1);
        last = start - low;
    }
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, count - 1);
    return first <= last;
}

}  // namespace

void Canvas::MoveTo(Point to) {
    // One stroke per polyline: cairo strokes many short paths faster than
    // one long one that crosses itself.
    FlushStroke();
    position_ = to;
    dashPhase_ = 0;
    pathOpen_ = false;
}

void Canvas::LineTo(Point to) {
    const Point from = std::exchange(position_, to);
    if (!Valid() || pen_.style == Pen::Style::kNull) return;
    if (pen_.Thin()) {
        BeginPixels();
        ThinLine(from, to, pen_.colour.Argb(), pen_.style == Pen::Style::kDash);
        EndPixels();
    } else
        WideLine(from, to);
}

void Canvas::Polyline(std::span<const Point> points) {
    if (points.empty()) return;
    MoveTo(points[0]);
    LineThrough(points.subspan(1));
}

void Canvas::LineThrough(std::span<const Point> points) {
    if (points.empty()) return;
    if (!Valid() || pen_.style == Pen::Style::kNull) {
        position_ = points.back();
        return;
    }
    if (!pen_.Thin()) {
        for (const Point to : points)
            WideLine(std::exchange(position_, to), to);
        return;
    }
    // Thin lines write the pixels themselves: cairo hands them over once
    // for the whole run.
    BeginPixels();
    const std::uint32_t argb = pen_.colour.Argb();
    const bool dashed = pen_.style == Pen::Style::kDash;
    for (const Point to : points)
        ThinLine(std::exchange(position_, to), to, argb, dashed);
    EndPixels();
}

void Canvas::Outline(std::span<const Point> points, bool closed) {
    if (pen_.style == Pen::Style::kNull || points.size() < 2) return;
    const Point position = position_;
    Polyline(points);
    if (closed) LineTo(points[0]);
    FlushStroke();
    MoveTo(position);
}

// One pixel for each step along the longer axis, from `from` up to but not
// including `to`: pixel i lies i steps along the major axis and
// floor((2 i minor + major) / (2 major)) steps along the minor one.
void Canvas::ThinLine(Point from, Point to, std::uint32_t argb, bool dashed) {
    const std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
    const std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    if (major == 0) return;
    const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int phase = dashPhase_;
    dashPhase_ = static_cast<int>((phase + major) % kDashPeriod);
    if (major == 1) {
        // One step (most steps of an arc or a short line): only `from`.
        if ((!dashed || phase < kDashOn) && Inside(from.x, from.y)) Row(from.y)[from.x] = argb;
        return;
    }

    std::int64_t first = 0;
    std::int64_t last = 0;
    const std::int64_t majorStart = xMajor ? from.x : from.y;
    const std::int64_t majorEnd = xMajor ? Width() : Height();
    if (!StepRange(majorStart, majorStep, 0, majorEnd, major, first, last)) return;

    // The pixels it may set: the canvas, or the one clip rectangle; of
    // more rectangles each pixel is looked up.
    PixelRect keep = Bounds();
    const bool lookUp = clipped_ && clip_.size() > 1;
    if (clipped_ && clip_.size() == 1) {
        const PixelRect& only = clip_.front();
        keep = {std::max(only.left, 0), std::max(only.top, 0), std::min(only.right, Width()),
                std::min(only.bottom, Height())};
    }
    if (clipped_ && clip_.empty()) return;
    unsigned char* const data = cairo_image_surface_get_data(image_.Surface());
    const std::ptrdiff_t stride = image_.Stride();
    // A line that starts on the canvas starts at step 0 (k 0, error major)
    // without the wide division.
    std::int64_t k = 0;
    std::int64_t error = major;
    if (first > 0) {
        const Wide twice = static_cast<Wide>(2) * major;
        const Wide numerator = static_cast<Wide>(2) * first * minor + major;
        k = static_cast<std::int64_t>(numerator / twice);
        error = static_cast<std::int64_t>(numerator - static_cast<Wide>(k) * twice);
    }
    const std::int64_t errorStep = 2 * minor;
    const std::int64_t errorWrap = 2 * major;
    const std::int64_t minorStart = xMajor ? from.y : from.x;
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t m = majorStart + i * majorStep;
        const std::int64_t n = minorStart + k * minorStep;
        const std::int64_t x = xMajor ? m : n;
        const std::int64_t y = xMajor ? n : m;
        const bool on = !dashed || (phase + i) % kDashPeriod < kDashOn;
        if (on && x >= keep.left && y >= keep.top && x < keep.right && y < keep.bottom &&
            (!lookUp || Inside(static_cast<int>(x), static_cast<int>(y)))) {
            auto* row = static_cast<std::uint32_t*>(static_cast<void*>(data + y * stride));
            row[x] = argb;
        }
        error += errorStep;
        if (error >= errorWrap) {
            error -= errorWrap;
            ++k;
        }
    }
}

void Canvas::WideLine(Point from, Point to) {
    // Pixel centres; the guard band keeps cairo's coordinates small.
    const auto cut = ClipSegmentToGuard({from.x + 0.5, from.y + 0.5}, {to.x + 0.5, to.y + 0.5},
                                        Width(), Height());
    if (!cut) {
        pathOpen_ = false;
        return;
    }
    if (!pathOpen_ || cut->fromCut) cairo_move_to(cairo_, cut->from.x, cut->from.y);
    cairo_line_to(cairo_, cut->to.x, cut->to.y);
    pathOpen_ = !cut->toCut;
    strokePending_ = true;
}

void Canvas::FlushStroke() {
    pathOpen_ = false;
    if (!strokePending_) return;
    strokePending_ = false;
    cairo_set_source_rgb(cairo_, pen_.colour.red / 255.0, pen_.colour.green / 255.0,
                         pen_.colour.blue / 255.0);
    cairo_set_line_width(cairo_, pen_.width);
    cairo_stroke(cairo_);
}

}  // namespace platform
