#include "platform/image.h"

#include <gtest/gtest.h>

#include <span>
#include <utility>
#include <vector>

namespace platform {
namespace {

TEST(ImageTest, NewImageIsClearedAndSized) {
    const Image image(5, 3);
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.Width(), 5);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_GE(image.Stride(), 5 * 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.Pixel(x, y), 0u);
    }
}

TEST(ImageTest, ImpossibleSizesGiveAnEmptyImage) {
    for (const auto& [w, h] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{40000, 1}}) {
        const Image image(w, h);
        EXPECT_TRUE(image.Empty()) << w << "x" << h;
        EXPECT_EQ(image.Width(), 0);
        EXPECT_EQ(image.Surface(), nullptr);
    }
}

TEST(ImageTest, MovingHandsTheSurfaceOverAndCloneCopies) {
    Image a(2, 2);
    a.SetPixel(1, 1, 0xFF112233u);
    cairo_surface_t* surface = a.Surface();
    Image b = std::move(a);
    EXPECT_TRUE(a.Empty());  // NOLINT(bugprone-use-after-move): moved-from state is specified
    EXPECT_EQ(b.Surface(), surface);

    Image c = b.Clone();
    EXPECT_NE(c.Surface(), surface);
    EXPECT_EQ(c.Pixel(1, 1), 0xFF112233u);
    c.SetPixel(1, 1, 0u);
    EXPECT_EQ(b.Pixel(1, 1), 0xFF112233u);

    b = std::move(c);
    EXPECT_EQ(b.Pixel(1, 1), 0u);
}

TEST(ImageTest, PixelsAndCairoDrawingSeeTheSameMemory) {
    Image image(4, 4);
    cairo_t* cr = cairo_create(image.Surface());
    cairo_set_source_rgba(cr, 1.0, 0.0, 0.0, 0.5);
    cairo_rectangle(cr, 0, 0, 2, 4);
    cairo_fill(cr);
    cairo_destroy(cr);
    EXPECT_EQ(image.Pixel(0, 0), PremultipliedArgb(128, 255, 0, 0));
    EXPECT_EQ(image.Pixel(3, 0), 0u);

    image.SetPixel(3, 3, 0xFF0000FFu);
    cr = cairo_create(image.Surface());
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);  // paints only where empty
    cairo_set_source_rgb(cr, 0.0, 1.0, 0.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    EXPECT_EQ(image.Pixel(3, 3), 0xFF0000FFu);
    EXPECT_EQ(image.Pixel(3, 0), 0xFF00FF00u);
}

TEST(ImageTest, PremultipliesColours) {
    EXPECT_EQ(PremultipliedArgb(255, 0x12, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(PremultipliedArgb(128, 255, 0, 255), 0x80800080u);
    EXPECT_EQ(PremultipliedArgb(0, 255, 255, 255), 0u);
}

}  // namespace
}  // namespace platform

namespace {

std::vector<unsigned char> EncodePng(const platform::Image& image) {
    std::vector<unsigned char> png;
    cairo_surface_write_to_png_stream(
        image.Surface(),
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<unsigned char>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    return png;
}

}  // namespace

TEST(ImageTest, PngBytesDecodeToTheirPixelsAndBadBytesToNothing) {
    platform::Image source(3, 2);
    source.SetPixel(0, 0, platform::PremultipliedArgb(255, 200, 10, 20));
    source.SetPixel(2, 1, platform::PremultipliedArgb(255, 0, 0, 255));
    source.MarkDirty();
    const std::vector<unsigned char> png = EncodePng(source);
    ASSERT_FALSE(png.empty());

    const platform::Image decoded = platform::Image::FromPng(png);
    ASSERT_EQ(decoded.Width(), 3);
    ASSERT_EQ(decoded.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(decoded.Pixel(x, y), source.Pixel(x, y)) << x << "," << y;

    const std::span<const unsigned char> cut(png.data(), png.size() / 2);
    EXPECT_TRUE(platform::Image::FromPng(cut).Empty());
    const unsigned char garbage[] = {'n', 'o', 't', ' ', 'p', 'n', 'g'};
    EXPECT_TRUE(platform::Image::FromPng(garbage).Empty());
    EXPECT_TRUE(platform::Image::FromPng({}).Empty());
}
