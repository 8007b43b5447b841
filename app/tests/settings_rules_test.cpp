#include "app/settings_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "testing/comma_locale.h"

namespace {

TEST(SettingsRulesTest, DegreesAndMinutesTextCarriesTheHemisphereLetter) {
    struct Case {
        double degrees;
        wchar_t positive;
        wchar_t negative;
        std::wstring expected;
    };
    const Case cases[] = {
        {38.500128, L'N', L'S', L" 38:30.01' N"},
        {-33.5, L'N', L'S', L" 33:30.00' S"},
        {119.794016, L'W', L'E', L"119:47.64' W"},
        {-151.25, L'W', L'E', L"151:15.00' E"},  // negative longitude is east
        {-0.25, L'W', L'E', L"  0:15.00' E"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::FormatDegreesMinutes(c.degrees, c.positive, c.negative), c.expected)
            << c.degrees;
    }
}

TEST(SettingsRulesTest, DegreesAndMinutesTextKeepsItsPointUnderACommaLocale) {
    const test_support::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(app::FormatDegreesMinutes(-33.5, L'N', L'S'), L" 33:30.00' S");
}

TEST(SettingsRulesTest, AnglesWrapIntoPlusMinus180) {
    struct Case {
        double in;
        double out;
    };
    const Case cases[] = {{370, 10},    {-190, 170}, {180, 180}, {-180, -180}, {540, 180},
                          {-540, -180}, {1e6, -80},  {-999, 81}, {12.5, 12.5}, {-725.5, -5.5}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(app::NormaliseDegrees180(c.in), c.out) << c.in;
}

TEST(SettingsRulesTest, OnlyFiniteAnglesUpToAMillionDegreesAreSane) {
    EXPECT_TRUE(app::IsSaneAngle(-1e6));
    EXPECT_TRUE(app::IsSaneAngle(370.0));
    EXPECT_FALSE(app::IsSaneAngle(1.000001e6));
    EXPECT_FALSE(app::IsSaneAngle(1e300));
    EXPECT_FALSE(app::IsSaneAngle(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(app::IsSaneAngle(std::numeric_limits<double>::quiet_NaN()));
}

TEST(SettingsRulesTest, ThermalAverageDecay) {
    EXPECT_EQ(app::ThermalAverageDecay(1), 0.0F);
    EXPECT_FLOAT_EQ(app::ThermalAverageDecay(2), static_cast<float>(std::exp(-1.0)));
    EXPECT_FLOAT_EQ(app::ThermalAverageDecay(3), static_cast<float>(std::exp(-0.5)));
}

TEST(SettingsRulesTest, FolderOfKeepsTheLastSlash) {
    EXPECT_EQ(app::FolderOf(L"/home/p/Documents/KOR_VAN WinCE/korvn!lt.wav"),
              L"/home/p/Documents/KOR_VAN WinCE/");
    EXPECT_EQ(app::FolderOf(L"korvn!lt.wav"), L"");
    EXPECT_EQ(app::FolderOf(L""), L"");
}

}  // namespace
