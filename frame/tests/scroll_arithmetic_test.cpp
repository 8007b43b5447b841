#include "frame/options/scroll_arithmetic.h"

#include <gtest/gtest.h>

namespace frame {
namespace {

TEST(ScrollArithmetic, UnitFollowsTheScreenResolution) {
    struct Case {
        int dpi;
        int unit;
    };
    for (const Case c : {Case{96, 5}, Case{120, 6}, Case{192, 10}, Case{10, 1}, Case{0, 1}}) {
        EXPECT_EQ(ScrollUnitForDpi(c.dpi), c.unit) << c.dpi;
    }
}

TEST(ScrollArithmetic, ContentBottomIsAMarginBelowTheLastControlOnAWholeUnit) {
    EXPECT_EQ(ContentBottom(247, 5), 260);
    EXPECT_EQ(ContentBottom(245, 5), 255);
    EXPECT_EQ(ContentBottom(247, 6), 258);
}

TEST(ScrollArithmetic, RangeCoversTheHiddenPartAndClampsThePosition) {
    ScrollState s{.unit = 5, .contentBottom = 300, .scrollPos = 50};
    UpdateScrollRange(s, 200);
    EXPECT_EQ(s.scrollMax, 20);
    EXPECT_EQ(s.scrollPos, 20);
    EXPECT_EQ(s.pageStep, 26);  // two thirds of 40 steps

    UpdateScrollRange(s, 198);  // 102 pixels hidden: a partial step counts
    EXPECT_EQ(s.scrollMax, 21);

    UpdateScrollRange(s, 300);  // contents exactly as tall as the client
    EXPECT_EQ(s.scrollMax, 0);
    EXPECT_EQ(s.scrollPos, 0);
    UpdateScrollRange(s, 400);
    EXPECT_EQ(s.scrollMax, 0);
}

TEST(ScrollArithmetic, ScrollRequestsMoveByWholeUnitsWithinTheRange) {
    ScrollState s{.unit = 5, .contentBottom = 300};
    UpdateScrollRange(s, 200);  // max 20, page 26
    EXPECT_EQ(Scroll(s, ScrollCode::kLineUp), 0);
    EXPECT_EQ(Scroll(s, ScrollCode::kLineDown), -5);
    EXPECT_EQ(Scroll(s, ScrollCode::kPageDown), -95);  // clamped at the bottom
    EXPECT_EQ(s.scrollPos, 20);
    EXPECT_EQ(s.scrollOffset, -100);
    EXPECT_EQ(Scroll(s, ScrollCode::kThumbTrack, 12), 40);
    EXPECT_EQ(Scroll(s, ScrollCode::kBottom), -40);
    EXPECT_EQ(Scroll(s, ScrollCode::kOther), 0);
    EXPECT_EQ(Scroll(s, ScrollCode::kTop), 100);
    EXPECT_EQ(s.scrollOffset, 0);
}

TEST(ScrollArithmetic, PageStepIsAtLeastOneUnit) {
    ScrollState s{.unit = 5, .contentBottom = 100};
    UpdateScrollRange(s, 10);
    EXPECT_EQ(s.pageStep, 1);
    EXPECT_EQ(Scroll(s, ScrollCode::kPageDown), -5);
    s.pageStep = 0;
    EXPECT_EQ(Scroll(s, ScrollCode::kPageDown), -5);
    EXPECT_EQ(Scroll(s, ScrollCode::kPageUp), 5);
}

TEST(ScrollArithmetic, GrowingBelowTheContentsMovesThemDownButNotPastTheTop) {
    ScrollState s{.unit = 5, .contentBottom = 300};
    UpdateScrollRange(s, 200);
    Scroll(s, ScrollCode::kBottom);  // offset -100
    EXPECT_EQ(Resize(s, 240), 40);
    EXPECT_EQ(s.scrollOffset, -60);
    EXPECT_EQ(s.scrollPos, 12);
    EXPECT_EQ(Resize(s, 500), 60);
    EXPECT_EQ(s.scrollOffset, 0);
    EXPECT_EQ(s.scrollPos, 0);
    EXPECT_EQ(s.scrollMax, 0);
}

TEST(ScrollArithmetic, ToTopUndoesTheOffset) {
    ScrollState s{.unit = 6, .contentBottom = 300};
    UpdateScrollRange(s, 100);
    Scroll(s, ScrollCode::kThumbTrack, 7);
    EXPECT_EQ(ScrollToTop(s), 42);
    EXPECT_EQ(s.scrollPos, 0);
    EXPECT_EQ(s.scrollOffset, 0);
}

}  // namespace
}  // namespace frame
