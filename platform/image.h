#pragma once
// An image in memory: a cairo ARGB32 image surface owned by a value type.
//
// Pixels are 32-bit native-endian words 0xAARRGGBB with the colour
// premultiplied by alpha, as cairo keeps them. Moving an image hands the
// surface over; copying is explicit (Clone) because images can be large.

#include <cairo.h>

#include <cstdint>
#include <span>

namespace platform {

class Image {
  public:
    // An empty image (no surface).
    Image() = default;
    // A width x height image cleared to transparent black. The image is empty
    // when a size is not positive or the surface cannot be made.
    Image(int width, int height);
    ~Image();

    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // A separate image with the same pixels (empty when this one is, or when
    // memory runs out).
    Image Clone() const;

    // A PNG file's image; empty when the bytes are not a PNG cairo can read.
    static Image FromPng(std::span<const unsigned char> png);

    bool Empty() const { return surface_ == nullptr; }
    explicit operator bool() const { return !Empty(); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes from one row to the next.
    int Stride() const { return stride_; }

    // One pixel; coordinates must lie inside the image.
    std::uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t argb);

    // Direct access to a row of Width() pixels. After writing through Row(),
    // call MarkDirty() before cairo draws from or onto the surface again.
    std::uint32_t* Row(int y);
    const std::uint32_t* Row(int y) const;
    void MarkDirty();

    // The surface for drawing with cairo (null for an empty image). The image
    // keeps ownership.
    cairo_surface_t* Surface() const { return surface_; }

  private:
    void Reset() noexcept;
    unsigned char* Data() const;
    std::uint32_t* RowAt(int y) const;

    cairo_surface_t* surface_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
};

// The ARGB word for a colour that is not premultiplied (alpha 255 = opaque).
std::uint32_t PremultipliedArgb(std::uint8_t alpha, std::uint8_t red, std::uint8_t green,
                                std::uint8_t blue);

}  // namespace platform
