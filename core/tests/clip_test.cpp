#include "core/clip.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace core {
namespace {

struct Segment {
    float x0, y0, x1, y1;
};

// Pixels 0..100 across and 0..50 down.
constexpr platform::PixelRect kRect{0, 0, 101, 51};

::testing::AssertionResult SameSegment(const Segment& got, const Segment& want) {
    const auto near = [](float a, float b) { return std::abs(a - b) <= 1e-4f * (1 + std::abs(b)); };
    if (near(got.x0, want.x0) && near(got.y0, want.y0) && near(got.x1, want.x1) &&
        near(got.y1, want.y1))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << got.x0 << ", " << got.y0 << ")-(" << got.x1 << ", " << got.y1 << ")";
}

TEST(ClipTest, ClipsSegmentsThatCrossTheRectangle) {
    struct Case {
        Segment in, out;
    };
    for (const Case& c : std::vector<Case>{
             {{-10, 25, 110, 25}, {0, 25, 100, 25}},         // across left and right
             {{110, 25, -10, 25}, {100, 25, 0, 25}},         // the same, backwards
             {{50, -10, 50, 60}, {50, 0, 50, 50}},           // across top and bottom
             {{-50, -25, 150, 75}, {0, 0, 100, 50}},         // corner to corner
             {{50, 25, 50, 80}, {50, 25, 50, 50}},           // one end inside
             {{-10, 20, 20, -10}, {0, 10, 10, 0}},           // cuts a corner off
             {{110, 60, 50, 25}, {92.857143f, 50, 50, 25}},  // outside two edges
             {{10, 10, 90, 40}, {10, 10, 90, 40}},           // wholly inside
             {{0, 0, 100, 0}, {0, 0, 100, 0}},               // on an edge: inside
             {{30, 30, 30, 30}, {30, 30, 30, 30}},           // a point inside
         }) {
        Segment s = c.in;
        EXPECT_TRUE(ClipSegmentToRect(s.x0, s.y0, s.x1, s.y1, kRect));
        EXPECT_TRUE(SameSegment(s, c.out))
            << c.in.x0 << "," << c.in.y0 << " " << c.in.x1 << "," << c.in.y1;
    }
}

TEST(ClipTest, RejectsSegmentsWhollyOutside) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        Segment s;
        platform::PixelRect rect;
    };
    for (const Case& c : std::vector<Case>{
             {{10, -5, 90, -1}, kRect},            // above
             {{10, 51, 90, 80}, kRect},            // below
             {{-20, 10, -0.5f, 40}, kRect},        // left
             {{101, 10, 300, 40}, kRect},          // right
             {{-10, 5, 5, -10}, kRect},            // passes the corner outside
             {{200, 200, 200, 200}, kRect},        // a point outside
             {{10, 10, 20, 20}, {50, 0, 50, 51}},  // no pixel across
             {{kNan, 10, 20, 20}, kRect},
             {{10, 10, kInf, 20}, kRect},
         }) {
        Segment s = c.s;
        EXPECT_FALSE(ClipSegmentToRect(s.x0, s.y0, s.x1, s.y1, c.rect))
            << c.s.x0 << "," << c.s.y0 << " " << c.s.x1 << "," << c.s.y1;
    }
}

}  // namespace
}  // namespace core
