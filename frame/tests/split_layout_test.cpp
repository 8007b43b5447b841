#include "frame/split_layout.h"

#include <gtest/gtest.h>

namespace {

using frame::PaneLayout;

// A pane by its corner and size, as the windows are placed.
constexpr platform::PixelRect Pane(int x, int y, int width, int height) {
    return platform::PixelRect::FromSize(x, y, width, height);
}

TEST(SplitLayout, PortraitWhenTheHeightReachesTheWidthLessFour) {
    struct Case {
        int width, height;
        bool portrait;
    };
    for (const Case& c :
         {Case{240, 320, true}, Case{320, 240, false}, Case{300, 300, true}, Case{320, 316, true},
          Case{320, 315, false}, Case{800, 480, false}, Case{480, 800, true}}) {
        EXPECT_EQ(frame::IsPortraitScreen(c.width, c.height), c.portrait)
            << c.width << "x" << c.height;
    }
}

TEST(SplitLayout, ThePositionPageKeepsItsSizeAndTheMapTakesTheRest) {
    // Portrait: the position page 125 high below the map and the 4-pixel gap.
    EXPECT_EQ(frame::SplitClientArea(true, 480, 700, 125, 240),
              (PaneLayout{Pane(0, 0, 480, 571), Pane(0, 575, 480, 125), Pane(0, 571, 480, 4)}));
    // Landscape: the position page 240 wide right of the map.
    EXPECT_EQ(frame::SplitClientArea(false, 800, 400, 125, 240),
              (PaneLayout{Pane(0, 0, 556, 400), Pane(560, 0, 240, 400), Pane(556, 0, 4, 400)}));
}

TEST(SplitLayout, ATooSmallAreaGoesToThePositionPageFirst) {
    EXPECT_EQ(frame::SplitClientArea(false, 242, 100, 125, 240),
              (PaneLayout{Pane(0, 0, 0, 100), Pane(2, 0, 240, 100), Pane(0, 0, 2, 100)}));
    EXPECT_EQ(frame::SplitClientArea(true, 100, 60, 125, 240),
              (PaneLayout{Pane(0, 0, 100, 0), Pane(0, 0, 100, 60), Pane(0, 0, 100, 0)}));
    EXPECT_EQ(frame::SplitClientArea(true, -5, -5, 125, 240), PaneLayout{});
}

}  // namespace
