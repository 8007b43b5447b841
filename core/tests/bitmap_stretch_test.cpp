#include "core/bitmap_stretch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace core {
namespace {

using platform::Image;

// An image whose pixel (x, y) is 0xFF000000 | x << 8 | y, so a pixel tells
// where it came from.
Image Coordinates(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.SetPixel(
                x, y,
                0xFF000000u | static_cast<std::uint32_t>(x) << 8 | static_cast<std::uint32_t>(y));
    }
    return image;
}

int SourceX(std::uint32_t pixel) {
    return static_cast<int>(pixel >> 8 & 0xFF);
}
int SourceY(std::uint32_t pixel) {
    return static_cast<int>(pixel & 0xFF);
}

TEST(BitmapStretchTest, StretchesEachCellOfAStripOnItsOwn) {
    Image strip = Coordinates(160, 16);  // 10 cells of 16 x 16
    ASSERT_EQ(StretchBitmap(strip, 24, 0, 10, 1), 1);
    ASSERT_EQ(strip.Width(), 240);
    ASSERT_EQ(strip.Height(), 24);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 240; ++x) {
            const std::uint32_t pixel = strip.Pixel(x, y);
            // The pixel under the centre, from the same cell: no cell bleeds
            // into the next.
            ASSERT_EQ(SourceX(pixel), x / 24 * 16 + (2 * (x % 24) + 1) * 16 / 48) << x << "," << y;
            ASSERT_EQ(SourceY(pixel), (2 * y + 1) * 16 / 48) << x << "," << y;
        }
    }
}

TEST(BitmapStretchTest, ZeroSizeKeepsTheAspectRatioRounded) {
    struct Case {
        int imageWidth, imageHeight, cellWidth, cellHeight, columns, rows;
        int width, height;
    };
    for (const Case& c : std::vector<Case>{
             {32, 8, 0, 12, 2, 1, 48, 12},  // cells 16 x 8: width (12*16 + 4) / 8 = 24
             {3, 2, 5, 0, 1, 1, 5, 3},      // height (5*2 + 1) / 3 = 3
             {30, 20, 0, 7, 3, 2, 21, 14},  // cells 10 x 10
             {16, 16, 8, 4, 2, 2, 16, 8},   // both given
         }) {
        Image image = Coordinates(c.imageWidth, c.imageHeight);
        EXPECT_EQ(StretchBitmap(image, c.cellWidth, c.cellHeight, c.columns, c.rows), 1);
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), c.height);
    }
}

TEST(BitmapStretchTest, NegativeSizeMirrorsEachCell) {
    Image image = Coordinates(4, 2);                  // two cells of 2 x 2
    ASSERT_EQ(StretchBitmap(image, 0, -4, 2, 1), 1);  // width follows: -4
    ASSERT_EQ(image.Width(), 8);
    ASSERT_EQ(image.Height(), 4);
    EXPECT_EQ(SourceX(image.Pixel(0, 0)), 1);  // left edge of cell 0 from its right column
    EXPECT_EQ(SourceY(image.Pixel(0, 0)), 1);  // and its bottom row
    EXPECT_EQ(SourceX(image.Pixel(7, 3)), 2);  // right edge of cell 1 from its left column
    EXPECT_EQ(SourceY(image.Pixel(7, 3)), 0);
}

TEST(BitmapStretchTest, SameSizeChangesNothing) {
    Image image = Coordinates(160, 16);
    const cairo_surface_t* before = image.Surface();
    EXPECT_EQ(StretchBitmap(image, 16, 0, 10, 1), 1);
    EXPECT_EQ(StretchBitmap(image, 0, 16, 10, 1), 1);
    EXPECT_EQ(image.Surface(), before);
}

TEST(BitmapStretchTest, RefusesWhatCannotBeStretched) {
    struct Case {
        int imageWidth, imageHeight, cellWidth, cellHeight, columns, rows;
    };
    for (const Case& c : std::vector<Case>{
             {0, 0, 24, 24, 1, 1},  // no bitmap
             {16, 16, 0, 0, 1, 1},  // both sizes 0
             {16, 16, 8, 8, 0, 1},  // no columns
             {16, 16, 8, 8, 1, 0},  // no rows
             {16, 16, 8, 8, -1, 1},
             {16, 4, 0, 8, 1, 5},     // more rows than pixels: cells of height 0
             {100, 1, 1, 0, 1, 1},    // the kept aspect rounds the height to 0
             {4, 4, 40000, 4, 1, 1},  // larger than an image can be
         }) {
        Image image = Coordinates(c.imageWidth, c.imageHeight);
        const cairo_surface_t* before = image.Surface();
        EXPECT_EQ(StretchBitmap(image, c.cellWidth, c.cellHeight, c.columns, c.rows), 0)
            << c.imageWidth << "x" << c.imageHeight << " to " << c.cellWidth << "x" << c.cellHeight;
        EXPECT_EQ(image.Surface(), before);
    }
}

TEST(BitmapStretchTest, StretchIconCarriesAlpha) {
    Image icon(2, 2);
    const std::uint32_t pixels[] = {
        platform::PremultipliedArgb(255, 255, 0, 0), platform::PremultipliedArgb(0, 0, 0, 0),
        platform::PremultipliedArgb(128, 0, 255, 0), platform::PremultipliedArgb(64, 0, 0, 255)};
    for (int i = 0; i < 4; ++i)
        icon.SetPixel(i % 2, i / 2, pixels[i]);
    ASSERT_EQ(StretchIcon(icon, 4, 6), 1);
    ASSERT_EQ(icon.Width(), 4);
    ASSERT_EQ(icon.Height(), 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(icon.Pixel(x, y), pixels[y / 3 * 2 + x / 2]);
    }
}

TEST(BitmapStretchTest, StretchIconKeepsTheIconOnFailure) {
    Image empty;
    EXPECT_EQ(StretchIcon(empty, 4, 4), 0);
    Image icon = Coordinates(2, 2);
    const cairo_surface_t* before = icon.Surface();
    EXPECT_EQ(StretchIcon(icon, 0, 4), 0);
    EXPECT_EQ(StretchIcon(icon, 4, -1), 0);
    EXPECT_EQ(StretchIcon(icon, 2, 2), 1);
    EXPECT_EQ(icon.Surface(), before);
}

}  // namespace
}  // namespace core
