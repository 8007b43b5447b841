#include "map/map_child_layout.h"

#include <gtest/gtest.h>

namespace map {
namespace {

TEST(MapChildLayout, ButtonColumnAndTextButtonsByLayoutClass) {
    const MapChildLayout narrow = LayMapChildren(0, 64);
    EXPECT_EQ(narrow.flip, (platform::PixelRect::FromSize(0, 1, 24, 24)));
    EXPECT_EQ(narrow.expand, (platform::PixelRect::FromSize(0, 28, 24, 25)));
    EXPECT_EQ(narrow.shrink, (platform::PixelRect::FromSize(0, 55, 24, 25)));
    EXPECT_EQ(narrow.center, (platform::PixelRect::FromSize(0, 81, 24, 25)));
    EXPECT_EQ(narrow.zoom, (platform::PixelRect::FromSize(0, 107, 24, 25)));
    EXPECT_EQ(narrow.replay, (platform::PixelRect::FromSize(0, 135, 24, 18)));
    EXPECT_EQ(narrow.back, (platform::PixelRect::FromSize(24, 20, 64, 24)));
    EXPECT_EQ(narrow.alarmAck, (platform::PixelRect::FromSize(24, 100, 64, 24)));
    EXPECT_EQ(narrow.close, (platform::PixelRect::FromSize(24, 136, 64, 24)));
    EXPECT_EQ(narrow.pickList, (platform::PixelRect::FromSize(172, 6, 54, 24)));
    EXPECT_EQ(narrow.pictureFitHeight, 180);

    const MapChildLayout wide = LayMapChildren(2, 70);
    EXPECT_EQ(wide.center, narrow.replay);
    EXPECT_EQ(wide.replay, narrow.center);
    EXPECT_EQ(wide.back, (platform::PixelRect::FromSize(24, 15, 70, 24)));
    EXPECT_EQ(wide.alarmAck, (platform::PixelRect::FromSize(24, 54, 70, 24)));
    EXPECT_EQ(wide.close, (platform::PixelRect::FromSize(24, 80, 70, 24)));
    EXPECT_EQ(wide.gotoList, (platform::PixelRect::FromSize(35, 1, 139, 24)));
    EXPECT_EQ(wide.pictureFitHeight, 120);
}

TEST(MapChildLayout, FlarmSideIsThreeSeventhsOfTheSmallerSide) {
    EXPECT_EQ(FlarmWindowSide(800, 480), 205);
    EXPECT_EQ(FlarmWindowSide(240, 320), 102);
    EXPECT_EQ(FlarmWindowSide(300, 300), 128);
}

}  // namespace
}  // namespace map
