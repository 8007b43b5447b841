// Images onto the canvas: icons with alpha, raster operations and the
// nearest-neighbour stretches, as pixel loops (cairo has no bitwise
// operators). Source images are only read, so several threads may blit
// the same one.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/canvas.h"

namespace platform {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000U;
constexpr std::uint32_t kRgb = 0x00FFFFFFU;

const std::uint32_t* SourceRow(const Image& image, int y) {
    // No flush: a source image is not being drawn while it is read.
    const unsigned char* data = cairo_image_surface_get_data(image.Surface());
    return static_cast<const std::uint32_t*>(
        static_cast<const void*>(data + static_cast<std::ptrdiff_t>(y) * image.Stride()));
}

std::uint32_t Over(std::uint32_t source, std::uint32_t target) {
    const std::uint32_t alpha = source >> 24;
    if (alpha == 255) return source;
    if (alpha == 0) return target;
    const std::uint32_t keep = 255 - alpha;
    std::uint32_t out = kOpaque;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t s = source >> shift & 0xFF;
        const std::uint32_t t = target >> shift & 0xFF;
        out |= std::min<std::uint32_t>(255, s + (t * keep + 127) / 255) << shift;
    }
    return out;
}

}  // namespace

void Canvas::DrawImage(Point at, const Image& image) {
    if (!Valid() || image.Empty()) return;
    BeginPixels();
    for (const PixelRect& r : Visible({at.x, at.y, at.x + image.Width(), at.y + image.Height()})) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* source = SourceRow(image, y - at.y) - at.x;
            std::uint32_t* target = Row(y);
            for (int x = r.left; x < r.right; ++x)
                target[x] = Over(source[x], target[x]);
        }
    }
    EndPixels();
}

void Canvas::Blit(Point to, Size size, const Image& source, Point from, RasterOp op) {
    if (!Valid() || source.Empty()) return;
    // Only the part whose source lies inside the source image.
    // In 64 bits: far-away positions must not wrap round.
    using Wide = std::int64_t;
    const Wide left = std::max(Wide{to.x}, Wide{to.x} - from.x);
    const Wide top = std::max(Wide{to.y}, Wide{to.y} - from.y);
    const Wide right =
        std::min({Wide{to.x} + size.width, Wide{to.x} - from.x + source.Width(), Wide{Width()}});
    const Wide bottom =
        std::min({Wide{to.y} + size.height, Wide{to.y} - from.y + source.Height(), Wide{Height()}});
    if (right <= std::max(left, Wide{0}) || bottom <= std::max(top, Wide{0})) return;
    BeginPixels();
    // A blit within one canvas reads a copy, so that overlapping parts
    // come out as they were before the blit.
    Image copy;
    const Image* fromImage = &source;
    if (source.Surface() == image_.Surface()) {
        copy = source.Clone();
        fromImage = &copy;
    }
    const Wide shiftX = Wide{from.x} - to.x;
    const Wide shiftY = Wide{from.y} - to.y;
    const PixelRect area{static_cast<int>(std::max(left, Wide{0})),
                    static_cast<int>(std::max(top, Wide{0})), static_cast<int>(right),
                    static_cast<int>(bottom)};
    for (const PixelRect& r : Visible(area)) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* in = SourceRow(*fromImage, static_cast<int>(y + shiftY)) + shiftX;
            std::uint32_t* out = Row(y);
            switch (op) {
                case RasterOp::kCopy:
                    for (int x = r.left; x < r.right; ++x)
                        out[x] = in[x] | kOpaque;
                    break;
                case RasterOp::kAnd:
                    for (int x = r.left; x < r.right; ++x)
                        out[x] = (in[x] & out[x]) | kOpaque;
                    break;
                case RasterOp::kXor:
                    for (int x = r.left; x < r.right; ++x)
                        out[x] = ((in[x] ^ out[x]) & kRgb) | kOpaque;
                    break;
            }
        }
    }
    EndPixels();
}

bool Canvas::StretchBlit(const PixelRect& to, const Image& source, const PixelRect& from) {
    return StretchPixels(to, source, from, false, kBlack);
}

bool Canvas::TransparentBlit(const PixelRect& to, const Image& source, const PixelRect& from, Colour key) {
    return StretchPixels(to, source, from, true, key);
}

bool Canvas::StretchPixels(const PixelRect& to, const Image& source, const PixelRect& from, bool keyed,
                           Colour key) {
    constexpr int kFar = 1 << 29;
    if (!Valid() || source.Empty() || to.Empty() || from.Empty()) return false;
    if (std::max({-to.left, -to.top, to.right, to.bottom}) > kFar) return false;
    if (from.left < 0 || from.top < 0 || from.right > source.Width() ||
        from.bottom > source.Height())
        return false;
    const std::vector<PixelRect> visible = Visible(to);
    if (visible.empty()) return true;
    BeginPixels();
    // Each target pixel takes the source pixel under its centre.
    const auto sample = [](int offset, int targetSize, int sourceSize) {
        return static_cast<int>((2 * static_cast<std::int64_t>(offset) + 1) * sourceSize /
                                (2 * static_cast<std::int64_t>(targetSize)));
    };
    const std::uint32_t keyRgb = key.Argb() & kRgb;
    for (const PixelRect& r : visible) {
        std::vector<int> columns(static_cast<std::size_t>(r.Width()));
        for (int x = r.left; x < r.right; ++x)
            columns[static_cast<std::size_t>(x - r.left)] =
                from.left + sample(x - to.left, to.Width(), from.Width());
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* in =
                SourceRow(source, from.top + sample(y - to.top, to.Height(), from.Height()));
            std::uint32_t* out = Row(y);
            for (int x = r.left; x < r.right; ++x) {
                const std::uint32_t pixel = in[columns[static_cast<std::size_t>(x - r.left)]];
                if (keyed && (pixel & kRgb) == keyRgb) continue;
                out[x] = pixel | kOpaque;
            }
        }
    }
    EndPixels();
    return true;
}

}  // namespace platform
