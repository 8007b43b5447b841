#include "map/map_draw_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace map {
namespace {

TEST(TrackColourIndex, ClampsRoundsAndMarksRisingLift) {
    struct Case {
        float filtered, instant;
        int expected;
    };
    const Case cases[] = {
        {0.0F, 0.0F, 20},  {0.0F, 0.1F, 21},  {-0.5F, -1.0F, 20}, {-0.51F, -1.0F, 18},
        {2.4F, 2.4F, 24},  {2.5F, 3.0F, 27},  {10.0F, 0.0F, 40},  {25.0F, 30.0F, 41},
        {-10.0F, 0.0F, 1}, {-30.0F, -40.0F, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrackColourIndex(c.filtered, c.instant), c.expected) << c.filtered << "," << c.instant;
    }
}

TEST(SectorIndex, EveryTrackRotationAndDirectionLandsInTheTable) {
    EXPECT_EQ(AircraftSector(0.0, 180.0), 4);
    EXPECT_EQ(AircraftSector(0.0, 0.0), 0);
    EXPECT_EQ(AircraftSector(23.0, 0.0), 1);
    EXPECT_EQ(AircraftSector(337.5, 0.0), 0);
    EXPECT_EQ(WindArrowSector(0.0, 0.0), 4);
    EXPECT_EQ(SectorIndex(-720.1), 7);
    EXPECT_EQ(SectorIndex(1e9), SectorIndex(std::fmod(1e9, 360.0)));
    EXPECT_EQ(SectorIndex(std::nan("")), 0);
    for (int track = -720; track <= 720; track += 7) {
        for (int rotation = -360; rotation <= 360; rotation += 45) {
            const int a = AircraftSector(track, rotation);
            const int w = WindArrowSector(track, rotation);
            EXPECT_TRUE(a >= 0 && a < 8 && w >= 0 && w < 8);
        }
    }
}

TEST(ScaleText, FormatsAndRoundsToTens) {
    EXPECT_EQ(ScaleText(9.96), "10.0");
    EXPECT_EQ(ScaleText(10.0), "10.0");
    EXPECT_EQ(ScaleText(10.4), "10");
    EXPECT_EQ(ScaleText(100.0), "100");
    EXPECT_EQ(ScaleText(104.0), "100");
    EXPECT_EQ(ScaleText(105.0), "110");
    EXPECT_EQ(ScaleText(0.5), "0.5");
    // 400 x 300 pixels of diagonal 500 at 50 pixels a mile, in km.
    EXPECT_NEAR(ScaleDistance(424, 300, 50.0F, 1.0), 10.0 * 1.609, 1e-9);
}

TEST(WindDisc, ColourBySpeed) {
    EXPECT_EQ(WindDiscFor(8.0F), WindDisc::kGreen);
    EXPECT_EQ(WindDiscFor(8.1F), WindDisc::kYellow);
    EXPECT_EQ(WindDiscFor(19.0F), WindDisc::kYellow);
    EXPECT_EQ(WindDiscFor(19.1F), WindDisc::kRed);
}

TEST(ArcPoints, EndsExactlyWrapsAndStaysBounded) {
    const auto quarter = BuildArcPoints(100, 100, 10.0F, 0.0F, 90.0F, 30);
    ASSERT_EQ(quarter.size(), 5U);  // 0, 0, 30, 60, then the end
    EXPECT_EQ(quarter.front(), (ArcPoint{110, 100}));
    EXPECT_EQ(quarter[2], (ArcPoint{static_cast<int>(10 * std::cos(M_PI / 6) + 100), 95}));
    EXPECT_EQ(quarter.back(), (ArcPoint{100, 90}));
    // Through north: 350 to 10.
    const auto wrapped = BuildArcPoints(0, 0, 100.0F, 350.0F, 10.0F, 5);
    EXPECT_EQ(wrapped.size(), 6U);
    // Angles out of range and a step of 0 stay bounded.
    EXPECT_LE(BuildArcPoints(0, 0, 1.0F, -1e6F, 1e6F, 0).size(), 362U);
    EXPECT_EQ(BuildArcPoints(0, 0, 1.0F, -90.0F, 0.0F, 90).front(), BuildArcPoints(0, 0, 1.0F, 270.0F, 0.0F, 90).front());
    EXPECT_TRUE(BuildArcPoints(0, 0, std::nanf(""), 0.0F, 1.0F, 1).empty());
}

TEST(SinCosTable, WholeDegrees) {
    EXPECT_FLOAT_EQ(SinCos()[0][0], 1.0F);
    EXPECT_NEAR(SinCos()[90][1], 1.0F, 1e-7F);
    EXPECT_NEAR(SinCos()[225][0], -std::sqrt(0.5F), 1e-6F);
}

}  // namespace
}  // namespace map
