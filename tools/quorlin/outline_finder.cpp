#include "tools/quorlin/outline_finder.h"

#include <cstring>

namespace quorlin {
namespace {

// Directions in picture terms (row downward): east, south, west, north.
enum Direction : int { kEast = 0, kSouth = 1, kWest = 2, kNorth = 3 };
constexpr int kDx[4] = {1, 0, -1, 0};
constexpr int kDy[4] = {0, 1, 0, -1};

constexpr std::uint8_t kTopUsed = 1;
constexpr std::uint8_t kBottomUsed = 2;
constexpr std::uint16_t kOutside = 0x100;

class Finder {
  public:
    explicit Finder(const IndexPicture& picture)
        : width_(picture.width), height_(picture.height), stride_(picture.width + 2),
          colours_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_ + 2), kOutside),
          marks_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {
        for (int r = 0; r < height_; ++r) {
            for (int c = 0; c < width_; ++c) colours_[Cell(c, r)] = picture.At(c, r);
        }
    }

    std::vector<PixelOutline> Run() {
        std::vector<PixelOutline> found;
        for (int r = 0; r < height_; ++r) {
            for (int c = 0; c < width_; ++c) {
                const std::uint16_t colour = colours_[Cell(c, r)];
                const std::uint16_t above = colours_[Cell(c, r - 1)];
                if (above == colour) continue;
                if (!(Mark(c, r) & kTopUsed)) found.push_back(Trace(c, r, kSouth, colour, false));
                if (r > 0 && !(Mark(c, r - 1) & kBottomUsed)) found.push_back(Trace(c, r, kEast, above, true));
            }
        }
        return found;
    }

  private:
    std::size_t Cell(int c, int r) const {
        return static_cast<std::size_t>(r + 1) * static_cast<std::size_t>(stride_) + static_cast<std::size_t>(c + 1);
    }
    std::uint8_t& Mark(int c, int r) {
        return marks_[static_cast<std::size_t>(r) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(c)];
    }
    bool In(int c, int r, std::uint16_t colour) const { return colours_[Cell(c, r)] == colour; }

    // The pixels left and right of the unit edge leaving corner (x, y) in
    // direction d, for a walk that keeps its region on the left.
    bool Follows(int x, int y, int d, std::uint16_t colour) const {
        switch (d) {
            case kSouth: return In(x, y, colour) && !In(x - 1, y, colour);
            case kEast: return In(x, y - 1, colour) && !In(x, y, colour);
            case kNorth: return In(x - 1, y - 1, colour) && !In(x, y - 1, colour);
            default: return In(x - 1, y, colour) && !In(x - 1, y - 1, colour);
        }
    }

    void MarkEdge(int x, int y, int d) {
        if (d == kEast) Mark(x, y - 1) |= kBottomUsed;
        if (d == kWest) Mark(x - 1, y) |= kTopUsed;
    }

    PixelOutline Trace(int x0, int y0, int d0, std::uint16_t colour, bool inner) {
        PixelOutline outline;
        outline.clockwise = inner;
        outline.colour = static_cast<std::uint8_t>(colour);
        int x = x0, y = y0, d = d0;
        do {
            outline.points.push_back({x, height_ - y});
            MarkEdge(x, y, d);
            x += kDx[d];
            y += kDy[d];
            // A left turn first keeps the region's diagonal neighbours apart.
            const int left = (d + 3) % 4, right = (d + 1) % 4;
            if (Follows(x, y, left, colour)) {
                d = left;
            } else if (!Follows(x, y, d, colour)) {
                d = right;
            }
        } while (x != x0 || y != y0 || d != d0);
        return outline;
    }

    int width_, height_, stride_;
    std::vector<std::uint16_t> colours_;
    std::vector<std::uint8_t> marks_;
};

}  // namespace

IndexPicture IndicesOf(const mapdata::CDib& dib) {
    IndexPicture picture;
    if (dib.Empty() || dib.Header().bitCount != 8 || !dib.Bits()) return picture;
    const auto size = dib.GetSize();
    if (size.width <= 0 || size.height <= 0) return picture;
    picture.width = size.width;
    picture.height = size.height;
    picture.pixels.resize(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height));
    for (int r = 0; r < size.height; ++r) {
        const std::uint8_t* row = dib.GetPixelAddress(0, r, false);
        if (!row) return {};  // rows missing from a short file
        std::memcpy(picture.pixels.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(size.width), row,
                    static_cast<std::size_t>(size.width));
    }
    return picture;
}

std::vector<PixelOutline> FindOutlines(const IndexPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return {};
    return Finder(picture).Run();
}

}  // namespace quorlin
