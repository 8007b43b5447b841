#include "core/clip.h"

#include <cmath>

namespace core {
namespace {

enum OutCode : unsigned { kBelow = 1, kAbove = 2, kLeftOf = 4, kRightOf = 8 };

struct Point {
    float x;
    float y;
};

// The lines through the first and the last pixel's column and row.
struct Box {
    int left, top, right, bottom;
};

unsigned OutCodeOf(Point p, const Box& r) {
    unsigned code = 0;
    if (p.y > static_cast<float>(r.bottom)) code |= kBelow;
    if (p.y < static_cast<float>(r.top)) code |= kAbove;
    if (p.x < static_cast<float>(r.left)) code |= kLeftOf;
    if (p.x > static_cast<float>(r.right)) code |= kRightOf;
    return code;
}

// Where the line through a and b meets the edge that `code` names first, in
// the order below, above, right, left. The caller has ruled out a shared
// outcode bit, so the divisor is never zero.
Point EdgePoint(unsigned code, Point a, Point b, const Box& r) {
    if ((code & (kBelow | kAbove)) != 0) {
        const auto y = static_cast<float>((code & kBelow) != 0 ? r.bottom : r.top);
        return {a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
    }
    const auto x = static_cast<float>((code & kRightOf) != 0 ? r.right : r.left);
    return {x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
}

}  // namespace

bool ClipSegmentToRect(float& x0, float& y0, float& x1, float& y1, const platform::PixelRect& pixels) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return false;
    if (pixels.Empty()) return false;
    const Box rect{pixels.left, pixels.top, pixels.right - 1, pixels.bottom - 1};
    Point a{x0, y0};
    Point b{x1, y1};
    unsigned codeA = OutCodeOf(a, rect);
    unsigned codeB = OutCodeOf(b, rect);
    // Each end point meets each edge at most once; the bound only guards
    // against rounding making a point step back and forth.
    for (int step = 0; step < 16; ++step) {
        if ((codeA | codeB) == 0) {
            x0 = a.x;
            y0 = a.y;
            x1 = b.x;
            y1 = b.y;
            return true;
        }
        if ((codeA & codeB) != 0) return false;
        if (codeA != 0) {
            a = EdgePoint(codeA, a, b, rect);
            codeA = OutCodeOf(a, rect);
        } else {
            b = EdgePoint(codeB, a, b, rect);
            codeB = OutCodeOf(b, rect);
        }
    }
    return false;
}

}  // namespace core
