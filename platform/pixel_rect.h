#pragma once
// A rectangle of device pixels, x to the right, y downwards: the pixels
// left <= x < right, top <= y < bottom. The right and bottom edges lie
// outside, so Width() is right - left and a rectangle of a client area of
// w x h pixels is {0, 0, w, h}; the last column drawn is right - 1.

namespace platform {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // The rectangle of width x height pixels from (x, y).
    static constexpr PixelRect FromSize(int x, int y, int width, int height) {
        return {x, y, x + width, y + height};
    }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool Empty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(int x, int y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace platform
