#include "frame/options/outline_options.h"

#include <cmath>
#include <cstdint>

#include "glide/settings_values.h"
#include "texts/display_units.h"

namespace frame {
namespace {

constexpr char kOutlineMapsSection[] = "Options\\Maps";

}  // namespace

OutlineOptions OutlineOptions::FromRunning(ViewLink& views) {
    OutlineOptions o;
    o.climbFactor = glide::CurrentClimbUnit().factor;
    o.macCready = std::floor(glide::g_reachableDefaultMc * o.climbFactor * 10.0F + 0.5F) / 10.0F;
    o.pointCount = glide::g_numberPointsOnOutline;
    o.useMacCreadyInUse = glide::g_reachableUseDefaultMc != 0 ? 0 : 1;
    o.shown = views.OutlineShown() ? 1 : 0;
    o.shownAtOpen = o.shown;
    return o;
}

void OutlineOptions::Apply(platform::SettingsStore& store, ViewLink& views, const OutlineOptions& opened) const {
    const OutlineOptions& running = opened;
    bool changed = shown != shownAtOpen;
    views.SetOutlineShown(shown != 0);
    store.WriteInt(kOutlineMapsSection, "ShowReachableOutline", static_cast<std::uint32_t>(shown));

    const int useDefault = useMacCreadyInUse != 0 ? 0 : 1;
    changed = changed || (shown != 0 && useDefault != glide::g_reachableUseDefaultMc);
    glide::g_reachableUseDefaultMc = useDefault;
    store.WriteInt(kOutlineMapsSection, "ReachableUseDefaultMC",
                   static_cast<std::uint32_t>(useDefault));

    // The field shows a tenth; left as shown, the running value stays.
    float knots = glide::g_reachableDefaultMc;
    if (macCready != running.macCready) knots = macCready / climbFactor;
    changed = changed || (shown != 0 && std::fabs(glide::g_reachableDefaultMc - knots) > 1.0F);
    glide::g_reachableDefaultMc = knots;
    store.WriteInt(kOutlineMapsSection, "ReachableDefaultMC",
                   static_cast<std::uint32_t>(static_cast<int>(knots * 1000.0F + 0.5F)));

    // The outline made its points when it was created; the new count is the
    // next outline's.
    glide::g_numberPointsOnOutline = pointCount;
    store.WriteInt(kOutlineMapsSection, "numberPointsOnOutline",
                   static_cast<std::uint32_t>(pointCount));
    if (changed) views.RequestOutlineRecompute();
}

}  // namespace frame
