#pragma once
// The pixel-outline finder: every 4-connected region of one colour of an
// 8-bit palette picture (colours compared by index) is outlined, the
// background included.
//
// Rows are scanned from the top, each from the left. At a pixel whose top
// edge borders another colour (or the picture's edge) and is not yet part of
// an outline, the outer outline of its region is traced, counterclockwise,
// starting at the pixel's top-left corner and running down its left edge.
// Then, when the pixel above has an unused bottom outline edge, the inner
// outline of that pixel's region is traced, clockwise, starting at the
// edge's left end and running along it. Both are listed in the order found.
//
// Points are pixel corners: x = corner column, y = height - corner row; one
// point per unit edge, corners included; the start point is not repeated.
// The first outline is therefore the frame (0, 0) to (width, height).
//
// Pixels of one colour that touch only at a corner belong to different
// regions: each outline turns at such a corner so that it never crosses to
// the diagonal pixel. An outline thus never visits a corner twice on its own
// side, and the union of the regions is the same as with corner joining;
// only the number of outlines differs.
//
// Pure; any thread.

#include <cstdint>
#include <vector>

#include "mapdata/dib.h"

namespace quorlin {

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelOutline {
    std::vector<PixelPoint> points;
    bool clockwise = false;  // an inner outline
    std::uint8_t colour = 0;
    bool open = false;  // never set by the finder: every outline is a ring
};

// A picture as palette indices, row 0 at the top.
struct IndexPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width x height, row after row
    std::uint8_t At(int column, int row) const {
        return pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(column)];
    }
};

// The indices of an 8-bit bitmap; nothing (empty picture) for other depths.
IndexPicture IndicesOf(const mapdata::CDib& dib);

std::vector<PixelOutline> FindOutlines(const IndexPicture& picture);

}  // namespace quorlin
