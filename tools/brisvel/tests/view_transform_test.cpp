// Fitting the shapefile's box into a view, and the bounds dialog's values.
#include "tools/brisvel/view_transform.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tools/brisvel/set_bounds.h"

namespace brisvel {
namespace {

TEST(ViewTransform, ATallBoxFillsTheHeightAndIsCentredAcross) {
    ViewTransform t;
    FitViewTransform(t, 10.0, 40.0, 12.0, 50.0, 400, 200);
    EXPECT_FLOAT_EQ(t.scaleY, 20.0F);
    EXPECT_NEAR(t.scaleX, 20.0 * std::cos(45.0 * 0.01745330), 1e-4);
    EXPECT_EQ(t.offsetY, 0);
    EXPECT_EQ(t.offsetX, static_cast<int>((400 - 2.0 * t.scaleX) * 0.5));
    EXPECT_EQ(LatLonToScreen(10.0, 50.0, t), (ScreenPoint{t.offsetX, 0}));
    EXPECT_EQ(LatLonToScreen(12.0, 40.0, t), (ScreenPoint{t.offsetX + static_cast<int>(2.0 * t.scaleX + 0.5), 200}));
}

TEST(ViewTransform, AWideBoxFillsTheWidth) {
    ViewTransform t;
    FitViewTransform(t, 0.0, 0.0, 100.0, 1.0, 200, 200);
    EXPECT_FLOAT_EQ(t.scaleX, 2.0F);
    EXPECT_EQ(t.offsetX, 0);
    EXPECT_GT(t.offsetY, 90);
}

TEST(ViewTransform, ABoxOrAreaWithoutExtentLeavesTheTransform) {
    ViewTransform t;
    t.scaleX = 7.0F;
    FitViewTransform(t, 5.0, 5.0, 5.0, 6.0, 100, 100);
    FitViewTransform(t, 5.0, 5.0, 6.0, 6.0, 0, 100);
    EXPECT_EQ(t.scaleX, 7.0F);
}

TEST(SetBounds, DegreesAndMinutesAndHemispheres) {
    EXPECT_FLOAT_EQ(BoundFromEntry({45.0, 30.0, true}), -45.5F);
    EXPECT_FLOAT_EQ(BoundFromEntry({7.0, 15.0, false}), 7.25F);
    EXPECT_EQ(BoundText(-45.5F, true), "45:30.000 S");
    EXPECT_EQ(BoundText(12.75F, false), "12:45.000 E");
    EXPECT_EQ(BoundText(-0.5F, false), "0:30.000 W");
    const core::GeoBox bounds{-3.75F, -45.5F, 10.25F, 46.5F};
    EXPECT_EQ(SetBoundsValues::From(bounds).ToBounds(), bounds);
    EXPECT_EQ(SetBoundsValues::From(kUnsetBounds).ToBounds(), (core::GeoBox{-180.0F, -90.0F, 180.0F, 90.0F}));
}

}  // namespace
}  // namespace brisvel
