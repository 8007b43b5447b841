#pragma once
// The render benchmark's peer: the same map picture drawn with cairo and
// pango directly, as a plain driver would. It keeps its own copy of the
// elements (unit vectors, pens, fills, UTF-8 texts) and per frame culls
// them by bounding box and scale, projects every vertex with the map's
// projection, strokes each run of one pen at pixel centres (width 1 for
// thin pens, 18 on and 6 off for dashed ones), fills areas by the even-odd
// rule (patterns as 8 x 8 repeated surfaces made once), strokes arcs with
// cairo_arc and lays out each label line once with one pango layout; no
// antialiasing, the same font options as the canvas.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "map/map_lists.h"
#include "mapdata/fai_area.h"
#include "mapdata/map_element_draw.h"
#include "platform/utf.h"

namespace bench {

class PlainCairoMap {
  public:
    PlainCairoMap(const map::MapLists& lists, const mapdata::MapDrawContext& context)
        : pens_(context.pens) {
        for (const auto* list : {&lists.symbols17, &lists.zones, &lists.symbols27, &lists.overlay,
                                 &lists.general}) {
            for (const auto& e : *list) Add(*e);
        }
        description_ = pango_font_description_new();
        pango_font_description_set_family(description_, context.font.face.c_str());
        pango_font_description_set_absolute_size(description_, context.font.height * double{PANGO_SCALE});
        pango_font_description_set_weight(description_, static_cast<PangoWeight>(context.font.weight));
    }
    ~PlainCairoMap() {
        for (auto& [key, pattern] : patterns_) cairo_pattern_destroy(pattern);
        pango_font_description_free(description_);
    }
    PlainCairoMap(const PlainCairoMap&) = delete;
    PlainCairoMap& operator=(const PlainCairoMap&) = delete;

    // One frame onto surface (width x height, the button column left grey).
    void Draw(cairo_surface_t* surface, const mapdata::MapDrawState& state, int width, int height) {
        cairo_t* cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_source_rgb(cr, 212 / 255.0, 208 / 255.0, 200 / 255.0);
        cairo_paint(cr);
        cairo_rectangle(cr, 24, 0, width - 24, height);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        cairo_clip(cr);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
        cairo_font_options_destroy(options);
        pango_layout_context_changed(layout);
        pango_layout_set_single_paragraph_mode(layout, TRUE);
        pango_layout_set_font_description(layout, description_);
        pango_layout_set_text(layout, "WOWOWO", -1);
        int cellWidth = 0;
        int cellHeight = 0;
        pango_layout_get_pixel_size(layout, &cellWidth, &cellHeight);

        const core::GeoBox& view = state.visibleBox;
        std::vector<double> xs;
        std::vector<double> ys;
        for (const Element& e : elements_) {
            if (!(e.bounds.west < view.east && view.west < e.bounds.east &&
                  e.bounds.south < view.north && view.south < e.bounds.north))
                continue;
            if (!(e.scale1 == e.scale2 || (e.scale1 <= state.scale && state.scale <= e.scale2))) continue;
            switch (e.kind) {
                case Kind::kLines:
                case Kind::kArea:
                    DrawPoly(cr, state, e, xs, ys);
                    break;
                case Kind::kCircle:
                    DrawCircle(cr, state, e);
                    break;
                case Kind::kText:
                    DrawText(cr, layout, state, e, cellWidth, cellHeight);
                    break;
            }
        }
        g_object_unref(layout);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
    }

  private:
    enum class Kind { kLines, kArea, kCircle, kText };
    struct Element {
        Kind kind;
        core::GeoBox bounds;
        float scale1 = 0;
        float scale2 = 0;
        std::vector<mapdata::UnitVector> points;  // a circle's centre, a text's position
        std::vector<int> pens;
        std::int32_t fillStyle = 0;
        std::uint32_t fillColour = 0;
        bool outline = true;
        // circles
        float radiusKm = 0;
        float startBearing = 0;
        float endBearing = 0;
        bool counterClockwise = true;
        bool sector = false;
        int penNumber = 0;
        int colourNumber = 0;
        // texts
        int code = 0;
        float scale3 = 0;
        float scale4 = 0;
        std::vector<std::string> lines;
    };

    void Add(const mapdata::CMapElement& element) {
        Element e;
        e.bounds = element.bounds;
        e.scale1 = element.scale1;
        e.scale2 = element.scale2;
        if ((element.LoadFlags() & mapdata::element_flag::kNotDrawn) != 0) return;
        switch (element.Kind()) {
            case mapdata::ElementKind::kPoly: {
                const auto& poly = static_cast<const mapdata::CMapPolyElement&>(element);
                if (poly.PointCount() < 2) return;
                e.kind = poly.fillStyle == 0 ? Kind::kLines : Kind::kArea;
                for (const auto& p : poly.Points()) {
                    e.points.push_back(p.Position());
                    e.pens.push_back(p.pen);
                }
                e.fillStyle = poly.fillStyle;
                e.fillColour = poly.fillColour;
                e.outline = poly.outline;
                break;
            }
            case mapdata::ElementKind::kCircle: {
                const auto& c = static_cast<const mapdata::CMapCircleElement&>(element);
                e.kind = Kind::kCircle;
                e.points.push_back(c.centre);
                e.radiusKm = c.radiusKm;
                e.startBearing = c.startBearing;
                e.endBearing = c.endBearing;
                e.counterClockwise = c.counterClockwise;
                e.sector = c.sector;
                e.penNumber = c.penNumber;
                e.colourNumber = c.colourNumber;
                e.fillStyle = c.fillStyle;
                e.fillColour = c.colour;
                break;
            }
            case mapdata::ElementKind::kText: {
                const auto& t = static_cast<const mapdata::CMapTextElement&>(element);
                e.kind = Kind::kText;
                // A text's box is its point, edges included.
                constexpr double kEdge = 6e-6;  // degrees
                const core::GeoPoint at = core::FromRadiansWest(t.latitude, t.longitude);
                e.bounds = {at.longitude - kEdge, at.latitude - kEdge, at.longitude + kEdge,
                            at.latitude + kEdge};
                e.points.push_back(t.position);
                e.code = t.kindCode;
                e.scale3 = t.scale3;
                e.scale4 = t.scale4;
                std::wstring_view rest = t.text;
                if (e.code == mapdata::kLabelCode) {
                    for (std::size_t cut; (cut = rest.find(L'\\')) != std::wstring_view::npos;) {
                        e.lines.push_back(platform::ToUtf8(rest.substr(0, cut)));
                        rest.remove_prefix(cut + 1);
                    }
                }
                e.lines.push_back(platform::ToUtf8(rest));
                break;
            }
        }
        elements_.push_back(std::move(e));
    }

    void SetPen(cairo_t* cr, int number) const {
        if (number < 0 || number >= static_cast<int>(pens_.size())) number = 0;
        const mapdata::MapPen& pen = pens_[static_cast<std::size_t>(number)];
        cairo_set_source_rgb(cr, pen.colour.red / 255.0, pen.colour.green / 255.0, pen.colour.blue / 255.0);
        static const double dashes[] = {18.0, 6.0};
        cairo_set_dash(cr, dashes, pen.dashed ? 2 : 0, 0);
        cairo_set_line_width(cr, pen.dashed ? 1 : std::max(1, pen.width));
    }

    void SetFill(cairo_t* cr, std::int32_t style, std::uint32_t colorref) {
        const platform::Colour colour = platform::Colour::FromColorref(colorref);
        const auto brush = mapdata::PatternBrush(style, colour);
        if (!brush) {
            cairo_set_source_rgb(cr, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
            return;
        }
        const auto key = std::make_pair(style, colorref);
        auto found = patterns_.find(key);
        if (found == patterns_.end()) {
            cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
            auto* data = cairo_image_surface_get_data(tile);
            for (int y = 0; y < 8; ++y) {
                auto* row = static_cast<std::uint32_t*>(static_cast<void*>(data + y * cairo_image_surface_get_stride(tile)));
                for (int x = 0; x < 8; ++x)
                    row[x] = ((brush->rows[static_cast<std::size_t>(y)] >> (7 - x) & 1) != 0 ? brush->background
                                                                                          : brush->colour).Argb();
            }
            cairo_surface_mark_dirty(tile);
            cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
            cairo_surface_destroy(tile);
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
            cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
            cairo_matrix_t matrix;
            cairo_matrix_init_translate(&matrix, -brush->origin.x, -brush->origin.y);
            cairo_pattern_set_matrix(pattern, &matrix);
            found = patterns_.emplace(key, pattern).first;
        }
        cairo_set_source(cr, found->second);
    }

    void DrawPoly(cairo_t* cr, const mapdata::MapDrawState& state, const Element& e,
                  std::vector<double>& xs, std::vector<double>& ys) {
        xs.clear();
        ys.clear();
        for (const auto& p : e.points) {
            const auto s = mapdata::ProjectToScreen(state, p);
            xs.push_back(std::trunc(s.x) + 0.5);
            ys.push_back(std::trunc(s.y) + 0.5);
        }
        if (e.kind == Kind::kArea) {
            cairo_move_to(cr, xs[0], ys[0]);
            for (std::size_t i = 1; i < xs.size(); ++i) cairo_line_to(cr, xs[i], ys[i]);
            cairo_close_path(cr);
            SetFill(cr, e.fillStyle, e.fillColour);
            cairo_fill(cr);
            if (!e.outline) return;
        }
        // One stroke per run of one pen.
        std::size_t i = 1;
        while (i < xs.size()) {
            const int pen = e.pens[i];
            cairo_move_to(cr, xs[i - 1], ys[i - 1]);
            for (; i < xs.size() && e.pens[i] == pen; ++i) cairo_line_to(cr, xs[i], ys[i]);
            SetPen(cr, pen);
            cairo_stroke(cr);
        }
    }

    void DrawCircle(cairo_t* cr, const mapdata::MapDrawState& state, const Element& e) {
        const auto s = mapdata::ProjectToScreen(state, e.points[0]);
        const double cx = std::trunc(s.x) + 0.5;
        const double cy = std::trunc(s.y) + 0.5;
        const double radius = static_cast<double>(state.pixelsPerKm) * e.radiusKm;
        if (e.fillStyle == 0) {
            constexpr double kTwoPi = 2.0 * std::numbers::pi;
            const auto screen = [&](float bearing) {
                return std::fmod(std::numbers::pi / 2.0 - std::fmod(static_cast<double>(bearing), kTwoPi) +
                                     state.rotation + 2 * kTwoPi, kTwoPi);
            };
            double from = screen(e.startBearing);
            double to = screen(e.endBearing);
            if (!e.counterClockwise) std::swap(from, to);
            // Screen y runs down: angles turn the other way.
            cairo_arc_negative(cr, cx, cy, radius, -from, -to);
            if (e.sector) cairo_line_to(cr, cx, cy), cairo_close_path(cr);
            SetPen(cr, e.penNumber);
            cairo_stroke(cr);
            return;
        }
        cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
        if (e.colourNumber != 0) {
            SetFill(cr, e.fillStyle, e.fillColour);
            cairo_fill_preserve(cr);
        }
        if (e.colourNumber < 0 || e.penNumber == 0) {
            cairo_new_path(cr);
            return;
        }
        SetPen(cr, e.penNumber);
        cairo_stroke(cr);
    }

    static void DrawText(cairo_t* cr, PangoLayout* layout, const mapdata::MapDrawState& state,
                         const Element& e, int cellWidth, int cellHeight) {
        const auto s = mapdata::ProjectToScreen(state, e.points[0]);
        const int x = static_cast<int>(s.x);
        const int y = static_cast<int>(s.y);
        cairo_set_source_rgb(cr, 0, 0, 0);
        if (e.code == mapdata::kLabelCode) {
            int top = y - static_cast<int>(e.lines.size()) * cellHeight / 2;
            for (const std::string& line : e.lines) {
                pango_layout_set_text(layout, line.data(), static_cast<int>(line.size()));
                int width = 0;
                int height = 0;
                pango_layout_get_pixel_size(layout, &width, &height);
                cairo_move_to(cr, x - width / 2, top);
                pango_cairo_show_layout(cr, layout);
                top += cellHeight;
            }
            return;
        }
        const bool named = e.scale3 == e.scale4 || (e.scale3 <= state.scale && state.scale <= e.scale4);
        if (e.code < 0 || !named || e.lines.front().empty()) return;
        cairo_save(cr);
        cairo_rectangle(cr, x - 6, y + 5, cellWidth, cellHeight);
        cairo_clip(cr);
        pango_layout_set_text(layout, e.lines.front().data(), static_cast<int>(e.lines.front().size()));
        cairo_move_to(cr, x - 6, y + 5);
        pango_cairo_show_layout(cr, layout);
        cairo_restore(cr);
    }

    std::array<mapdata::MapPen, 49> pens_;
    std::vector<Element> elements_;
    std::map<std::pair<std::int32_t, std::uint32_t>, cairo_pattern_t*> patterns_;
    PangoFontDescription* description_ = nullptr;
};

}  // namespace bench
