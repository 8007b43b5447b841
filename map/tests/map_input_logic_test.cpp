#include "map/map_input_logic.h"

#include <gtest/gtest.h>

namespace map {
namespace {

TEST(IconButtonDebounce, EachButtonsDebounceAcrossMinutes) {
    for (int debounce : {250, 600, 50, 150}) {
        IconButtonDebounce button(debounce, 0);
        SCOPED_TRACE(debounce);
        EXPECT_FALSE(button.AcceptPress(debounce));  // at the limit: ignored
        EXPECT_TRUE(button.AcceptPress(debounce + 1));
        EXPECT_FALSE(button.AcceptPress(2 * debounce));
        // Exactly a minute later (the wall-clock arithmetic took it for 0 ms).
        EXPECT_TRUE(button.AcceptPress(debounce + 1 + 60000));
        EXPECT_TRUE(button.AcceptPress(debounce + 1 + 3600000 + 59990));
    }
}

TEST(HoldPress, LongerThanFifteenHundredAfterAPressOnTheButton) {
    struct Case {
        SteadyMs press;
        SteadyMs release;
        bool reported;
    };
    const Case cases[] = {
        {0, 1500, false},
        {0, 1501, true},
        {59000, 60501, true},        // across a minute
        {3599500, 3601001, true},    // across an hour
        {3599500, 3601000, false},
    };
    for (const Case& c : cases) {
        HoldPress hold;
        hold.Press(c.press);
        EXPECT_EQ(hold.Release(c.release), c.reported) << c.press << " " << c.release;
        EXPECT_FALSE(hold.Pressed());
    }
    HoldPress dragged;  // a drag ending over the button: no press on it
    EXPECT_FALSE(dragged.Release(100000));
    dragged.Press(0);
    dragged.Release(10);
    EXPECT_FALSE(dragged.Release(5000));  // the press was used up
}

TEST(FitToSize, KeepsTheAspectInsideTheBox) {
    const PixelSize box{212, 180};
    EXPECT_EQ(FitToSize({400, 100}, box), (PixelSize{212, 53}));   // wide
    EXPECT_EQ(FitToSize({100, 400}, box), (PixelSize{45, 180}));   // tall
    EXPECT_EQ(FitToSize({212, 180}, box), box);                    // equal ratio
    EXPECT_EQ(FitToSize({106, 90}, box), box);
    EXPECT_EQ(FitToSize({100, 0}, box), std::nullopt);             // no height
    EXPECT_EQ(FitToSize({100, 100}, {212, 0}), std::nullopt);
}

TEST(MapIconTable, IndexToResourceId) {
    const int expected[kMapIconCount] = {205, 222, 223, 224, 225, 226, 257, 258,
                                         259, 260, 0,   0,   227, 228, 205};
    for (int i = 0; i < kMapIconCount; ++i) EXPECT_EQ(kMapIconIds[i], expected[i]) << i;
}

TEST(TapOrDrag, SquaredDistanceTwoHundredIsATap) {
    // No two whole-pixel shifts square to 201; 202 is the next distance.
    const PixelPoint down{100, 100};
    EXPECT_TRUE(IsTap(down, {110, 110}));   // 200
    EXPECT_TRUE(IsTap(down, {86, 98}));     // 196 + 4
    EXPECT_FALSE(IsTap(down, {111, 91}));   // 121 + 81 = 202
    EXPECT_FALSE(IsTap(down, {85, 100}));   // 225
    EXPECT_TRUE(IsTap(kNoPress, {300, 300}));
}

TEST(TapOrDrag, DragLParamRoundTripsAndPansByTheDrag) {
    const PixelPoint drags[] = {{0, 0}, {30, -40}, {-1, 1}, {-500, 300}, {16383, -16383}};
    for (const PixelPoint& d : drags) EXPECT_EQ(DecodePan(EncodePan(d.x, d.y)), d);
    EXPECT_EQ(EncodePan(-3, 5), (5 * 2) << 16 | (3 * 2 + 1));
    // A drag from (200, 150) to (170, 190): the map moves with the finger.
    const auto centre = PanCentre(kKeyDrag, EncodePan(200 - 170, 150 - 190), 400, 300);
    EXPECT_EQ(centre, (PixelPoint{212 + 30, 150 - 40}));
}

TEST(MapKeys, ArrowsPanByHalfTheClientAboutTheCentreRightOfTheButtons) {
    struct Case {
        int key;
        PixelPoint centre;
    };
    const Case cases[] = {
        {kKeyLeft, {212 + 200, 150}},
        {kKeyUp, {212, 150 + 150}},
        {kKeyRight, {212 - 200, 150}},
        {kKeyDown, {212, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(PanCentre(c.key, 0, 400, 300), c.centre) << c.key;
    EXPECT_EQ(PanCentre(13, 0, 400, 300), std::nullopt);
}

TEST(PickButtonLogicTest, RowsAreBoundedByTheRowsHeldAndTheValueColumnByItsSample) {
    EXPECT_EQ(PickRowAt(50, 24, 3), 2);
    EXPECT_EQ(PickRowAt(0, 24, 3), 0);
    EXPECT_EQ(PickRowAt(72, 24, 3), std::nullopt);
    EXPECT_EQ(PickRowAt(-1, 24, 3), std::nullopt);
    EXPECT_EQ(PickRowAt(5, 0, 3), std::nullopt);
    EXPECT_EQ(PickValueSample(true, true, 2), L" +8989m");
    EXPECT_EQ(PickValueSample(true, false, 0), L" 89.9km");
    EXPECT_EQ(PickValueColumnWidth(100), 114);  // 1.15 x 100, truncated
}

}  // namespace
}  // namespace map
