#include "frame/options/misc_options.h"

#include <cmath>
#include <cstdint>

#include "core/settings_values.h"
#include "frame/settings_values.h"
#include "glide/settings_values.h"
#include "gps/settings_values.h"
#include "nav/settings_values.h"
#include "platform/numbers.h"
#include "recorder/settings_values.h"

namespace frame {
namespace {

constexpr char kSection[] = "Options\\Miscellaneous";
constexpr float kMiscFeetPerMetre = 3.2808F;

void WriteMiscInt(platform::SettingsStore& store, const char* name, int value) {
    store.WriteInt(kSection, name, static_cast<std::uint32_t>(value));
}

}  // namespace

StoredTimeOffset SplitTimeOffset(float hours) {
    const long tenths = std::lround(static_cast<double>(hours) * 10.0);
    const long whole = static_cast<long>(std::floor(static_cast<double>(tenths) / 10.0));
    return {static_cast<int>(whole), static_cast<int>(tenths - 10 * whole)};
}

MiscOptions MiscOptions::FromRunning() {
    MiscOptions o;
    o.decimalMinutes = core::g_decimalMinutes;
    o.useUtm = core::g_useUtm;
    o.timeOffset = gps::g_timeOffset;
    o.earthRadius = core::g_earthRadius;
    o.useGpsVariation = core::g_useGpsVariation;
    o.variation = core::g_variation;
    o.doubleClick = g_doubleClick;
    o.fileReplayInterval = recorder::g_fileReplayInterval;
    o.metres = core::g_unitAlt >= 1;
    const float feet = glide::g_patternAltitude;
    o.patternAltitude = o.metres ? static_cast<int>(feet / kMiscFeetPerMetre + 0.5F)
                                 : static_cast<int>(feet + 0.5F);
    o.maxNumDestinations = nav::g_maxNumDestinations;
    o.queueFifo = nav::g_queueFifo;
    o.timeInMinutes = gps::g_timeInMinutes;
    return o;
}

void MiscOptions::Apply(platform::SettingsStore& store) const {
    // A page that was never shown holds the running height in whole units;
    // it keeps the running value rather than a rounded one.
    const MiscOptions running = FromRunning();
    float feet = glide::g_patternAltitude;
    if (patternAltitude != running.patternAltitude || metres != running.metres) {
        feet = metres ? static_cast<float>(patternAltitude) * kMiscFeetPerMetre
                      : static_cast<float>(patternAltitude);
    }
    const StoredTimeOffset offset = SplitTimeOffset(timeOffset);

    gps::g_timeInMinutes = timeInMinutes;
    nav::g_queueFifo = queueFifo;
    nav::g_maxNumDestinations = maxNumDestinations;
    glide::g_patternAltitude = feet;
    glide::g_groundClearAltitude = feet / 2.0F;
    recorder::g_fileReplayInterval = fileReplayInterval;
    gps::g_timeOffset = static_cast<float>(offset.hours) + static_cast<float>(offset.tenths) / 10.0F;
    core::g_useGpsVariation = useGpsVariation;
    core::g_useUtm = useUtm;
    core::g_decimalMinutes = decimalMinutes;
    core::g_variation = variation;
    if (useGpsVariation == 0) core::g_magneticVariation = variation;
    core::g_earthRadius = earthRadius;
    g_doubleClick = doubleClick;

    WriteMiscInt(store, "timeInMinutes", timeInMinutes);
    WriteMiscInt(store, "QueueFIFO", queueFifo);
    WriteMiscInt(store, "MaxNumDestinations", maxNumDestinations);
    WriteMiscInt(store, "GroundClearAltitude", static_cast<int>(feet / 2.0F + 0.5F));
    WriteMiscInt(store, "PatternAltitude", static_cast<int>(feet + 0.5F));
    WriteMiscInt(store, "FileReplayInterval", fileReplayInterval);
    WriteMiscInt(store, "TimeOffset", offset.hours);
    WriteMiscInt(store, "TimeOffset1", offset.tenths);
    WriteMiscInt(store, "UseGPSvariation", useGpsVariation);
    WriteMiscInt(store, "UseUTM", useUtm);
    WriteMiscInt(store, "DecimalMinutes", decimalMinutes);
    store.WriteString(kSection, "Variation", platform::FormatC("%.1lf", variation));
    store.WriteString(kSection, "EarthRadius", platform::FormatC("%.1lf", earthRadius));
    WriteMiscInt(store, "DoubleClick", doubleClick);
}

}  // namespace frame
