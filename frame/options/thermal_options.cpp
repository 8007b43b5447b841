#include "frame/options/thermal_options.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_average.h"
#include "gps/settings_values.h"
#include "map/settings_values.h"
#include "platform/numbers.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace frame {
namespace {

constexpr char kThermalMapsSection[] = "Options\\Maps";
constexpr char kThermals[] = "Options\\Thermals";
constexpr float kFeetPerMetre = 3.2808F;

void WriteThermalInt(platform::SettingsStore& store, const char* section, const char* name,
                     int value) {
    store.WriteInt(section, name, static_cast<std::uint32_t>(value));
}

float CirclingRateShown(float degreesPerHour) {
    return std::floor(degreesPerHour / 3600.0F * 10.0F) / 10.0F;
}

}  // namespace

ThermalModeOptions ThermalModeOptions::FromRunning(ViewLink& views) {
    const MapViewValues view = views.Values();
    ThermalModeOptions o;
    o.metres = core::g_unitDist == 2;
    o.zoomedTrackLength = static_cast<unsigned>(std::max(0, view.zoomedTrackLength));
    const float metres = view.zoomedRadiusMetres;
    o.zoomedRadius = static_cast<int>(std::lround(o.metres ? metres : metres * kFeetPerMetre));
    o.initCircles = core::g_initCircles;
    o.minCirclingRate = CirclingRateShown(gps::g_minCirclingRate);
    o.showLiftInThermalMode = view.showLiftInThermalMode;
    o.drawLinesInThermalMode = view.drawLinesInThermalMode;
    o.showMapInThermalMode = map::g_showMapInThermalMode;
    o.thermalSearchTime = static_cast<int>(gps::g_thermalSearchTime * 3600.0F + 0.5F);
    o.averageNthermals = glide::g_averageNthermals;
    o.showAverage = glide::g_showAverage;
    o.autoZoom = core::g_autoZoom;
    o.autoMacCready = core::g_autoMacCready;
    return o;
}

void ThermalModeOptions::Apply(platform::SettingsStore& store, ViewLink& views, const ThermalModeOptions& opened) const {
    const ThermalModeOptions& shown = opened;
    MapViewValues view = views.Values();

    // The view draws no more of the zoomed track than the cache holds.
    view.zoomedTrackLength = std::min(static_cast<int>(zoomedTrackLength), core::g_trackCacheLength.load());
    core::g_initCircles = initCircles;
    if (zoomedRadius != shown.zoomedRadius) {
        view.zoomedRadiusMetres = metres ? static_cast<float>(zoomedRadius)
                                         : std::round(static_cast<float>(zoomedRadius) / kFeetPerMetre);
    }
    glide::g_showAverage = showAverage;
    core::g_autoZoom = autoZoom;
    view.drawLinesInThermalMode = drawLinesInThermalMode;
    map::g_showMapInThermalMode = showMapInThermalMode;
    view.showLiftInThermalMode = showLiftInThermalMode;
    views.SetValues(view);
    WriteThermalInt(store, kThermals, "showAverage", showAverage);
    WriteThermalInt(store, kThermals, "autoZoom", autoZoom);

    WriteThermalInt(store, kThermalMapsSection, "ShowLiftInThermalMode", showLiftInThermalMode);
    WriteThermalInt(store, kThermalMapsSection, "ShowMapInThermalMode", showMapInThermalMode);
    WriteThermalInt(store, kThermalMapsSection, "ZoomedTrackCacheLength",
                    static_cast<int>(zoomedTrackLength));
    WriteThermalInt(store, kThermalMapsSection, "InitCircles", initCircles);
    store.WriteString(kThermalMapsSection, "ZoomedMapRadius",
                      platform::FormatC("%f", static_cast<double>(view.zoomedRadiusMetres)));

    float rate = gps::g_minCirclingRate / 3600.0F;
    if (minCirclingRate != shown.minCirclingRate) rate = minCirclingRate;
    gps::g_minCirclingRate = rate * 3600.0F;
    store.WriteString("Settings\\Winds", "MinCirclingRate", platform::FormatC("%f", static_cast<double>(rate)));
    WriteThermalInt(store, kThermalMapsSection, "DrawLinesInThermalMode", drawLinesInThermalMode);

    const int thermals = std::max(averageNthermals, 1);
    glide::g_averageNthermals = thermals;
    glide::InitThermalAverageDecay();
    WriteThermalInt(store, kThermals, "averageNthermals", thermals);

    core::g_autoMacCready = autoMacCready;
    WriteThermalInt(store, "Settings\\Vario", "autoMacCready", autoMacCready);
    if (autoMacCready == 0) core::g_autoSetMacCready = 0;
    WriteThermalInt(store, "Settings", "autoSetMacCready", core::g_autoSetMacCready);

    if (core::g_autoSetMacCready != 0) core::g_macCready = std::max(glide::AutoMacCready.load(), 0.0F);
    const float macCready = core::g_macCready;
    glide::MacCreadyText.Set(platform::FormatC(
        L" %0.1f", static_cast<double>(macCready * glide::CurrentClimbUnit().factor)));
    glide::SpeedToFlyText(macCready);

    WriteThermalInt(store, kThermals, "thermalSearchTime", thermalSearchTime);
    if (thermalSearchTime != shown.thermalSearchTime) {
        gps::g_thermalSearchTime = static_cast<float>(thermalSearchTime) / 3600.0F;
    }
}

}  // namespace frame
