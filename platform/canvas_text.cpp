// Text of the canvas: pango-cairo layouts without antialiasing.
//
// The layout belongs to the thread that made it (pango's font map is one
// per thread); a canvas drawn later by another thread makes a new one.

#include <pango/pangocairo.h>

#include <algorithm>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "platform/canvas.h"
#include "platform/canvas_clip.h"
#include "platform/utf.h"

namespace platform {

namespace {

void Describe(PangoLayout* layout, const Font& font) {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font.face.c_str());
    pango_font_description_set_absolute_size(description,
                                             std::max(1, font.height) * double{PANGO_SCALE});
    pango_font_description_set_weight(description,
                                      static_cast<PangoWeight>(std::clamp(font.weight, 100, 1000)));
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
}

}  // namespace

PangoLayout* Canvas::Layout() {
    if (layout_ != nullptr && layoutOwner_ == std::this_thread::get_id()) return layout_;
    ReleaseText();
    layoutOwner_ = std::this_thread::get_id();
    layout_ = pango_cairo_create_layout(cairo_);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    PangoContext* context = pango_layout_get_context(layout_);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout_);
    pango_layout_set_single_paragraph_mode(layout_, TRUE);
    Describe(layout_, font_);
    return layout_;
}

void Canvas::ReleaseText() {
    if (layout_ != nullptr) g_object_unref(layout_);
    layout_ = nullptr;
}

void Canvas::SetFont(const Font& font) {
    if (font == font_) return;
    font_ = font;
    if (layout_ != nullptr && layoutOwner_ == std::this_thread::get_id()) Describe(layout_, font_);
}

Size Canvas::PrepareText(std::string_view utf8) {
    PangoLayout* layout = Layout();
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    Size size;
    pango_layout_get_pixel_size(layout, &size.width, &size.height);
    return size;
}

Canvas::PreparedLine Canvas::PrepareLine(std::string_view utf8) {
    if (textRuns_ == nullptr) return {PrepareText(utf8), nullptr};
    if (auto kept = textRuns_->Find(font_, utf8)) return {kept->size, std::move(kept)};
    const Size size = PrepareText(utf8);
    std::optional<ShapedLine> shaped = ShapeLine(layout_);
    if (!shaped) return {size, nullptr};
    auto shape = std::make_shared<const ShapedLine>(std::move(*shaped));
    textRuns_->Add(font_, utf8, shape);
    return {size, std::move(shape)};
}

Size Canvas::TextExtent(std::string_view utf8) {
    if (!Valid()) return {};
    return PrepareLine(utf8).size;
}

Size Canvas::TextExtent(std::wstring_view text) {
    return TextExtent(ToUtf8(text));
}

void Canvas::ShowText(double x, double y, Size extent, const PixelRect* clip, const ShapedLine* shape) {
    // Text that cannot reach the canvas is left out before cairo sees its
    // coordinates (far beyond its fixed-point range they would wrap).
    if (x + extent.width < 0 || y + extent.height < 0 || x > Width() || y > Height()) return;
    cairo_save(cairo_);
    if (clip != nullptr) {
        const std::vector<PixelRect> inside = IntersectRegion({Bounds()}, *clip);
        if (inside.empty()) {
            cairo_restore(cairo_);
            return;
        }
        cairo_new_path(cairo_);
        cairo_rectangle(cairo_, inside[0].left, inside[0].top, inside[0].Width(),
                        inside[0].Height());
        cairo_clip(cairo_);
    }
    if (backgroundMode_ == BackgroundMode::kOpaque) {
        cairo_new_path(cairo_);
        cairo_rectangle(cairo_, x, y, extent.width, extent.height);
        cairo_set_source_rgb(cairo_, backgroundColour_.red / 255.0, backgroundColour_.green / 255.0,
                             backgroundColour_.blue / 255.0);
        cairo_fill(cairo_);
    }
    cairo_set_source_rgb(cairo_, textColour_.red / 255.0, textColour_.green / 255.0,
                         textColour_.blue / 255.0);
    cairo_move_to(cairo_, x, y);
    if (shape != nullptr)
        ShowShapedLine(cairo_, *shape);
    else
        pango_cairo_show_layout(cairo_, layout_);
    cairo_restore(cairo_);
}

void Canvas::DrawText(std::string_view utf8, const PixelRect& rect, unsigned format) {
    if (!Valid()) return;
    FlushStroke();
    const PreparedLine line = PrepareLine(utf8);
    const Size size = line.size;
    int x = rect.left;
    if ((format & kTextCenter) != 0)
        x = rect.left + (rect.Width() - size.width) / 2;
    else if ((format & kTextRight) != 0)
        x = rect.right - size.width;
    int y = rect.top;
    if ((format & kTextVCenter) != 0)
        y = rect.top + (rect.Height() - size.height) / 2;
    else if ((format & kTextBottom) != 0)
        y = rect.bottom - size.height;
    ShowText(x, y, size, (format & kTextNoClip) != 0 ? nullptr : &rect, line.shape.get());
}

void Canvas::DrawText(std::wstring_view text, const PixelRect& rect, unsigned format) {
    DrawText(ToUtf8(text), rect, format);
}

void Canvas::DrawTextCentred(std::string_view utf8, int centreX, int top, int height) {
    if (!Valid()) return;
    FlushStroke();
    const PreparedLine line = PrepareLine(utf8);
    const Size size = line.size;
    const int left = centreX - size.width / 2;
    const PixelRect rect{left, top, left + size.width, top + height};
    ShowText(left, top, size, &rect, line.shape.get());
}

void Canvas::DrawTextCentred(std::wstring_view text, int centreX, int top, int height) {
    DrawTextCentred(ToUtf8(text), centreX, top, height);
}

void Canvas::DrawTextAt(Point at, std::string_view utf8) {
    if (!Valid()) return;
    FlushStroke();
    if (font_.escapement % 3600 == 0) {
        const PreparedLine line = PrepareLine(utf8);
        ShowText(at.x, at.y, line.size, nullptr, line.shape.get());
        return;
    }
    const Size size = PrepareText(utf8);
    // Turned text reaches at most its width from its corner.
    const int reach = std::max(size.width, size.height);
    if (at.x < -reach || at.y < -reach || at.x > Width() + reach || at.y > Height() + reach) return;
    cairo_save(cairo_);
    cairo_translate(cairo_, at.x, at.y);
    cairo_rotate(cairo_, -font_.escapement / 10.0 * std::numbers::pi / 180.0);
    pango_cairo_update_layout(cairo_, layout_);
    ShowText(0, 0, size, nullptr);
    cairo_restore(cairo_);
    pango_cairo_update_layout(cairo_, layout_);
}

void Canvas::DrawTextAt(Point at, std::wstring_view text) {
    DrawTextAt(at, ToUtf8(text));
}

}  // namespace platform
