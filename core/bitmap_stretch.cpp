#include "core/bitmap_stretch.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

namespace core {
namespace {

using platform::Image;

struct Cell {
    int x;
    int y;
    int width;   // negative: mirrored left to right
    int height;  // negative: mirrored top to bottom
};

// size scaled by num / den, rounded to nearest, keeping the sign of size.
std::int64_t Proportional(int size, int num, int den) {
    const std::int64_t magnitude = (std::llabs(size) * num + den / 2) / den;
    return size < 0 ? -magnitude : magnitude;
}

// The source offset that destination offset d of n pixels samples from a
// span of m pixels: the pixel under d's centre.
int Sample(int d, int n, int m) {
    return static_cast<int>((2 * static_cast<std::int64_t>(d) + 1) * m /
                            (2 * static_cast<std::int64_t>(n)));
}

// Copies the source cell onto the target cell, nearest neighbour.
void StretchCell(const Image& source, Cell from, Image& target, Cell to) {
    const int width = std::abs(to.width);
    const int height = std::abs(to.height);
    for (int dy = 0; dy < height; ++dy) {
        const int sy = Sample(to.height < 0 ? height - 1 - dy : dy, height, from.height);
        const std::uint32_t* in = source.Row(from.y + sy) + from.x;
        std::uint32_t* out = target.Row(to.y + dy) + to.x;
        for (int dx = 0; dx < width; ++dx)
            out[dx] = in[Sample(to.width < 0 ? width - 1 - dx : dx, width, from.width)];
    }
}

bool FitsInt(std::int64_t value) {
    return value != 0 && std::llabs(value) <= std::numeric_limits<int>::max();
}

}  // namespace

int StretchBitmap(Image& bitmap, int cellWidth, int cellHeight, int columns, int rows) {
    if (bitmap.Empty() || (cellWidth == 0 && cellHeight == 0) || columns <= 0 || rows <= 0)
        return 0;
    const int oldWidth = bitmap.Width() / columns;
    const int oldHeight = bitmap.Height() / rows;
    if (oldWidth == 0 || oldHeight == 0) return 0;

    const std::int64_t newWidth =
        cellWidth != 0 ? cellWidth : Proportional(cellHeight, oldWidth, oldHeight);
    const std::int64_t newHeight =
        cellHeight != 0 ? cellHeight : Proportional(cellWidth, oldHeight, oldWidth);
    if (newWidth == oldWidth && newHeight == oldHeight) return 1;
    if (!FitsInt(newWidth * columns) || !FitsInt(newHeight * rows)) return 0;

    Image stretched(static_cast<int>(std::llabs(newWidth) * columns),
                    static_cast<int>(std::llabs(newHeight) * rows));
    if (stretched.Empty()) return 0;
    const auto w = static_cast<int>(newWidth);
    const auto h = static_cast<int>(newHeight);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            StretchCell(bitmap, {column * oldWidth, row * oldHeight, oldWidth, oldHeight},
                        stretched, {column * std::abs(w), row * std::abs(h), w, h});
        }
    }
    stretched.MarkDirty();
    bitmap = std::move(stretched);
    return 1;
}

int StretchIcon(Image& icon, int width, int height) {
    if (icon.Empty() || width <= 0 || height <= 0) return 0;
    if (width == icon.Width() && height == icon.Height()) return 1;
    Image stretched(width, height);
    if (stretched.Empty()) return 0;
    StretchCell(icon, {0, 0, icon.Width(), icon.Height()}, stretched, {0, 0, width, height});
    stretched.MarkDirty();
    icon = std::move(stretched);
    return 1;
}

}  // namespace core
