#include "platform/canvas.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

#include "platform/canvas_clip.h"

namespace platform {
namespace {

constexpr double kByte = 255.0;

void SetSourceColour(cairo_t* cairo, Colour colour) {
    cairo_set_source_rgb(cairo, colour.red / kByte, colour.green / kByte, colour.blue / kByte);
}

// An 8 x 8 surface of the brush's pattern, repeated over the device from
// the brush origin.
cairo_pattern_t* MakePattern(const Brush& brush) {
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_surface_flush(tile);
    unsigned char* data = cairo_image_surface_get_data(tile);
    const int stride = cairo_image_surface_get_stride(tile);
    for (int y = 0; y < 8; ++y) {
        auto* row = static_cast<std::uint32_t*>(static_cast<void*>(data + y * stride));
        for (int x = 0; x < 8; ++x) {
            const bool one = (brush.rows[static_cast<std::size_t>(y)] >> (7 - x) & 1) != 0;
            row[x] = (one ? brush.background : brush.colour).Argb();
        }
    }
    cairo_surface_mark_dirty(tile);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_matrix_t matrix;
    cairo_matrix_init_translate(&matrix, -brush.origin.x, -brush.origin.y);
    cairo_pattern_set_matrix(pattern, &matrix);
    return pattern;
}

// Points around an ellipse, at most about 1.5 pixels apart (at most 4096),
// a multiple of four so that the points lie symmetrically about both axes.
std::vector<std::pair<double, double>> EllipsePoints(double cx, double cy, double rx, double ry) {
    const double perimeter = 2 * std::numbers::pi * std::max(rx, ry);
    const int count = 4 * std::clamp(static_cast<int>(std::ceil(perimeter / 6)), 2, 1024);
    std::vector<std::pair<double, double>> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double angle = 2 * std::numbers::pi * i / count;
        points.emplace_back(cx + rx * std::cos(angle), cy + ry * std::sin(angle));
    }
    return points;
}

}  // namespace

Canvas::Canvas(int width, int height) : image_(width, height) {
    if (image_.Empty()) return;
    cairo_ = cairo_create(image_.Surface());
    if (cairo_status(cairo_) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cairo_);
        cairo_ = nullptr;
        image_ = Image();
        return;
    }
    cairo_set_antialias(cairo_, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_line_cap(cairo_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cairo_, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cairo_, 0, 0, 0);
    cairo_paint(cairo_);
}

Canvas::~Canvas() {
    ReleaseText();
    if (pattern_ != nullptr) cairo_pattern_destroy(pattern_);
    if (cairo_ != nullptr) cairo_destroy(cairo_);
}

void Canvas::Finish() {
    FlushStroke();
    if (cairo_ != nullptr) cairo_surface_flush(image_.Surface());
}

Image& Canvas::Pixels() {
    Finish();
    return image_;
}

const Image& Canvas::Pixels() const {
    assert(!strokePending_ && "Finish() the canvas before reading it");
    return image_;
}

void Canvas::SetPen(const Pen& pen) {
    if (pen == pen_) return;
    FlushStroke();
    pen_ = pen;
}

void Canvas::SetBrush(const Brush& brush) {
    brush_ = brush;
}

// ---- clipping ----

void Canvas::ResetClip() {
    SetClipRegion({});
    clipped_ = false;
    ApplyClip();
}

void Canvas::ClipTo(const PixelRect& rect) {
    SetClipRegion(IntersectRegion(ClipRectangles(), rect));
}

void Canvas::ExcludeClip(const PixelRect& rect) {
    SetClipRegion(SubtractRegion(ClipRectangles(), rect));
}

std::vector<PixelRect> Canvas::ClipRectangles() const {
    if (!clipped_) return {Bounds()};
    return clip_;
}

void Canvas::SetClipRegion(std::vector<PixelRect> rects) {
    FlushStroke();
    clip_ = std::move(rects);
    clipped_ = true;
    ApplyClip();
}

void Canvas::ApplyClip() {
    if (cairo_ == nullptr) return;
    cairo_reset_clip(cairo_);
    if (!clipped_) return;
    cairo_new_path(cairo_);
    for (const PixelRect& r : clip_)
        cairo_rectangle(cairo_, r.left, r.top, r.Width(), r.Height());
    // Non-overlapping rectangles: either fill rule gives their union.
    cairo_clip(cairo_);
}

std::vector<PixelRect> Canvas::Visible(const PixelRect& rect) const {
    return IntersectRegion(ClipRectangles(), rect);
}

bool Canvas::Inside(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
    if (!clipped_) return true;
    return std::ranges::any_of(clip_, [x, y](const PixelRect& r) { return r.Contains(x, y); });
}

Canvas::StateGuard::StateGuard(Canvas& canvas)
    : canvas_(canvas),
      pen_(canvas.pen_),
      brush_(canvas.brush_),
      font_(canvas.font_),
      text_(canvas.textColour_),
      background_(canvas.backgroundColour_),
      mode_(canvas.backgroundMode_),
      clip_(canvas.clip_),
      clipped_(canvas.clipped_) {}

Canvas::StateGuard::~StateGuard() {
    canvas_.SetPen(pen_);
    canvas_.SetBrush(brush_);
    canvas_.SetFont(font_);
    canvas_.SetTextColour(text_);
    canvas_.SetBackgroundColour(background_);
    canvas_.SetBackgroundMode(mode_);
    canvas_.FlushStroke();
    // Cairo's clip follows the region, so an unchanged region keeps it:
    // most guards leave the region alone, and setting cairo's clip anew
    // costs every element drawn under one.
    if (canvas_.clipped_ == clipped_ && canvas_.clip_ == clip_) return;
    canvas_.clip_ = std::move(clip_);
    canvas_.clipped_ = clipped_;
    canvas_.ApplyClip();
}

// ---- pixels ----

std::uint32_t* Canvas::Row(int y) const {
    unsigned char* data = cairo_image_surface_get_data(image_.Surface());
    return static_cast<std::uint32_t*>(
        static_cast<void*>(data + static_cast<std::ptrdiff_t>(y) * image_.Stride()));
}

void Canvas::BeginPixels() {
    FlushStroke();
    cairo_surface_flush(image_.Surface());
}

void Canvas::EndPixels() {
    cairo_surface_mark_dirty(image_.Surface());
}

void Canvas::SetPixel(Point at, Colour colour) {
    if (!Valid() || !Inside(at.x, at.y)) return;
    BeginPixels();
    Row(at.y)[at.x] = colour.Argb();
    cairo_surface_mark_dirty_rectangle(image_.Surface(), at.x, at.y, 1, 1);
}

Colour Canvas::GetPixel(Point at) {
    if (!Valid() || at.x < 0 || at.y < 0 || at.x >= Width() || at.y >= Height()) return kBlack;
    BeginPixels();
    return Colour::FromArgb(Row(at.y)[at.x]);
}

// ---- shapes ----

void Canvas::FillPath(const Brush& brush) {
    switch (brush.kind) {
        case Brush::Kind::kHollow:
            cairo_new_path(cairo_);
            return;
        case Brush::Kind::kSolid:
            SetSourceColour(cairo_, brush.colour);
            break;
        case Brush::Kind::kPattern:
            if (pattern_ == nullptr || !(patternBrush_ == brush)) {
                if (pattern_ != nullptr) cairo_pattern_destroy(pattern_);
                pattern_ = MakePattern(brush);
                patternBrush_ = brush;
            }
            cairo_set_source(cairo_, pattern_);
            break;
    }
    cairo_fill(cairo_);
}

void Canvas::FillPolygon(std::vector<DoublePoint> points, const Brush& brush) {
    if (brush.kind == Brush::Kind::kHollow || points.size() < 3) return;
    std::vector<ClipPoint> clipped(points.size());
    std::ranges::transform(points, clipped.begin(), [](DoublePoint p) {
        return ClipPoint{p.x, p.y};
    });
    clipped = ClipPolygonToGuard(std::move(clipped), Width(), Height());
    if (clipped.size() < 3) return;
    cairo_new_path(cairo_);
    cairo_move_to(cairo_, clipped[0].x, clipped[0].y);
    for (std::size_t i = 1; i < clipped.size(); ++i)
        cairo_line_to(cairo_, clipped[i].x, clipped[i].y);
    cairo_close_path(cairo_);
    FillPath(brush);
}

void Canvas::FillRect(const PixelRect& rect, const Brush& brush) {
    if (!Valid() || rect.Empty()) return;
    FlushStroke();
    const PixelRect r{std::max(rect.left, -1), std::max(rect.top, -1), std::min(rect.right, Width() + 1),
                 std::min(rect.bottom, Height() + 1)};
    if (r.Empty()) return;
    cairo_new_path(cairo_);
    cairo_rectangle(cairo_, r.left, r.top, r.Width(), r.Height());
    FillPath(brush);
}

void Canvas::Polygon(std::span<const Point> points) {
    if (!Valid() || points.size() < 2) return;
    FlushStroke();
    std::vector<DoublePoint> corners;
    corners.reserve(points.size());
    for (Point p : points)
        corners.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    FillPolygon(std::move(corners), brush_);
    Outline(points, true);
}

void Canvas::Ellipse(const PixelRect& box) {
    if (!Valid() || box.Empty()) return;
    FlushStroke();
    const double width = static_cast<double>(box.right) - box.left;
    const double height = static_cast<double>(box.bottom) - box.top;
    const bool outlined = pen_.style != Pen::Style::kNull;
    // The outline runs through the centres of the box's edge pixels and
    // the fill stays inside it; without a pen the fill reaches the box.
    const double inset = outlined ? 1.0 : 0.0;
    std::vector<DoublePoint> area;
    for (auto [x, y] : EllipsePoints((static_cast<double>(box.left) + box.right) / 2,
                                     (static_cast<double>(box.top) + box.bottom) / 2,
                                     (width - inset) / 2, (height - inset) / 2))
        area.push_back({x, y});
    FillPolygon(std::move(area), brush_);
    if (!outlined) return;

    // One quarter of the ring, mirrored about the centre (twice the centre
    // is a whole pixel number), so that the outline is symmetric.
    const std::int64_t twiceX = static_cast<std::int64_t>(box.left) + box.right - 1;
    const std::int64_t twiceY = static_cast<std::int64_t>(box.top) + box.bottom - 1;
    const auto all = EllipsePoints(twiceX / 2.0, twiceY / 2.0, (width - 1) / 2, (height - 1) / 2);
    const std::size_t quarter = all.size() / 4;
    std::vector<std::pair<std::int64_t, std::int64_t>> arc;
    for (std::size_t i = 0; i <= quarter; ++i) {
        const auto [x, y] = all[i];
        arc.emplace_back(static_cast<std::int64_t>(std::floor(x + 0.5)),
                         static_cast<std::int64_t>(std::floor(y + 0.5)));
    }
    std::vector<Point> ring;
    const auto add = [&ring](std::int64_t x, std::int64_t y) {
        const Point p{static_cast<int>(x), static_cast<int>(y)};
        if (ring.empty() || !(ring.back() == p)) ring.push_back(p);
    };
    for (std::size_t i = 0; i <= quarter; ++i)
        add(arc[i].first, arc[i].second);
    for (std::size_t i = quarter + 1; i-- > 0;)
        add(twiceX - arc[i].first, arc[i].second);
    for (std::size_t i = 0; i <= quarter; ++i)
        add(twiceX - arc[i].first, twiceY - arc[i].second);
    for (std::size_t i = quarter + 1; i-- > 0;)
        add(arc[i].first, twiceY - arc[i].second);
    if (ring.size() > 1 && ring.front() == ring.back()) ring.pop_back();
    if (ring.size() == 1) {
        SetPixel(ring[0], pen_.colour);
        return;
    }
    Outline(ring, true);
}

}  // namespace platform
