#include "platform/text_runs.h"

#include <pango/pangocairo.h>

#include <cstdint>
#include <cstring>

namespace platform {

std::size_t ShapedLine::Bytes() const {
    std::size_t bytes = sizeof(ShapedLine);
    for (const Run& run : runs) bytes += sizeof(Run) + run.glyphs.capacity() * sizeof(Glyph);
    return bytes;
}

namespace {

// The runs of one line, placed as pango's renderer places them: the line at
// its logical left edge and baseline, each run after the widths (and the
// offsets before and after) of those before it, raised by its own offset.
bool AddLineRuns(PangoLayoutLine* line, int lineX, int baseline, ShapedLine& shaped) {
    int along = 0;
    for (GSList* l = line->runs; l != nullptr; l = l->next) {
        const auto* run = static_cast<PangoLayoutRun*>(l->data);
        if ((run->item->analysis.flags & PANGO_ANALYSIS_FLAG_CENTERED_BASELINE) != 0) return false;
        auto* font = PANGO_CAIRO_FONT(run->item->analysis.font);
        cairo_scaled_font_t* scaled = font != nullptr ? pango_cairo_font_get_scaled_font(font) : nullptr;
        if (scaled == nullptr || cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) return false;
        along += run->start_x_offset;
        ShapedLine::Run out;
        out.font = std::shared_ptr<cairo_scaled_font_t>(cairo_scaled_font_reference(scaled),
                                                        cairo_scaled_font_destroy);
        out.x = lineX + along;
        out.y = baseline - run->y_offset;
        const PangoGlyphString* glyphs = run->glyphs;
        out.glyphs.reserve(static_cast<std::size_t>(glyphs->num_glyphs));
        int position = 0;
        for (int i = 0; i < glyphs->num_glyphs; ++i) {
            const PangoGlyphInfo& g = glyphs->glyphs[i];
            if (g.glyph != PANGO_GLYPH_EMPTY) {
                // A missing glyph is drawn as a box of its code by pango.
                if ((g.glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0) return false;
                out.glyphs.push_back({g.glyph, position + g.geometry.x_offset, g.geometry.y_offset});
            }
            position += g.geometry.width;
        }
        along += pango_glyph_string_get_width(run->glyphs) + run->end_x_offset;
        shaped.runs.push_back(std::move(out));
    }
    return true;
}

}  // namespace

std::optional<ShapedLine> ShapeLine(PangoLayout* layout) {
    ShapedLine shaped;
    pango_layout_get_pixel_size(layout, &shaped.size.width, &shaped.size.height);
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    bool drawable = true;
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        drawable = AddLineRuns(pango_layout_iter_get_line_readonly(iter), logical.x,
                               pango_layout_iter_get_baseline(iter), shaped);
    } while (drawable && pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    if (!drawable) return std::nullopt;
    return shaped;
}

void ShowShapedLine(cairo_t* cairo, const ShapedLine& line) {
    const bool hadPoint = cairo_has_current_point(cairo) != 0;
    double left = 0;
    double top = 0;
    cairo_get_current_point(cairo, &left, &top);
    std::vector<cairo_glyph_t> glyphs;
    for (const ShapedLine::Run& run : line.runs) {
        // The same sums, in the same order, as pango's renderer.
        const double baseX = left + static_cast<double>(run.x) / PANGO_SCALE;
        const double baseY = top + static_cast<double>(run.y) / PANGO_SCALE;
        glyphs.clear();
        for (const ShapedLine::Glyph& g : run.glyphs) {
            glyphs.push_back({g.index, baseX + static_cast<double>(g.x) / PANGO_SCALE,
                              g.yOffset == 0 ? baseY : baseY + static_cast<double>(g.yOffset) / PANGO_SCALE});
        }
        cairo_save(cairo);
        cairo_set_scaled_font(cairo, run.font.get());
        cairo_show_glyphs(cairo, glyphs.data(), static_cast<int>(glyphs.size()));
        cairo_restore(cairo);
    }
    if (hadPoint)
        cairo_move_to(cairo, left, top);
    else
        cairo_new_path(cairo);
}

// ---- the cache ----

std::string TextRunCache::Key(const Font& font, std::string_view utf8) {
    // The font's numbers and the face's length first, so that no face and
    // text run together into another's key.
    const std::int32_t numbers[] = {font.height, font.weight, font.escapement,
                                    static_cast<std::int32_t>(font.face.size())};
    std::string key(sizeof numbers, '\0');
    std::memcpy(key.data(), numbers, sizeof numbers);
    key += font.face;
    key += utf8;
    return key;
}

std::shared_ptr<const ShapedLine> TextRunCache::Find(const Font& font, std::string_view utf8) {
    const std::string key = Key(font, utf8);
    const std::lock_guard lock(mutex_);
    const auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    recent_.splice(recent_.begin(), recent_, found->second);
    return found->second->line;
}

void TextRunCache::Add(const Font& font, std::string_view utf8, std::shared_ptr<const ShapedLine> line) {
    if (!line) return;
    std::string key = Key(font, utf8);
    const std::size_t bytes = line->Bytes() + 2 * key.size() + sizeof(Entry) + 64;
    const std::lock_guard lock(mutex_);
    if (const auto found = index_.find(key); found != index_.end()) {
        const auto entry = found->second;
        bytes_ -= entry->bytes;
        index_.erase(found);
        recent_.erase(entry);
    }
    recent_.push_front({std::move(key), std::move(line), bytes});
    index_.emplace(recent_.front().key, recent_.begin());
    bytes_ += bytes;
    while (bytes_ > limit_ && recent_.size() > 1) {
        const Entry& last = recent_.back();
        bytes_ -= last.bytes;
        index_.erase(last.key);
        recent_.pop_back();
    }
}

void TextRunCache::Clear() {
    const std::lock_guard lock(mutex_);
    index_.clear();
    recent_.clear();
    bytes_ = 0;
}

std::size_t TextRunCache::Count() const {
    const std::lock_guard lock(mutex_);
    return recent_.size();
}

std::size_t TextRunCache::Bytes() const {
    const std::lock_guard lock(mutex_);
    return bytes_;
}

}  // namespace platform
