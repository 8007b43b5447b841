#pragma once
// The settings of the free-distance (contest) optimiser: the weight of each
// leg in per cent ("Settings\OLC" "leg2w".."leg8w"; leg 1 always weighs 100),
// whether the flight closes at the destination rather than at the current
// position ("toDestination"), and what follows from the weights: the number
// of legs searched and the spacing that thins the trail.
//
// The legs end at the first zero weight: later weights do not count even
// when they are set. Searching more legs costs more, so with five or more
// legs the trail keeps a point only every 2 km instead of every 1 km.

#include <array>
#include <atomic>

namespace platform {
class SettingsStore;
}

namespace nav {

inline constexpr int kMaxOlcLegs = 8;
inline constexpr int kFirstLegWeight = 100;

// Leg weights in per cent, leg 1 first.
using OlcWeights = std::array<int, kMaxOlcLegs>;

// The leg weights in force ("leg2w".."leg8w"; the first is always 100).
inline std::array<std::atomic<int>, kMaxOlcLegs> g_olcLegWeights{100, 100, 100, 100, 0, 0, 0, 0};
// One less than the number of legs searched.
inline std::atomic<int> g_olcLegCountLess1{3};
// "toDestination": the flight closes at the destination when one is set.
inline std::atomic<int> g_olcToDestination{0};
// The least distance (km) between two kept trail points; below 0 (until the
// settings are loaded) every fix is kept.
inline std::atomic<float> g_olcMinSpacing{-1.0F};

// The number of legs the weights give: 1 plus the weights from leg 2 on that
// are non-zero before the first zero.
int OlcLegCount(const OlcWeights& weights);

// The trail spacing (km) for a leg count: 2 from five legs on, else 1.
float OlcMinSpacing(int legCount);

// The weights in force, as one value.
OlcWeights CurrentOlcWeights();

// Reads "Settings\OLC" into the values above.
void LoadOlcSettings(const platform::SettingsStore& store);

// What the options page applies: the weights (the first is taken as 100)
// and the closing choice. The derived leg count and spacing change under
// OlcLock, and a running optimiser takes them over and searches again.
void ApplyOlcSettings(const OlcWeights& weights, bool toDestination);

}  // namespace nav
