#pragma once
// Resizing of bitmaps and icons for the display resolution.
//
// Both copy pixels nearest-neighbour, the same blocky look as drawing the
// original symbols pixel for pixel: no blur on small map symbols, and alpha
// is carried along with the colour.

#include "platform/image.h"

namespace core {

// bitmap is a strip of columns x rows equal cells (the last pixels of a
// size not divisible by the count belong to no cell). Each cell is
// stretched to cellWidth x cellHeight into a new bitmap that replaces the
// old one. A size of 0 keeps the cell's aspect ratio:
//   cellWidth = (|cellHeight| * cell width + cell height / 2) / cell height,
// with the sign of cellHeight, and the converse for the height. A negative
// size mirrors each cell in that direction.
// Returns 1 when done or when the cells already have that size (nothing
// changes); 0, with the bitmap unchanged, when it is empty, both sizes are
// 0, columns or rows is not positive, a cell would be less than a pixel
// (before or after stretching) or the new bitmap cannot be made.
int StretchBitmap(platform::Image& bitmap, int cellWidth, int cellHeight, int columns, int rows);

// Replaces icon with a width x height copy of it. Returns 1, or 0 with the
// icon unchanged when it is empty, a size is not positive or the new image
// cannot be made.
int StretchIcon(platform::Image& icon, int width, int height);

}  // namespace core
