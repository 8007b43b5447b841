#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/settings_values.h"
#include "core/units_options.h"
#include "core/utm_options.h"
#include "frame/options/log_options.h"
#include "frame/options/misc2_options.h"
#include "frame/options/misc_options.h"
#include "frame/settings_values.h"
#include "glide/settings_values.h"
#include "gps/settings_values.h"
#include "nav/settings_values.h"
#include "platform/settings_store.h"
#include "recorder/settings_values.h"
#include "testing/comma_locale.h"

namespace frame {
namespace {

constexpr char kMisc[] = "Options\\Miscellaneous";
constexpr char kLogging[] = "Options\\Logging";

class GeneralOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        core::g_unitAlt = 0;
        glide::g_patternAltitude = 1000.0F;
        glide::g_groundClearAltitude = 500.0F;
        gps::g_timeOffset = 0.0F;
        core::g_variation = 3.0;
        core::g_useGpsVariation = 0;
        core::g_screenUpdates = 2.0F / 3600.0F;
    }

    std::uint32_t Int(const char* section, const char* name) const {
        return store_.GetInt(section, name, 0xDEADu);
    }
    std::string Text(const char* section, const char* name) const {
        return store_.GetString(section, name, std::string_view("<none>"));
    }

    platform::SettingsStore store_{""};
};

TEST_F(GeneralOptions, TimeOffsetIsStoredSoThatItReadsBackAsTyped) {
    struct Case {
        float typed;
        int hours;
        int tenths;
    };
    for (const Case c : {Case{-3.5F, -4, 5}, Case{2.3F, 2, 3}, Case{0.0F, 0, 0}, Case{-0.1F, -1, 9},
                         Case{12.0F, 12, 0}, Case{-12.0F, -12, 0}}) {
        MiscOptions o = MiscOptions::FromRunning();
        o.timeOffset = c.typed;
        o.Apply(store_);
        EXPECT_EQ(static_cast<int>(Int(kMisc, "TimeOffset")), c.hours) << c.typed;
        EXPECT_EQ(static_cast<int>(Int(kMisc, "TimeOffset1")), c.tenths) << c.typed;
        EXPECT_FLOAT_EQ(gps::g_timeOffset, c.typed);
    }
}

TEST_F(GeneralOptions, PatternAltitudeInMetresIsStoredInFeetWithHalfAsClearance) {
    core::g_unitAlt = 1;
    MiscOptions o = MiscOptions::FromRunning();
    EXPECT_EQ(o.patternAltitude, 305);  // 1000 ft
    o.patternAltitude = 300;
    o.Apply(store_);
    EXPECT_NEAR(glide::g_patternAltitude, 984.24F, 0.01F);
    EXPECT_NEAR(glide::g_groundClearAltitude, 492.12F, 0.01F);
    EXPECT_EQ(Int(kMisc, "PatternAltitude"), 984u);
    EXPECT_EQ(Int(kMisc, "GroundClearAltitude"), 492u);
}

TEST_F(GeneralOptions, UntouchedPagesKeepTheRunningValuesUnrounded) {
    core::g_unitAlt = 1;
    glide::g_patternAltitude = 1234.5F;
    core::g_screenUpdates = 2.5F / 3600.0F;
    MiscOptions::FromRunning().Apply(store_);
    LogOptions::FromRunning().Apply(store_);
    EXPECT_FLOAT_EQ(glide::g_patternAltitude, 1234.5F);
    EXPECT_FLOAT_EQ(core::g_screenUpdates, 2.5F / 3600.0F);
    EXPECT_EQ(Text("Settings", "ScreenUpdates"), "2.5");
    EXPECT_EQ(Text(kMisc, "Variation"), "3.0");
}

TEST_F(GeneralOptions, MiscWritesItsTextsInTheCFormEvenUnderACommaLocale) {
    const test_support::CommaLocale comma;
    MiscOptions o = MiscOptions::FromRunning();
    o.variation = -2.25;
    o.earthRadius = 6371.0;
    o.Apply(store_);
    EXPECT_EQ(Text(kMisc, "Variation"), "-2.2");
    EXPECT_EQ(Text(kMisc, "EarthRadius"), "6371.0");
    EXPECT_DOUBLE_EQ(core::g_variation, -2.25);
    EXPECT_DOUBLE_EQ(core::g_magneticVariation, -2.25);
}

TEST_F(GeneralOptions, LogPageShowsTenthsOfSecondsAndSwitchesLoggingOn) {
    core::g_logDataOn = 0;
    LogOptions o = LogOptions::FromRunning();
    EXPECT_FLOAT_EQ(o.screenUpdates, 2.0F);
    o.screenUpdates = 4.0F;
    o.logFormat = 0;
    o.Apply(store_);
    EXPECT_NEAR(core::g_screenUpdates * 3600.0F, 3.95F, 1e-4F);
    EXPECT_FLOAT_EQ(LogOptions::FromRunning().screenUpdates, 4.0F);  // reads back as typed
    EXPECT_EQ(Text("Settings", "ScreenUpdates"), "4.0");
    EXPECT_EQ(Int(kLogging, "LogFormat"), 0u);
    EXPECT_EQ(Int(kLogging, "LogDataOn"), 1u);
    EXPECT_EQ(core::g_logDataOn, 1);
}

TEST_F(GeneralOptions, SecondMiscPageConvertsAndSwitchesTheGearWarningOff) {
    core::g_unitAlt = 1;
    core::g_unitSpeed = 2;  // km/h
    core::g_unitVario = 1;  // m/s
    core::g_gearWarnAt = 700.0F;
    core::g_speedDirectorTolerance = 1.0F;
    store_.WriteString(kMisc, "macReadyManualDef", std::string_view("2.00"));
    Misc2Options o = Misc2Options::FromRunning(store_);
    EXPECT_EQ(o.gearWarnAt, 213);
    EXPECT_FLOAT_EQ(o.speedDirectorTolerance, 1.9F);
    EXPECT_FLOAT_EQ(o.ToleranceMinimum(), 1.9F);
    EXPECT_FLOAT_EQ(o.ToleranceMaximum(), 9.3F);
    EXPECT_NEAR(o.macReadyManualDef, 1.03F, 1e-5F);
    EXPECT_EQ(o.GearMinimum(), -400);
    EXPECT_TRUE(o.MacCreadyInRange());

    o.Apply(store_);  // as shown: nothing changes
    EXPECT_FLOAT_EQ(core::g_speedDirectorTolerance, 1.0F);
    EXPECT_EQ(Text(kMisc, "macReadyManualDef"), "2.00");

    o.gearWarnAt = -5;
    o.macReadyManualDef = 5.2F;  // beyond 10 knots
    EXPECT_FALSE(o.MacCreadyInRange());
    o.macReadyManualDef = 2.06F;
    o.Apply(store_);
    EXPECT_FLOAT_EQ(core::g_gearWarnAt, -1000.0F);
    EXPECT_EQ(static_cast<int>(Int("Settings", "GearWarnAt")), -1000);
    EXPECT_EQ(Text(kMisc, "macReadyManualDef"), "4.00");
    EXPECT_EQ(Text(kMisc, "speedDirectorTolerance"), "1.00");
    core::g_unitSpeed = 0;
    core::g_unitVario = 0;
}

TEST_F(GeneralOptions, UnitsSetTheDisplaysCopyOfTheAltitudeUnit) {
    core::UnitsOptions o{.alt = 1, .dist = 2, .speed = 2, .vario = 1, .pressure = 1};
    o.Apply(store_);
    EXPECT_EQ(core::g_unitAlt2, 1);
    EXPECT_EQ(core::g_unitDist, 2);
    EXPECT_EQ(Int("Options\\Units", "Alt"), 1u);
    EXPECT_EQ(Int("Options\\Units", "Pressure"), 1u);
    EXPECT_EQ(core::UnitsOptions::FromRunning().speed, 2);
}

TEST_F(GeneralOptions, UtmEllipsoidKeepsItsDigitsAndTheConversionTakesIt) {
    core::UtmOptions o = core::UtmOptions::FromRunning();
    o.inverseFlattening = 298.25;
    o.Apply(store_);
    EXPECT_EQ(Text("Options\\UTM", "Eccentricity"), "0.081819190843");
    EXPECT_EQ(Text("Options\\UTM", "InverseFlattening"), "298.250000000");
    EXPECT_EQ(Text("Options\\UTM", "CenterScaleFactor"), "0.999600");
    EXPECT_DOUBLE_EQ(core::GetUtmParameters().InverseFlattening(), 298.25);
    core::SetUtmParameters(core::UtmParameters());
}

}  // namespace
}  // namespace frame
