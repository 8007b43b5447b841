#pragma once
// A canvas: an opaque off-screen picture in device pixels (x right, y
// down) with the drawing calls of the maps, the position page and the
// bitmaps, over a cairo image surface with pango-cairo text.
//
// What it does
//  - Lines, fills and text are drawn without antialiasing. Thin pens are
//    rasterised here (one pixel per step, last point left out, dashes of
//    18 on and 6 off); wide pens, polygon and ellipse fills and text go
//    through cairo with antialiasing off.
//  - Polygons fill by the alternate (even-odd) rule. Arcs are polylines of
//    points the caller computes. Coordinates may lie far outside the
//    canvas: lines, outlines, fills and text are cut to it before cairo
//    sees them (ellipses above about a million pixels across become
//    polygons of 4096 corners).
//  - Raster operations (Blit) copy, AND or XOR red, green and blue bit by
//    bit; every pixel stays opaque (alpha 255).
//  - TransparentBlit stretches nearest-neighbour and skips the source
//    pixels whose red, green and blue equal the key exactly.
//  - The drawing state (pen, brush, font, text and background colours,
//    background mode, clip region) is the canvas's own, set by the Set*
//    calls and kept until changed; StateGuard puts it back. A new canvas
//    has a black one-pixel pen, a white brush, black text on an opaque
//    white background, the default Font and no clip region.
//  - Every drawing call, blits included, keeps to the clip region.
//  - With a text run cache (UseTextRuns), a line of text in an unturned
//    font is laid out once per font and text and drawn again from its
//    glyphs, with the same pixels.
//
// Pixels: Pixels() gives the canvas's pixels as 0xFFRRGGBB words, row by
// row (the memory of a device-independent section). Write through it only
// between drawing calls, keep every pixel opaque, and call MarkDirty()
// afterwards; never replace the image.
//
// A mask for an AND (the patterned fills of map areas): a second canvas
// cleared white, the pattern drawn with a white background, then
// Blit(..., RasterOp::kAnd) onto the target.
//
// Threads: a canvas is drawn by one thread at a time, and nothing reads its
// pixels while it is drawn (hand a finished canvas to another thread with
// CanvasHandover). Any number of threads may draw on their own canvases at
// once, with the same pens, brushes, fonts and source images, which must
// then not change. No lock is taken.

#include <cairo.h>

#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/drawing_tools.h"
#include "platform/image.h"
#include "platform/text_runs.h"

using PangoLayout = struct _PangoLayout;

namespace platform {

enum class RasterOp {
    kCopy,  // source
    kAnd,   // source AND destination
    kXor,   // source XOR destination
};

// Placement of text in its rectangle (one line).
enum TextFormat : unsigned {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
    kTextTop = 0,
    kTextVCenter = 4,
    kTextBottom = 8,
    kTextNoClip = 0x100,  // without it the text is cut at the rectangle
};

enum class BackgroundMode {
    kTransparent,  // text leaves the pixels between its glyphs alone
    kOpaque,       // text first fills its extent with the background colour
};

class Canvas {
  public:
    // A width x height canvas, opaque black; check Valid() (a size that is
    // not positive, or too large for cairo, gives an invalid canvas on
    // which every call does nothing).
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Valid() const { return cairo_ != nullptr; }
    int Width() const { return image_.Width(); }
    int Height() const { return image_.Height(); }
    PixelRect Bounds() const { return {0, 0, Width(), Height()}; }

    // Completes every drawing call (a polyline of a wide pen is stroked
    // as a whole when the next call comes). The drawing thread calls it
    // before another thread reads the pixels.
    void Finish();
    // The pixels, with every drawing call finished.
    Image& Pixels();
    // The pixels of a finished canvas.
    const Image& Pixels() const;

    // ---- state ----
    void SetPen(const Pen& pen);
    void SetBrush(const Brush& brush);
    void SetFont(const Font& font);
    void SetTextColour(Colour colour) { textColour_ = colour; }
    void SetBackgroundColour(Colour colour) { backgroundColour_ = colour; }
    void SetBackgroundMode(BackgroundMode mode) { backgroundMode_ = mode; }
    const Pen& CurrentPen() const { return pen_; }
    const Brush& CurrentBrush() const { return brush_; }
    const Font& CurrentFont() const { return font_; }
    Point CurrentPosition() const { return position_; }

    // Clipping: ResetClip draws everywhere; ClipTo keeps only what lies
    // inside rect as well; ExcludeClip takes rect out.
    void ResetClip();
    void ClipTo(const PixelRect& rect);
    void ExcludeClip(const PixelRect& rect);
    // The clip region as non-overlapping rectangles.
    std::vector<PixelRect> ClipRectangles() const;

    // Saves the drawing state and the clip region, and puts them back when
    // it goes out of scope.
    class StateGuard {
      public:
        explicit StateGuard(Canvas& canvas);
        ~StateGuard();
        StateGuard(const StateGuard&) = delete;
        StateGuard& operator=(const StateGuard&) = delete;

      private:
        Canvas& canvas_;
        Pen pen_;
        Brush brush_;
        Font font_;
        Colour text_;
        Colour background_;
        BackgroundMode mode_;
        std::vector<PixelRect> clip_;
        bool clipped_;
    };

    // ---- lines and shapes (current pen and brush) ----
    void MoveTo(Point to);
    // A line from the current position to `to` (which becomes the current
    // position) with the current pen.
    void LineTo(Point to);
    // MoveTo the first point, LineTo each following one.
    void Polyline(std::span<const Point> points);
    // LineTo each point in turn (the dashes run on from the current
    // position's).
    void LineThrough(std::span<const Point> points);
    // The polygon filled with the current brush (even-odd), then its closed
    // outline with the current pen. Fewer than 2 points draw nothing.
    void Polygon(std::span<const Point> points);
    // The ellipse inscribed in box, filled and outlined like Polygon.
    void Ellipse(const PixelRect& box);
    // rect filled with brush (the current pen and brush are not used).
    void FillRect(const PixelRect& rect, const Brush& brush);
    // One pixel (inside the clip region only).
    void SetPixel(Point at, Colour colour);
    // The colour of a pixel; black outside the canvas.
    Colour GetPixel(Point at);

    // ---- text (current font, text colour, background) ----
    // Shapes text through cache from now on (none: lays out every line);
    // the cache must outlive its use here.
    void UseTextRuns(TextRunCache* cache) { textRuns_ = cache; }
    // The width and height of one line of text.
    Size TextExtent(std::string_view utf8);
    Size TextExtent(std::wstring_view text);
    // One line placed in rect by format (TextFormat bits).
    void DrawText(std::string_view utf8, const PixelRect& rect, unsigned format);
    void DrawText(std::wstring_view text, const PixelRect& rect, unsigned format);
    // One line laid out once, centred on centreX with its top at top, cut
    // at its own width and the given height: DrawText into a rectangle as
    // wide as the text's extent, without measuring it first.
    void DrawTextCentred(std::string_view utf8, int centreX, int top, int height);
    void DrawTextCentred(std::wstring_view text, int centreX, int top, int height);
    // One line whose top left corner, before the font's escapement turns it
    // about that corner, lies at `at`.
    void DrawTextAt(Point at, std::string_view utf8);
    void DrawTextAt(Point at, std::wstring_view text);

    // ---- images ----
    // An image with alpha (an icon) laid over the canvas at `at`.
    void DrawImage(Point at, const Image& image);
    // size pixels of source from `from` combined onto the canvas at `to`.
    // The source's alpha is ignored.
    void Blit(Point to, Size size, const Image& source, Point from, RasterOp op);
    // from (in source) stretched nearest-neighbour onto to. Returns false,
    // drawing nothing, when a rectangle is empty or from is not inside the
    // source.
    bool StretchBlit(const PixelRect& to, const Image& source, const PixelRect& from);
    // As StretchBlit, but source pixels whose red, green and blue equal key
    // leave the canvas as it is.
    bool TransparentBlit(const PixelRect& to, const Image& source, const PixelRect& from, Colour key);

  private:
    struct DoublePoint {
        double x;
        double y;
    };

    void FlushStroke();
    void ApplyClip();
    void SetClipRegion(std::vector<PixelRect> rects);
    void ThinLine(Point from, Point to, std::uint32_t argb, bool dashed);
    void WideLine(Point from, Point to);
    void Outline(std::span<const Point> points, bool closed);
    void FillPolygon(std::vector<DoublePoint> points, const Brush& brush);
    void FillPath(const Brush& brush);
    PangoLayout* Layout();
    void ReleaseText();
    Size PrepareText(std::string_view utf8);
    // A line ready to show: shaped, or laid out in the layout (no shape).
    struct PreparedLine {
        Size size;
        std::shared_ptr<const ShapedLine> shape;
    };
    PreparedLine PrepareLine(std::string_view utf8);
    void ShowText(double x, double y, Size extent, const PixelRect* clip, const ShapedLine* shape = nullptr);
    bool StretchPixels(const PixelRect& to, const Image& source, const PixelRect& from, bool keyed,
                       Colour key);
    // The parts of rect that lie inside the canvas and the clip region.
    std::vector<PixelRect> Visible(const PixelRect& rect) const;
    bool Inside(int x, int y) const;
    std::uint32_t* Row(int y) const;
    void BeginPixels();
    void EndPixels();

    Image image_;
    cairo_t* cairo_ = nullptr;
    // Text is laid out by the thread that made the layout (pango's font
    // maps are one per thread).
    PangoLayout* layout_ = nullptr;
    std::thread::id layoutOwner_;
    TextRunCache* textRuns_ = nullptr;

    Pen pen_;
    Brush brush_ = Brush::Solid(kWhite);
    Font font_;
    Colour textColour_ = kBlack;
    Colour backgroundColour_ = kWhite;
    BackgroundMode backgroundMode_ = BackgroundMode::kOpaque;

    // The last pattern brush made into a cairo pattern.
    cairo_pattern_t* pattern_ = nullptr;
    Brush patternBrush_;

    Point position_{};
    int dashPhase_ = 0;
    bool strokePending_ = false;
    bool pathOpen_ = false;  // the pending wide stroke ends at position_

    // The clip region: empty while not clipped, else its rectangles.
    bool clipped_ = false;
    std::vector<PixelRect> clip_;
};

}  // namespace platform
