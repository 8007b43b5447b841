// The arc's points stepped by rotation against the cosine and sine of every
// angle: the same pixels, for radii from a pixel to far beyond the screen,
// every start and sweep, and radii and angles that put points on half
// pixels, where only the angle itself decides.
#include "mapdata/arc_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace mapdata {
namespace {

// The arc as cosines and sines of each angle.
std::vector<platform::Point> ArcByAngles(platform::Point centre, double radius, double from,
                                         double sweep) {
    constexpr double kStep = 2.0 * std::numbers::pi / 180.0;
    const int steps = static_cast<int>(std::ceil(sweep / kStep));
    std::vector<platform::Point> points;
    for (int i = 0; i <= steps; ++i) {
        const double a = from + std::min(sweep, i * kStep);
        points.push_back({centre.x + static_cast<int>(std::lround(radius * std::cos(a))),
                          centre.y - static_cast<int>(std::lround(radius * std::sin(a)))});
    }
    return points;
}

void ExpectSameArc(platform::Point centre, double radius, double from, double sweep) {
    std::vector<platform::Point> stepped;
    AppendArcPoints(centre, radius, from, sweep, stepped);
    const auto expected = ArcByAngles(centre, radius, from, sweep);
    ASSERT_EQ(stepped.size(), expected.size());
    for (std::size_t i = 0; i < stepped.size(); ++i) {
        ASSERT_EQ(stepped[i], expected[i]) << "radius " << radius << ", from " << from << ", sweep "
                                           << sweep << ", point " << i;
    }
}

TEST(ArcPoints, EqualTheCosinesAndSinesOfEveryAngle) {
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> angle(0.0, 2.0 * std::numbers::pi);
    std::uniform_real_distribution<double> exponent(-1.0, 7.0);
    for (int round = 0; round < 20000; ++round) {
        const double radius = std::pow(10.0, exponent(random));
        const double sweep = round % 5 == 0 ? 2.0 * std::numbers::pi : angle(random);
        ExpectSameArc({400, 240}, radius, angle(random), std::max(sweep, 1e-3));
    }
}

TEST(ArcPoints, PointsOnHalfPixelsRoundAsTheirAngles) {
    // Whole and half radii from angles whose cosines and sines are halves,
    // quarters or whole: x.5 points appear all round.
    for (const double radius : {0.5, 1.0, 2.5, 3.0, 13.0, 13.5, 100.0, 1001.0, 12345.5}) {
        for (int degrees = 0; degrees < 360; degrees += 2) {
            const double from = degrees * std::numbers::pi / 180.0;
            ExpectSameArc({0, 0}, radius, from, 2.0 * std::numbers::pi);
            ExpectSameArc({-7, 9}, radius, from, std::numbers::pi / 3.0);
        }
    }
}

TEST(ArcPoints, ANegativeRadiusAndTinySweepKeepTheirEnds) {
    ExpectSameArc({10, 10}, -40.0, 1.0, 2.0);
    std::vector<platform::Point> tiny;
    AppendArcPoints({10, 10}, 40.0, 0.0, 1e-9, tiny);
    EXPECT_EQ(tiny, (std::vector<platform::Point>{{50, 10}, {50, 10}}));
}

TEST(ArcPoints, ArcsOfOneShapeMovedToTheirCentresAreTheArcsSteppedThere) {
    // Shapes met again at other centres, far ones included, with repeated
    // points kept or dropped and either way round; and more points than the
    // frame keeps, which are stepped round each time.
    ArcShapes shapes;
    std::vector<platform::Point> kept;
    std::vector<platform::Point> stepped;
    const platform::Point centres[] = {{400, 240}, {-3000, 17}, {123456, -98765}, {0, 0}};
    for (int round = 0; round < 3; ++round) {
        for (const double radius : {0.7, 6.4, 13.5, 250.0, 3.0e6}) {
            for (const bool drop : {false, true}) {
                const ArcShapes::Shape shape{radius, 1.2, 5.06, drop, round == 1};
                for (const platform::Point centre : centres) {
                    shapes.Points(shape, centre, kept);
                    ArcPoints(shape, centre, stepped);
                    ASSERT_EQ(kept, stepped) << radius << " " << drop << " " << round;
                }
            }
        }
    }
    const ArcShapes::Shape odd{10.0, std::nan(""), 1.0, true, false};
    shapes.Points(odd, {5, 5}, kept);
    ArcPoints(odd, {5, 5}, stepped);
    EXPECT_EQ(kept, stepped);
}

}  // namespace
}  // namespace mapdata
