#include "platform/image.h"

#include <cassert>
#include <cstring>
#include <utility>

namespace platform {

Image::Image(int width, int height) {
    if (width <= 0 || height <= 0) return;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    // cairo clears new image surfaces to transparent black.
    surface_ = surface;
    width_ = width;
    height_ = height;
    stride_ = cairo_image_surface_get_stride(surface);
}

Image::~Image() {
    Reset();
}

Image::Image(Image&& other) noexcept
    : surface_(std::exchange(other.surface_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      stride_(std::exchange(other.stride_, 0)) {}

Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        Reset();
        surface_ = std::exchange(other.surface_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        stride_ = std::exchange(other.stride_, 0);
    }
    return *this;
}

void Image::Reset() noexcept {
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    surface_ = nullptr;
    width_ = height_ = stride_ = 0;
}

Image Image::Clone() const {
    Image copy(width_, height_);
    if (copy.Empty()) return copy;
    cairo_surface_flush(surface_);
    std::memcpy(copy.Data(), Data(), static_cast<std::size_t>(stride_) * height_);
    copy.MarkDirty();
    return copy;
}

namespace {

struct PngReader {
    std::span<const unsigned char> rest;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->rest.size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->rest.data(), length);
    reader->rest = reader->rest.subspan(length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

Image Image::FromPng(std::span<const unsigned char> png) {
    PngReader reader{png};
    cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
    Image image;
    if (cairo_surface_status(decoded) == CAIRO_STATUS_SUCCESS) {
        // Whatever format cairo chose (opaque PNGs come as RGB24), the image
        // is ARGB32.
        image = Image(cairo_image_surface_get_width(decoded),
                      cairo_image_surface_get_height(decoded));
        if (!image.Empty()) {
            cairo_t* cr = cairo_create(image.surface_);
            cairo_set_source_surface(cr, decoded, 0, 0);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_paint(cr);
            cairo_destroy(cr);
            cairo_surface_flush(image.surface_);
        }
    }
    cairo_surface_destroy(decoded);
    return image;
}

unsigned char* Image::Data() const {
    return cairo_image_surface_get_data(surface_);
}

std::uint32_t* Image::RowAt(int y) const {
    assert(!Empty() && y >= 0 && y < height_);
    cairo_surface_flush(surface_);
    // Rows of an ARGB32 surface are 4-byte aligned: the stride is a multiple of 4.
    return static_cast<std::uint32_t*>(
        static_cast<void*>(Data() + static_cast<std::ptrdiff_t>(y) * stride_));
}

std::uint32_t* Image::Row(int y) {
    return RowAt(y);
}

const std::uint32_t* Image::Row(int y) const {
    return RowAt(y);
}

void Image::MarkDirty() {
    if (surface_ != nullptr) cairo_surface_mark_dirty(surface_);
}

std::uint32_t Image::Pixel(int x, int y) const {
    assert(x >= 0 && x < width_);
    return RowAt(y)[x];
}

void Image::SetPixel(int x, int y, std::uint32_t argb) {
    assert(x >= 0 && x < width_);
    RowAt(y)[x] = argb;
    cairo_surface_mark_dirty_rectangle(surface_, x, y, 1, 1);
}

std::uint32_t PremultipliedArgb(std::uint8_t alpha, std::uint8_t red, std::uint8_t green,
                                std::uint8_t blue) {
    const auto scale = [alpha](std::uint8_t c) -> std::uint32_t {
        return (static_cast<std::uint32_t>(c) * alpha + 127) / 255;
    };
    return static_cast<std::uint32_t>(alpha) << 24 | scale(red) << 16 | scale(green) << 8 |
           scale(blue);
}

}  // namespace platform
