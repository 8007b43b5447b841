// Position, time, course and speed from RMC, VTG, GGA and GLL.
#include <cmath>

#include "gps/tests/nmea_test_support.h"

namespace gps::testing {
namespace {

constexpr const char* kClassicRmc =
    "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";
constexpr const char* kClassicGga = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";

class PositionTest : public NmeaTest {};

TEST_F(PositionTest, RmcGivesPositionTimeCourseSpeedVariationAndDate) {
    environment.variation = -3.0;
    const NmeaLineResult result = HandleBody(kClassicRmc);
    EXPECT_EQ(result.type, SentenceType::kRmc);
    EXPECT_TRUE(result.accepted);
    EXPECT_DOUBLE_EQ(fix.latitude, Radians(48 + 7.038 / 60));
    EXPECT_DOUBLE_EQ(fix.longitude, -Radians(11 + 31.0 / 60));  // east is negative
    EXPECT_DOUBLE_EQ(fix.latDegrees, 48);
    EXPECT_DOUBLE_EQ(fix.latMinutes, 7.038);
    EXPECT_DOUBLE_EQ(fix.lonDegrees, 11);
    EXPECT_DOUBLE_EQ(fix.lonMinutes, 31);
    EXPECT_EQ(fix.latLetter, 'N');
    EXPECT_EQ(fix.lonLetter, 'E');
    EXPECT_EQ(fix.hours, 12);
    EXPECT_EQ(fix.minutes, 35);
    EXPECT_FLOAT_EQ(fix.seconds, 19);
    EXPECT_FLOAT_EQ(fix.groundSpeed, 22.4F);
    EXPECT_DOUBLE_EQ(fix.trueCourse, 84.4);
    EXPECT_DOUBLE_EQ(fix.trueCourseRad, Radians(84.4));
    EXPECT_DOUBLE_EQ(fix.magneticCourse, 87.4);  // true course minus the variation in use
    EXPECT_DOUBLE_EQ(fix.variation, -3.1);
    EXPECT_EQ(fix.courseUpdated, 1);
    EXPECT_NEAR(state.ground.east, 22.4 * std::sin(Radians(84.4)), 1e-5);
    EXPECT_NEAR(state.ground.north, 22.4 * std::cos(Radians(84.4)), 1e-5);
    EXPECT_EQ(fix.valueMask, value_bit::kPosition | value_bit::kFixTime | value_bit::kVariation |
                                 value_bit::kCourseAndSpeed);
    EXPECT_EQ(fix.sourceMask, source_bit::kRmcCourse);
    EXPECT_TRUE(state.date.known);
    EXPECT_EQ(state.date.day, 23);
    EXPECT_EQ(state.date.month, 3);
    EXPECT_EQ(state.date.year, 94);
}

TEST_F(PositionTest, RmcWithStatusVoidOnlyUpdatesTheDate) {
    const NmeaLineResult result =
        HandleBody("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,150625,003.1,W");
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(state.date.day, 15);
    EXPECT_EQ(state.date.year, 25);
    EXPECT_EQ(fix.valueMask, 0U);
    EXPECT_EQ(fix.latitude, 0.0);
}

TEST_F(PositionTest, RmcWithoutVariationSwitchesGpsVariationOffForGood) {
    core::g_variation = 2.5;
    EXPECT_TRUE(HandleBody("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,").accepted);
    EXPECT_EQ(core::g_useGpsVariation, 0);
    EXPECT_DOUBLE_EQ(fix.variation, 2.5);
    EXPECT_TRUE(HandleBody(kClassicRmc).accepted);
    EXPECT_EQ(core::g_useGpsVariation, 0);
    EXPECT_DOUBLE_EQ(fix.variation, 2.5);
}

TEST_F(PositionTest, RmcWithoutCourseKeepsTheDateFromTheNinthField) {
    fix.trueCourse = 123.0;
    // Speed present and zero, course empty: the speed is taken with the old course.
    EXPECT_TRUE(HandleBody("GPRMC,123519,A,4807.038,N,01131.000,E,0.0,,230394,,,A").accepted);
    EXPECT_EQ(fix.sourceMask, source_bit::kRmcCourse);
    EXPECT_DOUBLE_EQ(fix.trueCourse, 123.0);
    EXPECT_FLOAT_EQ(fix.groundSpeed, 0.0F);
    EXPECT_TRUE(state.date.known);
    EXPECT_EQ(state.date.day, 23);

    // Speed and course empty: a position without course.
    fix.sourceMask = 0;
    fix.groundSpeed = 5;
    EXPECT_TRUE(HandleBody("GPRMC,123519,A,4807.038,N,01131.000,E,,,240394,,").accepted);
    EXPECT_EQ(fix.sourceMask, source_bit::kPositionOnly);
    EXPECT_FLOAT_EQ(fix.groundSpeed, 5.0F);
    EXPECT_EQ(state.date.day, 24);

    // Moving, course empty: position only.
    fix.sourceMask = 0;
    EXPECT_TRUE(HandleBody("GPRMC,123519,A,4807.038,N,01131.000,E,12.0,,230394,,").accepted);
    EXPECT_EQ(fix.sourceMask, source_bit::kPositionOnly);
}

TEST_F(PositionTest, MalformedRmcLeavesThePendingValuesAlone) {
    const char* const bodies[] = {
        "GPRMC,123519,A,4807.038,X,01131.000,E,022.4,084.4,230394,003.1,W",     // hemisphere
        "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,Q",     // variation letter
        "GPRMC,123519,A,9507.038,N,01131.000,E,022.4,084.4,230394,003.1,W",     // beyond the pole
        "GPRMC,123519,A,4807.038,N,18131.000,E,022.4,084.4,230394,003.1,W",     // beyond 180
        "GPRMC,123519,A,4807.038,N,01131.000",                                  // too short
        "GPRMC,123519,A,4807.038e99,N,01131.000,E,022.4,084.4,230394,003.1,W",  // absurd
    };
    for (const char* body : bodies) {
        fix.variation = 7.0;
        EXPECT_FALSE(HandleBody(body).accepted) << body;
        EXPECT_EQ(fix.valueMask, 0U) << body;
        EXPECT_EQ(fix.latitude, 0.0) << body;
        EXPECT_EQ(fix.variation, 7.0) << body;
    }
}

TEST_F(PositionTest, CoursesAreBroughtIntoRange) {
    environment.variation = 10.0;
    EXPECT_TRUE(HandleBody("GPRMC,123519,A,4807.038,N,01131.000,E,10,725.5,230394,,").accepted);
    EXPECT_DOUBLE_EQ(fix.trueCourse, 5.5);
    EXPECT_DOUBLE_EQ(fix.magneticCourse, 355.5);
    EXPECT_TRUE(HandleBody("GPRMC,123519,A,4807.038,N,01131.000,E,10,-90,230394,,").accepted);
    EXPECT_DOUBLE_EQ(fix.trueCourse, 270.0);
}

TEST_F(PositionTest, NmeaCodeDecidesWhichSentencesGivePositions) {
    // Code 0: RMC only; VTG and GLL are ignored, GGA gives no position.
    EXPECT_FALSE(HandleBody("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K").accepted);
    EXPECT_FALSE(HandleBody("GPGLL,4916.45,N,12311.12,W,225444,A").accepted);
    EXPECT_TRUE(HandleBody(kClassicGga).accepted);
    EXPECT_EQ(fix.valueMask & value_bit::kPosition, 0U);
    EXPECT_EQ(fix.valueMask & value_bit::kGpsAltitude, value_bit::kGpsAltitude);

    g_nmeaCode = 1;
    EXPECT_FALSE(HandleBody(kClassicRmc).accepted);
    EXPECT_TRUE(HandleBody("GPGLL,4916.45,N,12311.12,W,225444,A").accepted);
    EXPECT_DOUBLE_EQ(fix.latitude, Radians(49 + 16.45 / 60));
    EXPECT_DOUBLE_EQ(fix.longitude, Radians(123 + 11.12 / 60));  // west is positive
    EXPECT_EQ(fix.hours, 22);
    EXPECT_EQ(fix.sourceMask & source_bit::kPositionOnly, source_bit::kPositionOnly);
    EXPECT_FALSE(HandleBody("GPGLL,4916.45,N,12311.12,W,225444,V").accepted);

    g_nmeaCode = 2;
    fix = GpsFixRecord{};
    EXPECT_TRUE(HandleBody(kClassicGga).accepted);
    EXPECT_DOUBLE_EQ(fix.latitude, Radians(48 + 7.038 / 60));
    EXPECT_EQ(fix.sourceMask, source_bit::kGgaPosition | source_bit::kGpsAltitude);
    EXPECT_EQ(fix.valueMask, value_bit::kPosition | value_bit::kFixTime | value_bit::kGpsAltitude);
}

TEST_F(PositionTest, VtgForms) {
    g_nmeaCode = 1;
    environment.trueCourse = 200.0;
    struct Case {
        const char* body;
        bool accepted;
        double trueCourse;
        double magneticCourse;
        float speed;
        double variation;
    };
    const Case cases[] = {
        {"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K", true, 54.7, 34.4, 5.5F, 20.3},
        {"GPVTG,010.0,T,350.0,M,005.5,N,010.2,K", true, 10.0, 350.0, 5.5F, 20.0},
        {"GPVTG,054.7,T,,M,005.5,N,010.2,K,A", true, 54.7, 54.7, 5.5F, 0.0},
        {"GPVTG,054.7,T,M,005.5,N", true, 54.7, 54.7, 5.5F, 0.0},
        {"GPVTG,,T,,M,0.0,N,0.0,K", true, 200.0, 200.0, 0.0F, 0.0},
        {"GPVTG,,T,,M,1.0,N,1.9,K", false, 0, 0, 0, 0},                // no course while moving
        {"GPVTG,054.7,T,034.4,M,005.5,K,010.2,K", false, 0, 0, 0, 0},  // not knots
        {"GPVTG,054.7,M,034.4,M,005.5,N,010.2,K", false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        fix = GpsFixRecord{};
        EXPECT_EQ(HandleBody(c.body).accepted, c.accepted) << c.body;
        if (!c.accepted) {
            EXPECT_EQ(fix.valueMask, 0U) << c.body;
            continue;
        }
        EXPECT_NEAR(fix.trueCourse, c.trueCourse, 1e-9) << c.body;
        EXPECT_NEAR(fix.magneticCourse, c.magneticCourse, 1e-9) << c.body;
        EXPECT_FLOAT_EQ(fix.groundSpeed, c.speed) << c.body;
        EXPECT_NEAR(fix.variation, c.variation, 1e-9) << c.body;
        EXPECT_EQ(fix.sourceMask, source_bit::kVtg);
        EXPECT_EQ(fix.valueMask, value_bit::kCourseAndSpeed | value_bit::kVariation);
    }
    core::g_useGpsVariation = 0;
    core::g_variation = -1.5;
    EXPECT_TRUE(HandleBody("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K").accepted);
    EXPECT_DOUBLE_EQ(fix.variation, -1.5);
}

TEST_F(PositionTest, GgaAltitudeGeoidAndHdop) {
    EXPECT_TRUE(HandleBody(kClassicGga).accepted);
    EXPECT_FLOAT_EQ(fix.gpsAltitude, 545.4F * 3.2808F);
    EXPECT_EQ(fix.gpsAltitudeValid, 1);
    EXPECT_FLOAT_EQ(fix.geoidSeparation, 46.9F * 3.2808F);
    EXPECT_FLOAT_EQ(core::g_geoidSeparation, 46.9F * 3.2808F);
    EXPECT_TRUE(state.geoidFromGps);
    EXPECT_FLOAT_EQ(state.hdop, 0.9F);
    EXPECT_EQ(state.ggaAltitudeSeen, 1);
    EXPECT_FLOAT_EQ(state.glideGpsAltitude, fix.gpsAltitude);
    EXPECT_NEAR(fix.gpsAltitudeTime, 12 + 35 / 60.0 + 19 / 3600.0, 1e-5);
    EXPECT_EQ(fix.sourceMask, source_bit::kGpsAltitude);

    g_sirfGga = 1;
    EXPECT_TRUE(HandleBody(kClassicGga).accepted);
    EXPECT_FLOAT_EQ(fix.gpsAltitude, 545.4F * 3.2808F - 46.9F * 3.2808F);
}

TEST_F(PositionTest, GgaWithFewSatellitesInvalidatesTheAltitude) {
    fix.gpsAltitudeValid = 1;
    fix.gpsAltitude = 1000;
    EXPECT_FALSE(
        HandleBody("GPGGA,123519,4807.038,N,01131.000,E,1,02,0.9,545.4,M,46.9,M,,").accepted);
    EXPECT_EQ(fix.gpsAltitudeValid, 0);
    EXPECT_FLOAT_EQ(fix.gpsAltitude, 1000);

    g_nmeaCode = 2;  // the position still counts
    fix.gpsAltitudeValid = 1;
    EXPECT_TRUE(
        HandleBody("GPGGA,123519,4807.038,N,01131.000,E,1,02,0.9,545.4,M,46.9,M,,").accepted);
    EXPECT_EQ(fix.gpsAltitudeValid, 0);
    EXPECT_EQ(fix.valueMask & value_bit::kGpsAltitude, 0U);
    EXPECT_EQ(fix.valueMask & value_bit::kPosition, value_bit::kPosition);

    fix = GpsFixRecord{};
    EXPECT_FALSE(  // no fix
        HandleBody("GPGGA,123519,4807.038,N,01131.000,E,0,08,0.9,545.4,M,46.9,M,,").accepted);
    EXPECT_FALSE(HandleBody("GPGGA,123519,4807.038,N,01131.000,E").accepted);
    EXPECT_EQ(fix.valueMask, 0U);
}

}  // namespace
}  // namespace gps::testing
