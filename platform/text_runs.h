#pragma once
// Lines of text shaped once and drawn again from their glyphs.
//
// A ShapedLine is what a laid-out line of one paragraph draws: for each run
// the font (cairo's scaled font, referenced), where the run starts and
// where each glyph of it lies, all in pango units relative to the layout's
// top left corner, plus the layout's size in pixels. Drawing it places the
// glyphs with the same arithmetic pango's cairo renderer uses, so a line
// drawn from its runs has the pixels of the layout it was taken from.
// Lines that pango draws otherwise (a glyph the font lacks, drawn as a box;
// a vertical run) are not taken.
//
// TextRunCache keeps shaped lines keyed by font and text, so that a label
// drawn in every frame is laid out once: bounded by the bytes it holds
// (the least recently used lines go first). Shaping does not depend on
// the map's scale or position, and a line of another font has another key,
// so nothing goes stale; Clear() drops everything (a new map).
//
// Threads: a ShapedLine is immutable once made and may be drawn by any
// number of threads at once (cairo locks its scaled fonts itself). The
// cache may be used from any thread: every call takes its lock, and what it
// hands out is shared, so a line evicted while another thread draws it
// lives on until that draw ends.

#include <cairo.h>

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/drawing_tools.h"

using PangoLayout = struct _PangoLayout;

namespace platform {

struct ShapedLine {
    struct Glyph {
        unsigned long index;
        int x;        // pango units from the run's start
        int yOffset;  // pango units below the baseline
    };
    struct Run {
        std::shared_ptr<cairo_scaled_font_t> font;
        int x = 0;  // pango units from the layout's left edge
        int y = 0;  // the baseline, pango units from the layout's top
        std::vector<Glyph> glyphs;
    };
    Size size;  // the layout's logical size in pixels
    std::vector<Run> runs;

    // An estimate of the memory the line holds.
    std::size_t Bytes() const;
};

// The runs of a laid-out layout; nothing when pango must draw it itself.
std::optional<ShapedLine> ShapeLine(PangoLayout* layout);

// Draws line with its top left corner at the current point of cairo, in
// cairo's current source, as pango_cairo_show_layout would; the current
// point is left where it was.
void ShowShapedLine(cairo_t* cairo, const ShapedLine& line);

class TextRunCache {
  public:
    static constexpr std::size_t kDefaultBytes = std::size_t{16} << 20;

    explicit TextRunCache(std::size_t byteLimit = kDefaultBytes) : limit_(byteLimit) {}
    TextRunCache(const TextRunCache&) = delete;
    TextRunCache& operator=(const TextRunCache&) = delete;

    // The line of text in font, when kept (it becomes the most recent).
    std::shared_ptr<const ShapedLine> Find(const Font& font, std::string_view utf8);
    // Keeps line for text in font, dropping the least recent lines while
    // the cache holds more than its limit.
    void Add(const Font& font, std::string_view utf8, std::shared_ptr<const ShapedLine> line);
    void Clear();
    std::size_t Count() const;
    std::size_t Bytes() const;

  private:
    struct Entry {
        std::string key;
        std::shared_ptr<const ShapedLine> line;
        std::size_t bytes = 0;
    };

    static std::string Key(const Font& font, std::string_view utf8);

    const std::size_t limit_;
    mutable std::mutex mutex_;
    std::list<Entry> recent_;  // most recent first
    std::unordered_map<std::string_view, std::list<Entry>::iterator> index_;  // keys of recent_
    std::size_t bytes_ = 0;
};

}  // namespace platform
