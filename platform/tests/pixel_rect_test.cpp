#include "platform/pixel_rect.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

TEST(PixelRect, RightAndBottomEdgesLieOutside) {
    constexpr PixelRect r = PixelRect::FromSize(10, 20, 800, 480);
    EXPECT_EQ(r, (PixelRect{10, 20, 810, 500}));
    EXPECT_EQ(r.Width(), 800);
    EXPECT_EQ(r.Height(), 480);
    struct Case {
        int x, y;
        bool inside;
    };
    for (const Case& c : std::vector<Case>{
             {10, 20, true},     // the first pixel
             {809, 499, true},   // the last pixel
             {810, 100, false},  // the right edge
             {100, 500, false},  // the bottom edge
             {9, 100, false},
             {100, 19, false},
         }) {
        EXPECT_EQ(r.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
    }
}

TEST(PixelRect, EmptyWithoutAreaAndContainsNothing) {
    for (const PixelRect& r : {PixelRect{}, PixelRect{5, 5, 5, 9}, PixelRect{5, 5, 9, 5},
                               PixelRect{5, 5, 4, 9}}) {
        EXPECT_TRUE(r.Empty());
        EXPECT_FALSE(r.Contains(r.left, r.top));
    }
    EXPECT_FALSE((PixelRect{5, 5, 6, 6}).Empty());  // one pixel
    EXPECT_TRUE((PixelRect{5, 5, 6, 6}).Contains(5, 5));
}

}  // namespace
}  // namespace platform
