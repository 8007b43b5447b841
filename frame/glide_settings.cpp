#include "frame/glide_settings.h"

#include <cmath>

#include "core/settings_values.h"
#include "frame/frame_commands.h"
#include "glide/settings_values.h"
#include "nav/destination_queue.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"

namespace frame {
namespace {

constexpr float kGlideKmPerMile = 1.609F;
constexpr int kKilometres = 2;

}  // namespace

float RadiusForDisplay(float km, int distanceUnit) {
    const double shown = distanceUnit == kKilometres ? km : km / kGlideKmPerMile;
    return static_cast<float>(std::floor(shown * 100.0 + 0.5) / 100.0);
}

int RadiusHundredthsForStore(float shown, int distanceUnit) {
    const double km = distanceUnit == kKilometres ? shown : double{shown} * double{kGlideKmPerMile};
    return static_cast<int>(std::lround(km * 100.0));
}

bool RadiusAcceptable(float shown, int distanceUnit) {
    if (shown == 0.0F) return true;
    return distanceUnit == kKilometres ? (shown >= 0.05F && shown <= 10.0F)
                                       : (shown >= 0.03F && shown <= 6.1F);
}

GlideSettingsValues GlideSettingsValues::InForce(bool navigating, bool nextPointDetected) {
    if (!navigating) {
        nav::g_bAutodetectPrevPrompt = 0;
        nav::g_bAutodetectNextPrompt = 0;
    }
    if (!nextPointDetected) nav::g_bAutodetectNextPrompt = 0;
    GlideSettingsValues v;
    v.numberedPrompt = g_bAutodetectNumbered.load();
    v.showAltDifference = glide::g_showAltitudeDifferenceInGoto.load();
    v.prevPrompt = nav::g_bAutodetectPrevPrompt.load();
    v.nextPrompt = nav::g_bAutodetectNextPrompt.load();
    v.detectRadius = RadiusForDisplay(glide::g_autodetectRadius.load(), core::g_unitDist.load());
    v.altCompFactor = glide::g_altTeCompFactor.load();
    v.autoZoom = core::g_autoZoomWaypoint.load();
    v.useMcrForAlt = glide::g_useMcrForAlt.load();
    v.constantGlideSpeed = glide::g_useConstantGlideSpeed.load();
    v.useDemInfo = glide::g_useDemInfo.load();
    return v;
}

bool GlideSettingsValues::Apply(platform::SettingsStore& store, bool* outlineRecompute) const {
    const int unit = core::g_unitDist.load();
    if (!RadiusAcceptable(detectRadius, unit) || altCompFactor < 0.0F || altCompFactor > 1.0F) {
        return false;
    }
    glide::g_altTeCompFactor = altCompFactor;
    store.WriteString("Settings", "altTEcompFactor",
                      platform::FormatC(L"%.2f", static_cast<double>(altCompFactor)));
    core::g_autoZoomWaypoint = autoZoom;
    g_bAutodetectNumbered = numberedPrompt;
    glide::g_showAltitudeDifferenceInGoto = showAltDifference;
    nav::g_bAutodetectPrevPrompt = prevPrompt;
    nav::g_bAutodetectNextPrompt = nextPrompt;
    const bool demWentOff = glide::g_useDemInfo.load() != 0 && useDemInfo == 0;
    glide::g_useMcrForAlt = useMcrForAlt;
    glide::g_useConstantGlideSpeed = constantGlideSpeed;
    glide::g_useDemInfo = useDemInfo;
    const auto asInt = [](int v) { return static_cast<std::uint32_t>(v); };
    store.WriteInt("Settings", "ShowAltitudeDifferenceInGOTO", asInt(showAltDifference));
    store.WriteInt("Settings", "Autodetect", asInt(g_autodetect.load()));
    store.WriteInt("Settings", "AutoZoomWaypoint", asInt(autoZoom));
    store.WriteInt("Settings", "useMCRforAlt", asInt(useMcrForAlt));
    store.WriteInt("Settings", "useConstantGlideSpeed", asInt(constantGlideSpeed));
    store.WriteInt("Settings", "useDEMinfo", asInt(useDemInfo));
    const int hundredths = RadiusHundredthsForStore(detectRadius, unit);
    glide::g_autodetectRadius = static_cast<float>(hundredths) / 100.0F;
    store.WriteInt("Settings", "AutodetectRadius", asInt(hundredths));
    if (outlineRecompute != nullptr) *outlineRecompute = demWentOff;
    return true;
}

}  // namespace frame
