#include "frame/map_record_conversion.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

TEST(MapRecordConversionTest, OnlyDroppedWaypointsAreOffered) {
    EXPECT_FALSE(frame::MapRecordOffered(-10));
    EXPECT_FALSE(frame::MapRecordOffered(3));
    EXPECT_TRUE(frame::MapRecordOffered(-11));
    EXPECT_TRUE(frame::MapRecordOffered(-40));
}

TEST(MapRecordConversionTest, AnglesInBothDialogForms) {
    struct Case {
        double degrees;
        bool decimal;
        frame::DialogAngle expected;
    };
    for (const Case& c : {Case{47.5, true, {47, 30.0, 0.0}},
                          Case{47.123456, true, {47, 7.407, 0.0}},
                          Case{47.99999999, true, {48, 0.0, 0.0}},  // carries, never 60.000
                          Case{47.5, false, {47, 30.0, 0.0}},
                          Case{10.51, false, {10, 30.0, 36.0}},
                          Case{10.123456, false, {10, 7.0, 24.4}}}) {
        const frame::DialogAngle got = frame::ToDialogAngle(c.degrees, c.decimal);
        EXPECT_EQ(got.degrees, c.expected.degrees) << c.degrees;
        EXPECT_NEAR(got.minutes, c.expected.minutes, 1e-9) << c.degrees;
        EXPECT_NEAR(got.seconds, c.expected.seconds, 1e-9) << c.degrees;
    }
}

TEST(MapRecordConversionTest, HemispheresFollowTheSigns) {
    const frame::MapRecordPrefill northEast = frame::PrefillFor(45.0 * kRad, -8.5 * kRad, true);
    EXPECT_EQ(northEast.north, 1);
    EXPECT_EQ(northEast.east, 1);
    EXPECT_EQ(northEast.longitude.degrees, 8);
    EXPECT_NEAR(northEast.longitude.minutes, 30.0, 1e-9);
    const frame::MapRecordPrefill southWest = frame::PrefillFor(-33.25 * kRad, 70.0 * kRad, true);
    EXPECT_EQ(southWest.north, 0);
    EXPECT_EQ(southWest.east, 0);
    EXPECT_EQ(southWest.latitude.degrees, 33);
    EXPECT_EQ(frame::PrefillFor(0.0, 0.0, true).north, 1);
}

TEST(MapRecordConversionTest, WhichAnswersConvert) {
    EXPECT_TRUE(frame::ConvertsRecord(false, L"Hill", 3, true));
    EXPECT_TRUE(frame::ConvertsRecord(false, L";gone", 0, true));
    EXPECT_TRUE(frame::ConvertsRecord(false, L"Hill", -5, true));
    EXPECT_FALSE(frame::ConvertsRecord(false, L"Hill", 0, true));
    EXPECT_FALSE(frame::ConvertsRecord(false, L"Hill", -6, true));
    EXPECT_FALSE(frame::ConvertsRecord(true, L"Hill", 3, true));
    EXPECT_FALSE(frame::ConvertsRecord(false, L"", 3, true));
    EXPECT_FALSE(frame::ConvertsRecord(false, L"Hill", 3, false));
}

}  // namespace
