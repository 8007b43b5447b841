// Point-list and circle drawing.
#include "mapdata/map_element_draw.h"

#include "mapdata/arc_points.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <span>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace mapdata {

namespace {

using platform::Brush;
using platform::Canvas;
using platform::Colour;
using platform::Pen;
using platform::Point;

Colour ToColour(Rgb rgb) { return {rgb.red, rgb.green, rgb.blue}; }

bool InView(const CMapElement& element, const MapDrawContext& context) {
    return element.IsVisibleAtScale(context.state.scale) &&
           element.IntersectsBox(context.state.visibleBox) &&
           ShouldDrawZone(element, context.showEnlargedZones);
}

Point ToScreen(const MapDrawState& state, const UnitVector& p) {
    const ScreenPoint s = ProjectToScreen(state, p);
    return {static_cast<int>(s.x), static_cast<int>(s.y)};
}

// Fills `points` with `brush`: straight onto the target, or for a pattern
// with a mask canvas, through the mask ANDed onto the target. False when a
// masked fill is left out because the client area is too low.
bool Fill(const MapDrawContext& context, std::span<const Point> points, const Brush& brush,
          bool ellipse, const platform::PixelRect& box) {
    Canvas& target = *context.canvas;
    Canvas* mask = brush.kind == Brush::Kind::kPattern ? context.mask : nullptr;
    if (mask == nullptr) {
        Canvas::StateGuard guard(target);
        target.SetPen(Pen::None());
        target.SetBrush(brush);
        if (ellipse) target.Ellipse(box);
        else target.Polygon(points);
        return true;
    }
    if (context.clientHeight < kMinimumDrawHeight) return false;
    const int width = mask->Pixels().Width();
    const int height = mask->Pixels().Height();
    mask->FillRect({0, 0, width, height}, Brush::Solid(platform::kWhite));
    {
        Canvas::StateGuard guard(*mask);
        mask->SetPen(Pen::None());
        mask->SetBrush(brush);
        if (ellipse) mask->Ellipse(box);
        else mask->Polygon(points);
    }
    mask->Finish();
    target.Blit({0, 0}, {width, height}, mask->Pixels(), {0, 0}, platform::RasterOp::kAnd);
    return true;
}

// Lines from point to point, each point's pen chosen for the line that
// ends there; with a line width above 1, dashed segments are drawn again
// one pixel over so that they stay visible.
void Outline(const MapDrawContext& context, const std::vector<Point>& points,
             const std::vector<int>& pens) {
    Canvas& canvas = *context.canvas;
    Canvas::StateGuard guard(canvas);
    canvas.MoveTo(points[0]);
    for (std::size_t i = 1; i < points.size();) {
        const int current = pens[i];
        canvas.SetPen(MapPenFor(context, current));
        if (context.lineWidth > 1 && current >= 16 && current <= 31) {
            for (; i < points.size() && pens[i] == current; ++i) {
                const Point a = points[i - 1];
                const Point b = points[i];
                canvas.LineTo(b);
                const int dx = std::abs(b.x - a.x);
                const int dy = std::abs(b.y - a.y);
                const int sx = dy > 2 * dx ? 1 : (dx > 2 * dy ? 0 : 1);
                const int sy = dx > 2 * dy ? 1 : (dy > 2 * dx ? 0 : 1);
                canvas.MoveTo({a.x + sx, a.y + sy});
                canvas.LineTo({b.x + sx, b.y + sy});
                canvas.MoveTo(b);
            }
            continue;
        }
        // The run of points drawn with this pen, in one call.
        std::size_t end = i;
        while (end < points.size() && pens[end] == current) ++end;
        canvas.LineThrough(std::span(points).subspan(i, end - i));
        i = end;
    }
}

// A point on the same pixel as the one before it, with the same pen, adds
// a line of no length: a thin pen draws nothing for it and its dashes run
// on, so it is left out. A wide pen's dot, and the dashes drawn twice
// (which start again at every point), keep it.
bool DropsRepeatedPoint(const MapDrawContext& context, int number) {
    if (number < 0 || number >= static_cast<int>(context.pens.size())) number = 0;
    const MapPen& pen = context.pens[static_cast<std::size_t>(number)];
    if (pen.dashed) return !(context.lineWidth > 1 && number >= 16 && number <= 31);
    return pen.width <= 1;
}

}  // namespace

platform::Pen MapPenFor(const MapDrawContext& context, int number) {
    if (number < 0 || number >= static_cast<int>(context.pens.size())) number = 0;
    const MapPen& pen = context.pens[static_cast<std::size_t>(number)];
    return pen.dashed ? Pen::Dashed(ToColour(pen.colour)) : Pen::Solid(ToColour(pen.colour), pen.width);
}

std::optional<platform::Brush> PatternBrush(std::int32_t fillStyle, Colour colour) {
    const int low = fillStyle & 15;
    if (low < 2 || low > 7) return std::nullopt;
    const Point origin{(fillStyle >> 7) & 7, (fillStyle >> 4) & 7};
    return Brush::Pattern(kFillPatterns[static_cast<std::size_t>(low - 2)], colour,
                          platform::kWhite, origin);
}

void DrawPolyElement(const CMapPolyElement& element, const MapDrawContext& context) {
    if (context.canvas == nullptr || element.PointCount() < 2 || !InView(element, context)) return;
    std::vector<Point> points;
    std::vector<int> pens;
    points.reserve(element.PointCount());
    pens.reserve(element.PointCount());
    for (const MapPoint& p : element.Points()) {
        const Point at = ToScreen(context.state, p.Position());
        if (!points.empty() && at == points.back() && p.pen == pens.back() &&
            DropsRepeatedPoint(context, p.pen))
            continue;
        points.push_back(at);
        pens.push_back(p.pen);
    }
    if (points.size() < 2) {
        // Every point on one pixel: the first two keep what a single
        // point draws.
        points.push_back(points.front());
        pens.push_back(element.Points()[1].pen);
    }
    if (element.fillStyle == 0) {
        Outline(context, points, pens);
        return;
    }
    const Colour colour = Colour::FromColorref(element.fillColour);
    const Brush brush = PatternBrush(element.fillStyle, colour).value_or(Brush::Solid(colour));
    if (!Fill(context, points, brush, false, {})) return;
    if (element.outline) Outline(context, points, pens);
}

void DrawCircleElement(const CMapCircleElement& element, const MapDrawContext& context) {
    if (context.canvas == nullptr || !InView(element, context)) return;
    Canvas& canvas = *context.canvas;
    const Point centre = ToScreen(context.state, element.centre);
    const double radius = static_cast<double>(context.state.pixelsPerKm) * element.radiusKm;
    if (!std::isfinite(radius)) return;
    if (element.fillStyle == 0) {
        constexpr double kTwoPi = 2.0 * std::numbers::pi;
        auto screenAngle = [&](float bearing) {
            double a = std::numbers::pi / 2.0 - std::fmod(static_cast<double>(bearing), kTwoPi);
            if (a < 0.0) a += kTwoPi;
            a += context.state.rotation;
            a = std::fmod(a, kTwoPi);
            return a < 0.0 ? a + kTwoPi : a;
        };
        double from = screenAngle(element.startBearing);
        double to = screenAngle(element.endBearing);
        if (!element.counterClockwise) std::swap(from, to);
        double sweep = std::fmod(to - from + kTwoPi, kTwoPi);
        if (sweep <= 0.0) sweep = kTwoPi;
        // A thin pen draws nothing between two points on one pixel, and
        // its dashes run on.
        const ArcShapes::Shape shape{radius, from, sweep, DropsRepeatedPoint(context, element.penNumber),
                                     !element.counterClockwise};
        std::vector<Point> arc;
        if (context.arcShapes != nullptr)
            context.arcShapes->Points(shape, centre, arc);
        else
            ArcPoints(shape, centre, arc);
        Canvas::StateGuard guard(canvas);
        canvas.SetPen(MapPenFor(context, element.penNumber));
        canvas.Polyline(arc);
        if (element.sector) {
            canvas.MoveTo(arc.front());
            canvas.LineTo(centre);
            canvas.LineTo(arc.back());
        }
        return;
    }
    const int n = element.colourNumber;
    const int r = static_cast<int>(radius);
    const platform::PixelRect box{centre.x - r, centre.y - r, centre.x + r, centre.y + r};
    Brush brush = Brush::Hollow();
    const Colour own = Colour::FromColorref(element.colour);
    if (std::abs(n) > 16) {
        brush = PatternBrush(element.fillStyle, own).value_or(Brush::Solid(own));
    } else if (n != 0) {
        brush = Brush::Solid(ToColour(kMapPalette[static_cast<std::size_t>(std::abs(n) - 1)]));
    }
    if (brush.kind != Brush::Kind::kHollow && !Fill(context, {}, brush, true, box)) return;
    if (n < 0 || element.penNumber == 0) return;
    Canvas::StateGuard guard(canvas);
    canvas.SetPen(MapPenFor(context, element.penNumber));
    canvas.SetBrush(Brush::Hollow());
    canvas.Ellipse(box);
}

void DrawFaiArea(const CFaiAreaElement& element, const MapDrawContext& context) {
    if (element.LargeRegion().PointCount() > 0) DrawPolyElement(element.LargeRegion(), context);
    DrawPolyElement(element, context);
}

platform::Size LabelCell(platform::Canvas& canvas, const MapDrawContext& context) {
    if (context.labelCell.height > 0) return context.labelCell;
    Canvas::StateGuard guard(canvas);
    canvas.SetFont(context.font);
    return canvas.TextExtent(std::string_view("WOWOWO"));
}

namespace {

// No character of the label font is wider than this many cell heights: a
// label whose every line would have to be wider to reach the canvas is left
// out before it is laid out.
constexpr int kWidestCharacterInCellHeights = 3;

bool LabelCanReach(const Canvas& canvas, std::wstring_view text, int x, int top, int lines,
                   platform::Size cell) {
    if (top + lines * cell.height <= 0 || top >= canvas.Height()) return false;
    const auto longest = static_cast<long long>(text.size()) * kWidestCharacterInCellHeights *
                         std::max(cell.height, 1);
    return x + longest >= 0 && x - longest <= canvas.Width();
}

}  // namespace

void DrawTextElement(const CMapTextElement& element, const MapDrawContext& context) {
    if (context.canvas == nullptr || (element.LoadFlags() & element_flag::kNotDrawn) != 0 ||
        !element.IsVisibleAtScale(context.state.scale))
        return;
    if (!element.IntersectsBox(context.state.visibleBox)) return;
    const int code = element.kindCode;
    if (code != kLabelCode && code < 0 && code > kMarkerCode) return;
    if (code == kLabelCode && element.text.empty()) return;
    Canvas& canvas = *context.canvas;
    const ScreenPoint s = ProjectToScreen(context.state, element.position);
    const int x = static_cast<int>(s.x);
    const int y = static_cast<int>(s.y);
    const platform::Size cell = LabelCell(canvas, context);
    if (code == kLabelCode) {
        const auto lines = static_cast<int>(std::ranges::count(element.text, L'\\')) + 1;
        int top = y - lines * cell.height / 2;
        if (!LabelCanReach(canvas, element.text, x, top, lines, cell)) return;
        Canvas::StateGuard guard(canvas);
        canvas.SetFont(context.font);
        canvas.SetBackgroundMode(platform::BackgroundMode::kTransparent);
        std::wstring_view rest = element.text;
        for (int line = 0; line < lines; ++line, top += cell.height) {
            const std::size_t cut = rest.find(L'\\');
            canvas.DrawTextCentred(rest.substr(0, cut), x, top, cell.height);
            rest.remove_prefix(cut == std::wstring_view::npos ? rest.size() : cut + 1);
        }
        return;
    }
    if (context.symbols != nullptr) DrawMapSymbol(canvas, *context.symbols, code, {x, y});
    if (code < 0) return;
    const bool named = element.scale3 == element.scale4 ||
                       (element.scale3 <= context.state.scale && context.state.scale <= element.scale4);
    const platform::PixelRect name{x - 6, y + 5, x - 6 + cell.width, y + 5 + cell.height};
    // The name is cut at its rectangle: one off the canvas shows nothing.
    if (!named || element.text.empty() || name.right <= 0 || name.bottom <= 0 ||
        name.left >= canvas.Width() || name.top >= canvas.Height())
        return;
    Canvas::StateGuard guard(canvas);
    canvas.SetFont(context.font);
    canvas.SetBackgroundMode(platform::BackgroundMode::kTransparent);
    canvas.DrawText(element.text, name, platform::kTextLeft);
}

bool DrawMapSymbol(platform::Canvas& canvas, const MapSymbolImages& symbols, int number,
                   platform::Point centre) {
    const int half = symbols.halfSize;
    const SymbolChoice choice =
        ResolveSymbol(number, static_cast<int>(symbols.users.size()), symbols.markerIcons);
    const auto index = static_cast<std::size_t>(choice.index);
    if (choice.kind == SymbolChoice::Kind::kUser) {
        const auto& user = symbols.users[index];
        canvas.TransparentBlit({centre.x - half, centre.y - half, centre.x + half, centre.y + half},
                               user.image, {0, 0, kCursorImageSize, kCursorImageSize},
                               user.transparent);
        return true;
    }
    if (symbols.icons[index].Empty()) return false;
    canvas.DrawImage({centre.x - half, centre.y - half}, symbols.icons[index]);
    return true;
}

void DrawMapElement(const CMapElement& element, const MapDrawContext& context) {
    switch (element.Kind()) {
        case ElementKind::kPoly:
            if (typeid(element) == typeid(CFaiAreaElement))
                DrawFaiArea(static_cast<const CFaiAreaElement&>(element), context);
            else
                DrawPolyElement(static_cast<const CMapPolyElement&>(element), context);
            break;
        case ElementKind::kCircle:
            DrawCircleElement(static_cast<const CMapCircleElement&>(element), context);
            break;
        case ElementKind::kText:
            DrawTextElement(static_cast<const CMapTextElement&>(element), context);
            break;
    }
}

}  // namespace mapdata
