#include "glide/compass_options.h"

#include <cmath>
#include <cstdint>

#include "core/settings_values.h"
#include "glide/heading_wind.h"
#include "gps/settings_values.h"
#include "platform/numbers.h"
#include "texts/display_units.h"

namespace glide {
namespace {

constexpr char kCompass[] = "Settings\\Compass";

float Tenths(float value) {
    return std::floor(value * 10.0F + 0.5F) / 10.0F;
}

// Knots, mph and km/h in that order; other indices read as knots.
int UnitIndex(int unit) {
    return unit >= 0 && unit <= 2 ? unit : 0;
}

}  // namespace

CompassOptions CompassOptions::FromRunning() {
    CompassOptions o;
    o.speedUnit = UnitIndex(core::g_unitSpeed);
    o.speedFactor = CurrentSpeedUnit().factor;
    o.speedMaximum = Tenths(gps::g_speedMaximum * o.speedFactor);
    o.speedMinimum = Tenths(gps::g_speedMinimum * o.speedFactor);
    o.speedTolerance = Tenths(gps::g_speedTolerance * o.speedFactor / 3600.0F);
    o.turnTolerance = Tenths(gps::g_turnTolerance / 3600.0F);
    o.correction = std::floor(gps::g_correction + 0.5F);
    o.hcHdgTrue = gps::g_hcHdgTrue;
    return o;
}

CompassOptions::Range CompassOptions::SpeedMaximumRange() const {
    constexpr Range kRanges[] = {{50.0F, 130.0F}, {55.0F, 150.0F}, {80.0F, 240.0F}};
    return kRanges[speedUnit];
}

CompassOptions::Range CompassOptions::SpeedMinimumRange() const {
    constexpr Range kRanges[] = {{10.0F, 55.0F}, {10.0F, 63.0F}, {15.0F, 100.0F}};
    return kRanges[speedUnit];
}

CompassOptions::Range CompassOptions::SpeedToleranceRange() const {
    constexpr Range kRanges[] = {{0.1F, 5.4F}, {0.1F, 6.2F}, {0.1F, 10.0F}};
    return kRanges[speedUnit];
}

void CompassOptions::Apply(platform::SettingsStore& store) const {
    // Fields left as shown keep their unrounded running values.
    const CompassOptions shown = FromRunning();
    auto pick = [](float running, float value, float was, float toRunning) {
        return value == was ? running : toRunning;
    };
    const float turn = pick(gps::g_turnTolerance, turnTolerance, shown.turnTolerance,
                            turnTolerance * 3600.0F);
    const float speedTol = pick(gps::g_speedTolerance, speedTolerance, shown.speedTolerance,
                                speedTolerance * 3600.0F / speedFactor);
    const float maximum = pick(gps::g_speedMaximum, speedMaximum, shown.speedMaximum,
                               speedMaximum / speedFactor);
    const float minimum = pick(gps::g_speedMinimum, speedMinimum, shown.speedMinimum,
                               speedMinimum / speedFactor);
    const float corr = pick(gps::g_correction, correction, shown.correction, correction);

    gps::g_turnTolerance = turn;
    gps::g_speedTolerance = speedTol;
    gps::g_speedMaximum = maximum;
    gps::g_speedMinimum = minimum;
    gps::g_correction = corr;
    gps::g_hcHdgTrue = hcHdgTrue;
    ResetHeadingWind();

    auto text = [&store](const char* name, const char* format, float value) {
        store.WriteString(kCompass, name, platform::FormatC(format, static_cast<double>(value)));
    };
    text("TurnTolerance", "%2.1f", turn / 3600.0F);
    text("SpeedTolerance", "%3.2f", speedTol / 3600.0F);
    text("SpeedMaximum", "%2.1f", maximum);
    text("SpeedMinimum", "%2.1f", minimum);
    text("Correction", "%2.1f", corr);
    store.WriteInt(kCompass, "HCHDGtrue", static_cast<std::uint32_t>(hcHdgTrue));
}

}  // namespace glide
