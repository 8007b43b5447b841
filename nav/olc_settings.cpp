#include "nav/olc_settings.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "nav/olc_worker.h"
#include "platform/settings_store.h"

namespace nav {
namespace {

constexpr std::string_view kOlcSection = "Settings\\OLC";
constexpr OlcWeights kDefaultWeights{100, 100, 100, 100, 0, 0, 0, 0};
constexpr int kFewLegs = 4;
constexpr float kSpacingKm = 1.0F;
constexpr float kWideSpacingKm = 2.0F;

void StoreDerived(int legCount) {
    g_olcLegCountLess1 = legCount - 1;
    g_olcMinSpacing = OlcMinSpacing(legCount);
}

}  // namespace

int OlcLegCount(const OlcWeights& weights) {
    int count = 1;
    while (count < kMaxOlcLegs && weights[static_cast<std::size_t>(count)] != 0)
        ++count;
    return count;
}

float OlcMinSpacing(int legCount) {
    return legCount > kFewLegs ? kWideSpacingKm : kSpacingKm;
}

OlcWeights CurrentOlcWeights() {
    OlcWeights weights{};
    for (std::size_t leg = 0; leg < weights.size(); ++leg)
        weights[leg] = g_olcLegWeights[leg];
    return weights;
}

void LoadOlcSettings(const platform::SettingsStore& store) {
    OlcWeights weights = kDefaultWeights;
    for (std::size_t leg = 1; leg < weights.size(); ++leg) {
        const std::string name = "leg" + std::to_string(leg + 1) + "w";
        weights[leg] = static_cast<std::int32_t>(
            store.GetInt(kOlcSection, name, static_cast<std::uint32_t>(kDefaultWeights[leg])));
    }
    for (std::size_t leg = 0; leg < weights.size(); ++leg)
        g_olcLegWeights[leg] = weights[leg];
    g_olcToDestination = store.GetInt(kOlcSection, "toDestination", 0) != 0 ? 1 : 0;

    const platform::CriticalSectionLock lock(OlcLock);
    StoreDerived(OlcLegCount(weights));
}

void ApplyOlcSettings(const OlcWeights& weights, bool toDestination) {
    OlcWeights applied = weights;
    applied[0] = kFirstLegWeight;
    for (std::size_t leg = 0; leg < applied.size(); ++leg)
        g_olcLegWeights[leg] = applied[leg];
    g_olcToDestination = toDestination ? 1 : 0;
    const int legCount = OlcLegCount(applied);

    const platform::CriticalSectionLock lock(OlcLock);
    StoreDerived(legCount);
    if (!g_olcControl) return;
    OlcControlBlock& block = *g_olcControl;
    {
        const platform::CriticalSectionLock blockLock(block.lock);
        block.legCount = legCount;
        block.toDestination = toDestination;
        ++block.settingsChanges;
    }
    block.wake.notify_all();
}

}  // namespace nav
