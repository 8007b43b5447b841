// The position lines in degrees-minutes-seconds, decimal minutes and UTM.
#include "texts/position_lines.h"
#include "testing/units.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>
#include <string>

namespace glide {
namespace {

using test_support::kRadiansPerDegree;


struct LineCase {
    const char* what;
    double latitude;  // degrees north
    double lonWest;   // degrees west
    PositionForm form;
    const wchar_t* latitudeLine;
    const wchar_t* longitudeLine;
};

TEST(PositionLinesTest, EveryHemisphereInDegreesAndMinutes) {
    const double almost = 12.0 + 59.9999 / 60.0;  // rounds into the next degree
    const LineCase cases[] = {
        {"north-west dms", 47.5125, 122.25, PositionForm::kDegreesMinutesSeconds,
         L" 47:30'45\" N", L"122:15'00\" W"},
        {"south-east dms", -33.8675, -151.207, PositionForm::kDegreesMinutesSeconds,
         L" 33:52'03\" S", L"151:12'25\" E"},
        {"north-east minutes", 45.999, -7.0123, PositionForm::kDecimalMinutes, L" 45:59.94' N",
         L"  7:00.74' E"},
        {"south-west minutes", -0.5, 70.75, PositionForm::kDecimalMinutes, L"  0:30.00' S",
         L" 70:45.00' W"},
        {"59.9999 minutes carry into the degree", almost, -almost, PositionForm::kDecimalMinutes,
         L" 13:00.00' N", L" 13:00.00' E"},
        {"59.9999 minutes carry in seconds too", -almost, almost,
         PositionForm::kDegreesMinutesSeconds, L" 13:00'00\" S", L" 13:00'00\" W"},
        {"a longitude past 180 is brought round", 10.0, 190.0, PositionForm::kDecimalMinutes,
         L" 10:00.00' N", L"170:00.00' E"},
    };
    for (const LineCase& c : cases) {
        const auto lines = FormatPositionLines(c.latitude * kRadiansPerDegree, c.lonWest * kRadiansPerDegree, c.form);
        ASSERT_TRUE(lines) << c.what;
        EXPECT_EQ(lines->latitude, c.latitudeLine) << c.what;
        EXPECT_EQ(lines->longitude, c.longitudeLine) << c.what;
    }
}

TEST(PositionLinesTest, UtmGroupsTheMetresAndNamesTheHemisphere) {
    EXPECT_EQ(FormatUtmLines(32, 654321.4, 5262345.6),
              (PositionLines{L"32N  6 54 321", L"    52 62 346"}));
    EXPECT_EQ(FormatUtmLines(-56, 300000.0, 6250000.0),
              (PositionLines{L"56S  3 00 000", L"    62 50 000"}));
    // 999.6 m rounds up into the next kilometre.
    EXPECT_EQ(FormatUtmLines(1, 499999.6, 999.6), (PositionLines{L" 1N  5 00 000", L"     0 01 000"}));
}

TEST(PositionLinesTest, UtmFromPositionsAtZoneEdgesAndInTheSouth) {
    struct UtmCase {
        const char* what;
        double latitude;
        double lonWest;
        const wchar_t* latitudePrefix;  // zone and hemisphere
    };
    const UtmCase cases[] = {
        {"central meridian of zone 32", 47.0, -9.0, L"32N  5 00 000"},
        {"just east of 6 E is zone 32", 47.0, -6.0001, L"32N"},
        {"just west of 6 E is zone 31", 47.0, -5.9999, L"31N"},
        {"southern hemisphere, west", -34.6, 58.4, L"21S"},
    };
    for (const UtmCase& c : cases) {
        const auto lines = FormatPositionLines(c.latitude * kRadiansPerDegree, c.lonWest * kRadiansPerDegree,
                                               PositionForm::kUtm);
        ASSERT_TRUE(lines) << c.what;
        EXPECT_EQ(lines->latitude.substr(0, std::wstring(c.latitudePrefix).size()), c.latitudePrefix)
            << c.what;
        EXPECT_EQ(lines->longitude.size(), 13U) << c.what;
    }
}

TEST(PositionLinesTest, APositionThatIsNotFiniteWritesNothing) {
    EXPECT_FALSE(FormatPositionLines(std::numeric_limits<double>::quiet_NaN(), 0.1,
                                     PositionForm::kDecimalMinutes));
    EXPECT_FALSE(FormatPositionLines(0.1, std::numeric_limits<double>::infinity(),
                                     PositionForm::kUtm));
}

}  // namespace
}  // namespace glide
