#pragma once
// The values a canvas draws with: colours, points and rectangles in device
// pixels, pens, brushes and fonts.
//
// All of them are plain immutable-once-built values: a table of pens or
// brushes built at start-up may be read by any number of threads drawing
// on their own canvases at the same time. Nothing here touches cairo.

#include <array>
#include <cstdint>
#include <string>

#include "platform/pixel_rect.h"

namespace platform {

// An opaque colour. Colorref is the Windows 0x00BBGGRR word that files and
// settings store.
struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    static constexpr Colour FromColorref(std::uint32_t bgr) {
        return {static_cast<std::uint8_t>(bgr), static_cast<std::uint8_t>(bgr >> 8),
                static_cast<std::uint8_t>(bgr >> 16)};
    }
    constexpr std::uint32_t Colorref() const {
        return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
               static_cast<std::uint32_t>(blue) << 16;
    }
    // The opaque pixel word of a canvas (0xFFRRGGBB).
    constexpr std::uint32_t Argb() const {
        return 0xFF000000U | static_cast<std::uint32_t>(red) << 16 |
               static_cast<std::uint32_t>(green) << 8 | blue;
    }
    static constexpr Colour FromArgb(std::uint32_t argb) {
        return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                static_cast<std::uint8_t>(argb)};
    }
    friend constexpr bool operator==(Colour, Colour) = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};

// Device pixels, x to the right, y downwards.
struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(Size, Size) = default;
};

// A line style.
//  - kSolid of width 0 or 1, and kDash (always one pixel wide), are thin
//    lines: one pixel per step of the longer axis, from the first point up
//    to but not including the last, on pixel centres.
//  - kDash repeats 18 pixels drawn and 6 left in device pixels; the pattern
//    runs on over the joints of a polyline and starts again at each MoveTo.
//  - kSolid wider than 1 is centred on the pixel centres of its points,
//    with round caps and joins.
//  - kNull draws nothing (the outline of a polygon or ellipse is left out).
struct Pen {
    enum class Style { kSolid, kDash, kNull };
    Style style = Style::kSolid;
    int width = 1;
    Colour colour = kBlack;

    static constexpr Pen Solid(Colour colour, int width = 1) {
        return {Style::kSolid, width, colour};
    }
    static constexpr Pen Dashed(Colour colour) { return {Style::kDash, 1, colour}; }
    static constexpr Pen None() { return {Style::kNull, 0, kBlack}; }

    constexpr bool Thin() const { return style == Style::kDash || width <= 1; }
    friend constexpr bool operator==(const Pen&, const Pen&) = default;
};

// An 8 x 8 monochrome pattern: eight row bytes from the top, bit 7 the
// leftmost pixel.
using PatternRows = std::array<std::uint8_t, 8>;

// A fill.
//  - kHollow fills nothing.
//  - kSolid fills with colour.
//  - kPattern paints the pixel at device (x, y) from row (y - origin.y) mod 8,
//    column (x - origin.x) mod 8 of the pattern: a 0 bit in colour, a 1 bit
//    in background. The fill is opaque; a mask for a later AND is drawn with
//    background white (1 bits then leave the target as it is).
struct Brush {
    enum class Kind { kHollow, kSolid, kPattern };
    Kind kind = Kind::kHollow;
    Colour colour = kBlack;
    Colour background = kWhite;
    PatternRows rows{};
    Point origin{};

    static constexpr Brush Hollow() { return {}; }
    static constexpr Brush Solid(Colour colour) { return {Kind::kSolid, colour, kWhite, {}, {}}; }
    static constexpr Brush Pattern(const PatternRows& rows, Colour zeroBits, Colour oneBits,
                                   Point origin) {
        return {Kind::kPattern, zeroBits, oneBits, rows, origin};
    }
    friend constexpr bool operator==(const Brush&, const Brush&) = default;
};

// A font as the drawing calls describe one: a face name (fontconfig picks
// the nearest installed face), the character height in pixels (the em
// size, not counting the internal leading), a weight from 100 to 900 (400
// normal, 700 bold) and an escapement in tenths of a degree counter-clockwise
// (900 writes upwards). A height below 1 counts as 1.
struct Font {
    std::string face = "DejaVu Sans";
    int height = 12;
    int weight = 400;
    int escapement = 0;
    friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace platform
